// Arbitrary bytes as a reply to /chayn.tx0: what the package check lets through is longer than
// 100 characters, holds no control character but line ends, and reads as a database of at least
// one chain.

#include "chainDatabase.h"
#include "fuzzSupport.h"
#include "packageCheck.h"

#include <algorithm>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray reply(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!isChainDatabasePackage(reply))
        return 0;
    require(reply.size() > 100, "a short reply is refused");
    require(std::none_of(
                reply.begin(), reply.end(),
                [](char c) { return (uchar(c) < 0x20 && c != '\r' && c != '\n') || c == 0x7f; }),
            "a reply with control characters is refused");
    const std::optional<ChainDatabase> database = parseChainDatabase(reply);
    require(database && !database->chains.isEmpty(), "an accepted package holds a chain");
    return 0;
}
