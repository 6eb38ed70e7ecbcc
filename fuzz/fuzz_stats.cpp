// Arbitrary bytes as chaininfo.txt, the first byte choosing how many chains are loaded (255
// for a full table): it reads as one mark per chain, and what is read is written and read
// back unchanged, two totals and one CR LF line per chain.

#include "fuzzSupport.h"
#include "modVars.h"
#include "statsFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int chains = data[0] == 255 ? maxChains : data[0];
    const Statistics read = parseStats(
        QByteArrayView(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1)), chains);
    require(read.completed.size() == chains, "one mark per loaded chain");
    const QByteArray written = serializeStats(read);
    require(written.count("\r\n") == chains + 2 && written.count('\n') == chains + 2,
            "two totals and one mark per chain, each line ended by CR LF");
    require(parseStats(written, chains) == read, "the statistics survive a save");
    return 0;
}
