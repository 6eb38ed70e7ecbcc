#include "chainGame.h"

#include "chainPick.h"
#include "modVars.h"
#include "randomSource.h"
#include "scoring.h"
#include "statsFile.h"
#include "tickSource.h"

#include <QList>

#include <algorithm>

namespace {

QString withoutSpaces(QString text)
{
    return text.remove(QLatin1Char(' '));
}

} // namespace

bool ChainGame::startGame(RandomSource &random, QString *statsError)
{
    // A game counts as played from its start, finished or not.
    ++modVars.sessionGames;
    ++modVars.totalGames;
    const bool saved = saveStats(statsError);

    chainIndex = pickChain(random);
    const QString &chain = modVars.chainTable[chainIndex];
    chainWords = chain.split(QLatin1Char(' '));
    chainLetters = static_cast<int>(chain.size()) - (wordsPerChain - 1);

    rows = {chainWords[0], maskOf(chainWords[1]), notKnownRow,  notKnownRow,
            notKnownRow,   maskOf(chainWords[5]), chainWords[6]};
    lettersTaken = 0;
    wrongGuesses = 0;
    topIndex = 0;
    bottomIndex = wordsPerChain - 1;
    return saved;
}

QString ChainGame::maskOf(const QString &word)
{
    return QStringLiteral("* ").repeated(word.size());
}

int ChainGame::countShownLetters(int row) const
{
    const QString letters = withoutSpaces(rows[row]);
    return static_cast<int>(letters.size() - letters.count(QLatin1Char('*')));
}

bool ChainGame::oneLetterLeft(int row) const
{
    return withoutSpaces(rows[row]).size() == countShownLetters(row) + 1;
}

void ChainGame::revealLetter(QString &rowText, int row, RandomSource &random) const
{
    const QString letters = withoutSpaces(rowText);
    QList<int> hidden; // 0-based positions in the word
    for (int i = 0; i < letters.size(); ++i) {
        if (letters[i] == QLatin1Char('*'))
            hidden.append(i);
    }
    if (hidden.isEmpty())
        return;
    qsizetype k = 0;
    if (modVars.advancedMode) {
        const auto n = hidden.size();
        k = std::min<qsizetype>(static_cast<qsizetype>(random.next() * n), n - 1);
    }
    const int p = hidden[k];
    // Each character of a mask is followed by one space.
    rowText[2 * p] = chainWords[row][p];
}

int ChainGame::targetRow(Side side) const
{
    return side == Side::Below ? topIndex + 1 : bottomIndex - 1;
}

bool ChainGame::takeLetter(Side side, RandomSource &random)
{
    const int row = targetRow(side);
    if (oneLetterLeft(row))
        return false;
    ++lettersTaken;
    revealLetter(rows[row], row, random);
    return true;
}

ChainGame::Guess ChainGame::judgeGuess(Side side, const QString &entry)
{
    // Only spaces are trimmed, as a player would type them.
    qsizetype begin = 0;
    qsizetype end = entry.size();
    while (begin < end && entry[begin] == QLatin1Char(' '))
        ++begin;
    while (end > begin && entry[end - 1] == QLatin1Char(' '))
        --end;
    const QString guess = entry.mid(begin, end - begin).toLower();
    if (guess.isEmpty())
        return Guess::Ignored;
    if (guess == chainWords[targetRow(side)])
        return Guess::Right;
    ++wrongGuesses;
    return Guess::Wrong;
}

bool ChainGame::advanceTop()
{
    ++topIndex;
    rows[topIndex] = chainWords[topIndex];
    if (checkChainComplete())
        return true;
    // The row may already be a mask, shared with the bottom block, with letters shown in it.
    if (rows[topIndex + 1] == notKnownRow)
        rows[topIndex + 1] = maskOf(chainWords[topIndex + 1]);
    return false;
}

bool ChainGame::advanceBottom()
{
    --bottomIndex;
    rows[bottomIndex] = chainWords[bottomIndex];
    if (checkChainComplete())
        return true;
    if (rows[bottomIndex - 1] == notKnownRow)
        rows[bottomIndex - 1] = maskOf(chainWords[bottomIndex - 1]);
    return false;
}

bool ChainGame::checkChainComplete() const
{
    // Rows 0 and 6 are always whole.
    for (int row = 1; row <= 5; ++row) {
        if (rows[row].contains(QLatin1Char('*')))
            return false;
    }
    return true;
}

QString ChainGame::captionWord(Side side) const
{
    return chainWords[side == Side::Below ? topIndex : bottomIndex];
}

int ChainGame::scoreChain()
{
    const int score = chainScore(wrongGuesses + lettersTaken, chainLetters);
    modVars.sessionScore += score;
    modVars.totalScore += score;
    modVars.chainCompleted[chainIndex] = true;
    return score;
}

int ChainGame::secondsLeft(quint32 now) const
{
    return ::secondsLeft(modVars.clockSeconds, elapsedTicks(startTick, now));
}

void ChainGame::beginPause(quint32 now)
{
    pauseTick = now;
    paused = true;
}

void ChainGame::endPause(quint32 now)
{
    pauseTick = static_cast<quint32>(elapsedTicks(pauseTick, now));
    // Unsigned, so that it wraps with the tick count.
    startTick += pauseTick;
    paused = false;
}

std::optional<QString> spellingOf(const QString &rowText)
{
    if (rowText == ChainGame::notKnownRow)
        return std::nullopt;
    return withoutSpaces(rowText);
}
