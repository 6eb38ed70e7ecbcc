#include "statsFile.h"

#include "fileExists.h"
#include "modVars.h"
#include "programFolder.h"
#include "textLines.h"
#include "valueLines.h"
#include "wholeFile.h"

#include <algorithm>

bool loadStats(QString *errorMessage)
{
    modVars.totalGames = 0;
    modVars.totalScore = 0;
    std::fill(modVars.chainCompleted.begin(), modVars.chainCompleted.end(), false);

    const QString path = playerFile(statsFileName);
    if (!fileExists(path))
        return true;
    const std::optional<QByteArray> content = readWholeFile(path, errorMessage);
    if (!content)
        return false;
    const QList<QByteArrayView> lines = splitLines(*content);
    if (lines.size() > 0)
        modVars.totalGames = readNumber(lines[0]).value_or(0);
    if (lines.size() > 1)
        modVars.totalScore = readNumber(lines[1]).value_or(0);
    const qsizetype marks = std::min<qsizetype>(modVars.chainCount, lines.size() - 2);
    for (qsizetype i = 1; i <= marks; ++i)
        modVars.chainCompleted[i] = readMark(lines[i + 1]).value_or(false);
    return true;
}

bool saveStats(QString *errorMessage)
{
    QByteArray content = numberLine(modVars.totalGames) + numberLine(modVars.totalScore);
    content.reserve(content.size() + modVars.chainCount * 9);
    for (int i = 1; i <= modVars.chainCount; ++i)
        content += markLine(modVars.chainCompleted[i]);
    return writeWholeFile(playerFile(statsFileName), content, errorMessage);
}
