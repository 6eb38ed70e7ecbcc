#include "chainContribution.h"
#include "fakeServices.h"
#include "inet.h"
#include "qtHttpGetter.h"
#include "updateServerProcess.h"

#include <QTest>

using namespace std::chrono_literals;

class TestContribution : public QObject
{
    Q_OBJECT
private slots:
    void serverGetsExactlyWhatWasTyped();
    void thanksOnlyForARequestThatCameThrough_data();
    void thanksOnlyForARequestThatCameThrough();
};

void TestContribution::serverGetsExactlyWhatWasTyped()
{
    UpdateServerProcess server;
    QVERIFY(server.start());
    QtHttpGetter getter;
    Inet inet(getter);
    inet.setHost(server.host());
    ScriptedDialogs dialogs;
    const QString name = " Zoë & Co #1 ", chain = "  fish+chips 100% a&b=c é?x/y;z  ";
    dialogs.inputAnswers = {name, chain};
    QVERIFY(createNewChain(inet, dialogs, nullptr));
    QCOMPARE(server.storedValues(), QStringList{name + " sent: " + chain});
    QCOMPARE(dialogs.lastText(), "Thankyou!");
}

void TestContribution::thanksOnlyForARequestThatCameThrough_data()
{
    QTest::addColumn<QString>("chain");
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<QStringList>("told"); // after the introduction and the two prompts
    QTest::newRow("sent") << "a b c" << true << QStringList{"Thankyou!"};
    QTest::newRow("unreachable") << "a b c" << false
                                 << QStringList{"There was an error connecting to the Torvel "
                                                "Games server. Please make sure you are connected "
                                                "to the Internet and try again"};
    QTest::newRow("blank chain") << "   " << true << QStringList{};
}

void TestContribution::thanksOnlyForARequestThatCameThrough()
{
    QFETCH(QString, chain);
    QFETCH(bool, reachable);
    QFETCH(QStringList, told);
    FakeServices fakes;
    if (reachable)
        fakes.http.replies = {{QByteArray("ok"), {}}};
    Inet inet(fakes.http);
    fakes.dialogs.inputAnswers = {QString(), chain};
    QCOMPARE(createNewChain(inet, fakes.dialogs, nullptr), reachable);
    QCOMPARE(
        fakes.dialogs.texts(),
        QStringList({"This feature allows you to send your own word chains for inclusion in "
                     "the game. First, you'll be asked for the name of the person who created "
                     "the word chain. You may remain annonymous if you wish, by leaving the "
                     "name blank and just pressing enter. Then, on the next screen, please "
                     "enter the words of your chain, separated by spaces, and then choose OK. "
                     "Please ensure that your chain is seven words in length. Thankyou for "
                     "your contributions. ",
                     "Please enter your name", "Enter the words of your chain, then press enter"}) +
            told);
    QCOMPARE(fakes.dialogs.shown[0].title, "Quillora");
    QCOMPARE(fakes.dialogs.shown[1].title, "Contribute Chain");
    QCOMPARE(fakes.dialogs.shown[2].title, "Contribute Chain");
    QCOMPARE(fakes.http.urls.size(), chain.trimmed().isEmpty() ? 0 : 1);
    if (!fakes.http.urls.isEmpty())
        QCOMPARE(fakes.http.lastTimeout, 60s); // the wait the player is promised
}

QTEST_MAIN(TestContribution)
#include "test_contribution.moc"
