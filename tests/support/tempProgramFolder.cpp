#include "tempProgramFolder.h"

#include "modEncrypt64Bit.h"
#include "modVars.h"
#include "programFolder.h"

#include <QProcess>

#include <unistd.h>

TempProgramFolder::TempProgramFolder()
{
    setProgramFolder(m_dir.path());
    resetModVars();
}

TempProgramFolder::~TempProgramFolder()
{
    setWritable(true);
    setProgramFolder(QString());
    resetModVars();
}

void TempProgramFolder::write(const QString &name, const QByteArray &content) const
{
    QFile file(filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(content);
}

QByteArray TempProgramFolder::read(const QString &name) const
{
    QFile file(filePath(name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool TempProgramFolder::setWritable(bool writable) const
{
    // Root ignores permission bits, so as root the folder is made immutable instead.
    if (geteuid() == 0)
        return QProcess::execute("chattr", {writable ? "-i" : "+i", path()}) == 0;
    return QFile::setPermissions(path(), QFile::ReadOwner | QFile::ExeOwner |
                                             (writable ? QFile::WriteOwner : QFile::Permissions()));
}

QStringList numberedChains(int count)
{
    QStringList chains;
    for (int i = 0; i < count; ++i)
        chains.append(QStringLiteral("word%1 place card board game show boat").arg(i));
    return chains;
}

QByteArray chainDatabaseText(const QString &version, const QStringList &chains)
{
    QByteArray text = version.toLatin1() + "\r\n";
    for (const QString &chain : chains)
        text += base64Encode(chain.toLatin1()).toLatin1() + "\r\n";
    return text;
}

void setChains(const QStringList &chains)
{
    modVars.chainCount = 0;
    for (const QString &chain : chains)
        modVars.chainTable[++modVars.chainCount] = chain;
}
