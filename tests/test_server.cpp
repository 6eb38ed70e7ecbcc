#include "chainExport.h"
#include "httpServer.h"
#include "queryValue.h"
#include "rateLimiter.h"
#include "requestHandler.h"
#include "submissionStore.h"
#include "tempProgramFolder.h"
#include "updateServerProcess.h"

#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <httplib.h>

#include <atomic>
#include <csignal>
#include <thread>
#include <vector>

using namespace std::chrono_literals;

namespace {

const QString knownChain = QStringLiteral("fire place card board game show boat");

std::string encodedSubmission(const QString &value)
{
    return "/chain.php?one=" + QUrl::toPercentEncoding(value).toStdString();
}

// The handler with its own store and limiter, in a folder of its own.
struct Handler
{
    explicit Handler(int perMinute = 10)
        : limiter(perMinute)
    {
    }
    QTemporaryDir dir;
    SubmissionStore store{dir.filePath("s.sqlite").toStdString()};
    RateLimiter limiter;
    RequestHandler handler{dir.path().toStdString(), store, limiter};

    int status(const std::string &target, const char *method = "GET")
    {
        return handler.handle({method, target, "127.0.0.1"}).status;
    }
};

} // namespace

class TestServer : public QObject
{
    Q_OBJECT
private slots:
    // A server that closes early must fail the client's request, not end the test.
    void initTestCase() { std::signal(SIGPIPE, SIG_IGN); }

    void queryValueDecodes_data();
    void queryValueDecodes();
    void sevenLowerCaseWords_data();
    void sevenLowerCaseWords();

    void handlerServesPackageFilesAndNothingElse();
    void packageGoesOutAsItIsWhateverTheClientAccepts();
    void handlerStoresSubmissionsSplitAtTheFirstSeparator();
    void handlerRefusesBadSubmissions();
    void handlerLimitsSubmissionsPerAddressPerMinute();

    void concurrentSubmissionsAreAllStored();
    void oversizedRequestsAreRefusedWithoutHarm();
    void exportCommandPrintsReviewableChains();
    void slowRequestIsCutOffAtTheDeadline();
};

void TestServer::queryValueDecodes_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("spaces") << "one=a%20b" << true << QByteArray("a b");
    QTest::newRow("plus stays") << "one=a+b" << true << QByteArray("a+b");
    QTest::newRow("escaped specials") << "one=%26%23%25%2B" << true << QByteArray("&#%+");
    QTest::newRow("UTF-8") << "one=%C3%A9" << true << QByteArray("\xc3\xa9");
    QTest::newRow("among others") << "x=1&one=2&one=3" << true << QByteArray("2");
    QTest::newRow("escaped key") << "%6Fne=4" << true << QByteArray("4");
    QTest::newRow("no value") << "one" << true << QByteArray();
    QTest::newRow("missing") << "two=1" << false << QByteArray();
    QTest::newRow("empty query") << "" << false << QByteArray();
    QTest::newRow("cut escape") << "one=ab%2" << false << QByteArray();
    QTest::newRow("bad escape") << "one=%zz" << false << QByteArray();
}

void TestServer::queryValueDecodes()
{
    QFETCH(QString, query);
    QFETCH(bool, found);
    QFETCH(QByteArray, value);
    const std::optional<std::string> result = queryValue(query.toStdString(), "one");
    QCOMPARE(result.has_value(), found);
    if (found)
        QCOMPARE(QByteArray::fromStdString(*result), value);
}

void TestServer::sevenLowerCaseWords_data()
{
    QTest::addColumn<QString>("chain");
    QTest::addColumn<bool>("expected");
    QTest::newRow("seven") << knownChain << true;
    QTest::newRow("six") << "fire place card board game show" << false;
    QTest::newRow("eight") << "fire place card board game show boat race" << false;
    QTest::newRow("capital") << "Fire place card board game show boat" << false;
    QTest::newRow("double space") << "fire  place card board game show boat" << false;
    QTest::newRow("trailing space") << "fire place card board game show boat " << false;
    QTest::newRow("digit") << "fire place card board game show boat2" << false;
    QTest::newRow("accent") << "caf\xc3\xa9 place card board game show boat" << false;
    QTest::newRow("empty") << "" << false;
}

void TestServer::sevenLowerCaseWords()
{
    QFETCH(QString, chain);
    QFETCH(bool, expected);
    QCOMPARE(isSevenLowerCaseWords(chain.toStdString()), expected);
}

void TestServer::handlerServesPackageFilesAndNothingElse()
{
    Handler h;
    const QByteArray ver = "8\r\n";
    const QByteArray tx0 = chainDatabaseText(QStringLiteral("8"), {knownChain}) + "\xe9\x00x";
    for (const auto &[name, content] : {std::pair{"chayn.ver", ver}, std::pair{"chayn.tx0", tx0}}) {
        QFile file(h.dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }

    const HttpReply version = h.handler.handle({"GET", "/chayn.ver", "127.0.0.1"});
    QCOMPARE(version.status, 200);
    QCOMPARE(QByteArray::fromStdString(version.body), ver);
    const HttpReply package = h.handler.handle({"GET", "/chayn.tx0?nocache=1", "127.0.0.1"});
    QCOMPARE(package.status, 200);
    QCOMPARE(QByteArray::fromStdString(package.body), tx0);

    for (const char *target : {"/", "/chayn.tx1", "/CHAYN.VER", "/chayn%2Ever", "/../chayn.ver",
                               "/package/chayn.ver", "/s.sqlite", "chayn.ver"}) {
        QCOMPARE(h.status(target), 404);
    }
    QCOMPARE(h.status("/chayn.ver", "POST"), 405);
    QCOMPARE(h.status("/chain.php?one=x", "DELETE"), 405);
    QVERIFY(h.store.all().empty());
}

void TestServer::packageGoesOutAsItIsWhateverTheClientAccepts()
{
    // Compressing a whole database for every download (Brotli, when the client offers it, as
    // the game's does) costs the server more than half a second of work per update.
    const QByteArray package = chainDatabaseText(QStringLiteral("8"), numberedChains(2000));
    UpdateServerProcess server;
    server.writePackage(QStringLiteral("8"), package);
    QVERIFY(server.start());
    httplib::Client client("127.0.0.1", server.port());
    client.set_decompress(false);
    for (const char *path : {"/chayn.tx0", "/chayn.ver"}) {
        const httplib::Result reply =
            client.Get(path, {{"Accept-Encoding", "zstd, br, gzip, deflate"}});
        QVERIFY(reply);
        QCOMPARE(reply->status, 200);
        QVERIFY(!reply->has_header("Content-Encoding"));
        QCOMPARE(reply->get_header_value("Content-Length"), std::to_string(reply->body.size()));
        const QByteArray expected = std::string(path) == "/chayn.tx0" ? package : "8\r\n";
        QCOMPARE(QByteArray::fromStdString(reply->body), expected);
    }
}

void TestServer::handlerStoresSubmissionsSplitAtTheFirstSeparator()
{
    Handler h;
    QCOMPARE(
        h.handler.handle({"GET", encodedSubmission(" Ann sent: x sent: y "), "10.0.0.1"}).status,
        200);
    QCOMPARE(h.status(encodedSubmission("no separator")), 200);
    const std::vector<Submission> stored = h.store.all();
    QCOMPARE(stored.size(), size_t(2));
    QCOMPARE(stored[0].value, std::string(" Ann sent: x sent: y "));
    QCOMPARE(stored[0].author, std::optional<std::string>(" Ann"));
    QCOMPARE(stored[0].chain, std::optional<std::string>("x sent: y "));
    QCOMPARE(stored[0].address, std::string("10.0.0.1"));
    QCOMPARE(stored[0].received.size(), size_t(20)); // 2026-12-06T21:00:00Z
    QCOMPARE(stored[1].author, std::nullopt);
    QCOMPARE(stored[1].chain, std::nullopt);
}

void TestServer::handlerRefusesBadSubmissions()
{
    Handler h(100);
    QCOMPARE(h.status("/chain.php"), 400);
    QCOMPARE(h.status("/chain.php?two=x"), 400);
    QCOMPARE(h.status("/chain.php?one=%"), 400);
    QCOMPARE(h.status("/chain.php?one=%FF%FE"), 400);
    const QString longest(RequestHandler::defaultMaxValueBytes, u'a');
    QCOMPARE(h.status(encodedSubmission(longest + u'a')), 413);
    QVERIFY(h.store.all().empty());
    QCOMPARE(h.status(encodedSubmission(longest)), 200);
    QCOMPARE(h.store.all().size(), size_t(1));
}

void TestServer::handlerLimitsSubmissionsPerAddressPerMinute()
{
    Handler h(3);
    const auto start = RateLimiter::Clock::now();
    const auto wall = std::chrono::system_clock::now();
    const auto submit = [&](const char *address, std::chrono::seconds later) {
        return h.handler
            .handle({"GET", encodedSubmission("a sent: b"), address}, start + later, wall)
            .status;
    };
    QCOMPARE(submit("10.0.0.1", 0s), 200);
    QCOMPARE(submit("10.0.0.1", 10s), 200);
    QCOMPARE(submit("10.0.0.1", 20s), 200);
    QCOMPARE(submit("10.0.0.1", 30s), 429);
    QCOMPARE(submit("10.0.0.2", 30s), 200);
    // The files are not limited.
    QCOMPARE(h.handler.handle({"GET", "/chayn.ver", "10.0.0.1"}, start + 30s, wall).status, 404);
    QCOMPARE(submit("10.0.0.1", 59s), 429);
    QCOMPARE(submit("10.0.0.1", 60s), 200);
    QCOMPARE(h.store.all().size(), size_t(5));
}

void TestServer::concurrentSubmissionsAreAllStored()
{
    constexpr int clients = 20;
    constexpr int perClient = 100;
    UpdateServerProcess server;
    QVERIFY(server.start({QStringLiteral("--rate-limit"), QStringLiteral("100000")}));

    std::atomic<int> refused = 0;
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            httplib::Client client("127.0.0.1", server.port());
            client.set_keep_alive(true);
            for (int i = 0; i < perClient; ++i) {
                const QString value = QStringLiteral("client %1 sent: chain %2 é&").arg(c).arg(i);
                const httplib::Result result = client.Get(encodedSubmission(value));
                if (!result || result->status != 200)
                    ++refused;
            }
        });
    }
    for (std::thread &thread : threads)
        thread.join();
    QCOMPARE(refused.load(), 0);

    const QStringList stored = server.storedValues();
    QCOMPARE(stored.size(), clients * perClient);
    QSet<QString> expected;
    for (int c = 0; c < clients; ++c) {
        for (int i = 0; i < perClient; ++i)
            expected.insert(QStringLiteral("client %1 sent: chain %2 é&").arg(c).arg(i));
    }
    QCOMPARE(QSet<QString>(stored.cbegin(), stored.cend()), expected);
}

void TestServer::oversizedRequestsAreRefusedWithoutHarm()
{
    UpdateServerProcess server;
    server.writePackage(QStringLiteral("8"), chainDatabaseText(QStringLiteral("8"), {knownChain}));
    QVERIFY(server.start());
    httplib::Client client("127.0.0.1", server.port());
    client.set_connection_timeout(5s);
    client.set_read_timeout(5s);
    client.set_write_timeout(5s);

    const httplib::Result longTarget = client.Get(encodedSubmission(QString(20000, u'a')));
    QVERIFY(!longTarget || longTarget->status >= 400);
    const httplib::Result longValue = client.Get(encodedSubmission(QString(3000, u'a')));
    QVERIFY(longValue);
    QCOMPARE(longValue->status, 413);
    const httplib::Result hugeBody =
        client.Post("/chain.php?one=x", std::string(1 << 20, 'x'), "text/plain");
    QVERIFY(!hugeBody || hugeBody->status >= 400);
    const httplib::Result hugeHeader =
        client.Get("/chayn.ver", {{"X-Filler", std::string(100000, 'x')}});
    QVERIFY(!hugeHeader || hugeHeader->status >= 400);

    // Endless headers: 64 MiB offered; the server stops reading long before, and the
    // connection breaks.
    RawConnection flood(server.port());
    QVERIFY(flood.connected());
    QVERIFY(flood.send("GET /chayn.ver HTTP/1.1\r\nHost: x\r\n"));
    std::string headers;
    for (int i = 0; i < 1000; ++i)
        headers += "X-Filler: " + std::string(54, 'x') + "\r\n";
    int sent = 0;
    while (sent < 1000 && flood.send(headers))
        ++sent;
    QVERIFY2(sent < 1000, "the server read every header");
    QVERIFY(flood.receiveAll().find("200 OK") == std::string::npos);

    // Still serving, and nothing was stored on the way.
    httplib::Client fresh("127.0.0.1", server.port());
    const httplib::Result version = fresh.Get("/chayn.ver");
    QVERIFY(version);
    QCOMPARE(version->status, 200);
    QCOMPARE(version->body, std::string("8\r\n"));
    QVERIFY(server.storedValues().isEmpty());
    QCOMPARE(fresh.Get(encodedSubmission(QStringLiteral("a sent: b")))->status, 200);
    QCOMPARE(server.storedValues(), QStringList{QStringLiteral("a sent: b")});
}

void TestServer::exportCommandPrintsReviewableChains()
{
    UpdateServerProcess server;
    server.writePackage(QStringLiteral("8"), chainDatabaseText(QStringLiteral("8"), {knownChain}));
    QVERIFY(server.start());
    httplib::Client client("127.0.0.1", server.port());
    for (const QString &value : {QStringLiteral("Ann sent: ") + knownChain,
                                 QStringLiteral("Bob sent:  red hot dog house boat race car "),
                                 QStringLiteral("Cy sent: Not Lower Case at all here now"),
                                 QStringLiteral("no separator at all"),
                                 QStringLiteral(" sent: sun flower pot hole punch line dance"),
                                 QStringLiteral("Bob sent: red hot dog house boat race car")}) {
        const httplib::Result result = client.Get(encodedSubmission(value));
        QVERIFY(result && result->status == 200);
    }
    QCOMPARE(server.exportChains(),
             QByteArray("red hot dog house boat race car\nsun flower pot hole punch line dance\n"));
}

void TestServer::slowRequestIsCutOffAtTheDeadline()
{
    Handler h;
    BoundedServer::Limits limits;
    limits.requestDeadline = 300ms;
    limits.ioTimeout = 200ms;
    limits.workerThreads = 2;
    BoundedServer server(h.handler, limits);
    const int port = server.bind_to_any_port("127.0.0.1");
    QVERIFY(port > 0);
    std::thread serving([&server] { server.listen_after_bind(); });
    const auto stop = qScopeGuard([&] {
        server.stop();
        serving.join();
    });

    // One byte every 50 ms never runs into the 200 ms wait for a single read, only into the
    // deadline of the whole request.
    RawConnection slow(port);
    QVERIFY(slow.connected());
    const std::string request = "GET /chain.php?one=a%20sent%3A%20b HTTP/1.1\r\nHost: x\r\n"
                                "X-Slow: " +
                                std::string(200, 'x');
    size_t sent = 0;
    while (sent < request.size() && slow.send(request.substr(sent, 1))) {
        ++sent;
        std::this_thread::sleep_for(50ms);
    }
    QVERIFY2(sent < request.size(), "the server waited for the whole slow request");
    QVERIFY(h.store.all().empty());
}

QTEST_GUILESS_MAIN(TestServer)
#include "test_server.moc"
