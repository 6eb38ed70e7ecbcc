#include "chainExport.h"
#include "httpServer.h"
#include "queryValue.h"
#include "rateLimiter.h"
#include "requestHandler.h"
#include "submissionStore.h"
#include "tempProgramFolder.h"
#include "updateServerProcess.h"

#include <QDir>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <httplib.h>

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

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

std::pair<std::string, int> splitHost(const QString &host)
{
    return {host.section(u':', 0, 0).toStdString(), host.section(u':', 1).toInt()};
}

// A raw loopback connection, for requests no well-behaved client would send.
class RawConnection
{
public:
    explicit RawConnection(int port)
        : m_fd(::socket(AF_INET, SOCK_STREAM, 0))
    {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_port = htons(static_cast<uint16_t>(port));
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        timeval timeout{5, 0};
        setsockopt(m_fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        setsockopt(m_fd, SOL_SOCKET, SO_SNDTIMEO, &timeout, sizeof timeout);
        m_connected = ::connect(m_fd, reinterpret_cast<sockaddr *>(&address), sizeof address) == 0;
    }
    ~RawConnection() { ::close(m_fd); }

    bool connected() const { return m_connected; }
    bool send(const std::string &data)
    {
        return ::send(m_fd, data.data(), data.size(), MSG_NOSIGNAL) ==
               static_cast<ssize_t>(data.size());
    }
    // What the server sent until it closed (or nothing came for five seconds).
    std::string receiveAll()
    {
        std::string received;
        char buffer[4096];
        for (int i = 0; i < 1000; ++i) {
            const ssize_t n = ::recv(m_fd, buffer, sizeof buffer, 0);
            if (n <= 0)
                break;
            received.append(buffer, static_cast<size_t>(n));
        }
        return received;
    }

private:
    int m_fd;
    bool m_connected = false;
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
    void exportKeepsNewWellFormedChainsOnce();

    void handlerServesPackageFilesAndNothingElse();
    void packageGoesOutAsItIsWhateverTheClientAccepts();
    void handlerStoresSubmissionsSplitAtTheFirstSeparator();
    void handlerRefusesBadSubmissions();
    void handlerLimitsSubmissionsPerAddressPerMinute();

    void concurrentSubmissionsAreAllStored();
    void oversizedRequestsAreRefusedWithoutHarm();
    void exportCommandPrintsReviewableChains();
    void endlessHeadersAreCutOff();
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

void TestServer::exportKeepsNewWellFormedChainsOnce()
{
    const auto submission = [](std::optional<std::string> chain) {
        return Submission{"t", "127.0.0.1", "v", std::string("a"), std::move(chain)};
    };
    const std::vector<Submission> submissions{
        submission(knownChain.toStdString()),
        submission("  red hot dog house boat race car "),
        submission(std::nullopt),
        submission("too few words here"),
        submission("red hot dog house boat race car"),
        submission("sun flower pot hole punch line dance"),
    };
    const std::vector<std::string> expected{"red hot dog house boat race car",
                                            "sun flower pot hole punch line dance"};
    QCOMPARE(exportableChains(submissions, {knownChain.toStdString()}), expected);
}

void TestServer::handlerServesPackageFilesAndNothingElse()
{
    QTemporaryDir dir;
    const QByteArray ver = "8\r\n";
    const QByteArray tx0 = chainDatabaseText(QStringLiteral("8"), {knownChain}) + "\xe9\x00x";
    {
        QFile f(dir.filePath("chayn.ver"));
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(ver);
        QFile g(dir.filePath("chayn.tx0"));
        QVERIFY(g.open(QIODevice::WriteOnly));
        g.write(tx0);
    }
    SubmissionStore store(dir.filePath("s.sqlite").toStdString());
    RateLimiter limiter(10);
    RequestHandler handler(dir.path().toStdString(), store, limiter);

    const HttpReply version = handler.handle({"GET", "/chayn.ver", "127.0.0.1"});
    QCOMPARE(version.status, 200);
    QCOMPARE(QByteArray::fromStdString(version.body), ver);
    const HttpReply package = handler.handle({"GET", "/chayn.tx0?nocache=1", "127.0.0.1"});
    QCOMPARE(package.status, 200);
    QCOMPARE(QByteArray::fromStdString(package.body), tx0);

    for (const char *target : {"/", "/chayn.tx1", "/CHAYN.VER", "/chayn%2Ever", "/../chayn.ver",
                               "/package/chayn.ver", "/s.sqlite", "chayn.ver"}) {
        QCOMPARE(handler.handle({"GET", target, "127.0.0.1"}).status, 404);
    }
    QCOMPARE(handler.handle({"POST", "/chayn.ver", "127.0.0.1"}).status, 405);
    QCOMPARE(handler.handle({"DELETE", "/chain.php?one=x", "127.0.0.1"}).status, 405);
    QVERIFY(store.all().empty());
}

void TestServer::packageGoesOutAsItIsWhateverTheClientAccepts()
{
    // Compressing a whole database for every download (Brotli, when the client offers it, as
    // the game's does) costs the server more than half a second of work per update.
    QStringList chains;
    for (int i = 0; i < 2000; ++i)
        chains.append(QStringLiteral("word%1 place card board game show boat").arg(i));
    const QByteArray package = chainDatabaseText(QStringLiteral("8"), chains);
    UpdateServerProcess server;
    server.writePackage(QStringLiteral("8"), package);
    QVERIFY(server.start());
    const auto [address, port] = splitHost(server.host());
    httplib::Client client(address, port);
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
    QTemporaryDir dir;
    SubmissionStore store(dir.filePath("s.sqlite").toStdString());
    RateLimiter limiter(10);
    RequestHandler handler(dir.path().toStdString(), store, limiter);

    QCOMPARE(handler.handle({"GET", encodedSubmission(" Ann sent: x sent: y "), "10.0.0.1"}).status,
             200);
    QCOMPARE(handler.handle({"GET", encodedSubmission("no separator"), "10.0.0.2"}).status, 200);
    const std::vector<Submission> stored = store.all();
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
    QTemporaryDir dir;
    SubmissionStore store(dir.filePath("s.sqlite").toStdString());
    RateLimiter limiter(100);
    RequestHandler handler(dir.path().toStdString(), store, limiter);

    QCOMPARE(handler.handle({"GET", "/chain.php", "127.0.0.1"}).status, 400);
    QCOMPARE(handler.handle({"GET", "/chain.php?two=x", "127.0.0.1"}).status, 400);
    QCOMPARE(handler.handle({"GET", "/chain.php?one=%", "127.0.0.1"}).status, 400);
    QCOMPARE(handler.handle({"GET", "/chain.php?one=%FF%FE", "127.0.0.1"}).status, 400);
    const QString longest(RequestHandler::defaultMaxValueBytes, u'a');
    QCOMPARE(handler.handle({"GET", encodedSubmission(longest + u'a'), "127.0.0.1"}).status, 413);
    QVERIFY(store.all().empty());
    QCOMPARE(handler.handle({"GET", encodedSubmission(longest), "127.0.0.1"}).status, 200);
    QCOMPARE(store.all().size(), size_t(1));
}

void TestServer::handlerLimitsSubmissionsPerAddressPerMinute()
{
    QTemporaryDir dir;
    SubmissionStore store(dir.filePath("s.sqlite").toStdString());
    RateLimiter limiter(3);
    RequestHandler handler(dir.path().toStdString(), store, limiter);
    const auto start = RateLimiter::Clock::now();
    const auto wall = std::chrono::system_clock::now();
    const auto submit = [&](const char *address, std::chrono::seconds later) {
        return handler.handle({"GET", encodedSubmission("a sent: b"), address}, start + later, wall)
            .status;
    };
    QCOMPARE(submit("10.0.0.1", 0s), 200);
    QCOMPARE(submit("10.0.0.1", 10s), 200);
    QCOMPARE(submit("10.0.0.1", 20s), 200);
    QCOMPARE(submit("10.0.0.1", 30s), 429);
    QCOMPARE(submit("10.0.0.2", 30s), 200);
    // The files are not limited.
    QCOMPARE(handler.handle({"GET", "/chayn.ver", "10.0.0.1"}, start + 30s, wall).status, 404);
    QCOMPARE(submit("10.0.0.1", 59s), 429);
    QCOMPARE(submit("10.0.0.1", 60s), 200);
    QCOMPARE(store.all().size(), size_t(5));
}

void TestServer::concurrentSubmissionsAreAllStored()
{
    constexpr int clients = 20;
    constexpr int perClient = 100;
    UpdateServerProcess server;
    QVERIFY(server.start({QStringLiteral("--rate-limit"), QStringLiteral("100000")}));
    const auto [address, port] = splitHost(server.host());

    std::atomic<int> refused = 0;
    std::vector<std::thread> threads;
    for (int c = 0; c < clients; ++c) {
        threads.emplace_back([&, c] {
            httplib::Client client(address, port);
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
    const auto [address, port] = splitHost(server.host());
    httplib::Client client(address, port);
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

    // Still serving, and nothing was stored on the way.
    httplib::Client fresh(address, port);
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
    const auto [address, port] = splitHost(server.host());
    httplib::Client client(address, port);
    for (const QString &value : {QStringLiteral("Ann sent: ") + knownChain,
                                 QStringLiteral("Bob sent:  red hot dog house boat race car "),
                                 QStringLiteral("Cy sent: Not Lower Case at all here now"),
                                 QStringLiteral(" sent: sun flower pot hole punch line dance"),
                                 QStringLiteral("Bob sent: red hot dog house boat race car")}) {
        const httplib::Result result = client.Get(encodedSubmission(value));
        QVERIFY(result && result->status == 200);
    }
    QCOMPARE(server.exportChains(),
             QByteArray("red hot dog house boat race car\nsun flower pot hole punch line dance\n"));
}

void TestServer::endlessHeadersAreCutOff()
{
    UpdateServerProcess server;
    server.writePackage(QStringLiteral("8"), chainDatabaseText(QStringLiteral("8"), {knownChain}));
    QVERIFY(server.start());
    const int port = splitHost(server.host()).second;

    RawConnection flood(port);
    QVERIFY(flood.connected());
    QVERIFY(flood.send("GET /chayn.ver HTTP/1.1\r\nHost: x\r\n"));
    std::string headers;
    for (int i = 0; i < 1000; ++i)
        headers += "X-Filler: " + std::string(54, 'x') + "\r\n";
    // 64 MiB offered; the server stops reading long before, and the connection breaks.
    int sent = 0;
    while (sent < 1000 && flood.send(headers))
        ++sent;
    QVERIFY2(sent < 1000, "the server read every header");
    QVERIFY(flood.receiveAll().find("200 OK") == std::string::npos);

    httplib::Client client("127.0.0.1", port);
    const httplib::Result version = client.Get("/chayn.ver");
    QVERIFY(version && version->status == 200);
}

void TestServer::slowRequestIsCutOffAtTheDeadline()
{
    QTemporaryDir dir;
    SubmissionStore store(dir.filePath("s.sqlite").toStdString());
    RateLimiter limiter(10);
    RequestHandler handler(dir.path().toStdString(), store, limiter);
    BoundedServer::Limits limits;
    limits.requestDeadline = 300ms;
    limits.ioTimeout = 200ms;
    limits.workerThreads = 2;
    BoundedServer server(handler, limits);
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
    QVERIFY(store.all().empty());
}

QTEST_GUILESS_MAIN(TestServer)
#include "test_server.moc"
