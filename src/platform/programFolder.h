#pragma once

#include <QString>

// The folder that holds the program, its chain database and its sounds.
QString programFolder();

// Full path of a file of the program folder.
QString programFile(const QString &fileName);

// Points the program folder elsewhere (tests and tools), and with it the player's folder; an
// empty path goes back to the executable's folder.
void setProgramFolder(const QString &path);

// The folder of the player's own files (statistics, options, a chain database an update
// installed): the program folder when it is writable, as in a copy unpacked anywhere; else,
// for an installed copy, the player's data folder of the platform, made when first asked for.
QString playerFolder();

// Full path of a file of the player's folder.
QString playerFile(const QString &fileName);

// The file the game reads: the player's own copy when there is one (a chain database an update
// installed), else the program's.
QString readableFile(const QString &fileName);
