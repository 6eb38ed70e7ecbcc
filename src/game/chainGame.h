#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class RandomSource;

// One game of one chain: the board state and the rules, without any widget. The seven row
// texts are the only record of which letters have been revealed; the board shows them as they
// are.
class ChainGame
{
public:
    // Below works on the word under the solved block at the top, Above on the word over the
    // solved block at the bottom.
    enum class Side { Below, Above };
    enum class Guess { Ignored, Right, Wrong };

    static inline const QString notKnownRow = QStringLiteral("[not known]");

    // Counts the game, saves the statistics, picks an unused playable chain and lays out the
    // rows. Needs hasPlayableChain(). False when the statistics could not be written; the game
    // is set up all the same.
    bool startGame(RandomSource &random, QString *statsError = nullptr);

    // "* " once per character: every letter hidden.
    static QString maskOf(const QString &word);

    // Characters of a row, spaces left out, that are not "*".
    int countShownLetters(int row) const;
    // Exactly one letter of the row is still hidden.
    bool oneLetterLeft(int row) const;
    // Shows one hidden letter of rowText, which holds the mask of word `row`: the leftmost one,
    // or in Advanced Mode any of them with equal chance.
    void revealLetter(QString &rowText, int row, RandomSource &random) const;

    // The row a take-letter or guess button of that side works on.
    int targetRow(Side side) const;
    // Reveals one more letter of the target row and counts it; nothing when only its last
    // letter is hidden (false).
    bool takeLetter(Side side, RandomSource &random);
    // Judges an entry against the target word: spaces around it and its case do not matter.
    // A wrong guess is counted.
    Guess judgeGuess(Side side, const QString &entry);

    // A right guess adds the target word to its solved block. True when that finished the
    // chain; otherwise the next word to solve shows as a mask.
    bool advanceTop();
    bool advanceBottom();
    // No hidden letter left in rows 1 to 5.
    bool checkChainComplete() const;

    // The word a button caption names: the solved word next to that side's target.
    QString captionWord(Side side) const;

    // Scores the finished chain into the session and lifetime sums and marks it completed.
    // Returns the score.
    int scoreChain();

    // The clock, in the tick count's milliseconds. A pause moves startTick on by its length.
    int secondsLeft(quint32 now) const;
    void beginPause(quint32 now);
    void endPause(quint32 now);

    // Board state.
    int chainIndex = 0;
    QStringList chainWords;
    int chainLetters = 0;
    int lettersTaken = 0;
    int wrongGuesses = 0;
    int topIndex = 0;
    int bottomIndex = 6;
    quint32 startTick = 0;
    quint32 pauseTick = 0;
    bool paused = false;
    QStringList rows;
};

// What Ctrl+W shows for a row: the row without spaces; nothing for a word not yet known.
std::optional<QString> spellingOf(const QString &rowText);
