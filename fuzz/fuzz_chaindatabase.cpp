// Arbitrary bytes as a chain database: the first line is the version as it stands, and every
// later line that holds 7 or more characters once its line end and outer spaces are gone takes
// one position, up to the table's size.

#include "chainDatabase.h"
#include "fuzzSupport.h"
#include "modVars.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const std::optional<ChainDatabase> database = parseChainDatabase(bytes);
    require(database.has_value() == !bytes.isEmpty(), "only an empty text has no version line");
    if (!database)
        return 0;
    QList<QByteArray> lines = bytes.split('\n');
    if (bytes.endsWith('\n'))
        lines.removeLast();
    qsizetype accepted = 0;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        // A CR belongs to the line end only before an LF.
        if ((i + 1 < lines.size() || bytes.endsWith('\n')) && lines[i].endsWith('\r'))
            lines[i].chop(1);
        QByteArray line = lines[i];
        while (line.startsWith(' '))
            line.remove(0, 1);
        while (line.endsWith(' '))
            line.chop(1);
        accepted += i > 0 && line.size() >= 7;
    }
    require(database->version == QString::fromLatin1(lines[0]), "the version is the first line");
    require(database->chains.size() == std::min<qsizetype>(accepted, maxChains),
            "every accepted line takes one position, up to the table's size");
    return 0;
}
