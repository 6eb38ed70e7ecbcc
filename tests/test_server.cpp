// The update server's request handling; the server process itself is tested on loopback by
// test_serverprocess.py.

#include "chainExport.h"
#include "queryValue.h"
#include "rateLimiter.h"
#include "requestHandler.h"
#include "submissionStore.h"
#include "tempProgramFolder.h"

#include <QFile>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

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
    void queryValueDecodes_data();
    void queryValueDecodes();
    void sevenLowerCaseWords_data();
    void sevenLowerCaseWords();

    void handlerServesPackageFilesAndNothingElse();
    void handlerStoresSubmissionsSplitAtTheFirstSeparator();
    void handlerRefusesBadSubmissions_data();
    void handlerRefusesBadSubmissions();
    void handlerLimitsSubmissionsPerAddressPerMinute();
};

void TestServer::queryValueDecodes_data()
{
    QTest::addColumn<QString>("query");
    QTest::addColumn<bool>("found");
    QTest::addColumn<QByteArray>("value");
    QTest::newRow("spaces") << "one=a%20b" << true << QByteArray("a b");
    QTest::newRow("plus stays") << "one=a+b" << true << QByteArray("a+b");
    QTest::newRow("escaped specials") << "one=%26%23%25%2B" << true << QByteArray("&#%+");
    QTest::newRow("among others") << "x=1&one=2&one=3" << true << QByteArray("2");
    QTest::newRow("escaped key") << "%6Fne=4" << true << QByteArray("4");
    QTest::newRow("no value") << "one" << true << QByteArray();
    QTest::newRow("missing") << "two=1" << false << QByteArray();
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
    QTest::newRow("accent") << "caf\xc3\xa9 place card board game show boat" << false;
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
    const QByteArray tx0 = chainDatabaseText(QStringLiteral("8"), {knownChain}) + "\xe9\x00x";
    for (const auto &[name, content] :
         {std::pair{"chayn.ver", QByteArray("8\r\n")}, std::pair{"chayn.tx0", tx0}}) {
        QFile file(h.dir.filePath(name));
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write(content) == content.size());
    }
    QCOMPARE(h.handler.handle({"GET", "/chayn.ver", "127.0.0.1"}).content(), std::string("8\r\n"));
    const HttpReply package = h.handler.handle({"GET", "/chayn.tx0?nocache=1", "127.0.0.1"});
    QCOMPARE(package.status, 200);
    QCOMPARE(QByteArray::fromStdString(package.content()), tx0);

    for (const char *target : {"/", "/chayn.tx1", "/CHAYN.VER", "/chayn%2Ever", "/../chayn.ver",
                               "/s.sqlite", "chayn.ver"}) {
        QCOMPARE(h.status(target), 404);
    }
    QCOMPARE(h.status("/chayn.ver", "POST"), 405);
    QCOMPARE(h.status("/chain.php?one=x", "DELETE"), 405);
    QVERIFY(h.store.all().empty());
}

void TestServer::handlerStoresSubmissionsSplitAtTheFirstSeparator()
{
    Handler h;
    QCOMPARE(
        h.handler.handle({"GET", encodedSubmission(" Ann sent: x sent: y"), "10.0.0.1"}).status,
        200);
    const std::vector<Submission> stored = h.store.all();
    QCOMPARE(stored.size(), size_t(1));
    QCOMPARE(stored[0].value, std::string(" Ann sent: x sent: y"));
    QCOMPARE(stored[0].author, std::optional<std::string>(" Ann"));
    QCOMPARE(stored[0].chain, std::optional<std::string>("x sent: y"));
    QCOMPARE(stored[0].address, std::string("10.0.0.1"));
    QCOMPARE(stored[0].received.size(), size_t(20)); // 2026-12-06T21:00:00Z
}

void TestServer::handlerRefusesBadSubmissions_data()
{
    QTest::addColumn<QByteArray>("query");
    QTest::addColumn<int>("status");
    QTest::newRow("no query") << QByteArray() << 400;
    QTest::newRow("other key") << QByteArray("?two=a%20sent%3A%20b") << 400;
    QTest::newRow("bad escape") << QByteArray("?one=%") << 400;
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
    const QString longest(int(RequestHandler::defaultMaxValueBytes) - 8, u'a');
    QCOMPARE(h.status(encodedSubmission(QStringLiteral("a sent: ") + longest)), 200);
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

QTEST_GUILESS_MAIN(TestServer)
#include "test_server.moc"
