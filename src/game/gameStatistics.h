#pragma once

class Dialogs;
class QWidget;

// The statistics of play: the only place a game changes them in the game state and saves them.
// A failed write is told to the player once per run, then the game goes on.

// A game counts as played from its start, finished or not.
void countGameStarted(Dialogs &dialogs, QWidget *parent);

// A finished chain: its score into the session and lifetime sums and its completed mark,
// saved at once, so that a program ended while the score is shown keeps the won chain.
void countChainWon(int chainIndex, int score, Dialogs &dialogs, QWidget *parent);
