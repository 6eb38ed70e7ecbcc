#pragma once

#include <QtGlobal>

// Whole numbers from fractions: halves go to the even neighbour (2.5 -> 2, 3.5 -> 4).
int roundHalfEven(double value);

// (1 - penalty / chainLetters) x 1000, rounded, never below 0. penalty is letters taken plus
// wrong guesses.
int chainScore(int penalty, int chainLetters);

// An average of points per game, rounded; 0 when no game was played.
int averageScore(int score, int games);

// Whole seconds left of a clock game after elapsedMs of play; never below 0.
int secondsLeft(int clockSeconds, qint64 elapsedMs);
