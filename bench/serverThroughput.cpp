// Requests per second of the real quillora-server on loopback: GET /chayn.tx0 of a
// 10000-chain package, then chain submissions, each from a fixed number of concurrent
// connections, bounded in count and in time.
//   bench_server [requests-per-kind (20000)] [connections (20)]

#include "serverMemory.h"
#include "tempProgramFolder.h"
#include "updateServerProcess.h"

#include <QCoreApplication>
#include <QUrl>

#include <httplib.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto timeLimit = 60s;

struct Outcome
{
    int ok = 0;
    int failed = 0;
    double seconds = 0;
    std::vector<double> latenciesMs;
};

// `total` requests shared out among `connections` threads; each thread stops at the time limit.
Outcome hammer(const QString &host, int total, int connections,
               const std::function<std::string(int)> &target, size_t expectedBytes)
{
    const std::string address = host.section(u':', 0, 0).toStdString();
    const int port = host.section(u':', 1).toInt();
    std::atomic<int> next = 0;
    std::atomic<int> ok = 0;
    std::atomic<int> failed = 0;
    std::vector<std::vector<double>> latencies(static_cast<size_t>(connections));
    const Clock::time_point start = Clock::now();
    const Clock::time_point deadline = start + timeLimit;
    std::vector<std::thread> threads;
    for (int c = 0; c < connections; ++c) {
        threads.emplace_back([&, c] {
            httplib::Client client(address, port);
            client.set_read_timeout(10s);
            for (int i = next++; i < total && Clock::now() < deadline; i = next++) {
                const Clock::time_point sent = Clock::now();
                const httplib::Result result = client.Get(target(i));
                const bool good = result && result->status == 200 &&
                                  (expectedBytes == 0 || result->body.size() == expectedBytes);
                ++(good ? ok : failed);
                latencies[static_cast<size_t>(c)].push_back(
                    std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    Outcome outcome{ok, failed, std::chrono::duration<double>(Clock::now() - start).count(), {}};
    for (const std::vector<double> &some : latencies)
        outcome.latenciesMs.insert(outcome.latenciesMs.end(), some.begin(), some.end());
    std::sort(outcome.latenciesMs.begin(), outcome.latenciesMs.end());
    return outcome;
}

void report(const char *what, const Outcome &outcome)
{
    const auto percentile = [&](double p) {
        if (outcome.latenciesMs.empty())
            return 0.0;
        return outcome.latenciesMs[static_cast<size_t>(p * (outcome.latenciesMs.size() - 1))];
    };
    std::printf("%-12s %7d ok %5d failed in %6.2f s: %8.0f requests/s, latency p50 %.2f ms, "
                "p99 %.2f ms\n",
                what, outcome.ok, outcome.failed, outcome.seconds, outcome.ok / outcome.seconds,
                percentile(0.5), percentile(0.99));
}

} // namespace

int main(int argc, char *argv[])
{
    const QCoreApplication app(argc, argv);
    std::signal(SIGPIPE, SIG_IGN);
    const int total = argc > 1 ? std::atoi(argv[1]) : 20000;
    const int connections = argc > 2 ? std::atoi(argv[2]) : 20;
    if (total <= 0 || connections <= 0) {
        std::fprintf(stderr, "usage: bench_server [requests-per-kind] [connections]\n");
        return 2;
    }

    const QByteArray package = chainDatabaseText(QStringLiteral("9"), numberedChains(10000));

    UpdateServerProcess server;
    server.writePackage(QStringLiteral("9"), package);
    if (!server.start({QStringLiteral("--rate-limit"), QStringLiteral("1000000")})) {
        std::fprintf(stderr, "the server did not start\n");
        return 1;
    }
    std::printf("%d requests per kind, %d connections, one request per connection, "
                "package %lld bytes\n",
                total, connections, static_cast<long long>(package.size()));

    const Outcome packages = hammer(
        server.host(), total, connections, [](int) { return std::string("/chayn.tx0"); },
        static_cast<size_t>(package.size()));
    report("/chayn.tx0", packages);

    const Outcome submissions = hammer(
        server.host(), total, connections,
        [](int i) {
            return "/chain.php?one=" +
                   QUrl::toPercentEncoding(
                       QStringLiteral("bench %1 sent: fire place card board game show boat").arg(i))
                       .toStdString();
        },
        0);
    report("submissions", submissions);

    const qsizetype stored = server.storedValues().size();
    const ServerMemory memory = serverMemory(server.processId());
    std::printf("stored %lld of %d; server memory: peak %lld KiB, now %lld KiB\n",
                static_cast<long long>(stored), submissions.ok,
                static_cast<long long>(memory.peakKiB), static_cast<long long>(memory.residentKiB));
    const bool clean = packages.failed == 0 && submissions.failed == 0 && packages.ok == total &&
                       submissions.ok == total && stored == total;
    return clean ? 0 : 1;
}
