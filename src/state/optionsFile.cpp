#include "optionsFile.h"

#include "fileExists.h"
#include "modVars.h"
#include "programFolder.h"
#include "textLines.h"
#include "valueLines.h"
#include "wholeFile.h"

bool loadOptions(QString *errorMessage)
{
    modVars.autoUpdate = defaultAutoUpdate;
    modVars.clockSeconds = defaultClockSeconds;
    modVars.soundsOn = defaultSoundsOn;
    modVars.advancedMode = defaultAdvancedMode;

    const QString path = playerFile(optionsFileName);
    if (!fileExists(path))
        return true;
    const std::optional<QByteArray> content = readWholeFile(path, errorMessage);
    if (!content)
        return false;
    const QList<QByteArrayView> lines = splitLines(*content);
    const auto line = [&lines](qsizetype i) {
        return i < lines.size() ? lines[i] : QByteArrayView();
    };
    modVars.autoUpdate = readMark(line(0)).value_or(defaultAutoUpdate);
    // A clock game needs time to play: a time of zero or less would be lost at once.
    const int seconds = readNumber(line(1)).value_or(defaultClockSeconds);
    modVars.clockSeconds = seconds > 0 ? seconds : defaultClockSeconds;
    modVars.soundsOn = readMark(line(2)).value_or(defaultSoundsOn);
    modVars.advancedMode = readMark(line(3)).value_or(defaultAdvancedMode);
    return true;
}

bool saveOptions(int autoState, int seconds, int soundsState, int advancedState,
                 QString *errorMessage)
{
    modVars.autoUpdate = autoState == 1;
    modVars.soundsOn = soundsState == 1;
    modVars.advancedMode = advancedState == 1;
    const QByteArray content = markLine(modVars.autoUpdate) + numberLine(seconds) +
                               markLine(modVars.soundsOn) + markLine(modVars.advancedMode);
    return writeWholeFile(playerFile(optionsFileName), content, errorMessage);
}
