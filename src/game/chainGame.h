#pragma once

#include "chainPick.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <array>
#include <optional>

class RandomSource;
class TickSource;

// The rules of one game of one chain: which letters of each word are shown, the solved blocks
// at the top and the bottom, the counts that make the score, and the clock with its pauses.
// It knows no widget, no file and no global; the board asks it and draws (rowText).
class ChainGame
{
public:
    // Below works on the word under the solved block at the top, Above on the word over the
    // solved block at the bottom.
    enum class Side { Below, Above };
    enum class Guess { Ignored, Right, Wrong };
    // A row shows its word whole, as a mask of hidden and shown letters, or not at all.
    enum class RowForm { Whole, Mask, NotKnown };

    // chain: seven words joined by single spaces (isPlayableChain). clockSeconds: the time of
    // a clock game, nothing in a standard game. The clock starts now.
    ChainGame(const QString &chain, bool advancedMode, std::optional<int> clockSeconds,
              const TickSource &ticks, RandomSource &random);

    RowForm rowForm(int row) const;
    const QString &word(int row) const { return m_chainWords[row]; }
    bool isLetterShown(int row, int position) const { return m_shown[row][position]; }
    // Letters of the row the player can read.
    int countShownLetters(int row) const;
    // Exactly one letter of the row is still hidden.
    bool oneLetterLeft(int row) const;

    // The row a take-letter or guess button of that side works on.
    int targetRow(Side side) const;
    // The word a button caption names: the solved word next to that side's target.
    const QString &captionWord(Side side) const;

    // Shows one more letter of the target row and counts it; refused (false) when only its
    // last letter is hidden, which must be guessed.
    bool takeLetter(Side side);
    // Judges an entry against the target word: spaces around it and its case do not matter.
    // A wrong guess is counted.
    Guess guess(Side side, const QString &entry);
    // After a right guess: the target word joins its solved block. True when that finished
    // the chain.
    bool advanceTop();
    bool advanceBottom();
    // No hidden letter is left in the chain.
    bool checkChainComplete() const;

    int lettersTaken() const { return m_lettersTaken; }
    int wrongGuesses() const { return m_wrongGuesses; }
    // (1 - (letters taken + wrong guesses) / letters of the chain) x 1000, at least 0.
    int score() const;

    // Whole seconds left of a clock game, never below 0; nothing in a standard game.
    std::optional<int> secondsLeft() const;
    // While a box is open the clock stands still: the pause's length is not charged.
    void beginPause();
    void endPause();
    bool isPaused() const { return m_paused; }

private:
    // Shows one hidden letter of the row's word, never counted here (takeLetter counts).
    void revealLetter(int row);

    QStringList m_chainWords;
    // The letters taken so far, per word. Which words show whole, as masks or not at all
    // follows from the two solved blocks.
    std::array<QList<bool>, wordsPerChain> m_shown;
    int m_chainLetters = 0;
    int m_lettersTaken = 0;
    int m_wrongGuesses = 0;
    int m_topIndex = 0;
    int m_bottomIndex = wordsPerChain - 1;
    bool m_advancedMode = false;

    std::optional<int> m_clockSeconds;
    const TickSource &m_ticks;
    RandomSource &m_random;
    // Moved on by the length of every pause, so that pauses do not count as playing time.
    quint32 m_startTick = 0;
    quint32 m_pauseTick = 0;
    bool m_paused = false;
};
