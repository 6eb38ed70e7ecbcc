#include "fuzzSupport.h"

#include "programFolder.h"

#include <QDir>
#include <QTemporaryDir>

QString fuzzProgramFolder()
{
    static const QTemporaryDir dir((QDir(QStringLiteral("/dev/shm")).exists()
                                        ? QStringLiteral("/dev/shm")
                                        : QDir::tempPath()) +
                                   QStringLiteral("/quillora-fuzz-XXXXXX"));
    require(dir.isValid(), "a temporary program folder can be made");
    setProgramFolder(dir.path());
    return dir.path();
}
