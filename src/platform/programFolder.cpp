#include "programFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

QString &overriddenFolder()
{
    static QString folder;
    return folder;
}

} // namespace

QString programFolder()
{
    if (!overriddenFolder().isEmpty())
        return overriddenFolder();
    return QCoreApplication::applicationDirPath();
}

QString programFile(const QString &fileName)
{
    return QDir(programFolder()).filePath(fileName);
}

void setProgramFolder(const QString &path)
{
    overriddenFolder() = path;
}

QString playerFolder()
{
    // A folder set by a test or tool is taken as it is, writable or not.
    const QString folder = programFolder();
    if (!overriddenFolder().isEmpty() || QFileInfo(folder).isWritable())
        return folder;
    // Each player of an installed game keeps a record of their own.
    const QString own = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QDir().mkpath(own);
    return own;
}

QString playerFile(const QString &fileName)
{
    return QDir(playerFolder()).filePath(fileName);
}

QString readableFile(const QString &fileName)
{
    const QString own = playerFile(fileName);
    return QFileInfo::exists(own) ? own : programFile(fileName);
}
