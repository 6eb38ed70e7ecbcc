#include "fileExists.h"

#include <QFileInfo>

bool fileExists(const QString &filename)
{
    const QFileInfo info(filename);
    return info.isFile() && !info.isHidden();
}
