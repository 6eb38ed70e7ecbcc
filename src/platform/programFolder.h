#pragma once

#include <QString>

// The folder that holds the program: every data and sound file lives there.
QString programFolder();

// Full path of a file of the program folder.
QString programFile(const QString &fileName);

// Points the program folder elsewhere (tests and tools); an empty path goes back to the
// executable's folder.
void setProgramFolder(const QString &path);
