#include "modEncrypt64Bit.h"
#include "packageCheck.h"
#include "rateLimiter.h"
#include "requestHandler.h"
#include "submissionStore.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QUrl>

#include <benchmark/benchmark.h>

namespace {

// A full package: the version line and 10000 chains of seven words.
QByteArray packageOf10000()
{
    QByteArray text = "8\r\n";
    for (int i = 0; i < 10000; ++i) {
        const QString chain =
            QStringLiteral("word%1 place card board game show boat").arg(i % 97, 3, 10, QChar('0'));
        text += base64Encode(chain.toLatin1()).toLatin1() + "\r\n";
    }
    return text;
}

// The check an update runs on a downloaded database before writing it.
void checkPackageOf10000(benchmark::State &state)
{
    const QByteArray package = packageOf10000();
    for (auto _ : state)
        benchmark::DoNotOptimize(isChainDatabasePackage(package));
    state.SetBytesProcessed(state.iterations() * package.size());
}
BENCHMARK(checkPackageOf10000)->Unit(benchmark::kMillisecond);

// One submission from request target to a committed row (WAL, synchronous commit).
void storeSubmission(benchmark::State &state)
{
    QTemporaryDir dir;
    SubmissionStore store(dir.filePath(QStringLiteral("s.sqlite")).toStdString());
    RateLimiter limiter(1 << 30);
    RequestHandler handler(dir.path().toStdString(), store, limiter);
    const std::string target =
        "/chain.php?one=" +
        QUrl::toPercentEncoding(QStringLiteral("Ann sent: fire place card board game show boat"))
            .toStdString();
    for (auto _ : state)
        benchmark::DoNotOptimize(handler.handle({"GET", target, "127.0.0.1"}).status);
}
BENCHMARK(storeSubmission)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
