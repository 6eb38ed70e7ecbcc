#include "chainDatabase.h"
#include "fakeServices.h"
#include "frmChoose.h"
#include "frmMain.h"
#include "menuTestWindows.h"
#include "menuTexts.h"
#include "modVars.h"
#include "statsFile.h"

#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QSignalSpy>

#include <memory>

// From the main menu into a game and back, by keys alone, on the real windows.
class TestPlay : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void aStandardGameFromTheMenuToTheScoreAndBack();
    void aClockGameRunsOutAndTheMenuComesBack();
    void exitOnTheBoardEndsTheProgram();
    void withNoPlayableChainTheMenuStays();

private:
    bool startMenu();
    frmMain *chooseGame(int position);
    void type(QWidget *window, const char *text);

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<frmChoose> m_menu;
};

void TestPlay::init()
{
    m_folder = std::make_unique<TempProgramFolder>();
    m_folder->write(chainDatabaseFileName,
                    chainDatabaseText(QStringLiteral("8"), {sampleChains.first()}));
    m_fakes = std::make_unique<FakeServices>();
}

void TestPlay::cleanup()
{
    // A board takes its own popup menus with it: collect the boards first.
    QList<QPointer<frmMain>> boards;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *board = qobject_cast<frmMain *>(widget))
            boards.append(board);
    }
    qDeleteAll(boards);
    m_menu.reset();
    m_fakes.reset();
    m_folder.reset();
}

bool TestPlay::startMenu()
{
    m_menu = std::make_unique<frmChoose>(m_fakes->services);
    if (!m_menu->load())
        return false;
    m_menu->showMenu();
    return QTest::qWaitForWindowActive(m_menu.get());
}

frmMain *TestPlay::chooseGame(int position)
{
    typeKey(m_menu.get(), Qt::Key_Home);
    for (int i = 0; i < position; ++i)
        typeKey(m_menu.get(), Qt::Key_Down);
    typeKey(m_menu.get(), Qt::Key_Return);
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        auto *board = qobject_cast<frmMain *>(widget);
        if (board && board->isVisible())
            return QTest::qWaitForWindowActive(board) ? board : nullptr;
    }
    return nullptr;
}

void TestPlay::type(QWidget *window, const char *text)
{
    for (const char *c = text; *c; ++c)
        QTest::keyClick(window->windowHandle(), *c);
}

void TestPlay::aStandardGameFromTheMenuToTheScoreAndBack()
{
    QVERIFY(startMenu());
    QPointer<frmMain> board = chooseGame(playStandardEntry);
    QVERIFY(board);
    QVERIFY(!m_menu->isVisible());
    QCOMPARE(board->windowTitle(), QStringLiteral("Quillora"));
    // fire place card board game show boat
    for (const char *word : {"place", "card", "board", "game", "show"}) {
        type(board, word);
        typeKey(board, Qt::Key_Return);
    }
    QCOMPARE(m_fakes->dialogs.lastText(),
             QStringLiteral("Chain complete. You scored 1000 points. During this session, you "
                            "have played 1 games, and have an average score of 1000. In total, "
                            "you have played 1 games, and have an average score of 1000."));
    QCOMPARE(m_folder->read(statsFileName), QByteArray("1\r\n1000\r\n#TRUE#\r\n"));
    QVERIFY(QTest::qWaitForWindowActive(m_menu.get()));
    QCOMPARE(listOf(m_menu.get(), "lstStyle")->currentRow(), int(playStandardEntry));
    QTRY_VERIFY(board.isNull()); // one board per game

    // "Display Score" agrees.
    typeKey(m_menu.get(), Qt::Key_Home);
    for (int i = 0; i < displayScoreEntry; ++i)
        typeKey(m_menu.get(), Qt::Key_Down);
    typeKey(m_menu.get(), Qt::Key_Return);
    QVERIFY(m_fakes->dialogs.lastText().contains("have played 1 games, and have an average "
                                                 "score of 1000."));
}

void TestPlay::aClockGameRunsOutAndTheMenuComesBack()
{
    QVERIFY(startMenu());
    modVars.clockSeconds = 30;
    QPointer<frmMain> board = chooseGame(playClockEntry);
    QVERIFY(board);
    QCOMPARE(board->windowTitle(), QStringLiteral("30 seconds left - Quillora"));
    m_fakes->ticks.advance(30000);
    QTRY_COMPARE(m_fakes->dialogs.lastText(), QStringLiteral("Time's up! You lose!"));
    QVERIFY(QTest::qWaitForWindowActive(m_menu.get()));
    QCOMPARE(listOf(m_menu.get(), "lstStyle")->currentRow(), int(playClockEntry));
    QCOMPARE(modVars.sessionGames, 1);
    QCOMPARE(modVars.sessionScore, 0);
}

void TestPlay::exitOnTheBoardEndsTheProgram()
{
    QVERIFY(startMenu());
    QSignalSpy exit(m_menu.get(), &frmChoose::exitRequested);
    frmMain *board = chooseGame(playStandardEntry);
    QVERIFY(board);
    board->findChild<QAction *>("mnuGameExit")->trigger();
    QCOMPARE(exit.count(), 1);
    QVERIFY(!m_menu->isVisible());
}

void TestPlay::withNoPlayableChainTheMenuStays()
{
    // No chain at all: the database holds only its version line.
    m_folder->write(chainDatabaseFileName, QByteArray("8\r\n"));
    QVERIFY(startMenu());
    QCOMPARE(chooseGame(playClockEntry), nullptr);
    QCOMPARE(m_fakes->dialogs.texts(), QStringList({"There are no chains in your database."}));
    QVERIFY(m_menu->isVisible());

    // Chains, but none that fits the board.
    m_fakes->dialogs.clear();
    m_folder->write(
        chainDatabaseFileName,
        chainDatabaseText(QStringLiteral("8"), {QStringLiteral("only six words in it")}));
    QVERIFY(startMenu());
    QCOMPARE(chooseGame(playStandardEntry), nullptr);
    QCOMPARE(m_fakes->dialogs.texts(),
             QStringList({"None of the chains in your database can be played."}));
    QVERIFY(m_menu->isVisible());
    QCOMPARE(listOf(m_menu.get(), "lstStyle")->currentRow(), int(playStandardEntry));
    QCOMPARE(modVars.totalGames, 0);
    QVERIFY(!m_folder->exists(statsFileName));
}

QTEST_MAIN(TestPlay)
#include "test_play.moc"
