#include "frmMain.h"
#include "menuTestWindows.h"
#include "modVars.h"
#include "statsFile.h"

#include <QPointer>
#include <QSignalSpy>

namespace {

QList<QPointer<frmMain>> boards()
{
    QList<QPointer<frmMain>> found;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *board = qobject_cast<frmMain *>(widget))
            found.append(board);
    }
    return found;
}

} // namespace

// From the main menu into a game and back, by keys alone, on the real windows.
class TestPlay : public MenuTest
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
    frmMain *chooseGame(int position);
};

void TestPlay::init()
{
    setUpMenu();
    m_folder->write(chainDatabaseFileName,
                    chainDatabaseText(QStringLiteral("8"),
                                      {QStringLiteral("fire place card board game show boat")}));
}

void TestPlay::cleanup()
{
    // A board takes its own popup menus with it: collect the boards first.
    qDeleteAll(boards());
    tearDownMenu();
}

frmMain *TestPlay::chooseGame(int position)
{
    choose(position);
    for (frmMain *board : boards()) {
        if (board->isVisible())
            return QTest::qWaitForWindowActive(board) ? board : nullptr;
    }
    return nullptr;
}

void TestPlay::aStandardGameFromTheMenuToTheScoreAndBack()
{
    QVERIFY(start());
    QPointer<frmMain> board = chooseGame(playStandardEntry);
    QVERIFY(board);
    QVERIFY(!m_menu->isVisible());
    QCOMPARE(board->windowTitle(), QStringLiteral("Quillora"));
    // fire place card board game show boat
    for (const char *word : {"place", "card", "board", "game", "show"}) {
        typeText(board, word);
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
    choose(displayScoreEntry);
    QVERIFY(m_fakes->dialogs.lastText().contains("have played 1 games, and have an average "
                                                 "score of 1000."));
}

void TestPlay::aClockGameRunsOutAndTheMenuComesBack()
{
    QVERIFY(start());
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
    QVERIFY(start());
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
    QVERIFY(start());
    QCOMPARE(chooseGame(playClockEntry), nullptr);
    QCOMPARE(m_fakes->dialogs.texts(), QStringList({"There are no chains in your database."}));
    QVERIFY(m_menu->isVisible());

    // Chains, but none that fits the board.
    m_fakes->dialogs.clear();
    m_folder->write(
        chainDatabaseFileName,
        chainDatabaseText(QStringLiteral("8"), {QStringLiteral("only six words in it")}));
    QVERIFY(start());
    QCOMPARE(chooseGame(playStandardEntry), nullptr);
    QCOMPARE(m_fakes->dialogs.texts(),
             QStringList({"None of the chains in your database can be played."}));
    QVERIFY(m_menu->isVisible());
    QCOMPARE(listOf(m_menu.get(), "lstStyle")->currentRow(), int(playStandardEntry));
    QCOMPARE(modVars.totalGames, 0);
    QVERIFY(!m_folder->exists(statsFileName));
    // The boards that could not start cleaned up after themselves.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(boards().isEmpty());
}

QTEST_MAIN(TestPlay)
#include "test_play.moc"
