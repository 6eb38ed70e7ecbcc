#include "cannedHttpServer.h"
#include "frmUpdate.h"
#include "menuTestWindows.h"
#include "modVars.h"
#include "optionsFile.h"
#include "updateServerProcess.h"

namespace {

const QString updateErrorText = QStringLiteral(
    "Error. Torvel Games Update server could not be contacted. Please make sure you are "
    "connected to the Internet and try again");

} // namespace

// The update and the contribution as the player reaches them: through the main menu.
class TestMenuOnline : public MenuTest
{
    Q_OBJECT
private slots:
    void init() { setUpMenu(); }
    void cleanup() { tearDownMenu(); }

    void updateDatabaseInstallsAndReturnsToTheMenu();
    void automaticUpdateAtStartupReportsBeforeTheMenuOpens_data();
    void automaticUpdateAtStartupReportsBeforeTheMenuOpens();
    void createNewChainSendsAndReturnsToTheList_data();
    void createNewChainSendsAndReturnsToTheList();
};

void TestMenuOnline::updateDatabaseInstallsAndReturnsToTheMenu()
{
    UpdateServerProcess server;
    const QStringList newChains =
        sampleChains + QStringList{QStringLiteral("head light house work shop floor plan"),
                                   QStringLiteral("sea side walk way out back bone")};
    server.writePackage(QStringLiteral("9"), chainDatabaseText(QStringLiteral("9"), newChains));
    QVERIFY(server.start());
    QVERIFY(start(server.host()));

    bool updateShownMenuHidden = false;
    m_fakes->dialogs.whileOpen = [&](const ScriptedDialogs::Shown &) {
        if (m_fakes->dialogs.shown.size() == 1)
            updateShownMenuHidden =
                topLevel<frmUpdate>() && topLevel<frmUpdate>()->isVisible() && !m_menu->isVisible();
    };
    choose(updateDatabaseEntry);

    QCOMPARE(m_fakes->dialogs.shown.size(), 2);
    QVERIFY(m_fakes->dialogs.shown[0].text.startsWith("Please ensure you are connected"));
    QCOMPARE(m_fakes->dialogs.lastText(),
             QStringLiteral("Update successful! 2 chains added to database. Enjoy!"));
    QVERIFY(updateShownMenuHidden);
    QCOMPARE(modVars.chainCount, 5);
    QVERIFY(m_menu->isVisible());
    QVERIFY(!topLevel<frmUpdate>()->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(m_menu.get()));
    QCOMPARE(QApplication::focusWidget(), m_list);
    QCOMPARE(selectedEntry(), QStringLiteral("Update Database"));

    // The same window serves the next update, which finds nothing new.
    frmUpdate *first = topLevel<frmUpdate>();
    choose(updateDatabaseEntry);
    QCOMPARE(topLevel<frmUpdate>(), first);
    QCOMPARE(m_fakes->dialogs.lastText(),
             QStringLiteral(
                 "You have the latest version of the database. No new updates are available."));
    QVERIFY(m_menu->isVisible());
}

void TestMenuOnline::automaticUpdateAtStartupReportsBeforeTheMenuOpens_data()
{
    QTest::addColumn<bool>("reachable");
    QTest::newRow("new chains") << true;
    QTest::newRow("server unreachable") << false;
}

void TestMenuOnline::automaticUpdateAtStartupReportsBeforeTheMenuOpens()
{
    QFETCH(bool, reachable);
    m_folder->write(optionsFileName, "#TRUE#\r\n120\r\n#TRUE#\r\n#FALSE#\r\n");
    UpdateServerProcess server;
    server.writePackage(QStringLiteral("9"),
                        chainDatabaseText(QStringLiteral("9"),
                                          sampleChains + QStringList{QStringLiteral(
                                                             "sea side walk way out back bone")}));
    QVERIFY(server.start());

    bool menuVisibleAtTheMessage = true;
    m_fakes->dialogs.whileOpen = [&](const ScriptedDialogs::Shown &) {
        menuVisibleAtTheMessage = m_menu->isVisible();
    };
    QVERIFY(start(reachable ? server.host() : closedPortHost()));

    QCOMPARE(m_fakes->dialogs.shown.size(), 1);
    QCOMPARE(m_fakes->dialogs.lastText(),
             reachable ? QStringLiteral("A new update of the Quillora database has been "
                                        "downloaded and installed. 1 chains have been added. "
                                        "Enjoy!")
                       : updateErrorText);
    QVERIFY(!menuVisibleAtTheMessage);
    QCOMPARE(modVars.chainCount, reachable ? 4 : 3);
    QVERIFY(m_menu->isVisible());
    QVERIFY(topLevel<frmUpdate>() && !topLevel<frmUpdate>()->isVisible());
    QCOMPARE(QApplication::focusWidget(), m_list);
    QCOMPARE(selectedEntry(), QStringLiteral("Play Standard Game"));
}

void TestMenuOnline::createNewChainSendsAndReturnsToTheList_data()
{
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<QString>("reply");
    QTest::newRow("sent") << true << "Thankyou!";
    QTest::newRow("server unreachable")
        << false
        << "There was an error connecting to the Torvel Games server. Please make sure you are "
           "connected to the Internet and try again";
}

void TestMenuOnline::createNewChainSendsAndReturnsToTheList()
{
    QFETCH(bool, reachable);
    QFETCH(QString, reply);
    UpdateServerProcess server;
    QVERIFY(server.start());
    QVERIFY(start(reachable ? server.host() : closedPortHost()));
    m_fakes->dialogs.inputAnswers = {QStringLiteral("Zoë"),
                                     QStringLiteral(" red hot dog house boat race car ")};
    choose(createNewChainEntry);

    QCOMPARE(m_fakes->dialogs.lastText(), reply);
    QCOMPARE(server.storedValues(),
             reachable ? QStringList{QStringLiteral("Zoë sent:  red hot dog house boat race car ")}
                       : QStringList());
    QVERIFY(m_menu->isEnabled());
    QCOMPARE(QApplication::focusWidget(), m_list);
    QCOMPARE(selectedEntry(), QStringLiteral("Create New Chain"));
}

QTEST_MAIN(TestMenuOnline)
#include "test_menuonline.moc"
