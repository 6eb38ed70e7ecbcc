#include "packageCheck.h"

#include "chainDatabase.h"
#include "textLines.h"

#include <algorithm>

namespace {

// A shorter reply cannot be a database worth installing.
constexpr qsizetype minPackageLength = 101;
// Lines shorter than this once spaces are trimmed are skipped by the loader.
constexpr qsizetype minChainLineLength = 7;

bool isControlCharacter(char c)
{
    const auto code = static_cast<unsigned char>(c);
    return (code < 0x20 && c != '\r' && c != '\n') || code == 0x7f;
}

bool isBase64Character(char c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' ||
           c == '/' || c == '=' || c == ' ';
}

} // namespace

bool isChainDatabasePackage(QByteArrayView reply)
{
    if (reply.size() < minPackageLength)
        return false;
    if (std::any_of(reply.begin(), reply.end(), isControlCharacter))
        return false;
    const QList<QByteArrayView> lines = splitLines(reply);
    // A bare CR inside a line is a control character the line ends do not explain.
    for (const QByteArrayView line : lines) {
        if (line.contains('\r'))
            return false;
    }
    bool hasChain = false;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        if (trimmedOfSpaces(lines[i]).size() < minChainLineLength)
            continue;
        if (!std::all_of(lines[i].begin(), lines[i].end(), isBase64Character))
            return false;
        hasChain = true;
    }
    if (!hasChain)
        return false;
    const std::optional<ChainDatabase> database = parseChainDatabase(reply);
    return database && !database->chains.isEmpty();
}
