#include "fuzzSupport.h"

#include "programFolder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

QString fuzzProgramFolder()
{
    static const QTemporaryDir dir(QDir(QStringLiteral("/dev/shm")).exists()
                                       ? QStringLiteral("/dev/shm/quillora-fuzz-XXXXXX")
                                       : QDir::tempPath() +
                                             QStringLiteral("/quillora-fuzz-XXXXXX"));
    require(dir.isValid(), "a temporary program folder can be made");
    setProgramFolder(dir.path());
    return dir.path();
}

void putFile(const QString &name, const QByteArray &content)
{
    QFile file(QDir(fuzzProgramFolder()).filePath(name));
    require(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "the fuzz file can be opened");
    require(file.write(content) == content.size(), "the fuzz file can be written");
}
