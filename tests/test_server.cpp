// The update server's request handling; the server process itself is tested on loopback by
// test_serverprocess.py.

#include "rateLimiter.h"
#include "requestHandler.h"
#include "submissionStore.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace std::chrono_literals;

namespace {

// Only %XX escapes are decoded: the game sends a space as %20, and a "+" is a "+".
const std::string submission =
    "/chain.php?x=1&one=A+n%26%23%25%2B%20sent%3A%20b%20sent%3A%20c&one=2";

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
    void handlerServesPackageFilesAndNothingElse();
    void handlerRefusesBadSubmissions_data();
    void handlerRefusesBadSubmissions();
    void handlerStoresSubmissionsWithinThePerAddressLimit();
};

void TestServer::handlerServesPackageFilesAndNothingElse()
{
    Handler h;
    const std::string tx0("8\r\n\xe9\x00x", 6);
    QFile file(h.dir.filePath("chayn.tx0"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(tx0.data(), 6) == 6);
    file.close();
    QCOMPARE(h.handler.handle({"GET", "/chayn.tx0?nocache=1", "127.0.0.1"}).content(), tx0);
    for (const char *target : {"/chayn.ver", "/", "/chayn.tx1", "/CHAYN.TX0", "/chayn%2Etx0",
                               "/../chayn.tx0", "/s.sqlite", "chayn.tx0"}) {
        QCOMPARE(h.status(target), 404);
    }
    QCOMPARE(h.status("/chayn.tx0", "POST"), 405);
    QCOMPARE(h.status("/chain.php?one=x", "DELETE"), 405);
}

void TestServer::handlerRefusesBadSubmissions_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<int>("status");
    QTest::newRow("no query") << QByteArray() << 400;
    QTest::newRow("other key") << QByteArray("?two=a%20sent%3A%20b") << 400;
    QTest::newRow("cut escape") << QByteArray("?one=a%20sent%3A%20b%2") << 400;
    QTest::newRow("bad escape") << QByteArray("?one=a%20sent%3A%20b%zz") << 400;
    QTest::newRow("not UTF-8") << QByteArray("?one=a%20sent%3A%20%FF%FE") << 400;
    QTest::newRow("no separator") << QByteArray("?one=a%20chain") << 400;
    QTest::newRow("empty chain") << QByteArray("?one=Ann%20sent%3A%20") << 400;
    QTest::newRow("spaces for a chain") << QByteArray("?one=%20sent%3A%20%20%20") << 400;
    for (const char *control : {"%00", "%1B%5B2J", "%0A", "%0D", "%09", "%7F", "%C2%9B"}) {
        QTest::addRow("control %s", control)
            << "?one=Ann" + QByteArray(control) + "%20sent%3A%20a%20b" << 400;
        QTest::addRow("control %s in chain", control)
            << "?one=Ann%20sent%3A%20a" + QByteArray(control) + "b" << 400;
    }
    QTest::newRow("too long") << "?one=a%20sent%3A%20" +
                                     QByteArray(RequestHandler::defaultMaxValueBytes, 'a')
                              << 413;
}

void TestServer::handlerRefusesBadSubmissions()
{
    QFETCH(QByteArray, query);
    QFETCH(int, status);
    Handler h(100);
    QCOMPARE(h.status("/chain.php" + query.toStdString()), status);
    QVERIFY(h.store.all().empty());
    // Not a refusal of everything: a plain one of the longest length is taken.
    const std::string longest(RequestHandler::defaultMaxValueBytes - 8, 'b');
    QCOMPARE(h.status("/chain.php?one=a%20sent%3A%20" + longest), 200);
}

void TestServer::handlerStoresSubmissionsWithinThePerAddressLimit()
{
    Handler h(3);
    const auto start = RateLimiter::Clock::now();
    const auto wall = std::chrono::system_clock::now();
    const auto submit = [&](const char *address, std::chrono::seconds later) {
        return h.handler.handle({"GET", submission, address}, start + later, wall).status;
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
    const std::vector<Submission> stored = h.store.all();
    QCOMPARE(stored.size(), size_t(5));
    QCOMPARE(stored[0].value, std::string("A+n&#%+ sent: b sent: c"));
    QCOMPARE(stored[0].author, std::optional<std::string>("A+n&#%+"));
    QCOMPARE(stored[0].chain, std::optional<std::string>("b sent: c")); // split at the first
    QCOMPARE(stored[3].address, std::string("10.0.0.2"));
    QCOMPARE(stored[3].received.size(), size_t(20)); // 2026-12-06T21:00:00Z
}

QTEST_GUILESS_MAIN(TestServer)
#include "test_server.moc"
