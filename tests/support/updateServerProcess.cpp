#include "updateServerProcess.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <sqlite3.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

UpdateServerProcess::UpdateServerProcess()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("package"));
}

UpdateServerProcess::~UpdateServerProcess()
{
    if (m_process.state() == QProcess::NotRunning)
        return;
    m_process.terminate();
    if (!m_process.waitForFinished(5000)) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
}

bool UpdateServerProcess::start(const QStringList &extraArguments)
{
    m_process.setProgram(QStringLiteral(QUILLORA_SERVER_EXE));
    m_process.setArguments(QStringList{QStringLiteral("--port"), QStringLiteral("0"),
                                       QStringLiteral("--package"), packageFolder(),
                                       QStringLiteral("--database"), databasePath()} +
                           extraArguments);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    if (!m_process.waitForStarted(5000))
        return false;
    static const QRegularExpression listening(QStringLiteral("^Listening on http://(\\S+)"));
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && !m_process.canReadLine())
        m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    const QRegularExpressionMatch match =
        listening.match(QString::fromLatin1(m_process.readLine()));
    if (!match.hasMatch())
        return false;
    m_host = match.captured(1);
    return true;
}

void UpdateServerProcess::writePackage(const QString &version, const QByteArray &databaseText) const
{
    QFile ver(QDir(packageFolder()).filePath(QStringLiteral("chayn.ver")));
    if (ver.open(QIODevice::WriteOnly))
        ver.write(version.toLatin1() + "\r\n");
    QFile tx0(QDir(packageFolder()).filePath(QStringLiteral("chayn.tx0")));
    if (tx0.open(QIODevice::WriteOnly))
        tx0.write(databaseText);
}

QByteArray UpdateServerProcess::exportChains() const
{
    QProcess process;
    process.start(QStringLiteral(QUILLORA_SERVER_EXE),
                  {QStringLiteral("export"), QStringLiteral("--package"), packageFolder(),
                   QStringLiteral("--database"), databasePath()});
    if (!process.waitForFinished(10000) || process.exitCode() != 0)
        return QByteArrayLiteral("(export failed)");
    return process.readAllStandardOutput();
}

QStringList UpdateServerProcess::storedValues() const
{
    QStringList values;
    sqlite3 *db = nullptr;
    if (sqlite3_open_v2(databasePath().toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr) ==
        SQLITE_OK) {
        sqlite3_stmt *statement = nullptr;
        if (sqlite3_prepare_v2(db, "SELECT value FROM submissions ORDER BY id", -1, &statement,
                               nullptr) == SQLITE_OK) {
            while (sqlite3_step(statement) == SQLITE_ROW) {
                values.append(QString::fromUtf8(
                    reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)),
                    sqlite3_column_bytes(statement, 0)));
            }
        }
        sqlite3_finalize(statement);
    }
    sqlite3_close(db);
    return values;
}

RawConnection::RawConnection(int port)
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

RawConnection::~RawConnection()
{
    ::close(m_fd);
}

bool RawConnection::send(const std::string &data)
{
    return ::send(m_fd, data.data(), data.size(), MSG_NOSIGNAL) ==
           static_cast<ssize_t>(data.size());
}

std::string RawConnection::receiveAll()
{
    std::string received;
    char buffer[4096];
    for (int i = 0; i < 1000; ++i) {
        const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
        if (n <= 0)
            break;
        received.append(buffer, static_cast<size_t>(n));
    }
    return received;
}
