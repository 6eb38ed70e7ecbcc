#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QObject>
#include <QStringList>
#include <QTcpServer>

#include <chrono>

class QTcpSocket;

// A small HTTP server on a loopback port that answers each path with a canned reply, also
// ones a real server should never send. It runs on the test's own thread, so it answers while
// the code under test waits in its event loop.
class CannedHttpServer : public QObject
{
    Q_OBJECT
public:
    struct Reply
    {
        Reply(int status = 200, QByteArray body = {}, bool silent = false, bool sendLength = true,
              QByteArray headers = {}, qsizetype bytesPerStep = 0,
              std::chrono::milliseconds pause = {})
            : status(status)
            , body(std::move(body))
            , silent(silent)
            , sendLength(sendLength)
            , headers(std::move(headers))
            , bytesPerStep(bytesPerStep)
            , pause(pause)
        {
        }

        int status = 200;
        QByteArray body;
        // Never answers: the request is read and the connection left open.
        bool silent = false;
        // Without Content-Length the body ends when the connection closes.
        bool sendLength = true;
        // Extra header lines, each ending in CR LF.
        QByteArray headers;
        // When above 0: the reply goes out this many bytes at a time, a pause between, like a
        // line that is alive but hopelessly slow.
        qsizetype bytesPerStep = 0;
        std::chrono::milliseconds pause{0};
    };

    explicit CannedHttpServer(QObject *parent = nullptr);

    QString host() const;

    // Paths without a reply get 404.
    void setReply(const QString &path, const Reply &reply) { m_replies.insert(path, reply); }
    void setReply(const QString &path, int status, const QByteArray &body)
    {
        setReply(path, Reply(status, body));
    }

    // Request targets (path and query as sent), in the order they came.
    QStringList targets;

    // Bytes of trickled replies written so far.
    qsizetype bytesTrickled() const { return m_trickled; }

private:
    void accept();
    void readRequest(QTcpSocket *socket);
    void trickle(QTcpSocket *socket, const QByteArray &response, const Reply &reply);

    QTcpServer m_server;
    QHash<QString, Reply> m_replies;
    QHash<QTcpSocket *, QByteArray> m_received;
    qsizetype m_trickled = 0;
};

// A loopback host:port that refuses connections.
QString closedPortHost();
