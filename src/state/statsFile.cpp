#include "statsFile.h"

#include "fileExists.h"
#include "modVars.h"
#include "programFolder.h"
#include "textLines.h"
#include "valueLines.h"
#include "wholeFile.h"

#include <algorithm>

QString statsFilePath()
{
    return playerFile(statsFileName);
}

Statistics parseStats(QByteArrayView data, int chainCount)
{
    // Line by line as read, without a list of the lines: this runs at every start. Missing
    // lines leave the zeros and the unmarked chains.
    Statistics statistics;
    statistics.completed.resize(std::max(chainCount, 0));
    const qsizetype lineCount = statistics.completed.size() + 2;
    qsizetype i = 0;
    forEachLine(data, [&](QByteArrayView line) {
        if (i == 0)
            statistics.totalGames = readNumber(line).value_or(0);
        else if (i == 1)
            statistics.totalScore = readNumber(line).value_or(0);
        else
            statistics.completed[i - 2] = readMark(line).value_or(false);
        return ++i < lineCount;
    });
    return statistics;
}

QByteArray serializeStats(const Statistics &statistics)
{
    QByteArray content = numberLine(statistics.totalGames) + numberLine(statistics.totalScore);
    content.reserve(content.size() + statistics.completed.size() * 9);
    for (const bool completed : statistics.completed)
        content += markLine(completed);
    return content;
}

bool loadStats(QString *errorMessage)
{
    modVars.totalGames = 0;
    modVars.totalScore = 0;
    std::fill(modVars.chainCompleted.begin(), modVars.chainCompleted.end(), false);

    const QString path = statsFilePath();
    if (!fileExists(path))
        return true;
    const std::optional<QByteArray> content = readWholeFile(path, errorMessage);
    if (!content)
        return false;
    const Statistics statistics = parseStats(*content, modVars.chainCount);
    modVars.totalGames = statistics.totalGames;
    modVars.totalScore = statistics.totalScore;
    std::copy(statistics.completed.begin(), statistics.completed.end(),
              modVars.chainCompleted.begin() + 1);
    return true;
}

bool saveStats(QString *errorMessage)
{
    const auto first = modVars.chainCompleted.begin() + 1;
    const Statistics statistics{modVars.totalGames, modVars.totalScore,
                                QList<bool>(first, first + modVars.chainCount)};
    return writeWholeFile(statsFilePath(), serializeStats(statistics), errorMessage);
}
