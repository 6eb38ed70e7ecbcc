#pragma once

#include <QByteArray>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>

// The real quillora-server, started on a free loopback port with its own package folder (a
// one-chain package of version "8" until writePackage) and submission database, and stopped
// when this goes out of scope.
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

    // The decoded values of the stored submissions, in the order they came.
    QStringList storedValues() const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    QString m_host;
};
