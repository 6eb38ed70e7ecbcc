#include "chainDatabase.h"
#include "databaseUpdate.h"
#include "frmUpdate.h"
#include "inet.h"
#include "qtHttpGetter.h"
#include "modVars.h"
#include "scriptedDialogs.h"
#include "tempProgramFolder.h"
#include "updateServerProcess.h"

#include <QTest>

namespace {

const QString errorText = "Error. Torvel Games Update server could not be contacted. Please make "
                          "sure you are connected to the Internet and try again";
const QString addedText = "Update successful! 3 chains added to database. Enjoy!";
const QString noReply = "(no reply)";
// Version 7 with two chains before every update; the new package has three more after them.
const QByteArray oldFile = chainDatabaseText("7", numberedChains(2));
const QByteArray newPackage = chainDatabaseText("8", numberedChains(5));

// A package of exactly `length` characters, its version line padded to fit.
QByteArray packageOfLength(qsizetype length)
{
    const QByteArray chain = chainDatabaseText("", numberedChains(1)).mid(2);
    return QByteArray(length - chain.size() - 2, 'v') + "\r\n" + chain;
}

} // namespace

class TestUpdate : public QObject
{
    Q_OBJECT
private slots:
    void windowShowsWhatAnUpdateFromTheRealServerSays()
    {
        TempProgramFolder folder;
        folder.write(chainDatabaseFileName, oldFile);
        QVERIFY(loadChains());
        modVars.chainCompleted[2] = true;
        UpdateServerProcess server;
        server.writePackage("8", newPackage);
        QVERIFY(server.start());
        ScriptedDialogs dialogs;
        QtHttpGetter getter;
        Inet inet(getter);
        inet.setHost(server.host());
        QWidget menu;
        frmUpdate update(inet, dialogs, &menu);
        update.show();
        update.updateIt(false);
        QCOMPARE(dialogs.texts(), (QStringList{updateIntroText, addedText}));
        QVERIFY(menu.isVisible() && !update.isVisible());
        QCOMPARE(update.windowTitle(), "Updating Quillora Database. Please Wait.");
        QCOMPARE(folder.read(chainDatabaseFileName), newPackage + "\r\n");
        QVERIFY(modVars.chainCount == 5 && modVars.chainCompleted[2]);
    }

    void repliesDecideMessageFileAndChains_data()
    {
        QTest::addColumn<bool>("fromAuto");
        QTest::addColumn<QString>("versionReply");
        QTest::addColumn<QByteArray>("package");
        QTest::addColumn<bool>("reloadWorks");
        QTest::addColumn<QString>("message");
        QTest::addColumn<bool>("written");
        const QByteArray &p = newPackage;
        const QString latest =
            "You have the latest version of the database. No new updates are available.";
        const QString autoAdded = "A new update of the Quillora database has been downloaded and "
                                  "installed. 3 chains have been added. Enjoy!";
        const QByteArray same = chainDatabaseText("6", numberedChains(2));
        const QByteArray p100 = packageOfLength(100), p101 = packageOfLength(101);
        const QByteArray page = "<html><head><title>503 Service Unavailable</title></head><body>"
                                "<h1>Service Unavailable</h1><p>Try later.</p></body></html>\r\n";
        QTest::newRow("same version") << false << "7\r\n" << p << true << latest << false;
        QTest::newRow("same, automatic") << true << "7\r\n" << p << true << "" << false;
        QTest::newRow("same, lone LF") << false << "7\n" << p << true << latest << false;
        QTest::newRow("new, automatic") << true << "8\r\n" << p << true << autoAdded << true;
        QTest::newRow("empty version") << false << "\r\n" << p << true << addedText << true;
        QTest::newRow("as many chains") << false << "6\r\n"
                                        << same << true << "No updates are available." << true;
        QTest::newRow("fewer, automatic") << true << "8\r\n" << p101 << true << "" << true;
        QTest::newRow("100 characters") << true << "8\r\n" << p100 << true << errorText << false;
        QTest::newRow("error page") << false << "8\r\n" << page << true << errorText << false;
        QTest::newRow("one character") << false << "7" << p << true << errorText << false;
        QTest::newRow("no line end") << false << "10" << p << true << addedText << true;
        QTest::newRow("HTTP error") << false << "8\r\n"
                                    << noReply.toLatin1() << true << errorText << false;
        QTest::newRow("failed read-back") << false << "8\r\n" << p << false << errorText << true;
    }
    void repliesDecideMessageFileAndChains()
    {
        QFETCH(bool, fromAuto);
        QFETCH(QString, versionReply);
        QFETCH(QByteArray, package);
        QFETCH(bool, reloadWorks);
        QFETCH(QString, message);
        QFETCH(bool, written);
        TempProgramFolder folder;
        folder.write(chainDatabaseFileName, oldFile);
        QVERIFY(loadChains());
        const auto fetch = [&](const QString &path) -> std::optional<QString> {
            const QString reply =
                path == "/chayn.ver" ? versionReply : QString::fromLatin1(package);
            return reply == noReply ? std::nullopt : std::optional(reply);
        };
        // A failed load stops with the count at 0.
        const auto reload = [&] {
            return reloadWorks ? loadChains() : (modVars.chainCount = 0) > 0;
        };
        QCOMPARE(runUpdate(fetch, fromAuto, reload).message, message);
        QCOMPARE(folder.read(chainDatabaseFileName), written ? package + "\r\n" : oldFile);
        const auto inMemory = parseChainDatabase(written && reloadWorks ? package : oldFile);
        QVERIFY(modVars.dbVersion == inMemory->version);
        QCOMPARE(modVars.chainCount, inMemory->chains.size());
    }
};

QTEST_MAIN(TestUpdate)
#include "test_update.moc"
