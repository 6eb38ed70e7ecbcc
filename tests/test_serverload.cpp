// The update server under load: many players sending chains at once, while others hold
// connections open with requests that trickle in or are far too large.

#include "serverMemory.h"
#include "tempProgramFolder.h"
#include "updateServerProcess.h"

#include <QSet>
#include <QTest>
#include <QUrl>

#include <httplib.h>

#include <atomic>
#include <csignal>
#include <thread>
#include <vector>

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int clients = 50;
constexpr int perClient = 200;

// Requests the server's bounds must turn away, each sent on its own connection.
constexpr int trickledRequests = 4;
constexpr int oversizedRounds = 5;

// The server's peak memory may rise this far above what it held after start-up (measured: 3
// MiB). Its own bounds add up to far less: 32 workers, each reading at most 16 KiB of request
// and holding a few KiB of reply, plus SQLite's page cache (2 MiB by default) and the rate
// limiter's record of one address (10000 time stamps). The rest is room for the allocator's
// per-thread arenas; a leak of two kilobytes per request goes past it.
constexpr qint64 growthBoundKiB = 16 * 1024;

// AddressSanitizer keeps freed memory in quarantine, so the bound means nothing there.
#if defined(__SANITIZE_ADDRESS__)
constexpr bool memoryIsMeasurable = false;
#else
constexpr bool memoryIsMeasurable = true;
#endif

std::string submissionTarget(const QString &value)
{
    return "/chain.php?one=" + QUrl::toPercentEncoding(value).toStdString();
}

QString loadValue(int client, int i)
{
    return QStringLiteral("player %1 sent: chain %2 of fire place card board game show boat")
        .arg(client)
        .arg(i);
}

// Sends a submission one byte every 250 ms, until the server ends the connection or 30 seconds
// have passed. True when the server ended it without a 200 reply.
bool trickleIsCutOff(int port)
{
    RawConnection connection(port);
    const std::string request = "GET " + submissionTarget(QStringLiteral("slow sent: trickled")) +
                                " HTTP/1.1\r\nHost: x\r\nX-Slow: " + std::string(1000, 'x');
    const Clock::time_point giveUp = Clock::now() + 30s;
    for (size_t sent = 0; connection.connected() && sent < request.size(); ++sent) {
        if (Clock::now() >= giveUp)
            return false;
        if (!connection.send(request.substr(sent, 1)))
            return connection.receiveAll().find(" 200 ") == std::string::npos;
        std::this_thread::sleep_for(250ms);
    }
    return false;
}

} // namespace

class TestServerLoad : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { std::signal(SIGPIPE, SIG_IGN); }
    void tenThousandSubmissionsFromFiftyClients();
};

void TestServerLoad::tenThousandSubmissionsFromFiftyClients()
{
    UpdateServerProcess server;
    server.writePackage(
        QStringLiteral("8"),
        chainDatabaseText(QStringLiteral("8"),
                          {QStringLiteral("fire place card board game show boat")}));
    QVERIFY(server.start({QStringLiteral("--rate-limit"), QStringLiteral("1000000")}));
    const std::string address = "127.0.0.1";
    const int port = server.port();
    const ServerMemory before = serverMemory(server.processId());
    QVERIFY(before.residentKiB > 0);

    std::atomic<int> failed = 0;
    std::atomic<bool> loadRunning = true;
    std::vector<std::thread> players;
    for (int c = 0; c < clients; ++c) {
        players.emplace_back([&, c] {
            httplib::Client client(address, port);
            client.set_read_timeout(30s);
            for (int i = 0; i < perClient; ++i) {
                const httplib::Result result = client.Get(submissionTarget(loadValue(c, i)));
                if (!result || result->status != 200)
                    ++failed;
            }
        });
    }

    std::atomic<int> trickledCutOff = 0;
    std::vector<std::thread> intruders;
    for (int t = 0; t < trickledRequests; ++t) {
        intruders.emplace_back([&] {
            if (trickleIsCutOff(port))
                ++trickledCutOff;
        });
    }
    std::atomic<int> oversizedServed = 0;
    std::atomic<int> oversizedSent = 0;
    intruders.emplace_back([&] {
        httplib::Client client(address, port);
        client.set_read_timeout(10s);
        client.set_write_timeout(10s);
        const auto refused = [](const httplib::Result &result) {
            return !result || result->status >= 400;
        };
        // While the players are still at it, so that the refusals happen under load.
        for (int round = 0; round < oversizedRounds && (round == 0 || loadRunning); ++round) {
            const bool allRefused =
                refused(client.Get(submissionTarget(QString(20000, u'a')))) &&
                refused(client.Get(
                    submissionTarget(QStringLiteral("big sent: ") + QString(3000, u'b')))) &&
                refused(client.Post(submissionTarget(QStringLiteral("body sent: x")),
                                    std::string(1 << 20, 'x'), "text/plain")) &&
                refused(client.Get("/chayn.ver", {{"X-Filler", std::string(100000, 'x')}}));
            ++oversizedSent;
            if (!allRefused)
                ++oversizedServed;
        }
    });

    for (std::thread &player : players)
        player.join();
    loadRunning = false;
    for (std::thread &intruder : intruders)
        intruder.join();

    QCOMPARE(failed.load(), 0);
    QVERIFY(oversizedSent > 0);
    QCOMPARE(oversizedServed.load(), 0);
    QCOMPARE(trickledCutOff.load(), trickledRequests);

    const QStringList stored = server.storedValues();
    QCOMPARE(stored.size(), clients * perClient);
    QSet<QString> expected;
    for (int c = 0; c < clients; ++c) {
        for (int i = 0; i < perClient; ++i)
            expected.insert(loadValue(c, i));
    }
    QCOMPARE(QSet<QString>(stored.cbegin(), stored.cend()), expected);

    const ServerMemory after = serverMemory(server.processId());
    qInfo("server memory: %lld KiB after start, peak %lld KiB, %lld KiB at the end",
          before.residentKiB, after.peakKiB, after.residentKiB);
    QVERIFY(after.peakKiB > 0);
    if (memoryIsMeasurable)
        QVERIFY2(after.peakKiB - before.residentKiB < growthBoundKiB,
                 qPrintable(QStringLiteral("peak %1 KiB").arg(after.peakKiB)));

    // Still serving as before.
    httplib::Client client(address, port);
    const httplib::Result version = client.Get("/chayn.ver");
    QVERIFY(version && version->status == 200 && version->body == "8\r\n");
}

QTEST_GUILESS_MAIN(TestServerLoad)
#include "test_serverload.moc"
