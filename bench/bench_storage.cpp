#include "chainDatabase.h"
#include "modEncrypt64Bit.h"
#include "modVars.h"
#include "programFolder.h"
#include "statsFile.h"

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

QString randomWord(QRandomGenerator &generator)
{
    QString word;
    const int length = 3 + generator.bounded(8);
    for (int i = 0; i < length; ++i)
        word.append(QChar('a' + generator.bounded(26)));
    return word;
}

QByteArray databaseOf(int chains)
{
    QRandomGenerator generator(7);
    QByteArray text = "8\r\n";
    for (int i = 0; i < chains; ++i) {
        QStringList words;
        for (int w = 0; w < 7; ++w)
            words.append(randomWord(generator));
        text += base64Encode(words.join(' ').toLatin1()).toLatin1() + "\r\n";
    }
    return text;
}

void loadChainsOf10000(benchmark::State &state)
{
    QTemporaryDir dir;
    setProgramFolder(dir.path());
    QFile file(dir.filePath(chainDatabaseFileName));
    file.open(QIODevice::WriteOnly);
    file.write(databaseOf(maxChains));
    file.close();
    for (auto _ : state) {
        loadChains();
        benchmark::DoNotOptimize(modVars.chainCount);
    }
    if (modVars.chainCount != maxChains)
        state.SkipWithError("not every chain was loaded");
}
BENCHMARK(loadChainsOf10000)->Unit(benchmark::kMillisecond);

void decodeChainLine(benchmark::State &state)
{
    const QString line = base64Encode(QByteArray("fire place card board game show boat"));
    for (auto _ : state)
        benchmark::DoNotOptimize(base64Decode(line));
    state.SetBytesProcessed(state.iterations() * line.size());
}
BENCHMARK(decodeChainLine);

void decodeLargeText(benchmark::State &state)
{
    const QString text = base64Encode(QByteArray(1 << 20, 'q'));
    for (auto _ : state)
        benchmark::DoNotOptimize(base64Decode(text));
    state.SetBytesProcessed(state.iterations() * text.size());
}
BENCHMARK(decodeLargeText)->Unit(benchmark::kMillisecond);

void encodeLargeBytes(benchmark::State &state)
{
    const QByteArray bytes(1 << 20, 'q');
    for (auto _ : state)
        benchmark::DoNotOptimize(base64Encode(bytes));
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(encodeLargeBytes)->Unit(benchmark::kMillisecond);

void saveStatsOf10000(benchmark::State &state)
{
    QTemporaryDir dir;
    setProgramFolder(dir.path());
    modVars.chainCount = maxChains;
    for (auto _ : state)
        saveStats();
}
BENCHMARK(saveStatsOf10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
