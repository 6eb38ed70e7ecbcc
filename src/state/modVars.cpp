#include "modVars.h"

#include <algorithm>

GameState modVars;

void resetModVars()
{
    modVars = GameState{};
}

void resetUsedChains()
{
    modVars.usedCount = 0;
    std::fill(modVars.chainUsed.begin(), modVars.chainUsed.end(), false);
}

int countCompleted()
{
    const auto first = modVars.chainCompleted.begin() + 1;
    return static_cast<int>(std::count(first, first + modVars.chainCount, true));
}

bool isClockGame()
{
    // Like reading the leading number of the text: "1" or " 1" is a clock game, "" is not.
    bool ok = false;
    const int value = modVars.clockGame.trimmed().toInt(&ok);
    return ok && value != 0;
}
