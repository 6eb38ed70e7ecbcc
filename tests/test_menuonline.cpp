#include "cannedHttpServer.h"
#include "chainDatabase.h"
#include "fakeServices.h"
#include "frmUpdate.h"
#include "inet.h"
#include "menuTestWindows.h"
#include "menuTexts.h"
#include "modVars.h"
#include "optionsFile.h"
#include "updateServerProcess.h"

#include <memory>

namespace {

const QString updateErrorText = QStringLiteral(
    "Error. Torvel Games Update server could not be contacted. Please make sure you are "
    "connected to the Internet and try again");

frmUpdate *updateWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *update = qobject_cast<frmUpdate *>(widget))
            return update;
    }
    return nullptr;
}

} // namespace

// The update and the contribution as the player reaches them: through the main menu.
class TestMenuOnline : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void updateDatabaseInstallsAndReturnsToTheMenu();
    void automaticUpdateAtStartupReportsBeforeTheMenuOpens_data();
    void automaticUpdateAtStartupReportsBeforeTheMenuOpens();
    void createNewChainSendsAndReturnsToTheList();
    void createNewChainFailureLeavesTheMenuAsItWas();

private:
    bool start(const QString &host);
    void choose(int position);
    QString selectedEntry() const;

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<frmChoose> m_menu;
    QListWidget *m_list = nullptr;
};

void TestMenuOnline::init()
{
    m_folder = std::make_unique<TempProgramFolder>();
    m_folder->write(chainDatabaseFileName, chainDatabaseText(QStringLiteral("8"), sampleChains));
    m_fakes = std::make_unique<FakeServices>();
}

void TestMenuOnline::cleanup()
{
    m_menu.reset();
    m_fakes.reset();
    m_folder.reset();
}

bool TestMenuOnline::start(const QString &host)
{
    m_menu = std::make_unique<frmChoose>(m_fakes->services);
    m_menu->inet().setHost(host);
    m_list = listOf(m_menu.get(), "lstStyle");
    if (!m_menu->load())
        return false;
    m_menu->showMenu();
    return QTest::qWaitForWindowActive(m_menu.get());
}

void TestMenuOnline::choose(int position)
{
    typeKey(m_menu.get(), Qt::Key_Home);
    for (int i = 0; i < position; ++i)
        typeKey(m_menu.get(), Qt::Key_Down);
    typeKey(m_menu.get(), Qt::Key_Return);
}

QString TestMenuOnline::selectedEntry() const
{
    const QList<QListWidgetItem *> selected = m_list->selectedItems();
    return selected.size() == 1 ? selected.first()->text() : QString();
}

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
                updateWindow() && updateWindow()->isVisible() && !m_menu->isVisible();
    };
    choose(updateDatabaseEntry);

    QCOMPARE(m_fakes->dialogs.shown.size(), 2);
    QVERIFY(m_fakes->dialogs.shown[0].text.startsWith("Please ensure you are connected"));
    QCOMPARE(m_fakes->dialogs.lastText(),
             QStringLiteral("Update successful! 2 chains added to database. Enjoy!"));
    QVERIFY(updateShownMenuHidden);
    QCOMPARE(modVars.chainCount, 5);
    QVERIFY(m_menu->isVisible());
    QVERIFY(!updateWindow()->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(m_menu.get()));
    QCOMPARE(QApplication::focusWidget(), m_list);
    QCOMPARE(selectedEntry(), QStringLiteral("Update Database"));

    // The same window serves the next update, which finds nothing new.
    frmUpdate *first = updateWindow();
    choose(updateDatabaseEntry);
    QCOMPARE(updateWindow(), first);
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
    QVERIFY(updateWindow() && !updateWindow()->isVisible());
    QCOMPARE(QApplication::focusWidget(), m_list);
    QCOMPARE(selectedEntry(), QStringLiteral("Play Standard Game"));
}

void TestMenuOnline::createNewChainSendsAndReturnsToTheList()
{
    UpdateServerProcess server;
    QVERIFY(server.start());
    QVERIFY(start(server.host()));
    m_fakes->dialogs.inputAnswers = {QStringLiteral("Zoë"),
                                     QStringLiteral(" red hot dog house boat race car ")};
    choose(createNewChainEntry);

    QCOMPARE(m_fakes->dialogs.lastText(), QStringLiteral("Thankyou!"));
    QCOMPARE(server.storedValues(),
             QStringList{QStringLiteral("Zoë sent:  red hot dog house boat race car ")});
    QCOMPARE(QApplication::focusWidget(), m_list);
    QCOMPARE(selectedEntry(), QStringLiteral("Create New Chain"));
}

void TestMenuOnline::createNewChainFailureLeavesTheMenuAsItWas()
{
    QVERIFY(start(closedPortHost()));
    m_fakes->dialogs.inputAnswers = {QStringLiteral("Ann"), QStringLiteral("a b c d e f g")};
    choose(createNewChainEntry);

    QCOMPARE(m_fakes->dialogs.lastText(),
             QStringLiteral("There was an error connecting to the Torvel Games server. Please "
                            "make sure you are connected to the Internet and try again"));
    QVERIFY(m_menu->isEnabled());
    QCOMPARE(QApplication::focusWidget(), m_list);
    QCOMPARE(selectedEntry(), QStringLiteral("Create New Chain"));
}

QTEST_MAIN(TestMenuOnline)
#include "test_menuonline.moc"
