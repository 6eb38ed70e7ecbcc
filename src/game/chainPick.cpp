#include "chainPick.h"

#include "modVars.h"
#include "randomSource.h"

#include <QList>

#include <algorithm>

namespace {

bool isWordCharacter(QChar c)
{
    return !c.isSpace() && c != QLatin1Char('*');
}

bool canDeal(int position)
{
    return !modVars.chainUsed[position] && isPlayableChain(modVars.chainTable[position]);
}

QList<int> dealableChains()
{
    QList<int> positions;
    for (int i = 1; i <= modVars.chainCount; ++i) {
        if (canDeal(i))
            positions.append(i);
    }
    return positions;
}

// floor(r x count) + 1, kept within 1..count: r x count can round up to count itself when r
// lies just below 1.
int drawPosition(RandomSource &random, int count)
{
    const int position = static_cast<int>(random.next() * count) + 1;
    return std::clamp(position, 1, count);
}

} // namespace

bool isPlayableChain(const QString &chain)
{
    const QStringList words = chain.split(QLatin1Char(' '));
    if (words.size() != wordsPerChain)
        return false;
    return std::all_of(words.cbegin(), words.cend(), [](const QString &word) {
        return !word.isEmpty() && word.size() <= maxWordLength &&
               std::all_of(word.cbegin(), word.cend(), isWordCharacter) && word.toLower() == word;
    });
}

bool hasPlayableChain()
{
    for (int i = 1; i <= modVars.chainCount; ++i) {
        if (isPlayableChain(modVars.chainTable[i]))
            return true;
    }
    return false;
}

int pickChain(RandomSource &random)
{
    if (modVars.usedCount >= usedLimit)
        resetUsedChains();
    QList<int> candidates = dealableChains();
    if (candidates.isEmpty()) {
        // Fewer playable chains than usedLimit, all of them dealt: start the round again.
        resetUsedChains();
        candidates = dealableChains();
        if (candidates.isEmpty())
            return 0;
    }
    // One draw over the whole table; when it hits a used or unplayable chain, one more draw
    // among the candidates. Each candidate stays equally likely, and the pick never loops.
    int position = drawPosition(random, modVars.chainCount);
    if (!canDeal(position))
        position = candidates[drawPosition(random, static_cast<int>(candidates.size())) - 1];
    modVars.chainUsed[position] = true;
    ++modVars.usedCount;
    return position;
}
