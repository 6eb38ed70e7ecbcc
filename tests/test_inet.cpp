#include "inet.h"
#include "qtHttpGetter.h"
#include "updateServerProcess.h"

#include <QElapsedTimer>
#include <QLineEdit>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;

// Answers every request with the same bytes, `step` of them every 50 ms, then closes.
class RawServer : public QTcpServer
{
public:
    explicit RawServer(const QByteArray &response, int step = 1 << 30)
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this, response, step] {
            QTcpSocket *socket = nextPendingConnection();
            auto *timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, socket, [=, sent = qsizetype(0)]() mutable {
                socket->readAll(); // a request left unread would turn the close into a reset
                socket->write(response.mid(sent, step));
                if ((sent += step) >= response.size())
                    socket->disconnectFromHost();
            });
            timer->start(50);
        });
    }
    QString host() const { return QStringLiteral("127.0.0.1:%1").arg(serverPort()); }
};

// 80 bytes, 2 every 50 ms: alive all along, but two seconds in all.
const QByteArray trickled = "HTTP/1.1 200 OK\r\nContent-Length: 41\r\n\r\n" + QByteArray(41, 'x');

// The HTTP client against the real update server on loopback, and servers that misbehave.
class TestInet : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(m_server.start()); }
    void onlyAWholeGoodReplyCounts_data();
    void onlyAWholeGoodReplyCounts();
    void theWaitEndsAtTheDeadlineTakingNoInput();

private:
    UpdateServerProcess m_server;
    QtHttpGetter m_getter;
};

void TestInet::onlyAWholeGoodReplyCounts_data()
{
    m_server.writePackage("8", {});
    QTest::addColumn<QByteArray>("raw"); // what a RawServer sends; none: the real server
    QTest::addColumn<QString>("body");   // null: no reply
    const QByteArray big(Inet::maxReplyBytes + 1, 'A'), ok = "HTTP/1.1 200 OK\r\n";
    QTest::newRow("good") << QByteArray() << "8\r\n";
    QTest::newRow("404") << QByteArray() << QString();
    QTest::newRow("refused") << QByteArray("-") << QString();
    QTest::newRow("redirect") << "HTTP/1.1 302 Found\r\nContent-Length: 0\r\nLocation: http://" +
                                     m_server.host().toLatin1() + "/chayn.ver\r\n\r\n"
                              << QString();
    QTest::newRow("over the cap") << ok + "Content-Length: 4194305\r\n\r\n" + big << QString();
    QTest::newRow("over the cap, unannounced") << ok + "\r\n" + big << QString();
}

void TestInet::onlyAWholeGoodReplyCounts()
{
    QFETCH(QByteArray, raw);
    QFETCH(QString, body);
    RawServer rawServer(raw);
    Inet inet(m_getter);
    inet.setHost(raw.isEmpty() ? m_server.host() : rawServer.host());
    if (raw == "-")
        rawServer.close();
    const auto reply =
        inet.openUrl(QTest::currentDataTag() == QLatin1String("404") ? "/x" : "/chayn.ver");
    QCOMPARE(reply.value_or(QString()), body);
    QCOMPARE(inet.errorString().isEmpty(), !body.isNull());
}

void TestInet::theWaitEndsAtTheDeadlineTakingNoInput()
{
    QLineEdit edit;
    edit.show();
    QVERIFY(QTest::qWaitForWindowActive(&edit));
    RawServer slow(trickled, 2);
    Inet inet(m_getter);
    inet.setHost(slow.host());
    inet.setTimeout(500ms);
    std::optional<QString> nested = "not tried";
    QTimer::singleShot(100ms, &edit, [&] {
        for (const char c : {'a', 'b'})
            QTest::keyClick(edit.windowHandle(), c);
        nested = inet.openUrl("/chayn.ver");
    });
    QElapsedTimer clock;
    clock.start();
    QVERIFY(!inet.openUrl("/chayn.ver"));
    QVERIFY(clock.elapsed() < 1500);
    QCOMPARE(inet.errorString(), "No reply within 500 ms.");
    QCOMPARE(nested, std::nullopt);
    QCOMPARE(edit.text(), QString());
    QTest::keyClick(edit.windowHandle(), 'k'); // taken again afterwards
    QCOMPARE(edit.text(), "k");
}

QTEST_MAIN(TestInet)
#include "test_inet.moc"
