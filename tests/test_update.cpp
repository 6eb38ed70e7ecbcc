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

const QString addedText = QStringLiteral("Update successful! 3 chains added to database. Enjoy!");
const QString noUpdatesText = QStringLiteral("No updates are available.");

} // namespace

Q_DECLARE_METATYPE(CannedHttpServer::Reply)

class TestUpdate : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void packageCheck_data();
    void packageCheck();

    void realServerUpdate_data();
    void realServerUpdate();
    void replyRules_data();
    void replyRules();
    void badServersChangeNothing_data();
    void badServersChangeNothing();
    void unwritableFolderChangesNothing();
    void closedPortAndCaption();

private:
    // Runs one update and checks how it must always end.
    void runUpdate(bool fromAuto);
    void verifyNothingChanged();
    void verifyInstalled(const QByteArray &package, const QStringList &chains);

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
    QVERIFY(modVars.chainCompleted[2]);
}

void TestUpdate::verifyInstalled(const QByteArray &package, const QStringList &chains)
{
    // The package text plus one CR LF.
    QCOMPARE(m_folder->read(chainDatabaseFileName), package + "\r\n");
    QCOMPARE(modVars.dbVersion, QString::fromLatin1(package.left(package.indexOf("\r\n"))));
    QCOMPARE(modVars.chainCount, chains.size());
    for (int i = 0; i < chains.size(); ++i)
        QCOMPARE(modVars.chainTable[i + 1], chains[i]);
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

void TestUpdate::realServerUpdate_data()
{
    QTest::addColumn<bool>("fromAuto");
    QTest::addColumn<QString>("version");
    QTest::addColumn<QStringList>("chains");
    QTest::addColumn<QStringList>("expectedTexts");
    const QString seven = QStringLiteral("7");
    QTest::newRow("equal versions, manual")
        << false << seven << newChains << QStringList{introText, latestText};
    QTest::newRow("equal versions, automatic") << true << seven << newChains << QStringList();
    QTest::newRow("manual, higher")
        << false << QStringLiteral("8") << newChains << QStringList{introText, addedText};
    QTest::newRow("automatic, higher")
        << true << QStringLiteral("8") << newChains
        << QStringList{QStringLiteral("A new update of the Quillora database has been downloaded "
                                      "and installed. 3 chains have been added. Enjoy!")};
    QTest::newRow("manual, lower")
        << false << QStringLiteral("6") << newChains << QStringList{introText, addedText};
    QTest::newRow("manual, other case")
        << false << QStringLiteral("7a") << newChains << QStringList{introText, addedText};
    // A long version line, so that even one chain makes a package of over 100 characters.
    const QString longVersion =
        QStringLiteral("Chain collection 9, published on the sixth of December");
    const QStringList same{newChains[3], newChains[4]};
    const QStringList fewer{newChains[4]};
    QTest::newRow("manual, same count")
        << false << longVersion << same << QStringList{introText, noUpdatesText};
    QTest::newRow("manual, fewer")
        << false << longVersion << fewer << QStringList{introText, noUpdatesText};
    QTest::newRow("automatic, fewer") << true << longVersion << fewer << QStringList();
}

void TestUpdate::realServerUpdate()
{
    QFETCH(bool, fromAuto);
    QFETCH(QString, version);
    QFETCH(QStringList, chains);
    QFETCH(QStringList, expectedTexts);
    UpdateServerProcess server;
    const QByteArray package = chainDatabaseText(version, chains);
    server.writePackage(version, package);
    QVERIFY(server.start());
    m_inet.setHost(server.host());

    runUpdate(fromAuto);

    QCOMPARE(m_dialogs.texts(), expectedTexts);
    if (version == QStringLiteral("7")) {
        verifyNothingChanged();
        return;
    }
    verifyInstalled(package, chains);
    if (chains.size() == newChains.size()) {
        // The marks stay with their positions.
        QVERIFY(modVars.chainCompleted[2]);
        QVERIFY(!modVars.chainCompleted[3]);
    }
}

void TestUpdate::replyRules_data()
{
    QTest::addColumn<QByteArray>("versionReply");
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<QString>("installedText");
    const QByteArray good = chainDatabaseText(QStringLiteral("8"), newChains);
    QTest::newRow("empty version") << QByteArray() << good << QString();
    QTest::newRow("one-character version") << QByteArray("8") << good << QString();
    // Two characters leave an empty version, which differs from ours.
    QTest::newRow("two-character version") << QByteArray("\r\n") << good << addedText;
    QTest::newRow("same version without line end") << QByteArray("7") << good << QString();
    QTest::newRow("package of 100 characters")
        << QByteArray("8\r\n") << packageOfLength(100) << QString();
    QTest::newRow("package of 101 characters")
        << QByteArray("8\r\n") << packageOfLength(101) << noUpdatesText;
}

void TestUpdate::replyRules()
{
    QFETCH(QByteArray, versionReply);
    QFETCH(QByteArray, package);
    QFETCH(QString, installedText);
    CannedHttpServer server;
    server.setReply(QStringLiteral("/chayn.ver"), 200, versionReply);
    server.setReply(QStringLiteral("/chayn.tx0"), 200, package);
    m_inet.setHost(server.host());

    runUpdate(false);

    if (!installedText.isEmpty()) {
        QCOMPARE(m_dialogs.texts(), (QStringList{introText, installedText}));
        verifyInstalled(package, parseChainDatabase(package)->chains);
        return;
    }
    QCOMPARE(m_dialogs.texts(), (QStringList{introText, errorText}));
    if (versionReply.size() < 3)
        QCOMPARE(server.targets, QStringList{QStringLiteral("/chayn.ver")});
    verifyNothingChanged();
}

void TestUpdate::badServersChangeNothing_data()
{
    QTest::addColumn<bool>("fromAuto");
    QTest::addColumn<QString>("failingPath");
    QTest::addColumn<CannedHttpServer::Reply>("reply");
    const QByteArray page = "<html><body><h1>Not Found</h1><p>The requested URL was not found on "
                            "this server. Please check the spelling and try again.</p></body>"
                            "</html>\r\n";
    const QString ver = QStringLiteral("/chayn.ver");
    const QString tx0 = QStringLiteral("/chayn.tx0");
    using Reply = CannedHttpServer::Reply;
    QTest::newRow("version 404") << false << ver << Reply{404, page};
    QTest::newRow("version 500, automatic") << true << ver << Reply{500, page};
    QTest::newRow("package 404") << false << tx0 << Reply{404, page};
    QTest::newRow("package 500") << false << tx0 << Reply{500, page};
    QTest::newRow("package page sent as 200") << false << tx0 << Reply{200, page};
    QTest::newRow("version never answered") << false << ver << Reply{200, {}, true};
    QTest::newRow("package never answered, automatic") << true << tx0 << Reply{200, {}, true};

    // Each body would pass for a good database on its own: only the transfer gives it away.
    QStringList manyChains;
    while (manyChains.size() * 40 <= Inet::maxReplyBytes)
        manyChains += newChains;
    const QByteArray huge = chainDatabaseText(QStringLiteral("8"), manyChains);
    QTest::newRow("huge, announced") << true << tx0 << Reply{200, huge};
    QTest::newRow("huge, streamed until the connection closes")
        << true << tx0 << Reply{200, huge, false, false};
    const QByteArray whole = chainDatabaseText(QStringLiteral("8"), newChains);
    QTest::newRow("stops halfway")
        << true << tx0
        << Reply{200, chainDatabaseText(QStringLiteral("8"), newChains.mid(0, 3)), false, false,
                 "Content-Length: " + QByteArray::number(whole.size()) + "\r\n"};
    // A good package, a few bytes every 20 ms: it would take seconds, the wait allows 300 ms.
    QTest::newRow("trickled") << false << tx0 << Reply{200, whole, false, true, {}, 8, 20ms};
}

void TestUpdate::badServersChangeNothing()
{
    QFETCH(bool, fromAuto);
    QFETCH(QString, failingPath);
    QFETCH(CannedHttpServer::Reply, reply);
    CannedHttpServer server;
    server.setReply(QStringLiteral("/chayn.ver"), 200, "8\r\n");
    server.setReply(QStringLiteral("/chayn.tx0"), 200,
                    chainDatabaseText(QStringLiteral("8"), newChains));
    server.setReply(failingPath, reply);
    m_inet.setHost(server.host());
    m_inet.setTimeout(300ms);

    runUpdate(fromAuto);

    QCOMPARE(m_dialogs.texts(),
             (fromAuto ? QStringList{errorText} : QStringList{introText, errorText}));
    verifyNothingChanged();
    if (reply.bytesPerStep > 0) {
        // The transfer was under way, not refused at the door, when the wait ran out.
        QVERIFY(server.bytesTrickled() > 0);
        QVERIFY(server.bytesTrickled() < reply.body.size());
    }
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
}

void TestUpdate::closedPortAndCaption()
{
    QCOMPARE(m_update->windowTitle(), QStringLiteral("Update Quillora Database"));
    QVERIFY(m_update->minimumWidth() >= 312 && m_update->minimumHeight() >= 206);
    m_inet.setHost(closedPortHost());
    runUpdate(false);
    QCOMPARE(m_dialogs.texts(), (QStringList{introText, errorText}));
    verifyNothingChanged();
    // Left as it is for the next update.
    QCOMPARE(m_update->windowTitle(), QStringLiteral("Updating Quillora Database. Please Wait."));
}

QTEST_MAIN(TestUpdate)
#include "test_update.moc"
