#pragma once

#include <QString>

#include <optional>

// The update package the server hands out: chayn.ver (the version) and chayn.tx0 (a whole chain
// database), built from a plain list with one chain per line.

// The version a package gets when the maintainer names none.
inline const QString packageVersion = QStringLiteral("8");
inline const QString packageVersionFileName = QStringLiteral("chayn.ver");
inline const QString packageDatabaseFileName = QStringLiteral("chayn.tx0");

// Why a version text cannot stand on the first line of a package, or nothing when it can: it
// must be a short line of printable ASCII, since the game compares it as exact text with the
// first line of its database.
std::optional<QString> versionProblem(const QString &version);

// Reads the list at inputPath and writes both package files into outputFolder, stamped with
// version (which must pass versionProblem). Lines of the list are encoded as they stand,
// neither trimmed nor checked. The list is read before anything is written, so a missing list
// leaves both files as they were. Each file is replaced atomically, the database first, so a
// server serving the folder meanwhile never announces a version whose database is not there
// yet. On failure errorMessage names the file.
bool encryptFile(const QString &inputPath, const QString &outputFolder, QString *errorMessage,
                 const QString &version = packageVersion);
