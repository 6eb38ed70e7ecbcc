#include "menuTestWindows.h"
#include "modVars.h"
#include "optionsFile.h"
#include "programFolder.h"
#include "statsFile.h"

#include <QDir>
#include <QPushButton>
#include <QSignalSpy>

class TestMenu : public MenuTest
{
    Q_OBJECT
private slots:
    void init() { setUpMenu(); }
    void cleanup() { tearDownMenu(); }

    void startupLoadsEverythingAndOpensOnTheFirstEntry();
    void displayScoreAveragesRoundHalfToEven_data();
    void displayScoreAveragesRoundHalfToEven();
    void countChainsCountsCompletedChainsUpToChainCount();
    void databaseWithoutChainsStillOpensTheMenu();
    void enterAndAccessKeysPressTheButtons();
    void exitEscapeAndClosingEndTheProgramWritingNothing();
    void okWithNoEntrySelectedDoesNothing();
    void doubleClickOnlySelects();
    void startupFailuresNameTheFileAndEnd_data();
    void startupFailuresNameTheFileAndEnd();
    void unreadableOptionsAreToldAndDefaultsApply();

private:
    QStringList folderFiles() const
    {
        return QDir(m_folder->path()).entryList(QDir::Files | QDir::System | QDir::Hidden);
    }
};

void TestMenu::startupLoadsEverythingAndOpensOnTheFirstEntry()
{
    m_folder->write(statsFileName, "7\r\n3000\r\n#FALSE#\r\n#TRUE#\r\n#TRUE#\r\n");
    m_folder->write(optionsFileName, "#FALSE#\r\n60\r\n#FALSE#\r\n#TRUE#\r\n");
    // Left over from before: start-up clears the used marks.
    modVars.chainUsed[2] = true;
    modVars.usedCount = 1;

    QVERIFY(start());
    QCOMPARE(modVars.chainCount, 3);
    QCOMPARE(modVars.dbVersion, QStringLiteral("8"));
    QCOMPARE(modVars.chainTable[2], sampleChains[1]);
    QVERIFY(!modVars.chainUsed[2]);
    QCOMPARE(modVars.usedCount, 0);
    QCOMPARE(m_fakes->random.seeded, 1);
    // The marks are read for the chains just loaded.
    QCOMPARE(modVars.totalGames, 7);
    QCOMPARE(modVars.totalScore, 3000);
    QCOMPARE(countCompleted(), 2);
    QCOMPARE(modVars.clockSeconds, 60);
    QVERIFY(!modVars.soundsOn && modVars.advancedMode && !modVars.autoUpdate);
    QVERIFY(m_fakes->dialogs.shown.isEmpty());

    QCOMPARE(m_menu->windowTitle(), QStringLiteral("Quillora - Main Menu"));
    QCOMPARE(entriesOf(m_list),
             QStringList({"Play Standard Game", "Play Clock Game", "Update Database",
                          "Create New Chain", "Display Score", "Count Chains", "Set Options"}));
    QCOMPARE(selectedEntry(), QStringLiteral("Play Standard Game"));
    QCOMPARE(QApplication::focusWidget(), m_list);
}

void TestMenu::displayScoreAveragesRoundHalfToEven_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<int>("games");
    QTest::addColumn<int>("average");
    QTest::newRow("first run, no statistics file") << 0 << 0 << 0;
    QTest::newRow("2.5 goes down to 2") << 5 << 2 << 2;
    QTest::newRow("3.5 goes up to 4") << 7 << 2 << 4;
    QTest::newRow("2.67 goes to 3") << 8 << 3 << 3;
}

void TestMenu::displayScoreAveragesRoundHalfToEven()
{
    QFETCH(int, score);
    QFETCH(int, games);
    QFETCH(int, average);
    if (games > 0) {
        m_folder->write(statsFileName,
                        QByteArray::number(games) + "\r\n" + QByteArray::number(score) + "\r\n");
    }
    const QStringList filesBefore = folderFiles();
    QVERIFY(start());
    modVars.sessionGames = games;
    modVars.sessionScore = score;
    choose(displayScoreEntry);
    QCOMPARE(m_fakes->dialogs.shown.size(), 1);
    QCOMPARE(m_fakes->dialogs.shown[0].kind, ScriptedDialogs::Shown::Message);
    QCOMPARE(m_fakes->dialogs.shown[0].title, QStringLiteral("Quillora"));
    QCOMPARE(m_fakes->dialogs.lastText(),
             QStringLiteral("During this session, you have played %1 games, and have an average "
                            "score of %2. In total, you have played %1 games, and have an average "
                            "score of %2.")
                 .arg(QString::number(games), QString::number(average)));
    // Back in the list, on the same entry; no file is made.
    QCOMPARE(QApplication::focusWidget(), m_list);
    QCOMPARE(selectedEntry(), QStringLiteral("Display Score"));
    QCOMPARE(folderFiles(), filesBefore);
}

void TestMenu::countChainsCountsCompletedChainsUpToChainCount()
{
    QVERIFY(start());
    choose(countChainsEntry);
    QCOMPARE(m_fakes->dialogs.lastText(),
             QStringLiteral("There are 3 chains in your database. You have completed 0 of them."));

    // A mark beyond the loaded chains (from a longer database) is not one of them.
    modVars.chainCompleted[1] = true;
    modVars.chainCompleted[3] = true;
    modVars.chainCompleted[4] = true;
    typeKey(m_menu.get(), Qt::Key_Return);
    QCOMPARE(m_fakes->dialogs.lastText(),
             QStringLiteral("There are 3 chains in your database. You have completed 2 of them."));
    QCOMPARE(m_fakes->dialogs.shown.last().title, QStringLiteral("Quillora"));
    QCOMPARE(QApplication::focusWidget(), m_list);
    QCOMPARE(selectedEntry(), QStringLiteral("Count Chains"));
}

void TestMenu::databaseWithoutChainsStillOpensTheMenu()
{
    // Nothing to play yet, but an update can bring chains: the menu must open.
    m_folder->write(chainDatabaseFileName, QByteArray("8\r\n\r\nabc\r\n"));
    QVERIFY(start());
    QVERIFY(m_fakes->dialogs.shown.isEmpty());
    choose(countChainsEntry);
    QCOMPARE(m_fakes->dialogs.lastText(),
             QStringLiteral("There are 0 chains in your database. You have completed 0 of them."));
}

void TestMenu::enterAndAccessKeysPressTheButtons()
{
    QVERIFY(start());
    const QSignalSpy exits(m_menu.get(), &frmChoose::exitRequested);
    typeKey(m_menu.get(), Qt::Key_End);
    typeKey(m_menu.get(), Qt::Key_Up);
    // An access key presses its button after a short flash.
    typeKey(m_menu.get(), Qt::Key_O, Qt::AltModifier);
    QTRY_COMPARE(m_fakes->dialogs.shown.size(), 1);
    QVERIFY(m_fakes->dialogs.lastText().startsWith("There are 3 chains"));
    QCOMPARE(QApplication::focusWidget(), m_list);

    // Enter on a focused button presses that button, not the default one.
    typeKey(m_menu.get(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdOK"));
    typeKey(m_menu.get(), Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget()->objectName(), QStringLiteral("cmdExit"));
    typeKey(m_menu.get(), Qt::Key_Return);
    QCOMPARE(exits.count(), 1);
    QCOMPARE(m_fakes->dialogs.shown.size(), 1);

    typeKey(m_menu.get(), Qt::Key_X, Qt::AltModifier);
    QTRY_COMPARE(exits.count(), 2);
}

void TestMenu::exitEscapeAndClosingEndTheProgramWritingNothing()
{
    QVERIFY(start());
    const QSignalSpy exits(m_menu.get(), &frmChoose::exitRequested);
    modVars.totalGames = 3; // as if a game had been played: still nothing is written
    typeKey(m_menu.get(), Qt::Key_Escape);
    QCOMPARE(exits.count(), 1);
    m_menu->findChild<QPushButton *>(QStringLiteral("cmdExit"))->click();
    QCOMPARE(exits.count(), 2);
    m_menu->close();
    QCOMPARE(exits.count(), 3);
    QVERIFY(m_fakes->dialogs.shown.isEmpty());
    QCOMPARE(folderFiles(), QStringList{chainDatabaseFileName});
}

void TestMenu::okWithNoEntrySelectedDoesNothing()
{
    QVERIFY(start());
    typeKey(m_menu.get(), Qt::Key_End);
    typeKey(m_menu.get(), Qt::Key_Up);
    QListWidgetItem *const item = m_list->currentItem();
    // Ctrl and a click on the selected entry takes the selection away.
    QTest::mouseClick(m_list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                      m_list->visualItemRect(item).center());
    QVERIFY(m_list->selectedItems().isEmpty());
    typeKey(m_menu.get(), Qt::Key_Return);
    QVERIFY(m_fakes->dialogs.shown.isEmpty());
    QVERIFY(m_menu->isVisible());
}

void TestMenu::doubleClickOnlySelects()
{
    QVERIFY(start());
    QListWidgetItem *const item = m_list->item(countChainsEntry);
    QTest::mouseDClick(m_list->viewport(), Qt::LeftButton, Qt::NoModifier,
                       m_list->visualItemRect(item).center());
    QCOMPARE(selectedEntry(), QStringLiteral("Count Chains"));
    QVERIFY(m_fakes->dialogs.shown.isEmpty());
    typeKey(m_menu.get(), Qt::Key_Return);
    QCOMPARE(m_fakes->dialogs.shown.size(), 1);
}

void TestMenu::startupFailuresNameTheFileAndEnd_data()
{
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("unreadable");
    QTest::addColumn<QString>("reason");
    QTest::newRow("no chain database")
        << chainDatabaseFileName << QByteArray() << false << "No such file or directory";
    QTest::newRow("empty chain database")
        << chainDatabaseFileName << QByteArray("") << false << "is empty";
    QTest::newRow("unreadable chain database")
        << chainDatabaseFileName << QByteArray() << true << "Could not read";
    QTest::newRow("unreadable statistics")
        << statsFileName << QByteArray() << true << "Could not read";
}

void TestMenu::startupFailuresNameTheFileAndEnd()
{
    QFETCH(QString, fileName);
    QFETCH(QByteArray, content);
    QFETCH(bool, unreadable);
    QFETCH(QString, reason);
    QFile::remove(m_folder->filePath(fileName));
    if (unreadable)
        QVERIFY(makeUnreadable(*m_folder, fileName));
    else if (!content.isNull())
        m_folder->write(fileName, content);
    const QStringList filesBefore = folderFiles();

    m_menu = std::make_unique<frmChoose>(m_fakes->services);
    QVERIFY(!m_menu->load());
    QCOMPARE(m_fakes->dialogs.shown.size(), 1);
    const ScriptedDialogs::Shown &box = m_fakes->dialogs.shown[0];
    QCOMPARE(box.title, QStringLiteral("Quillora"));
    QVERIFY2(box.text.contains(QStringLiteral("\"%1\"").arg(fileName)), qPrintable(box.text));
    QVERIFY2(
        box.text.contains(QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(m_folder->path()))),
        qPrintable(box.text));
    QVERIFY2(box.text.contains(reason), qPrintable(box.text));
    QVERIFY(box.text.endsWith(QStringLiteral("The program will now exit.")));
    QVERIFY(!m_menu->isVisible());
    QCOMPARE(folderFiles(), filesBefore);
}

void TestMenu::unreadableOptionsAreToldAndDefaultsApply()
{
    QVERIFY(makeUnreadable(*m_folder, optionsFileName));
    QVERIFY(start());
    QCOMPARE(m_fakes->dialogs.shown.size(), 1);
    const QString text = m_fakes->dialogs.lastText();
    QVERIFY2(text.contains(QStringLiteral("\"options.dat\"")), qPrintable(text));
    QVERIFY2(text.contains(QDir::toNativeSeparators(m_folder->path())), qPrintable(text));
    QCOMPARE(modVars.clockSeconds, 120);
    QVERIFY(modVars.soundsOn && !modVars.autoUpdate && !modVars.advancedMode);
    QCOMPARE(QApplication::focusWidget(), m_list);
    QVERIFY(QFileInfo(m_folder->filePath(optionsFileName)).isSymLink());
}

QTEST_MAIN(TestMenu)
#include "test_menu.moc"
