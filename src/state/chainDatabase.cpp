#include "chainDatabase.h"

#include "modEncrypt64Bit.h"
#include "modVars.h"
#include "programFolder.h"
#include "singleByteText.h"
#include "textLines.h"
#include "wholeFile.h"

namespace {

constexpr qsizetype minChainLineLength = 7;

} // namespace

std::optional<ChainDatabase> parseChainDatabase(QByteArrayView data)
{
    const QList<QByteArrayView> lines = splitLines(data);
    if (lines.isEmpty())
        return std::nullopt;
    ChainDatabase database;
    database.version = QString::fromLatin1(lines.first());
    for (qsizetype i = 1; i < lines.size(); ++i) {
        // The table holds maxChains chains; accepted lines past that are ignored, so a longer
        // database still plays with its first maxChains chains.
        if (database.chains.size() == maxChains)
            break;
        const QByteArrayView line = lines[i];
        if (trimmedOfSpaces(line).size() < minChainLineLength)
            continue;
        // Decoded as read, untrimmed: the decoder skips the spaces itself.
        database.chains.append(fromSingleByte(base64Decode(line)));
    }
    return database;
}

bool loadChains(QString *errorMessage)
{
    modVars.chainCount = 0;
    const QString path = programFile(chainDatabaseFileName);
    const std::optional<QByteArray> content = readWholeFile(path, errorMessage);
    if (!content)
        return false;
    std::optional<ChainDatabase> database = parseChainDatabase(*content);
    if (!database) {
        if (errorMessage)
            *errorMessage = QStringLiteral("The chain database \"%1\" is empty.").arg(path);
        return false;
    }
    modVars.dbVersion = database->version;
    for (QString &chain : database->chains)
        modVars.chainTable[++modVars.chainCount] = std::move(chain);
    return true;
}
