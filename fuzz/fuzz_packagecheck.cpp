// Arbitrary bytes as a reply to /chayn.tx0: whatever the package check lets through installs
// and loads as a database of at least one chain.

#include "chainDatabase.h"
#include "fuzzSupport.h"
#include "modVars.h"
#include "packageCheck.h"
#include "programFolder.h"
#include "wholeFile.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray reply(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!isChainDatabasePackage(reply))
        return 0;
    require(reply.size() > 100, "a short reply is refused");
    require(std::none_of(reply.begin(), reply.end(),
                         [](char c) {
                             const auto code = static_cast<unsigned char>(c);
                             return (code < 0x20 && c != '\r' && c != '\n') || code == 0x7f;
                         }),
            "a reply with control characters is refused");

    fuzzProgramFolder();
    require(writeWholeFile(programFile(chainDatabaseFileName), reply, nullptr),
            "an accepted package can be installed");
    require(loadChains(), "an installed package loads");
    require(modVars.chainCount >= 1, "an installed package holds a chain");
    return 0;
}
