// Arbitrary bytes as options.dat: they read as options with a playable clock time, and what is
// read is written and read back unchanged.

#include "fuzzSupport.h"
#include "optionsFile.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const GameOptions read =
        parseOptions(QByteArrayView(reinterpret_cast<const char *>(data), qsizetype(size)));
    require(read.clockSeconds > 0, "a clock game always has time to play");
    const QByteArray written = serializeOptions(read);
    require(written.count("\r\n") == 4 && written.count('\n') == 4, "four lines ended by CR LF");
    require(parseOptions(written) == read, "the options survive a save");
    return 0;
}
