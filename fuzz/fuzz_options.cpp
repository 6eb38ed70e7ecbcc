// Arbitrary bytes as options.dat: loading always succeeds with a playable clock time, and what
// is loaded survives a save and a second load unchanged.

#include "fuzzSupport.h"
#include "modVars.h"
#include "optionsFile.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    putFile(optionsFileName, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));

    modVars.clockSeconds = -1;
    modVars.autoUpdate = modVars.soundsOn = modVars.advancedMode = true;
    require(loadOptions(), "an existing, readable options file loads");
    require(modVars.clockSeconds > 0, "a clock game always has time to play");

    const bool autoUpdate = modVars.autoUpdate;
    const int seconds = modVars.clockSeconds;
    const bool soundsOn = modVars.soundsOn;
    const bool advancedMode = modVars.advancedMode;
    require(saveOptions(autoUpdate ? 1 : 0, seconds, soundsOn ? 1 : 0, advancedMode ? 1 : 0),
            "the options can be saved");
    modVars.clockSeconds = -1;
    modVars.autoUpdate = !autoUpdate;
    modVars.soundsOn = !soundsOn;
    modVars.advancedMode = !advancedMode;
    require(loadOptions(), "saved options load");
    require(modVars.autoUpdate == autoUpdate && modVars.clockSeconds == seconds &&
                modVars.soundsOn == soundsOn && modVars.advancedMode == advancedMode,
            "the options survive a save");
    return 0;
}
