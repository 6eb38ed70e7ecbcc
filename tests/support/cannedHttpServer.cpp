#include "cannedHttpServer.h"

#include <QTcpSocket>
#include <QTimer>

#include <memory>

CannedHttpServer::CannedHttpServer(QObject *parent)
    : QObject(parent)
{
    connect(&m_server, &QTcpServer::newConnection, this, &CannedHttpServer::accept);
    m_server.listen(QHostAddress::LocalHost, 0);
}

QString CannedHttpServer::host() const
{
    return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort());
}

void CannedHttpServer::accept()
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

void CannedHttpServer::readRequest(QTcpSocket *socket)
{
    QByteArray &received = m_received[socket];
    received += socket->readAll();
    if (!received.contains("\r\n\r\n"))
        return;
    const QList<QByteArray> requestLine = received.left(received.indexOf("\r\n")).split(' ');
    received.clear();
    const QString target = requestLine.size() > 1 ? QString::fromLatin1(requestLine[1]) : QString();
    targets.append(target);

    const QString path = target.section(u'?', 0, 0);
    const Reply reply = m_replies.value(path, Reply{404, "Not found", false, true, {}});
    if (reply.silent)
        return;
    // Clients go by the status code, not by the words after it.
    QByteArray response = "HTTP/1.1 " + QByteArray::number(reply.status) +
                          " Canned\r\nConnection: close\r\n" + reply.headers;
    if (reply.sendLength)
        response += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
    response += "\r\n" + reply.body;
    if (reply.bytesPerStep > 0) {
        trickle(socket, response, reply);
        return;
    }
    socket->write(response);
    socket->disconnectFromHost();
}

void CannedHttpServer::trickle(QTcpSocket *socket, const QByteArray &response, const Reply &reply)
{
    auto *timer = new QTimer(socket);
    const auto offset = std::make_shared<qsizetype>(0);
    connect(timer, &QTimer::timeout, socket, [this, socket, timer, offset, response, reply] {
        if (socket->state() != QAbstractSocket::ConnectedState) {
            timer->stop();
            return;
        }
        const QByteArray step = response.mid(*offset, reply.bytesPerStep);
        *offset += step.size();
        m_trickled += step.size();
        socket->write(step);
        if (*offset >= response.size()) {
            timer->stop();
            socket->disconnectFromHost();
        }
    });
    timer->start(reply.pause);
}

QString closedPortHost()
{
    // A port that was just free and has no listener any more.
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return QStringLiteral("127.0.0.1:%1").arg(port);
}
