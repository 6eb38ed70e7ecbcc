#pragma once

#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <optional>

// The chain database file: a version line, then one Base64 line per chain.

inline const QString chainDatabaseFileName = QStringLiteral("quillora.chn");

// Where the chain database is read, and written by the update.
QString chainDatabasePath();

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
