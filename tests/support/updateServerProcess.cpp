#include "updateServerProcess.h"

#include "tempProgramFolder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QRegularExpression>

#include <sqlite3.h>

UpdateServerProcess::UpdateServerProcess()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("package"));
    writePackage(QStringLiteral("8"),
                 chainDatabaseText(QStringLiteral("8"), {QStringLiteral("a b c d e f g")}));
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
