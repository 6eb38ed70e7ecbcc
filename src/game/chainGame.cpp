#include "chainGame.h"

#include "randomSource.h"
#include "scoring.h"
#include "tickSource.h"

#include <algorithm>

ChainGame::ChainGame(const QString &chain, bool advancedMode, std::optional<int> clockSeconds,
                     const TickSource &ticks, RandomSource &random)
    : m_chainWords(chain.split(QLatin1Char(' ')))
    , m_chainLetters(static_cast<int>(chain.size()) - (wordsPerChain - 1))
    , m_advancedMode(advancedMode)
    , m_clockSeconds(clockSeconds)
    , m_ticks(ticks)
    , m_random(random)
    , m_startTick(ticks.tickCount())
{
    Q_ASSERT(isPlayableChain(chain));
    for (int row = 0; row < wordsPerChain; ++row)
        m_shown[row] = QList<bool>(m_chainWords[row].size(), false);
}

ChainGame::RowForm ChainGame::rowForm(int row) const
{
    if (row <= m_topIndex || row >= m_bottomIndex)
        return RowForm::Whole;
    // Only the words next to the solved blocks show their letters (one word when one is left).
    if (row == m_topIndex + 1 || row == m_bottomIndex - 1)
        return RowForm::Mask;
    return RowForm::NotKnown;
}

int ChainGame::countShownLetters(int row) const
{
    if (rowForm(row) == RowForm::Whole)
        return static_cast<int>(m_chainWords[row].size());
    return static_cast<int>(m_shown[row].count(true));
}

bool ChainGame::oneLetterLeft(int row) const
{
    return m_chainWords[row].size() == countShownLetters(row) + 1;
}

int ChainGame::targetRow(Side side) const
{
    return side == Side::Below ? m_topIndex + 1 : m_bottomIndex - 1;
}

const QString &ChainGame::captionWord(Side side) const
{
    return m_chainWords[side == Side::Below ? m_topIndex : m_bottomIndex];
}

bool ChainGame::takeLetter(Side side)
{
    const int row = targetRow(side);
    if (oneLetterLeft(row))
        return false;
    ++m_lettersTaken;
    revealLetter(row);
    return true;
}

void ChainGame::revealLetter(int row)
{
    QList<int> hidden;
    for (int position = 0; position < m_shown[row].size(); ++position) {
        if (!m_shown[row][position])
            hidden.append(position);
    }
    if (hidden.isEmpty())
        return;
    // Left to right; in Advanced Mode any hidden letter with equal chance.
    qsizetype k = 0;
    if (m_advancedMode) {
        const qsizetype n = hidden.size();
        k = std::min<qsizetype>(static_cast<qsizetype>(m_random.next() * n), n - 1);
    }
    m_shown[row][hidden[k]] = true;
}

ChainGame::Guess ChainGame::guess(Side side, const QString &entry)
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
    if (guess == m_chainWords[targetRow(side)])
        return Guess::Right;
    ++m_wrongGuesses;
    return Guess::Wrong;
}

// The next word keeps the letters shown in it when it is also the bottom block's neighbour.
bool ChainGame::advanceTop()
{
    ++m_topIndex;
    return checkChainComplete();
}

bool ChainGame::advanceBottom()
{
    --m_bottomIndex;
    return checkChainComplete();
}

bool ChainGame::checkChainComplete() const
{
    // While a word is hidden it lies between the two solved blocks.
    return m_topIndex + 1 >= m_bottomIndex;
}

int ChainGame::score() const
{
    return chainScore(m_wrongGuesses + m_lettersTaken, m_chainLetters);
}

std::optional<int> ChainGame::secondsLeft() const
{
    if (!m_clockSeconds)
        return std::nullopt;
    return ::secondsLeft(*m_clockSeconds, elapsedTicks(m_startTick, m_ticks.tickCount()));
}

void ChainGame::beginPause()
{
    m_pauseTick = m_ticks.tickCount();
    m_paused = true;
}

void ChainGame::endPause()
{
    // Unsigned, so that both wrap with the tick count.
    m_startTick += static_cast<quint32>(elapsedTicks(m_pauseTick, m_ticks.tickCount()));
    m_paused = false;
}
