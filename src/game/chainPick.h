#pragma once

#include <QString>

class RandomSource;

// Words of a chain; longer words do not fit the board's list of hidden letters.
constexpr int wordsPerChain = 7;
constexpr int maxWordLength = 30;

// A chain line can be played when it holds seven words of 1 to 30 characters joined by single
// spaces, none of them a "*" (the board's mark of a hidden letter), and no capital letter: only
// the player's entry is lower-cased, so such a word could never be guessed.
bool isPlayableChain(const QString &chain);

// Whether any chain of positions 1..chainCount can be played.
bool hasPlayableChain();

// Picks the chain of a new game at random among the playable chains not used lately, marks it
// used and returns its position. The marks are cleared first when usedLimit games have been
// dealt since the last clearing, or when every playable chain is marked. 0 when no chain can
// be played at all.
int pickChain(RandomSource &random);
