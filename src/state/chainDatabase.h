#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// The chain database file: a version line, then one Base64 line per chain.

inline const QString chainDatabaseFileName = QStringLiteral("quillora.chn");

// Where the chain database is read: the player's own copy, which an update wrote, when there is
// one, else the one the program came with.
QString chainDatabasePath();
// Where an update writes the chain database: beside the program, or in the player's own folder
// when the program's folder cannot be written.
QString updatedChainDatabasePath();

struct ChainDatabase
{
    QString version;
    QStringList chains; // decoded, in file order; at most maxChains
};

// Reads a whole database text. Lines shorter than 7 characters once spaces are trimmed are not
// chains and take no position. Gives nothing when there is not even a version line.
std::optional<ChainDatabase> parseChainDatabase(QByteArrayView data);

// Reads the chain database into dbVersion, chainCount and chainTable. The used
// and completed marks stay attached to their positions. On failure chainCount is 0, the rest of
// the state is as it was, and errorMessage names the file.
bool loadChains(QString *errorMessage = nullptr);
