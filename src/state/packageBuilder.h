#pragma once

#include <QString>

// The update package the server hands out: chayn.ver (the version) and chayn.tx0 (a whole chain
// database), built from a plain list with one chain per line.

inline const QString packageVersion = QStringLiteral("8");
inline const QString packageVersionFileName = QStringLiteral("chayn.ver");
inline const QString packageDatabaseFileName = QStringLiteral("chayn.tx0");

// Reads the list at inputPath and writes both package files into outputFolder. Lines of the
// list are encoded as they stand, neither trimmed nor checked. The list is read before anything
// is written, so a missing list leaves both files as they were. On failure errorMessage names
// the file.
bool encryptFile(const QString &inputPath, const QString &outputFolder, QString *errorMessage);
