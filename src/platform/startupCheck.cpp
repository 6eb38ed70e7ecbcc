#include "startupCheck.h"

#include "dialogs.h"
#include "programFolder.h"

#include <QFileInfo>

bool startupCheck(Dialogs &dialogs)
{
    // Everything the game keeps lives in its folder, so that folder must be there to be read.
    const QFileInfo folder(programFolder());
    if (folder.isDir() && folder.isReadable())
        return true;
    dialogs.message(nullptr, QString::fromLatin1(startupErrorText), QStringLiteral("Error"));
    return false;
}
