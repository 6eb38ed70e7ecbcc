#include "chainDatabase.h"

#include "modEncrypt64Bit.h"
#include "modVars.h"
#include "programFolder.h"
#include "textLines.h"
#include "wholeFile.h"

namespace {

constexpr qsizetype minChainLineLength = 7;

// Hands each line that holds a chain to chainLine, in file order, up to maxChains of them, and
// gives the version line; nothing, and no chain line, when there is not even a version line.
template <typename ChainLine>
std::optional<QByteArrayView> forEachChainLine(QByteArrayView data, ChainLine chainLine)
{
    std::optional<QByteArrayView> version;
    int chains = 0;
    forEachLine(data, [&](QByteArrayView line) {
        if (!version) {
            version = line;
            return true;
        }
        if (trimmedOfSpaces(line).size() < minChainLineLength)
            return true;
        chainLine(line);
        // The table holds maxChains chains; accepted lines past that are ignored, so a longer
        // database still plays with its first maxChains chains.
        return ++chains < maxChains;
    });
    return version;
}

} // namespace

QString chainDatabasePath()
{
    return readableFile(chainDatabaseFileName);
}

QString updatedChainDatabasePath()
{
    return playerFile(chainDatabaseFileName);
}

std::optional<ChainDatabase> parseChainDatabase(QByteArrayView data)
{
    ChainDatabase database;
    // Decoded as read, untrimmed: the decoder skips the spaces itself.
    const std::optional<QByteArrayView> version =
        forEachChainLine(data, [&database](QByteArrayView line) {
            database.chains.append(base64DecodeToText(line));
        });
    if (!version)
        return std::nullopt;
    database.version = QString::fromLatin1(*version);
    return database;
}

bool loadChains(QString *errorMessage)
{
    modVars.chainCount = 0;
    const QString path = chainDatabasePath();
    const std::optional<QByteArray> content = readWholeFile(path, errorMessage);
    if (!content)
        return false;
    // Straight into the table, without a list of chains in between: this runs at every start.
    int count = 0;
    const std::optional<QByteArrayView> version =
        forEachChainLine(*content, [&count](QByteArrayView line) {
            modVars.chainTable[++count] = base64DecodeToText(line);
        });
    if (!version) {
        if (errorMessage)
            *errorMessage = QStringLiteral("The chain database \"%1\" is empty.").arg(path);
        return false;
    }
    modVars.dbVersion = QString::fromLatin1(*version);
    modVars.chainCount = count;
    return true;
}
