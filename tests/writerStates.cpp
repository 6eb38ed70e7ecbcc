#include "writerStates.h"

#include "chainDatabase.h"
#include "modVars.h"
#include "optionsFile.h"
#include "programFolder.h"
#include "statsFile.h"
#include "tempProgramFolder.h"
#include "wholeFile.h"

#include <QStringList>

#include <array>

namespace {

// Different lengths, so that a file cut short or mixed from the two is neither; large files
// and small ones (written in one go) both.
constexpr std::array<int, 2> statsChains = {maxChains, 3};
constexpr std::array<int, 2> databaseChains = {maxChains, 9000};

struct Options
{
    int autoState, seconds, soundsState, advancedState;
};
constexpr std::array<Options, 2> optionStates = {Options{1, 60, 1, 0}, Options{0, 3600, 0, 1}};

QString chainText(int state, int position)
{
    return QStringLiteral("chain %1 of state %2 words here").arg(position).arg(state);
}

QString versionOf(int state)
{
    return QString::number(8 + state);
}

bool isCompleted(int state, int position)
{
    return position % (2 + state) == 0;
}

} // namespace

std::optional<WrittenFile> writtenFileNamed(const QString &name)
{
    const QStringList names{QStringLiteral("stats"), QStringLiteral("options"),
                            QStringLiteral("chains")};
    const qsizetype index = names.indexOf(name);
    return index < 0 ? std::nullopt : std::optional(WrittenFile(index));
}

QString fileNameOf(WrittenFile file)
{
    return QStringList{statsFileName, optionsFileName, chainDatabaseFileName}[int(file)];
}

const QByteArray &chainDatabaseState(int state)
{
    static const std::array<QByteArray, 2> texts = [] {
        std::array<QByteArray, 2> result;
        for (int s = 0; s < 2; ++s) {
            QStringList chains;
            for (int i = 1; i <= databaseChains[s]; ++i)
                chains.append(chainText(s, i));
            result[s] = chainDatabaseText(versionOf(s), chains);
        }
        return result;
    }();
    return texts[state];
}

int chainCountOf(WrittenFile file, int state)
{
    if (file == WrittenFile::Options)
        return 0;
    return file == WrittenFile::Stats ? statsChains[state] : databaseChains[state];
}

bool writeState(WrittenFile file, int state, QString *errorMessage)
{
    switch (file) {
    case WrittenFile::Stats:
        modVars.chainCount = statsChains[state];
        modVars.totalGames = 100 + state;
        modVars.totalScore = 50000 + 7 * state;
        for (int i = 1; i <= maxChains; ++i)
            modVars.chainCompleted[i] = isCompleted(state, i);
        return saveStats(errorMessage);
    case WrittenFile::Options: {
        const Options &o = optionStates[state];
        modVars.clockSeconds = o.seconds;
        return saveOptions(o.autoState, o.seconds, o.soundsState, o.advancedState, errorMessage);
    }
    case WrittenFile::ChainDatabase:
        break;
    }
    return writeWholeFile(programFile(chainDatabaseFileName), chainDatabaseState(state),
                          errorMessage);
}

bool holdsState(WrittenFile file, int state)
{
    switch (file) {
    case WrittenFile::Stats:
        if (modVars.totalGames != 100 + state || modVars.totalScore != 50000 + 7 * state)
            return false;
        for (int i = 1; i <= maxChains; ++i) {
            if (modVars.chainCompleted[i] != (i <= statsChains[state] && isCompleted(state, i)))
                return false;
        }
        return true;
    case WrittenFile::Options: {
        const Options &o = optionStates[state];
        return modVars.autoUpdate == (o.autoState == 1) && modVars.clockSeconds == o.seconds &&
               modVars.soundsOn == (o.soundsState == 1) &&
               modVars.advancedMode == (o.advancedState == 1);
    }
    case WrittenFile::ChainDatabase:
        break;
    }
    if (modVars.dbVersion != versionOf(state) || modVars.chainCount != databaseChains[state])
        return false;
    for (int i = 1; i <= modVars.chainCount; ++i) {
        if (modVars.chainTable[i] != chainText(state, i))
            return false;
    }
    return true;
}
