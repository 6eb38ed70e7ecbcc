#include "gameStatistics.h"

#include "dialogs.h"
#include "gameTexts.h"
#include "modVars.h"
#include "statsFile.h"

namespace {

void saveStatistics(Dialogs &dialogs, QWidget *parent)
{
    QString error;
    if (saveStats(&error))
        return;
    // Once per run: a read-only folder would otherwise interrupt every game twice.
    if (modVars.statsWriteFailureShown)
        return;
    modVars.statsWriteFailureShown = true;
    dialogs.message(parent, statsWriteFailureText(error));
}

} // namespace

void countGameStarted(Dialogs &dialogs, QWidget *parent)
{
    ++modVars.sessionGames;
    ++modVars.totalGames;
    saveStatistics(dialogs, parent);
}

void countChainWon(int chainIndex, int score, Dialogs &dialogs, QWidget *parent)
{
    modVars.sessionScore += score;
    modVars.totalScore += score;
    modVars.chainCompleted[chainIndex] = true;
    saveStatistics(dialogs, parent);
}
