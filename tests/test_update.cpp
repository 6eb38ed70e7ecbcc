#include "chainDatabase.h"
#include "fakeServices.h"
#include "frmUpdate.h"
#include "inet.h"
#include "modVars.h"
#include "packageCheck.h"
#include "qtHttpGetter.h"
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
    QtHttpGetter m_getter;
    Inet m_inet{m_getter};
    // For the tests where the network is not the point: frmUpdate on scripted replies.
    ScriptedHttp m_http;
    Inet m_scriptedInet{m_http};
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
    m_http = ScriptedHttp();
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
    m_http.replies = {{versionReply, {}}, {package, {}}};
    m_update = std::make_unique<frmUpdate>(m_scriptedInet, m_dialogs, m_menu.get());

    runUpdate(false);

    if (!installedText.isEmpty()) {
        QCOMPARE(m_dialogs.texts(), (QStringList{introText, installedText}));
        verifyInstalled(package, parseChainDatabase(package)->chains);
        return;
    }
    QCOMPARE(m_dialogs.texts(), (QStringList{introText, errorText}));
    if (versionReply.size() < 3)
        QCOMPARE(m_http.urls.size(), 1);
    verifyNothingChanged();
}

void TestUpdate::badServersChangeNothing_data()
{
    QTest::addColumn<bool>("fromAuto");
    QTest::addColumn<QList<HttpResult>>("replies");
    const HttpResult failed{std::nullopt, QStringLiteral("No reply within 60000 ms.")};
    const HttpResult version{QByteArray("8\r\n"), {}};
    const QByteArray page = "<html><body><h1>Not Found</h1></body></html>\r\n";
    QTest::newRow("no version") << false << QList<HttpResult>{failed};
    QTest::newRow("no version, automatic") << true << QList<HttpResult>{failed};
    QTest::newRow("no package") << false << QList<HttpResult>{version, failed};
    QTest::newRow("no package, automatic") << true << QList<HttpResult>{version, failed};
    QTest::newRow("package page sent as 200")
        << false << QList<HttpResult>{version, HttpResult{page, {}}};
}

void TestUpdate::badServersChangeNothing()
{
    QFETCH(bool, fromAuto);
    QFETCH(QList<HttpResult>, replies);
    m_http.replies = replies;
    m_update = std::make_unique<frmUpdate>(m_scriptedInet, m_dialogs, m_menu.get());

    runUpdate(fromAuto);

    QCOMPARE(m_dialogs.texts(),
             (fromAuto ? QStringList{errorText} : QStringList{introText, errorText}));
    verifyNothingChanged();
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
    m_inet.setHost(QStringLiteral("127.0.0.1:1"));
    runUpdate(false);
    QCOMPARE(m_dialogs.texts(), (QStringList{introText, errorText}));
    verifyNothingChanged();
    // Left as it is for the next update.
    QCOMPARE(m_update->windowTitle(), QStringLiteral("Updating Quillora Database. Please Wait."));
}

QTEST_MAIN(TestUpdate)
#include "test_update.moc"
