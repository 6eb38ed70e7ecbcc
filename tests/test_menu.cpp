#include "chainContribution.h"
#include "inet.h"
#include "menuTestWindows.h"
#include "optionsFile.h"
#include "qtHttpGetter.h"
#include "updateServerProcess.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QUrlQuery>

using namespace std::chrono_literals;

// Every control inside its window, no caption or list entry cut off (run again at 1.5 x scale).
void checkNothingCutOff(const QWidget *window)
{
    for (QWidget *const control : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
        const QByteArray name = control->objectName().toLatin1();
        QVERIFY2(window->rect().contains(control->geometry()), name);
        if (qobject_cast<QAbstractButton *>(control) || qobject_cast<QLabel *>(control))
            QVERIFY2(control->width() >= control->sizeHint().width(), name);
        const auto *list = qobject_cast<QListWidget *>(control);
        for (int i = 0; list && i < list->count(); ++i) {
            const int width = list->fontMetrics().horizontalAdvance(list->item(i)->text());
            QVERIFY2(width < list->viewport()->width(), name);
        }
    }
}

// Answers each request with these bytes, `step` of them every 50 ms, then closes.
struct RawServer : QTcpServer
{
    explicit RawServer(const QByteArray &bytes, int step = 1 << 30)
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, [=, this] {
            QTcpSocket *socket = nextPendingConnection();
            auto *timer = new QTimer(socket);
            connect(timer, &QTimer::timeout, [=, sent = qsizetype(0)]() mutable {
                socket->readAll(); // a request left unread would turn the close into a reset
                socket->write(bytes.mid(sent, step));
                if ((sent += step) >= bytes.size())
                    socket->disconnectFromHost();
            });
            timer->start(50);
        });
    }
};

// The menu, options, contribution, and the HTTP client against real and misbehaving servers.
class TestMenu : public MenuTest
{
    Q_OBJECT
    UpdateServerProcess m_server;
    QtHttpGetter m_getter;
    Inet m_inet{m_getter};

private slots:
    void initTestCase()
    {
        m_server.writePackage("8", {});
        QVERIFY(m_server.start());
    }
    void init() { setUpMenu(); }
    void cleanup() { tearDownMenu(); }

    void scoreAveragesRoundHalfToEven()
    {
        for (const auto &[score, games, average] : {std::array{5, 2, 2}, {7, 2, 4}, {0, 0, 0}}) {
            modVars.sessionGames = modVars.totalGames = games;
            modVars.sessionScore = modVars.totalScore = score;
            QCOMPARE(scoreText(), QStringLiteral("During this session, you have played %1 games, "
                                                 "and have an average score of %2. In total, you "
                                                 "have played %1 games, and have an average score "
                                                 "of %2.")
                                      .arg(games)
                                      .arg(average));
        }
    }

    void keysWorkTheMenu()
    {
        QVERIFY(start());
        checkNothingCutOff(m_menu.get());
        QCOMPARE(QApplication::focusWidget(), m_list);
        choose(countChainsEntry); // Enter in the list presses OK
        QCOMPARE(m_fakes->dialogs.texts(),
                 QStringList{"There are 3 chains in your database. You have completed 0 of them."});
        QCOMPARE(QApplication::focusWidget(), m_list);
        QCOMPARE(m_list->selectedItems(), QList{m_list->item(countChainsEntry)});
        // Enter on a focused button presses that one, not the default; Escape is Exit.
        const QSignalSpy exits(m_menu.get(), &frmChoose::exitRequested);
        for (const Qt::Key key : {Qt::Key_Tab, Qt::Key_Tab, Qt::Key_Return, Qt::Key_Escape})
            typeKey(m_menu.get(), key);
        QCOMPARE(exits.count(), 2);
        QCOMPARE(m_fakes->dialogs.shown.size(), 1);
    }

    void optionsOkStoresAndCancelDrops()
    {
        QVERIFY(start());
        for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
            choose(setOptionsEntry);
            QWidget *options = nullptr;
            QTRY_VERIFY((options = QApplication::activeWindow()) != m_menu.get());
            checkNothingCutOff(options);
            QCOMPARE(listOf(options, "lstTime")->currentItem()->text(), "120 seconds");
            typeKey(options, Qt::Key_End);
            typeKey(options, key);
            QVERIFY(m_menu->isVisible() && !options->isVisible());
        }
        QCOMPARE(modVars.clockSeconds, 280);
        QCOMPARE(m_folder->read(optionsFileName), "#FALSE#\r\n280\r\n#TRUE#\r\n#FALSE#\r\n");
    }

    void contributionThanksOnlyForARequestThatCameThrough()
    {
        const QStringList asked = {
            "This feature allows you to send your own word chains for inclusion in the game. "
            "First, you'll be asked for the name of the person who created the word chain. You "
            "may remain annonymous if you wish, by leaving the name blank and just pressing enter. "
            "Then, on the next screen, please enter the words of your chain, separated by spaces, "
            "and then choose OK. Please ensure that your chain is seven words in length. Thankyou "
            "for your contributions. ",
            "Please enter your name", "Enter the words of your chain, then press enter"};
        const QString name = " Zoë & Co #1 ", chain = "  fish+chips 100% a&b=c é?x/y;z  ";
        ScriptedHttp &http = m_fakes->http;
        Inet inet(http);
        http.replies = {{QByteArray("ok"), {}}}; // and then no server
        m_fakes->dialogs.inputAnswers = {name, chain, name, chain, name, "   "};
        QVERIFY(createNewChain(inet, m_fakes->dialogs, nullptr));
        QVERIFY(!createNewChain(inet, m_fakes->dialogs, nullptr));
        QVERIFY(createNewChain(inet, m_fakes->dialogs, nullptr)); // a blank chain is not sent
        QCOMPARE(m_fakes->dialogs.texts(),
                 asked + QStringList{"Thankyou!"} + asked +
                     QStringList{"There was an error connecting to the Torvel Games server. Please "
                                 "make sure you are connected to the Internet and try again"} +
                     asked);
        QCOMPARE(m_fakes->dialogs.shown[2].title, "Contribute Chain");
        QCOMPARE(http.urls.size(), 2);
        // The one value arrives whole, "&", "#", "%" and "+" included, within the promised wait.
        QCOMPARE(QUrlQuery(http.urls[0]).queryItems(QUrl::FullyDecoded),
                 (QList<std::pair<QString, QString>>{{"one", name + " sent: " + chain}}));
        QCOMPARE(http.lastTimeout, 60s);
    }

    void onlyAWholeGoodReplyCounts_data()
    {
        QTest::addColumn<QByteArray>("raw"); // what a RawServer sends; none: the real server
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("body"); // null: no reply
        const QByteArray ok = "HTTP/1.1 200 OK\r\n", big(Inet::maxReplyBytes + 1, 'A');
        QTest::newRow("good") << QByteArray() << "/chayn.ver"
                              << "8\r\n";
        QTest::newRow("404") << QByteArray() << "/x" << QString();
        QTest::newRow("refused") << QByteArray("-") << "/chayn.ver" << QString();
        QTest::newRow("over the cap")
            << ok + "Content-Length: 4194305\r\n\r\n" + big << "/" << QString();
        QTest::newRow("over the cap, unannounced") << ok + "\r\n" + big << "/" << QString();
    }

    void onlyAWholeGoodReplyCounts()
    {
        QFETCH(QByteArray, raw);
        QFETCH(QString, path);
        QFETCH(QString, body);
        RawServer rawServer(raw);
        m_inet.setHost(raw.isEmpty() ? m_server.host()
                                     : "127.0.0.1:" + QString::number(rawServer.serverPort()));
        if (raw == "-")
            rawServer.close();
        QCOMPARE(m_inet.openUrl(path).value_or(QString()), body);
        QCOMPARE(m_inet.errorString().isEmpty(), !body.isNull());
    }

    void theWaitEndsAtTheDeadlineTakingNoInput()
    {
        QLineEdit edit;
        edit.show();
        QVERIFY(QTest::qWaitForWindowActive(&edit));
        // 80 bytes, 2 every 50 ms: alive all along, but two seconds in all.
        RawServer slow("HTTP/1.1 200 OK\r\nContent-Length: 41\r\n\r\n" + QByteArray(41, 'x'), 2);
        m_inet.setHost("127.0.0.1:" + QString::number(slow.serverPort()));
        m_inet.setTimeout(500ms);
        QTimer::singleShot(100ms, &edit, [&] { QTest::keyClick(edit.windowHandle(), 'a'); });
        QVERIFY(!m_inet.openUrl("/"));
        QCOMPARE(m_inet.errorString(), "No reply within 500 ms.");
        QCOMPARE(edit.text(), QString());
        QTest::keyClick(edit.windowHandle(), 'k'); // taken again afterwards
        QCOMPARE(edit.text(), "k");
    }
};

QTEST_MAIN(TestMenu)
#include "test_menu.moc"
