#pragma once

#include <QByteArray>
#include <QHash>
#include <QObject>
#include <QString>
#include <QTcpServer>

#include <chrono>

class QTcpSocket;

// A loopback HTTP server whose replies are good 200 answers, but written a few bytes at a time
// with a pause between, like a line that is alive but hopelessly slow. Paths given a quick
// reply are answered at once. It runs on the test's own thread.
class TricklingHttpServer : public QObject
{
    Q_OBJECT
public:
    TricklingHttpServer(const QByteArray &body, qsizetype bytesPerStep,
                        std::chrono::milliseconds pause, QObject *parent = nullptr);

    QString host() const;
    void setQuickReply(const QString &path, const QByteArray &body) { m_quick.insert(path, body); }

    // Bytes of the trickled reply written so far, and its whole length.
    qsizetype bytesTrickled() const { return m_trickled; }
    qsizetype replySize() const { return m_reply.size(); }

private:
    void accept();
    void readRequest(QTcpSocket *socket);
    void trickle(QTcpSocket *socket);

    const QByteArray m_reply;
    const qsizetype m_bytesPerStep;
    const std::chrono::milliseconds m_pause;
    QTcpServer m_server;
    QHash<QString, QByteArray> m_quick;
    QHash<QTcpSocket *, QByteArray> m_received;
    qsizetype m_trickled = 0;
};
