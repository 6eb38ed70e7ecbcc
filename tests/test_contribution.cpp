#include "cannedHttpServer.h"
#include "chainContribution.h"
#include "inet.h"
#include "scriptedDialogs.h"
#include "updateServerProcess.h"

#include <QTest>

namespace {

const QString introText = QStringLiteral(
    "This feature allows you to send your own word chains for inclusion in the game. First, "
    "you'll be asked for the name of the person who created the word chain. You may remain "
    "annonymous if you wish, by leaving the name blank and just pressing enter. Then, on the "
    "next screen, please enter the words of your chain, separated by spaces, and then choose "
    "OK. Please ensure that your chain is seven words in length. Thankyou for your "
    "contributions. ");
const QString errorText = QStringLiteral(
    "There was an error connecting to the Torvel Games server. Please make sure you are "
    "connected to the Internet and try again");

} // namespace

class TestContribution : public QObject
{
    Q_OBJECT
private slots:
    void submissionArrivesExactlyAsTyped_data();
    void submissionArrivesExactlyAsTyped();
    void blankChainSendsNothing_data();
    void blankChainSendsNothing();
    void failureShowsTheErrorAndKeepsTheFocus_data();
    void failureShowsTheErrorAndKeepsTheFocus();
};

void TestContribution::submissionArrivesExactlyAsTyped_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("chain");
    QTest::newRow("plain") << QStringLiteral("Ann") << QStringLiteral("a b c");
    QTest::newRow("anonymous") << QString() << QStringLiteral("fire place card board");
    QTest::newRow("awkward characters") << QStringLiteral(" Zoë & Co #1 ")
                                        << QStringLiteral("  fish+chips 100% a&b=c #top é?x/y;z  ");
}

void TestContribution::submissionArrivesExactlyAsTyped()
{
    QFETCH(QString, name);
    QFETCH(QString, chain);
    UpdateServerProcess server;
    QVERIFY(server.start());
    Inet inet;
    inet.setHost(server.host());
    ScriptedDialogs dialogs;
    dialogs.inputAnswers = {name, chain};

    QVERIFY(createNewChain(inet, dialogs, nullptr));

    QCOMPARE(dialogs.shown.size(), 4);
    QCOMPARE(dialogs.shown[0].kind, ScriptedDialogs::Shown::Message);
    QCOMPARE(dialogs.shown[0].text, introText);
    QCOMPARE(dialogs.shown[0].title, QStringLiteral("Quillora"));
    QCOMPARE(dialogs.shown[1].kind, ScriptedDialogs::Shown::Input);
    QCOMPARE(dialogs.shown[1].text, QStringLiteral("Please enter your name"));
    QCOMPARE(dialogs.shown[1].title, QStringLiteral("Contribute Chain"));
    QCOMPARE(dialogs.shown[2].kind, ScriptedDialogs::Shown::Input);
    QCOMPARE(dialogs.shown[2].text,
             QStringLiteral("Enter the words of your chain, then press enter"));
    QCOMPARE(dialogs.shown[2].title, QStringLiteral("Contribute Chain"));
    QCOMPARE(dialogs.shown[3].text, QStringLiteral("Thankyou!"));
    QCOMPARE(server.storedValues(), QStringList{name + QStringLiteral(" sent: ") + chain});
}

void TestContribution::blankChainSendsNothing_data()
{
    QTest::addColumn<QStringList>("answers");
    QTest::newRow("cancelled") << QStringList{QStringLiteral("Ann")};
    QTest::newRow("empty") << QStringList{QStringLiteral("Ann"), QString()};
    QTest::newRow("spaces") << QStringList{QString(), QStringLiteral("    ")};
}

void TestContribution::blankChainSendsNothing()
{
    QFETCH(QStringList, answers);
    CannedHttpServer server;
    server.setReply(QStringLiteral("/chain.php"), 200, "ok");
    Inet inet;
    inet.setHost(server.host());
    ScriptedDialogs dialogs;
    dialogs.inputAnswers = answers;

    QVERIFY(createNewChain(inet, dialogs, nullptr));
    QCOMPARE(dialogs.shown.size(), 3);
    QCOMPARE(dialogs.shown[2].kind, ScriptedDialogs::Shown::Input);
    QCOMPARE(server.targets, QStringList());
}

void TestContribution::failureShowsTheErrorAndKeepsTheFocus_data()
{
    QTest::addColumn<int>("status");
    QTest::newRow("closed port") << 0;
    QTest::newRow("404") << 404;
    QTest::newRow("500") << 500;
    // What the server answers past its limit of submissions per minute.
    QTest::newRow("429") << 429;
}

void TestContribution::failureShowsTheErrorAndKeepsTheFocus()
{
    QFETCH(int, status);
    CannedHttpServer server;
    server.setReply(QStringLiteral("/chain.php"), status, "<html>error</html>");
    Inet inet;
    inet.setHost(status == 0 ? closedPortHost() : server.host());
    ScriptedDialogs dialogs;
    dialogs.inputAnswers = {QStringLiteral("Ann"), QStringLiteral("a b c d e f g")};

    QVERIFY(!createNewChain(inet, dialogs, nullptr));
    QCOMPARE(dialogs.lastText(), errorText);
    QCOMPARE(dialogs.shown.size(), 4);
}

QTEST_MAIN(TestContribution)
#include "test_contribution.moc"
