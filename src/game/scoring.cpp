#include "scoring.h"

#include <algorithm>
#include <cmath>

int roundHalfEven(double value)
{
    // nearbyint rounds in the current rounding mode, which is to-nearest-even by default;
    // std::round and qRound would send halves away from zero.
    return static_cast<int>(std::nearbyint(value));
}

int chainScore(int penalty, int chainLetters)
{
    if (chainLetters <= 0)
        return 0;
    const double score = (1.0 - static_cast<double>(penalty) / chainLetters) * 1000.0;
    return std::max(0, roundHalfEven(score));
}

int averageScore(int score, int games)
{
    if (games == 0)
        return 0;
    return roundHalfEven(static_cast<double>(score) / games);
}

int secondsLeft(int clockSeconds, qint64 elapsedMs)
{
    const qint64 elapsedSeconds = static_cast<qint64>(std::nearbyint(elapsedMs / 1000.0));
    return static_cast<int>(std::max<qint64>(0, clockSeconds - elapsedSeconds));
}
