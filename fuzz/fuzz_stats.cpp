// Arbitrary bytes as chaininfo.txt, the first byte choosing how many chains are loaded (255
// stands for a full table):
// loading always succeeds, sets no mark past the loaded chains, and what is loaded survives a
// save and a second load unchanged.

#include "fuzzSupport.h"
#include "modVars.h"
#include "statsFile.h"

#include <QDir>
#include <QFile>

#include <algorithm>
#include <cstddef>
#include <cstdint>

namespace {

QByteArray statsFileContent()
{
    QFile file(QDir(fuzzProgramFolder()).filePath(statsFileName));
    require(file.open(QIODevice::ReadOnly), "the saved statistics can be read back");
    return file.readAll();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    if (size < 1)
        return 0;
    const int chainCount = data[0] == 255 ? maxChains : data[0];
    putFile(statsFileName,
            QByteArray(reinterpret_cast<const char *>(data) + 1, qsizetype(size - 1)));

    modVars.totalGames = modVars.totalScore = -1;
    modVars.chainCount = chainCount;
    std::fill(modVars.chainCompleted.begin(), modVars.chainCompleted.end(), true);
    require(loadStats(), "an existing, readable statistics file loads");
    require(std::none_of(modVars.chainCompleted.begin() + chainCount + 1,
                         modVars.chainCompleted.end(), [](bool mark) { return mark; }),
            "no completed mark past the loaded chains");
    require(!modVars.chainCompleted[0], "position 0 is never marked");

    const int games = modVars.totalGames;
    const int score = modVars.totalScore;
    const auto marks = modVars.chainCompleted;
    require(saveStats(), "the statistics can be saved");
    const QByteArray saved = statsFileContent();
    require(loadStats(), "saved statistics load");
    require(modVars.totalGames == games && modVars.totalScore == score,
            "the totals survive a save");
    require(modVars.chainCompleted == marks, "the marks survive a save");
    require(saveStats() && statsFileContent() == saved, "saving again writes the same file");
    require(saved.count("\r\n") == chainCount + 2, "two totals and one mark per chain");
    return 0;
}
