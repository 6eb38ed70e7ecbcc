#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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
    explicit RawConnection(int port)
        : m_fd(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        timeval timeout{5, 0};
        setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        setsockopt(m_fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
        m_connected = ::connect(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    }
    ~RawConnection() { ::close(m_fd); }
    RawConnection(const RawConnection &) = delete;
    RawConnection &operator=(const RawConnection &) = delete;

    bool connected() const { return m_connected; }
    bool send(const std::string &data)
    {
        return ::send(m_fd, data.data(), data.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(data.size());
    }
    // What the server sent until it closed (or nothing came for five seconds).
    std::string receiveAll()
    {
        std::string received;
        char buffer[4096];
        for (ssize_t n; (n = ::recv(m_fd, buffer, sizeof buffer, 0)) > 0;)
            received.append(buffer, static_cast<size_t>(n));
        return received;
    }

private:
    int m_fd;
    bool m_connected = false;
};
