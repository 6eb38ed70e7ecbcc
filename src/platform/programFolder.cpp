#include "programFolder.h"

#include <QCoreApplication>
#include <QDir>

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
