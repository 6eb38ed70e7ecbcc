// Arbitrary bytes as a chain database, parsed directly and loaded from quillora.chn: the two
// agree, positions never pass the table, and loading is repeatable.

#include "chainDatabase.h"
#include "fuzzSupport.h"
#include "modEncrypt64Bit.h"
#include "modVars.h"

#include <cstddef>
#include <cstdint>

namespace {

// Accepted chain lines counted the plain way: every line after the first whose text, without
// its line end and outer spaces, has at least 7 characters.
qsizetype acceptedLines(const QByteArray &data)
{
    QList<QByteArray> lines = data.split('\n');
    if (data.endsWith('\n'))
        lines.removeLast();
    qsizetype count = 0;
    for (qsizetype i = 1; i < lines.size(); ++i) {
        QByteArray line = lines[i];
        if (i + 1 < lines.size() || data.endsWith('\n')) {
            if (line.endsWith('\r'))
                line.chop(1);
        }
        while (line.startsWith(' '))
            line.remove(0, 1);
        while (line.endsWith(' '))
            line.chop(1);
        count += line.size() >= 7;
    }
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    const std::optional<ChainDatabase> database = parseChainDatabase(bytes);
    require(database.has_value() == !bytes.isEmpty(), "only an empty text has no version line");
    if (!database)
        return 0;
    require(!database->version.contains(QLatin1Char('\n')), "the version is one line");
    require(database->chains.size() == std::min<qsizetype>(acceptedLines(bytes), maxChains),
            "every accepted line takes one position, up to the table's size");
    for (const QString &chain : database->chains)
        require(chain.size() <= bytes.size() / 4 * 3, "a chain is no longer than its line allows");

    putFile(chainDatabaseFileName, bytes);
    for (int round = 0; round < 2; ++round) {
        QString error;
        require(loadChains(&error), "an existing, readable database loads");
        require(modVars.dbVersion == database->version, "loadChains keeps the version");
        require(modVars.chainCount == database->chains.size(), "loadChains counts every chain");
        for (int i = 1; i <= modVars.chainCount; ++i)
            require(modVars.chainTable[i] == database->chains[i - 1],
                    "chains keep their positions");
    }
    return 0;
}
