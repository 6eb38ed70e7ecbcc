#include "chainGame.h"
#include "fakeServices.h"
#include "frmMain.h"
#include "gameTexts.h"
#include "modVars.h"
#include "statsFile.h"
#include "tempProgramFolder.h"

#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <limits>
#include <memory>

// Whole games through the real board, driven by keys as a player would type them; the boxes
// are answered by a script and the clock moves only when a test says so.
class TestBoard : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();

    void startsWithTheEndsShownAndTheListFocused();
    void takingLettersStopsBeforeTheLastOne();
    void lettersTypedAnywhereGoToTheEndOfTheEntry();
    void guessesOfEitherCaseAndSpacesAround();
    void aWholeStandardGameReachesItsScore();
    void aClockGameCountsDownAndStandsStillWhileABoxIsOpen();
    void aClockGameEndsAtHalfASecondBeforeTheEnd();
    void escapeAsksAndNoResumesTheClock();
    void escapeAnsweredYesAbandonsTheCountedGame();
    void theOtherWaysOut();
    void ctrlWSpellsTheSelectedRow();
    void theFiftyFirstGameClearsTheUsedMarks();
    void threeChainsPlayTenGames();
    void aStatisticsWriteFailureIsToldOnce();

private:
    frmMain *openBoard(bool clock = false);
    void press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::keyClick(m_board->windowHandle(), static_cast<Qt::Key>(key), modifiers);
    }
    void type(const char *text)
    {
        for (const char *c = text; *c; ++c)
            QTest::keyClick(m_board->windowHandle(), *c);
    }
    // Types each word and presses Enter after it.
    void guess(std::initializer_list<const char *> words);
    QListWidget *list() const { return m_board->findChild<QListWidget *>("lstWords"); }
    QLineEdit *entry() const { return m_board->findChild<QLineEdit *>("txtEntry"); }
    QLineEdit *spell() const { return m_board->findChild<QLineEdit *>("txtSpell"); }
    QPushButton *button(const char *name) const { return m_board->findChild<QPushButton *>(name); }
    QStringList rows() const;
    void triggerMenu(const char *name) { m_board->findChild<QAction *>(name)->trigger(); }

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<FakeServices> m_fakes;
    QPointer<frmMain> m_board;
    std::unique_ptr<QSignalSpy> m_ended;
    std::unique_ptr<QSignalSpy> m_exit;
};

void TestBoard::init()
{
    m_folder = std::make_unique<TempProgramFolder>();
    m_fakes = std::make_unique<FakeServices>();
    setChains({sampleChain});
}

void TestBoard::cleanup()
{
    delete m_board;
    m_ended.reset();
    m_exit.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    m_fakes.reset();
    m_folder.reset();
}

frmMain *TestBoard::openBoard(bool clock)
{
    delete m_board;
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    modVars.clockGame = clock ? QStringLiteral("1") : QStringLiteral("0");
    m_board = new frmMain(m_fakes->services);
    m_board->setAttribute(Qt::WA_DeleteOnClose);
    m_ended = std::make_unique<QSignalSpy>(m_board.data(), &frmMain::gameEnded);
    m_exit = std::make_unique<QSignalSpy>(m_board.data(), &frmMain::exitRequested);
    return m_board->load() && QTest::qWaitForWindowActive(m_board) ? m_board.data() : nullptr;
}

void TestBoard::guess(std::initializer_list<const char *> words)
{
    for (const char *word : words) {
        type(word);
        press(Qt::Key_Return);
    }
}

QStringList TestBoard::rows() const
{
    QStringList texts;
    for (int i = 0; i < list()->count(); ++i)
        texts.append(list()->item(i)->text());
    return texts;
}

void TestBoard::startsWithTheEndsShownAndTheListFocused()
{
    modVars.totalGames = 7;
    QVERIFY(openBoard());
    QCOMPARE(rows(), QStringList({"fire", "* * * * ", "[not known]", "[not known]", "[not known]",
                                  "* * * * * ", "ale"}));
    QCOMPARE(list()->currentRow(), 0);
    QCOMPARE(QApplication::focusWidget(), list());
    QCOMPARE(button("cmdLetterBelow")->text(), QStringLiteral("&Take letter below fire"));
    QCOMPARE(button("cmdGuessBelow")->text(), QStringLiteral("&Guess below fire"));
    QCOMPARE(button("cmdLetterAbove")->text(), QStringLiteral("T&ake letter above ale"));
    QCOMPARE(button("cmdGuessAbove")->text(), QStringLiteral("G&uess above ale"));
    QVERIFY(button("cmdGuessBelow")->isDefault());
    QCOMPARE(m_board->windowTitle(), QStringLiteral("Quillora"));
    QVERIFY(entry()->text().isEmpty());
    QVERIFY(spell()->text().isEmpty());

    // Tab order as laid out for the keyboard player.
    QList<QWidget *> order{list()};
    for (int i = 0; i < 6; ++i) {
        QWidget *next = order.last()->nextInFocusChain();
        while (next->focusPolicy() == Qt::NoFocus)
            next = next->nextInFocusChain();
        order.append(next);
    }
    QCOMPARE(order, QList<QWidget *>({list(), button("cmdLetterBelow"), button("cmdLetterAbove"),
                                      button("cmdGuessAbove"), button("cmdGuessBelow"), entry(),
                                      spell()}));

    const auto *menu = m_board->findChild<QMenu *>("mnuGame");
    QCOMPARE(menu->title(), QStringLiteral("Ga&me"));
    QStringList items;
    for (const QAction *action : menu->actions())
        items.append(action->text());
    QCOMPARE(items, QStringList({"&Spell Word... ctrl+w", "&Main menu... ESC", "Exit"}));

    // Counted and saved before anything else happens.
    QCOMPARE(modVars.sessionGames, 1);
    QCOMPARE(m_folder->read(statsFileName), QByteArray("8\r\n0\r\n#FALSE#\r\n"));
    QVERIFY(m_fakes->dialogs.shown.isEmpty());
}

void TestBoard::takingLettersStopsBeforeTheLastOne()
{
    QVERIFY(openBoard());
    QPushButton *below = button("cmdLetterBelow");
    // Alt+T is the access key of "&Take letter below"; the button presses itself shortly after.
    press(Qt::Key_T, Qt::AltModifier);
    QTRY_COMPARE(list()->item(1)->text(), QStringLiteral("s * * * "));
    QCOMPARE(list()->currentRow(), 1);
    press(Qt::Key_T, Qt::AltModifier);
    QTRY_COMPARE(list()->item(1)->text(), QStringLiteral("s i * * "));
    press(Qt::Key_T, Qt::AltModifier);
    QTRY_COMPARE(list()->item(1)->text(), QStringLiteral("s i d * "));
    QCOMPARE(m_board->game().lettersTaken, 3);
    QVERIFY(m_fakes->dialogs.shown.isEmpty());

    press(Qt::Key_T, Qt::AltModifier);
    QTRY_COMPARE(m_fakes->dialogs.shown.size(), 1);
    QCOMPARE(m_fakes->dialogs.lastText(),
             QStringLiteral("All letters have been given except one. Please guess the word."));
    QCOMPARE(m_fakes->dialogs.shown[0].title, QStringLiteral("Quillora"));
    QCOMPARE(m_board->game().lettersTaken, 3);
    QCOMPARE(list()->item(1)->text(), QStringLiteral("s i d * "));
    // Taking a letter leaves the focus where it was.
    QCOMPARE(QApplication::focusWidget(), list());
    // Captions never change by taking letters.
    QCOMPARE(below->text(), QStringLiteral("&Take letter below fire"));

    press(Qt::Key_A, Qt::AltModifier);
    QTRY_COMPARE(list()->item(5)->text(), QStringLiteral("y * * * * "));
    QCOMPARE(list()->currentRow(), 5);
    QCOMPARE(m_board->game().lettersTaken, 4);
}

void TestBoard::lettersTypedAnywhereGoToTheEndOfTheEntry()
{
    QVERIFY(openBoard());
    // Digits and spaces typed into the list stay out of the entry.
    type("1 ");
    QVERIFY(entry()->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), list());

    type("sId");
    QCOMPARE(entry()->text(), QStringLiteral("sId"));
    QCOMPARE(QApplication::focusWidget(), entry());
    QCOMPARE(entry()->cursorPosition(), 3);

    // Even with the caret elsewhere and text selected, a letter goes to the end.
    entry()->setSelection(0, 2);
    type("e");
    QCOMPARE(entry()->text(), QStringLiteral("sIde"));
    QVERIFY(!entry()->hasSelectedText());
    QCOMPARE(entry()->cursorPosition(), 4);
    // Other keys reach the entry as usual.
    press(Qt::Key_Backspace);
    QCOMPARE(entry()->text(), QStringLiteral("sId"));
    type("e");

    press(Qt::Key_Return);
    QCOMPARE(m_fakes->dialogs.texts(), QStringList({"Correct!"}));
    QCOMPARE(m_fakes->sound.played, QStringList({"correctword.wav"}));
    QCOMPARE(rows(), QStringList({"fire", "side", "* * * * ", "[not known]", "[not known]",
                                  "* * * * * ", "ale"}));
    QVERIFY(entry()->text().isEmpty());
    QCOMPARE(list()->currentRow(), 2);
    QCOMPARE(QApplication::focusWidget(), list());
    QCOMPARE(button("cmdLetterBelow")->text(), QStringLiteral("&Take letter below side"));
    QCOMPARE(button("cmdGuessBelow")->text(), QStringLiteral("&Guess below side"));
    QCOMPARE(button("cmdGuessAbove")->text(), QStringLiteral("G&uess above ale"));
}

void TestBoard::guessesOfEitherCaseAndSpacesAround()
{
    setChains({QStringLiteral("top cat cat d e f g")});
    modVars.soundsOn = false;
    QVERIFY(openBoard());

    // Only spaces: nothing happens at all.
    entry()->setFocus();
    guess({"  "});
    QVERIFY(m_fakes->dialogs.shown.isEmpty());
    QCOMPARE(entry()->text(), QStringLiteral("  "));
    QCOMPARE(m_board->game().wrongGuesses, 0);

    // A wrong guess is counted, clears the entry and puts the caret back there.
    guess({"dog"});
    QCOMPARE(m_fakes->dialogs.texts(), QStringList({"That is not correct."}));
    QVERIFY(entry()->text().isEmpty());
    QCOMPARE(QApplication::focusWidget(), entry());
    QCOMPARE(m_board->game().wrongGuesses, 1);
    QCOMPARE(list()->item(1)->text(), QStringLiteral("* * * "));

    type(" Cat ");
    QCOMPARE(entry()->text(), QStringLiteral(" Cat "));
    press(Qt::Key_Return);
    QCOMPARE(m_fakes->dialogs.lastText(), QStringLiteral("Correct!"));
    QCOMPARE(list()->item(1)->text(), QStringLiteral("cat"));
    QVERIFY(m_fakes->sound.played.isEmpty());

    // Typed from the list, in capitals.
    QCOMPARE(QApplication::focusWidget(), list());
    type("CAT");
    QCOMPARE(entry()->text(), QStringLiteral("CAT"));
    press(Qt::Key_Return);
    QCOMPARE(list()->item(2)->text(), QStringLiteral("cat"));

    // Enter presses the button that has the focus, here reached with Shift+Tab.
    type("F");
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    press(Qt::Key_Backtab, Qt::ShiftModifier);
    QCOMPARE(QApplication::focusWidget(), button("cmdGuessAbove"));
    press(Qt::Key_Return);
    QCOMPARE(list()->item(5)->text(), QStringLiteral("f"));
    QCOMPARE(m_board->game().wrongGuesses, 1);
    QCOMPARE(m_fakes->dialogs.texts(),
             QStringList({"That is not correct.", "Correct!", "Correct!", "Correct!"}));
}

void TestBoard::aWholeStandardGameReachesItsScore()
{
    QVERIFY(openBoard());
    press(Qt::Key_T, Qt::AltModifier); // s of side
    QTRY_COMPARE(list()->item(1)->text(), QStringLiteral("s * * * "));
    guess({"side", "walk", "wax"});    // wax is wrong
    press(Qt::Key_A, Qt::AltModifier); // y of yards
    QTRY_COMPARE(list()->item(5)->text(), QStringLiteral("y * * * * "));
    type("yards");
    press(Qt::Key_U, Qt::AltModifier);
    QTRY_COMPARE(list()->item(5)->text(), QStringLiteral("yards"));
    QCOMPARE(button("cmdGuessAbove")->text(), QStringLiteral("G&uess above yards"));
    type("back");
    press(Qt::Key_U, Qt::AltModifier);
    QTRY_COMPARE(list()->item(4)->text(), QStringLiteral("back"));
    QCOMPARE(m_ended->count(), 0);
    guess({"way"});

    // Penalty 2 letters + 1 wrong guess of 27 letters: 888.9 points.
    QCOMPARE(m_fakes->dialogs.texts(),
             QStringList({"Correct!", "Correct!", "That is not correct.", "Correct!", "Correct!",
                          "Correct!",
                          "Chain complete. You scored 889 points. During this session, you have "
                          "played 1 games, and have an average score of 889. In total, you have "
                          "played 1 games, and have an average score of 889."}));
    QCOMPARE(m_fakes->sound.played,
             QStringList({"correctword.wav", "correctword.wav", "correctword.wav",
                          "correctword.wav", "correctword.wav", "finishchain.wav"}));
    QCOMPARE(m_folder->read(statsFileName), QByteArray("1\r\n889\r\n#TRUE#\r\n"));
    QCOMPARE(modVars.sessionScore, 889);
    QCOMPARE(m_ended->count(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_board.isNull());

    // The next game on a new board: averages over both games.
    QVERIFY(openBoard());
    guess({"side", "walk", "way", "back", "yards"});
    QCOMPARE(m_fakes->dialogs.lastText(),
             QStringLiteral("Chain complete. You scored 1000 points. During this session, you "
                            "have played 2 games, and have an average score of 944. In total, you "
                            "have played 2 games, and have an average score of 944."));
}

void TestBoard::aClockGameCountsDownAndStandsStillWhileABoxIsOpen()
{
    modVars.clockSeconds = 60;
    // The millisecond counter wraps 5 s into the game: the time left stays right.
    m_fakes->ticks.now = std::numeric_limits<quint32>::max() - 4999;
    QVERIFY(openBoard(true));
    QCOMPARE(m_board->windowTitle(), QStringLiteral("60 seconds left - Quillora"));
    m_fakes->ticks.advance(10000);
    QTRY_COMPARE(m_board->windowTitle(), QStringLiteral("50 seconds left - Quillora"));

    // A box left open 10 s costs nothing, whatever box it is.
    m_fakes->dialogs.whileOpen = [this](const ScriptedDialogs::Shown &) {
        m_fakes->ticks.advance(10000);
    };
    guess({"wrong", "side"});
    press(Qt::Key_T, Qt::AltModifier);
    QTRY_COMPARE(list()->item(2)->text(), QStringLiteral("w * * * "));
    QCOMPARE(m_fakes->dialogs.shown.size(), 2);
    QTest::qWait(400);
    QCOMPARE(m_board->windowTitle(), QStringLiteral("50 seconds left - Quillora"));
    m_fakes->dialogs.whileOpen = nullptr;

    m_fakes->ticks.advance(1000);
    QTRY_COMPARE(m_board->windowTitle(), QStringLiteral("49 seconds left - Quillora"));

    // Finished in time: the seconds left are in the message.
    guess({"walk", "way", "back", "yards"});
    QCOMPARE(m_fakes->dialogs.lastText(),
             QStringLiteral("Chain complete. You scored 926 points, and had 49 seconds left. "
                            "During this session, you have played 1 games, and have an average "
                            "score of 926. In total, you have played 1 games, and have an average "
                            "score of 926."));
    QCOMPARE(m_ended->count(), 1);
}

void TestBoard::aClockGameEndsAtHalfASecondBeforeTheEnd()
{
    modVars.clockSeconds = 60;
    QVERIFY(openBoard(true));
    m_fakes->ticks.advance(58500);
    QTRY_COMPARE(m_board->windowTitle(), QStringLiteral("2 seconds left - Quillora"));
    m_fakes->ticks.advance(500);
    QTRY_COMPARE(m_board->windowTitle(), QStringLiteral("1 seconds left - Quillora"));
    QTest::qWait(400);
    QCOMPARE(m_ended->count(), 0);
    QVERIFY(m_fakes->dialogs.shown.isEmpty());

    m_fakes->ticks.advance(500); // 59500 ms
    QTRY_COMPARE(m_ended->count(), 1);
    QCOMPARE(m_fakes->dialogs.texts(), QStringList({"Time's up! You lose!"}));
    QCOMPARE(m_fakes->sound.played, QStringList({"timeup.wav"}));
    // Counted as played with no points; the chain is not completed.
    QCOMPARE(m_folder->read(statsFileName), QByteArray("1\r\n0\r\n#FALSE#\r\n"));
    QCOMPARE(modVars.sessionScore, 0);
}

void TestBoard::escapeAsksAndNoResumesTheClock()
{
    modVars.clockSeconds = 60;
    QVERIFY(openBoard(true));
    m_fakes->ticks.advance(5000);
    m_fakes->dialogs.whileOpen = [this](const ScriptedDialogs::Shown &) {
        QVERIFY(m_board->game().paused);
        m_fakes->ticks.advance(120000); // longer than the whole game
    };
    m_fakes->dialogs.questionAnswers = {false};
    press(Qt::Key_Escape);
    QCOMPARE(m_fakes->dialogs.shown.size(), 1);
    QCOMPARE(m_fakes->dialogs.shown[0].kind, ScriptedDialogs::Shown::Question);
    QCOMPARE(m_fakes->dialogs.shown[0].text, QStringLiteral("Really end the game?"));
    QVERIFY(!m_board->game().paused);
    QTRY_COMPARE(m_board->windowTitle(), QStringLiteral("55 seconds left - Quillora"));
    QTest::qWait(400);
    QVERIFY(m_board->isVisible());
    QCOMPARE(m_ended->count(), 0);

    // Escape typed into the entry asks too, rather than closing the dialog.
    entry()->setFocus();
    press(Qt::Key_Escape);
    QCOMPARE(m_fakes->dialogs.shown.size(), 2);
    QVERIFY(m_board->isVisible());
}

void TestBoard::escapeAnsweredYesAbandonsTheCountedGame()
{
    QVERIFY(openBoard());
    guess({"side"});
    m_fakes->dialogs.questionAnswers = {true};
    press(Qt::Key_Escape);
    QCOMPARE(m_ended->count(), 1);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(m_board.isNull());
    QCOMPARE(modVars.sessionGames, 1);
    QCOMPARE(modVars.sessionScore, 0);
    QCOMPARE(m_folder->read(statsFileName), QByteArray("1\r\n0\r\n#FALSE#\r\n"));
}

void TestBoard::theOtherWaysOut()
{
    // The menu item leaves at once, without the question.
    QVERIFY(openBoard());
    triggerMenu("mnuGameMain");
    QCOMPARE(m_ended->count(), 1);
    QVERIFY(m_fakes->dialogs.shown.isEmpty());

    // The window's close button brings the menu back.
    QVERIFY(openBoard());
    m_board->close();
    QCOMPARE(m_ended->count(), 1);

    // "Exit" ends the program: the menu is not asked to come back.
    QVERIFY(openBoard());
    triggerMenu("mnuGameExit");
    QCOMPARE(m_exit->count(), 1);
    QCOMPARE(m_ended->count(), 0);
    QCOMPARE(modVars.totalGames, 3);
}

void TestBoard::ctrlWSpellsTheSelectedRow()
{
    QVERIFY(openBoard());
    press(Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(spell()->text(), QStringLiteral("fire"));
    QCOMPARE(QApplication::focusWidget(), spell());

    press(Qt::Key_T, Qt::AltModifier);
    QTRY_COMPARE(list()->item(1)->text(), QStringLiteral("s * * * "));
    // From the entry too; Shift or Alt with it do nothing.
    entry()->setFocus();
    press(Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
    QCOMPARE(entry()->text(), QString());
    press(Qt::Key_W, Qt::AltModifier);
    QCOMPARE(spell()->text(), QStringLiteral("fire"));
    QCOMPARE(entry()->text(), QString());
    press(Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(spell()->text(), QStringLiteral("s***"));

    // A word not yet known shows nothing and leaves the focus where it was.
    list()->setCurrentRow(3);
    list()->setFocus();
    press(Qt::Key_W, Qt::ControlModifier);
    QCOMPARE(spell()->text(), QStringLiteral("s***"));
    QCOMPARE(QApplication::focusWidget(), list());

    list()->setCurrentRow(6);
    triggerMenu("mnuGameSpell");
    QCOMPARE(spell()->text(), QStringLiteral("ale"));

    // Alt+M opens the game menu; Escape there closes the menu and asks nothing.
    auto *menu = m_board->findChild<QMenu *>("mnuGame");
    press(Qt::Key_M, Qt::AltModifier);
    QTRY_COMPARE(QApplication::activePopupWidget(), menu);
    QTest::keyClick(menu->windowHandle(), Qt::Key_Escape);
    QTRY_VERIFY(!menu->isVisible());
    QVERIFY(m_fakes->dialogs.shown.isEmpty());
    QVERIFY(m_board->isVisible());
}

void TestBoard::theFiftyFirstGameClearsTheUsedMarks()
{
    QStringList chains;
    for (int i = 1; i <= 60; ++i)
        chains.append(QStringLiteral("w%1 a b c d e f").arg(i));
    setChains(chains);
    m_fakes->random.fallback = 0.25;
    QSet<int> dealt;
    for (int game = 1; game <= 50; ++game) {
        QVERIFY(openBoard());
        dealt.insert(m_board->game().chainIndex);
        triggerMenu("mnuGameMain");
    }
    QCOMPARE(dealt.size(), 50);
    QCOMPARE(modVars.usedCount, 50);
    QVERIFY(openBoard());
    QCOMPARE(modVars.usedCount, 1);
    QCOMPARE(m_board->game().chainIndex, 16); // floor(0.25 x 60) + 1, free again
    QCOMPARE(modVars.sessionGames, 51);
}

void TestBoard::threeChainsPlayTenGames()
{
    setChains({sampleChain, QStringLiteral("a b c d e f g"), QStringLiteral("h i j k l m n")});
    // The same draw every time: only the fallback among unused chains finds the others.
    for (int game = 1; game <= 10; ++game) {
        QVERIFY(openBoard());
        m_fakes->dialogs.questionAnswers = {true};
        press(Qt::Key_Escape);
        QCOMPARE(m_ended->count(), 1);
    }
    QCOMPARE(modVars.sessionGames, 10);
}

void TestBoard::aStatisticsWriteFailureIsToldOnce()
{
    if (!m_folder->setWritable(false))
        QSKIP("cannot make the folder read-only here");
    QVERIFY(openBoard());
    QCOMPARE(m_fakes->dialogs.shown.size(), 1);
    QVERIFY(m_fakes->dialogs.lastText().contains(statsFileName));
    // The game goes on.
    guess({"side"});
    QCOMPARE(list()->item(1)->text(), QStringLiteral("side"));
    triggerMenu("mnuGameMain");

    m_fakes->dialogs.clear();
    QVERIFY(openBoard());
    guess({"side", "walk", "way", "back", "yards"});
    QCOMPARE(m_fakes->dialogs.shown.size(), 6);
    QVERIFY(m_fakes->dialogs.lastText().startsWith("Chain complete."));
    QCOMPARE(m_ended->count(), 1);
    QCOMPARE(modVars.totalGames, 2);
}

QTEST_MAIN(TestBoard)
#include "test_board.moc"
