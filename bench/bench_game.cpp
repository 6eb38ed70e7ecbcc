#include "chainGame.h"
#include "chainPick.h"
#include "modVars.h"
#include "randomSource.h"

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

// The rows a take-letter press rewrites.
void takeLettersOfAWord(benchmark::State &state)
{
    fillTable(1);
    GeneratorRandom random;
    ChainGame game;
    for (auto _ : state) {
        game.chainIndex = 1;
        game.chainWords = modVars.chainTable[1].split(' ');
        game.rows = QStringList(7, ChainGame::notKnownRow);
        game.rows[1] = ChainGame::maskOf(game.chainWords[1]);
        while (game.takeLetter(ChainGame::Side::Below, random)) {
        }
        benchmark::DoNotOptimize(game.rows[1]);
    }
}
BENCHMARK(takeLettersOfAWord);

} // namespace

BENCHMARK_MAIN();
