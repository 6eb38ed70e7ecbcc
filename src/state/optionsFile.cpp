#include "optionsFile.h"

#include "fileExists.h"
#include "programFolder.h"
#include "textLines.h"
#include "valueLines.h"
#include "wholeFile.h"

QString optionsFilePath()
{
    return playerFile(optionsFileName);
}

GameOptions parseOptions(QByteArrayView data)
{
    const QList<QByteArrayView> lines = splitLines(data);
    const auto line = [&lines](qsizetype i) {
        return i < lines.size() ? lines[i] : QByteArrayView();
    };
    GameOptions options;
    options.autoUpdate = readMark(line(0)).value_or(defaultAutoUpdate);
    // A clock game needs time to play: a time of zero or less would be lost at once.
    const int seconds = readNumber(line(1)).value_or(defaultClockSeconds);
    options.clockSeconds = seconds > 0 ? seconds : defaultClockSeconds;
    options.soundsOn = readMark(line(2)).value_or(defaultSoundsOn);
    options.advancedMode = readMark(line(3)).value_or(defaultAdvancedMode);
    return options;
}

QByteArray serializeOptions(const GameOptions &options)
{
    return markLine(options.autoUpdate) + numberLine(options.clockSeconds) +
           markLine(options.soundsOn) + markLine(options.advancedMode);
}

namespace {

void useOptions(const GameOptions &options)
{
    modVars.autoUpdate = options.autoUpdate;
    modVars.clockSeconds = options.clockSeconds;
    modVars.soundsOn = options.soundsOn;
    modVars.advancedMode = options.advancedMode;
}

} // namespace

bool loadOptions(QString *errorMessage)
{
    useOptions(GameOptions{});
    const QString path = optionsFilePath();
    if (!fileExists(path))
        return true;
    const std::optional<QByteArray> content = readWholeFile(path, errorMessage);
    if (!content)
        return false;
    useOptions(parseOptions(*content));
    return true;
}

bool saveOptions(int autoState, int seconds, int soundsState, int advancedState,
                 QString *errorMessage)
{
    modVars.autoUpdate = autoState == 1;
    modVars.soundsOn = soundsState == 1;
    modVars.advancedMode = advancedState == 1;
    const GameOptions options{modVars.autoUpdate, seconds, modVars.soundsOn, modVars.advancedMode};
    return writeWholeFile(optionsFilePath(), serializeOptions(options), errorMessage);
}
