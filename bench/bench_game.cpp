#include "chainGame.h"
#include "chainPick.h"
#include "modVars.h"
#include "randomSource.h"
#include "rowText.h"
#include "tickSource.h"

#include <QRandomGenerator>

#include <benchmark/benchmark.h>

namespace {

class GeneratorRandom : public RandomSource
{
public:
    void seedFromTimeOfDay() override {}
    double next() override { return m_generator.generateDouble(); }

private:
    QRandomGenerator m_generator{11};
};

class StillTicks : public TickSource
{
public:
    quint32 tickCount() const override { return 0; }
};

void fillTable(int chains)
{
    modVars.chainCount = 0;
    for (int i = 1; i <= chains; ++i)
        modVars.chainTable[++modVars.chainCount] =
            QStringLiteral("fire%1 place card board game show boat").arg(i);
}

// The pick at the start of every game scans the whole table for chains it can deal.
void pickChainAmong10000(benchmark::State &state)
{
    fillTable(maxChains);
    GeneratorRandom random;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pickChain(random));
    }
}
BENCHMARK(pickChainAmong10000)->Unit(benchmark::kMicrosecond);

// A take-letter press: the reveal and the row the board redraws.
void takeLettersOfAWord(benchmark::State &state)
{
    fillTable(1);
    GeneratorRandom random;
    const StillTicks ticks;
    for (auto _ : state) {
        ChainGame game(modVars.chainTable[1], true, std::nullopt, ticks, random);
        while (game.takeLetter(ChainGame::Side::Below))
            benchmark::DoNotOptimize(rowText(game, 1));
    }
}
BENCHMARK(takeLettersOfAWord);

} // namespace

BENCHMARK_MAIN();
