#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <string>

// The real quillora-server, started on a free loopback port with its own package folder and
// submission database, and stopped when this goes out of scope.
class UpdateServerProcess
{
public:
    UpdateServerProcess();
    ~UpdateServerProcess();

    // Starts the server; false when it did not come up within a few seconds.
    bool start(const QStringList &extraArguments = {});
    QString host() const { return m_host; }
    int port() const { return m_host.section(u':', 1).toInt(); }
    qint64 processId() const { return m_process.processId(); }

    QString packageFolder() const { return m_dir.filePath(QStringLiteral("package")); }
    QString databasePath() const { return m_dir.filePath(QStringLiteral("submissions.sqlite")); }

    // chayn.ver holds the version and a CR LF; chayn.tx0 the whole database text.
    void writePackage(const QString &version, const QByteArray &databaseText) const;

    // Runs "quillora-server export" on this server's files and gives its output.
    QByteArray exportChains() const;

    // The decoded values of the stored submissions, in the order they came.
    QStringList storedValues() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_host;
};

// A raw loopback connection, for requests no well-behaved client would send. Each send and
// receive gives up after five seconds.
class RawConnection
{
public:
    explicit RawConnection(int port);
    ~RawConnection();
    RawConnection(const RawConnection &) = delete;
    RawConnection &operator=(const RawConnection &) = delete;

    bool connected() const { return m_connected; }
    bool send(const std::string &data);
    // What the server sent until it closed (or nothing came for five seconds).
    std::string receiveAll();

private:
    int m_fd;
    bool m_connected = false;
};
