#include "tricklingHttpServer.h"

#include <QTcpSocket>
#include <QTimer>

#include <memory>

namespace {

QByteArray replyWith(const QByteArray &body)
{
    return "HTTP/1.1 200 OK\r\nConnection: close\r\nContent-Length: " +
           QByteArray::number(body.size()) + "\r\n\r\n" + body;
}

} // namespace

TricklingHttpServer::TricklingHttpServer(const QByteArray &body, qsizetype bytesPerStep,
                                         std::chrono::milliseconds pause, QObject *parent)
    : QObject(parent)
    , m_reply(replyWith(body))
    , m_bytesPerStep(bytesPerStep)
    , m_pause(pause)
{
    connect(&m_server, &QTcpServer::newConnection, this, &TricklingHttpServer::accept);
    m_server.listen(QHostAddress::LocalHost, 0);
}

QString TricklingHttpServer::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort());
}

void TricklingHttpServer::accept()
{
    while (QTcpSocket *socket = m_server.nextPendingConnection()) {
        socket->setParent(this);
        connect(socket, &QTcpSocket::readyRead, this, [this, socket] { readRequest(socket); });
        connect(socket, &QTcpSocket::disconnected, this, [this, socket] {
            m_received.remove(socket);
            socket->deleteLater();
        });
    }
}

void TricklingHttpServer::readRequest(QTcpSocket *socket)
{
    QByteArray &received = m_received[socket];
    received += socket->readAll();
    if (!received.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> requestLine = received.left(received.indexOf("\r\n")).split(' ');
    received.clear();
    const QString path = requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
    if (m_quick.contains(path)) {
        socket->write(replyWith(m_quick.value(path)));
        socket->disconnectFromHost();
        return;
    }
    trickle(socket);
}

void TricklingHttpServer::trickle(QTcpSocket *socket)
{
    auto *timer = new QTimer(socket);
    const auto offset = std::make_shared<qsizetype>(0);
    connect(timer, &QTimer::timeout, socket, [this, socket, timer, offset] {
        if (socket->state() != QAbstractSocket::ConnectedState) {
            timer->stop();
            return;
        }
        const QByteArray step = m_reply.mid(*offset, m_bytesPerStep);
        *offset += step.size();
        m_trickled += step.size();
        socket->write(step);
        if (*offset >= m_reply.size()) {
            timer->stop();
            socket->disconnectFromHost();
        }
    });
    timer->start(m_pause);
}
