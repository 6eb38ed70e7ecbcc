#include "cannedHttpServer.h"
#include "chainDatabase.h"
#include "frmUpdate.h"
#include "inet.h"
#include "modVars.h"
#include "packageCheck.h"
#include "scriptedDialogs.h"
#include "tempProgramFolder.h"
#include "updateServerProcess.h"

#include <QTest>

#include <memory>

using namespace std::chrono_literals;

namespace {

const QString introText = QStringLiteral(
    "Please ensure you are connected to the Internet, then press enter to check the Quillora "
    "database and update your copy with the latest chains. Please be patient as it may take up "
    "to 30 seconds to complete on a slow connection");
const QString errorText = QStringLiteral(
    "Error. Torvel Games Update server could not be contacted. Please make sure you are "
    "connected to the Internet and try again");
const QString latestText =
    QStringLiteral("You have the latest version of the database. No new updates are available.");

const QStringList oldChains{QStringLiteral("fire place card board game show boat"),
                            QStringLiteral("sun flower pot hole punch line dance")};
const QStringList newChains{QStringLiteral("fire place card board game show boat"),
                            QStringLiteral("sun flower pot hole punch line dance"),
                            QStringLiteral("rain coat tail gate post card trick"),
                            QStringLiteral("head light house work shop floor plan"),
                            QStringLiteral("sea side walk way out back bone")};

// A valid package of exactly `length` characters: the version line is padded to fit.
QByteArray packageOfLength(qsizetype length)
{
    const QByteArray chains = chainDatabaseText(QString(), {oldChains[0]}).mid(2);
    const qsizetype versionLength = length - chains.size() - 2;
    return QByteArray(versionLength, 'v') + "\r\n" + chains;
}

} // namespace

class TestUpdate : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void packageCheck_data();
    void packageCheck();

    void equalVersionsManualSaysSo();
    void equalVersionsAutomaticIsSilent();
    void newVersionInstallsAndCountsAdded_data();
    void newVersionInstallsAndCountsAdded();
    void sameOrFewerChainsInstallQuietly_data();
    void sameOrFewerChainsInstallQuietly();
    void versionReplyRules_data();
    void versionReplyRules();
    void packageOf100IsRefusedAnd101Installed();
    void badServersChangeNothing_data();
    void badServersChangeNothing();
    void brokenTransfersChangeNothing_data();
    void brokenTransfersChangeNothing();
    void trickledPackageChangesNothing();
    void unwritableFolderChangesNothing();
    void caption();

private:
    // Runs one update and checks how it must always end.
    void runUpdate(bool fromAuto);
    void verifyNothingChanged();

    std::unique_ptr<TempProgramFolder> m_folder;
    QByteArray m_oldFile;
    ScriptedDialogs m_dialogs;
    Inet m_inet;
    std::unique_ptr<QWidget> m_menu;
    std::unique_ptr<frmUpdate> m_update;
};

void TestUpdate::init()
{
    m_folder = std::make_unique<TempProgramFolder>();
    m_oldFile = chainDatabaseText(QStringLiteral("7"), oldChains);
    m_folder->write(chainDatabaseFileName, m_oldFile);
    QVERIFY(loadChains());
    modVars.chainCompleted[2] = true;
    m_dialogs.clear();
    m_inet.setTimeout(Inet::defaultTimeout);
    m_menu = std::make_unique<QWidget>();
    m_update = std::make_unique<frmUpdate>(m_inet, m_dialogs, m_menu.get());
}

void TestUpdate::cleanup()
{
    m_update.reset();
    m_menu.reset();
    m_folder.reset();
}

void TestUpdate::runUpdate(bool fromAuto)
{
    if (!fromAuto) {
        // As the menu does it.
        m_update->show();
        m_menu->hide();
    }
    m_update->updateIt(fromAuto);
    QVERIFY(m_menu->isVisible());
    QVERIFY(!m_update->isVisible());
}

void TestUpdate::verifyNothingChanged()
{
    QCOMPARE(m_folder->read(chainDatabaseFileName), m_oldFile);
    QCOMPARE(modVars.dbVersion, QStringLiteral("7"));
    QCOMPARE(modVars.chainCount, 2);
    QCOMPARE(modVars.chainTable[1], oldChains[0]);
    QCOMPARE(modVars.chainTable[2], oldChains[1]);
}

void TestUpdate::packageCheck_data()
{
    QTest::addColumn<QByteArray>("reply");
    QTest::addColumn<bool>("accepted");
    const QByteArray good = chainDatabaseText(QStringLiteral("8"), newChains);
    QTest::newRow("database") << good << true;
    QTest::newRow("LF line ends") << QByteArray(good).replace("\r\n", "\n") << true;
    QTest::newRow("skippable lines")
        << QByteArray(good).replace("\r\n", "\r\n\r\n  ab  \r\n") << true;
    QTest::newRow("100 characters") << packageOfLength(100) << false;
    QTest::newRow("101 characters") << packageOfLength(101) << true;
    QTest::newRow("version line only") << QByteArray(120, '8') + "\r\n" << false;
    QTest::newRow("error page") << QByteArray("<html><head><title>503 Service Unavailable</title>"
                                              "</head>\r\n<body><h1>Service Unavailable</h1>"
                                              "<p>Try again later.</p></body></html>\r\n")
                                << false;
    QTest::newRow("NUL byte") << QByteArray(good).insert(10, '\0') << false;
    QTest::newRow("tab") << QByteArray(good).insert(10, '\t') << false;
    QTest::newRow("bare CR") << QByteArray(good).insert(10, '\r') << false;
    QTest::newRow("DEL") << QByteArray(good).insert(10, '\x7f') << false;
    QTest::newRow("non-Base64 chain line") << good + "not base64 at all!\r\n" << false;
}

void TestUpdate::packageCheck()
{
    QFETCH(QByteArray, reply);
    QFETCH(bool, accepted);
    QCOMPARE(isChainDatabasePackage(reply), accepted);
}

void TestUpdate::equalVersionsManualSaysSo()
{
    UpdateServerProcess server;
    server.writePackage(QStringLiteral("7"), chainDatabaseText(QStringLiteral("7"), newChains));
    QVERIFY(server.start());
    m_inet.setHost(server.host());
    runUpdate(false);
    QCOMPARE(m_dialogs.texts(), (QStringList{introText, latestText}));
    verifyNothingChanged();
}

void TestUpdate::equalVersionsAutomaticIsSilent()
{
    UpdateServerProcess server;
    server.writePackage(QStringLiteral("7"), chainDatabaseText(QStringLiteral("7"), newChains));
    QVERIFY(server.start());
    m_inet.setHost(server.host());
    runUpdate(true);
    QCOMPARE(m_dialogs.texts(), QStringList());
    verifyNothingChanged();
}

void TestUpdate::newVersionInstallsAndCountsAdded_data()
{
    QTest::addColumn<bool>("fromAuto");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QStringList>("expectedTexts");
    QTest::newRow("manual, higher")
        << false << QStringLiteral("8")
        << QStringList{introText,
                       QStringLiteral("Update successful! 3 chains added to database. Enjoy!")};
    QTest::newRow("automatic, higher")
        << true << QStringLiteral("8")
        << QStringList{QStringLiteral("A new update of the Quillora database has been downloaded "
                                      "and installed. 3 chains have been added. Enjoy!")};
    QTest::newRow("manual, lower")
        << false << QStringLiteral("6")
        << QStringList{introText,
                       QStringLiteral("Update successful! 3 chains added to database. Enjoy!")};
    QTest::newRow("manual, other case")
        << false << QStringLiteral("7a")
        << QStringList{introText,
                       QStringLiteral("Update successful! 3 chains added to database. Enjoy!")};
}

void TestUpdate::newVersionInstallsAndCountsAdded()
{
    QFETCH(bool, fromAuto);
    QFETCH(QString, version);
    QFETCH(QStringList, expectedTexts);
    UpdateServerProcess server;
    const QByteArray package = chainDatabaseText(version, newChains);
    server.writePackage(version, package);
    QVERIFY(server.start());
    m_inet.setHost(server.host());

    runUpdate(fromAuto);

    QCOMPARE(m_dialogs.texts(), expectedTexts);
    QCOMPARE(m_folder->read(chainDatabaseFileName), package + "\r\n");
    QCOMPARE(modVars.dbVersion, version);
    QCOMPARE(modVars.chainCount, 5);
    for (int i = 0; i < newChains.size(); ++i)
        QCOMPARE(modVars.chainTable[i + 1], newChains[i]);
    // The marks stay with their positions.
    QVERIFY(modVars.chainCompleted[2]);
    QVERIFY(!modVars.chainCompleted[3]);
}

void TestUpdate::sameOrFewerChainsInstallQuietly_data()
{
    QTest::addColumn<bool>("fromAuto");
    QTest::addColumn<QStringList>("chains");
    QTest::addColumn<QStringList>("expectedTexts");
    const QStringList same{newChains[3], newChains[4]};
    const QStringList fewer{newChains[4]};
    QTest::newRow("manual, same count")
        << false << same << QStringList{introText, QStringLiteral("No updates are available.")};
    QTest::newRow("manual, fewer")
        << false << fewer << QStringList{introText, QStringLiteral("No updates are available.")};
    QTest::newRow("automatic, fewer") << true << fewer << QStringList();
}

void TestUpdate::sameOrFewerChainsInstallQuietly()
{
    QFETCH(bool, fromAuto);
    QFETCH(QStringList, chains);
    QFETCH(QStringList, expectedTexts);
    UpdateServerProcess server;
    // A long version line, so that even one chain makes a package of over 100 characters.
    const QString version =
        QStringLiteral("Chain collection 9, published on the sixth of December");
    const QByteArray package = chainDatabaseText(version, chains);
    server.writePackage(version, package);
    QVERIFY(server.start());
    m_inet.setHost(server.host());

    runUpdate(fromAuto);

    QCOMPARE(m_dialogs.texts(), expectedTexts);
    QCOMPARE(m_folder->read(chainDatabaseFileName), package + "\r\n");
    QCOMPARE(modVars.chainCount, chains.size());
    QCOMPARE(modVars.chainTable[1], chains[0]);
}

void TestUpdate::versionReplyRules_data()
{
    QTest::addColumn<QByteArray>("versionReply");
    QTest::addColumn<bool>("installs");
    QTest::newRow("empty") << QByteArray() << false;
    QTest::newRow("one character") << QByteArray("8") << false;
    // Two characters leave an empty version, which differs from ours.
    QTest::newRow("two characters") << QByteArray("\r\n") << true;
    QTest::newRow("same without line end") << QByteArray("7") << false;
}

void TestUpdate::versionReplyRules()
{
    QFETCH(QByteArray, versionReply);
    QFETCH(bool, installs);
    CannedHttpServer server;
    const QByteArray package = chainDatabaseText(QStringLiteral("8"), newChains);
    server.setReply(QStringLiteral("/chayn.ver"), 200, versionReply);
    server.setReply(QStringLiteral("/chayn.tx0"), 200, package);
    m_inet.setHost(server.host());

    runUpdate(false);

    if (installs) {
        QCOMPARE(m_dialogs.lastText(),
                 QStringLiteral("Update successful! 3 chains added to database. Enjoy!"));
        QCOMPARE(m_folder->read(chainDatabaseFileName), package + "\r\n");
    } else {
        QCOMPARE(m_dialogs.texts(), (QStringList{introText, errorText}));
        QCOMPARE(server.targets, QStringList{QStringLiteral("/chayn.ver")});
        verifyNothingChanged();
    }
}

void TestUpdate::packageOf100IsRefusedAnd101Installed()
{
    CannedHttpServer server;
    server.setReply(QStringLiteral("/chayn.ver"), 200, "8\r\n");
    server.setReply(QStringLiteral("/chayn.tx0"), 200, packageOfLength(100));
    m_inet.setHost(server.host());
    runUpdate(false);
    QCOMPARE(m_dialogs.texts(), (QStringList{introText, errorText}));
    verifyNothingChanged();

    m_dialogs.clear();
    const QByteArray package = packageOfLength(101);
    server.setReply(QStringLiteral("/chayn.tx0"), 200, package);
    runUpdate(false);
    QCOMPARE(m_dialogs.texts(),
             (QStringList{introText, QStringLiteral("No updates are available.")}));
    QCOMPARE(m_folder->read(chainDatabaseFileName), package + "\r\n");
    QCOMPARE(modVars.chainCount, 1);
}

void TestUpdate::badServersChangeNothing_data()
{
    QTest::addColumn<bool>("fromAuto");
    QTest::addColumn<QString>("failingPath");
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("silent");
    const QByteArray page = "<html><body><h1>Not Found</h1><p>The requested URL was not found on "
                            "this server. Please check the spelling and try again.</p></body>"
                            "</html>\r\n";
    QTest::newRow("version 404") << false << "/chayn.ver" << 404 << page << false;
    QTest::newRow("version 500, automatic") << true << "/chayn.ver" << 500 << page << false;
    QTest::newRow("package 404") << false << "/chayn.tx0" << 404 << page << false;
    QTest::newRow("package 500") << false << "/chayn.tx0" << 500 << page << false;
    QTest::newRow("package page sent as 200") << false << "/chayn.tx0" << 200 << page << false;
    QTest::newRow("version never answered") << false << "/chayn.ver" << 200 << QByteArray() << true;
    QTest::newRow("package never answered, automatic")
        << true << "/chayn.tx0" << 200 << QByteArray() << true;
}

void TestUpdate::badServersChangeNothing()
{
    QFETCH(bool, fromAuto);
    QFETCH(QString, failingPath);
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, silent);
    CannedHttpServer server;
    server.setReply(QStringLiteral("/chayn.ver"), 200, "8\r\n");
    server.setReply(QStringLiteral("/chayn.tx0"), 200,
                    chainDatabaseText(QStringLiteral("8"), newChains));
    server.setReply(failingPath, {status, body, silent, true, {}});
    m_inet.setHost(server.host());
    m_inet.setTimeout(300ms);

    runUpdate(fromAuto);

    QCOMPARE(m_dialogs.lastText(), errorText);
    QCOMPARE(m_dialogs.shown.size(), fromAuto ? 1 : 2);
    verifyNothingChanged();
}

void TestUpdate::brokenTransfersChangeNothing_data()
{
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("sendLength");
    QTest::addColumn<QByteArray>("headers");
    // Each body would pass for a good database on its own: only the transfer gives it away.
    QStringList manyChains;
    while (manyChains.size() * 40 <= Inet::maxReplyBytes)
        manyChains += newChains;
    const QByteArray huge = chainDatabaseText(QStringLiteral("8"), manyChains);
    QTest::newRow("huge, announced") << huge << true << QByteArray();
    QTest::newRow("huge, streamed until the connection closes") << huge << false << QByteArray();
    const QByteArray whole = chainDatabaseText(QStringLiteral("8"), newChains);
    const QByteArray firstHalf = chainDatabaseText(QStringLiteral("8"), newChains.mid(0, 3));
    QTest::newRow("stops halfway")
        << firstHalf << false << "Content-Length: " + QByteArray::number(whole.size()) + "\r\n";
}

void TestUpdate::brokenTransfersChangeNothing()
{
    QFETCH(QByteArray, body);
    QFETCH(bool, sendLength);
    QFETCH(QByteArray, headers);
    CannedHttpServer server;
    server.setReply(QStringLiteral("/chayn.ver"), 200, "8\r\n");
    server.setReply(QStringLiteral("/chayn.tx0"), {200, body, false, sendLength, headers});
    m_inet.setHost(server.host());

    runUpdate(true);

    QCOMPARE(m_dialogs.texts(), QStringList{errorText});
    QCOMPARE(server.targets,
             (QStringList{QStringLiteral("/chayn.ver"), QStringLiteral("/chayn.tx0")}));
    verifyNothingChanged();
    QCOMPARE(modVars.chainCompleted[2], true);
}

void TestUpdate::trickledPackageChangesNothing()
{
    // A good package, a few bytes every 20 ms: it would take seconds, the wait allows 400 ms.
    const QByteArray package = chainDatabaseText(QStringLiteral("8"), newChains);
    CannedHttpServer server;
    server.setReply(QStringLiteral("/chayn.ver"), 200, "8\r\n");
    server.setReply(QStringLiteral("/chayn.tx0"), {200, package, false, true, {}, 8, 20ms});
    m_inet.setHost(server.host());
    m_inet.setTimeout(400ms);

    runUpdate(false);

    QCOMPARE(m_dialogs.texts(), (QStringList{introText, errorText}));
    verifyNothingChanged();
    // The transfer was under way, not refused at the door, when the wait ran out.
    QVERIFY(server.bytesTrickled() > 0);
    QVERIFY(server.bytesTrickled() < package.size());
}

void TestUpdate::unwritableFolderChangesNothing()
{
    UpdateServerProcess server;
    server.writePackage(QStringLiteral("8"), chainDatabaseText(QStringLiteral("8"), newChains));
    QVERIFY(server.start());
    m_inet.setHost(server.host());
    if (!m_folder->setWritable(false))
        QSKIP("This machine cannot make a folder read-only");
    runUpdate(true);
    m_folder->setWritable(true);
    QCOMPARE(m_dialogs.texts(), QStringList{errorText});
    verifyNothingChanged();

    // And a closed port, the same way.
    m_dialogs.clear();
    m_inet.setHost(closedPortHost());
    runUpdate(false);
    QCOMPARE(m_dialogs.texts(), (QStringList{introText, errorText}));
    verifyNothingChanged();
}

void TestUpdate::caption()
{
    QCOMPARE(m_update->windowTitle(), QStringLiteral("Update Quillora Database"));
    QVERIFY(m_update->minimumWidth() >= 312 && m_update->minimumHeight() >= 206);
    m_inet.setHost(closedPortHost());
    runUpdate(false);
    // Left as it is for the next update.
    QCOMPARE(m_update->windowTitle(), QStringLiteral("Updating Quillora Database. Please Wait."));
}

QTEST_MAIN(TestUpdate)
#include "test_update.moc"
