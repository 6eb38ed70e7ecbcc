#pragma once

#include "modEncrypt64Bit.h"
#include "modVars.h"
#include "programFolder.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <unistd.h>

// A fresh, empty program folder and a reset game state for one test, both undone at its end.
class TempProgramFolder
{
public:
    TempProgramFolder()
    {
        setProgramFolder(m_dir.path());
        resetModVars();
    }
    ~TempProgramFolder()
    {
        setWritable(true);
        setProgramFolder({});
        resetModVars();
    }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }
    bool exists(const QString &name) const { return QFile::exists(filePath(name)); }
    void write(const QString &name, const QByteArray &content) const
    {
        QFile file(filePath(name));
        if (file.open(QIODevice::WriteOnly))
            file.write(content);
    }
    QByteArray read(const QString &name) const
    {
        QFile file(filePath(name));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    // Makes the folder refuse new files (as root: immutable) or not; false: the test skips.
    bool setWritable(bool writable) const
    {
        if (geteuid() == 0)
            return QProcess::execute("chattr", {writable ? "-i" : "+i", path()}) == 0;
        return QFile::setPermissions(path(),
                                     QFile::ReadOwner | QFile::ExeOwner |
                                         (writable ? QFile::WriteOwner : QFile::Permissions()));
    }

private:
    QTemporaryDir m_dir;
};

// count distinct chains: "word0 place card board game show boat" and so on.
inline QStringList numberedChains(int count)
{
    QStringList chains;
    for (int i = 0; i < count; ++i)
        chains.append(QStringLiteral("word%1 place card board game show boat").arg(i));
    return chains;
}

// The version line and each chain in Base64, CR LF line ends.
inline QByteArray chainDatabaseText(const QString &version, const QStringList &chains)
{
    QByteArray text = version.toLatin1() + "\r\n";
    for (const QString &chain : chains)
        text += base64Encode(chain.toLatin1()).toLatin1() + "\r\n";
    return text;
}

inline const QString sampleChain = QStringLiteral("fire side walk way back yards ale");

// Puts the chains at positions 1.. of the table, as loading a database would.
inline void setChains(const QStringList &chains)
{
    modVars.chainCount = 0;
    for (const QString &chain : chains)
        modVars.chainTable[++modVars.chainCount] = chain;
}
