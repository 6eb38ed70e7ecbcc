#include "updateServerProcess.h"

#include "submissionStore.h"
#include "tempProgramFolder.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>

UpdateServerProcess::UpdateServerProcess()
{
    QDir(m_dir.path()).mkpath(QStringLiteral("package"));
    writePackage(QStringLiteral("8"),
                 chainDatabaseText(QStringLiteral("8"), {QStringLiteral("a b c d e f g")}));
}

UpdateServerProcess::~UpdateServerProcess()
{
    // QProcess kills it if it is still running after that.
    m_process.terminate();
    m_process.waitForFinished(5000);
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
    const QDeadlineTimer deadline(10000);
    while (!deadline.hasExpired() && !m_process.canReadLine())
        m_process.waitForReadyRead(static_cast<int>(deadline.remainingTime()));
    const QByteArray line = m_process.readLine().trimmed();
    m_host = QString::fromLatin1(line.mid(line.lastIndexOf('/') + 1));
    return line.startsWith("Listening on http://");
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
    try {
        for (const Submission &submission :
             SubmissionStore(databasePath().toStdString(), SubmissionStore::Open::ExistingOnly)
                 .all())
            values.append(QString::fromStdString(submission.value));
    } catch (const std::runtime_error &) {
    }
    return values;
}
