#include "frmMain.h"
#include "menuTestWindows.h"
#include "modVars.h"
#include "statsFile.h"

#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>

// Games as a player plays them: chosen on the main menu, played by keys on the real board, and
// back. The boxes are answered by a script; the clock moves only when a test says so.
class TestPlay : public MenuTest
{
    Q_OBJECT
    QPointer<frmMain> m_board;

    // Starts a game from the menu; false unless its board came up with the focus.
    bool play(int entry)
    {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // finished boards
        choose(entry);
        m_board = topLevel<frmMain>();
        return m_board && m_board->isVisible() && QTest::qWaitForWindowActive(m_board);
    }
    template <typename T> T *child(const char *name) const { return m_board->findChild<T *>(name); }
    QListWidget *list() const { return listOf(m_board, "lstWords"); }
    QLineEdit *entry() const { return child<QLineEdit>("txtEntry"); }
    QStringList captions() const
    {
        QStringList texts;
        for (const char *name :
             {"cmdLetterBelow", "cmdLetterAbove", "cmdGuessAbove", "cmdGuessBelow"})
            texts.append(child<QPushButton>(name)->text());
        return texts;
    }
    void type(const char *text) { typeText(m_board, text); }
    void guess(const char *word) { type((QByteArray(word) + '\r').constData()); } // and Enter
    void press(Qt::Key key, Qt::KeyboardModifiers mods = {}) { typeKey(m_board, key, mods); }
    ScriptedDialogs &dialogs() { return m_fakes->dialogs; }
    QString title() const { return m_board ? m_board->windowTitle() : QString(); } // gone: ended
    bool backAtTheMenuOn(int entry)
    {
        return QTest::qWaitForWindowActive(m_menu.get()) && m_list->currentRow() == entry;
    }

private slots:
    void init()
    {
        setUpMenu();
        m_folder->write(chainDatabaseFileName, chainDatabaseText("8", {sampleChain}));
        QVERIFY(start());
    }
    void cleanup()
    {
        delete m_board;
        tearDownMenu();
    }

    void aStandardGameByKeysToTheScoreAndBack()
    {
        QVERIFY(play(playStandardEntry));
        QVERIFY(!m_menu->isVisible());
        QCOMPARE(title(), QStringLiteral("Quillora"));
        QCOMPARE(QApplication::focusWidget(), list());
        QCOMPARE(captions(), QStringList({"&Take letter below fire", "T&ake letter above ale",
                                          "G&uess above ale", "&Guess below fire"}));
        press(Qt::Key_T, Qt::AltModifier); // the s of side; the button presses itself soon after
        QTRY_COMPARE(list()->item(1)->text(), QStringLiteral("s * * * "));
        auto *spell = child<QLineEdit>("txtSpell");
        press(Qt::Key_W, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(spell->text().isEmpty());
        press(Qt::Key_W, Qt::ControlModifier);
        QCOMPARE(spell->text(), QStringLiteral("s***"));
        QCOMPARE(QApplication::focusWidget(), spell);
        type("1 sId"); // only letters go to the entry
        QCOMPARE(QApplication::focusWidget(), entry());
        entry()->setSelection(0, 2);
        type("e"); // a letter goes to the end, wherever the caret
        QCOMPARE(entry()->text(), QStringLiteral("sIde"));
        press(Qt::Key_Return);
        QCOMPARE(list()->currentRow(), 2);
        QCOMPARE(QApplication::focusWidget(), list());
        QCOMPARE(captions()[3], QStringLiteral("&Guess below side"));
        guess("wax");
        QCOMPARE(QApplication::focusWidget(), entry());
        type("yards");
        press(Qt::Key_U, Qt::AltModifier);
        QTRY_COMPARE(list()->item(4)->text(), QStringLiteral("* * * * "));

        QByteArray savedWhileScoreShown;
        dialogs().whileOpen = [&](const ScriptedDialogs::Shown &box) {
            if (box.text.startsWith("Chain complete."))
                savedWhileScoreShown = m_folder->read(statsFileName);
        };
        for (const char *word : {"walk", "way", "back"})
            guess(word);
        // 1 letter taken and 1 wrong guess of 27 letters: 925.9 points.
        QCOMPARE(dialogs().texts(),
                 QStringList({"Correct!", "That is not correct.", "Correct!", "Correct!",
                              "Correct!", "Correct!",
                              "Chain complete. You scored 926 points. During this session, you "
                              "have played 1 games, and have an average score of 926. In total, "
                              "you have played 1 games, and have an average score of 926."}));
        QCOMPARE(m_fakes->sound.played, QStringList(5, "correctword.wav") << "finishchain.wav");
        QCOMPARE(savedWhileScoreShown, QByteArray("1\r\n926\r\n#TRUE#\r\n"));
        QVERIFY(backAtTheMenuOn(playStandardEntry));
        QTRY_VERIFY(m_board.isNull()); // one board per game
    }

    void aClockGameStandsStillWhileABoxIsOpenAndRunsOut()
    {
        modVars.clockSeconds = 60;
        m_fakes->ticks.now = 0xffffffffu - 4999; // the counter wraps 5 s into the game
        QVERIFY(play(playClockEntry));
        QCOMPARE(title(), QStringLiteral("60 seconds left - Quillora"));
        dialogs().whileOpen = [this](const auto &) { m_fakes->ticks.advance(100000); };
        guess("x");
        press(Qt::Key_Escape); // answered No
        guess("side");
        QCOMPARE(dialogs().shown.size(), 3);
        m_fakes->ticks.advance(10000);
        QTRY_COMPARE(title(), QStringLiteral("50 seconds left - Quillora"));

        dialogs().whileOpen = nullptr;
        m_fakes->ticks.advance(100000);
        QVERIFY(backAtTheMenuOn(playClockEntry));
        QCOMPARE(dialogs().lastText(), QStringLiteral("Time's up! You lose!"));
        QCOMPARE(m_fakes->sound.played.last(), QStringLiteral("timeup.wav"));
        QCOMPARE(m_folder->read(statsFileName), QByteArray("1\r\n0\r\n#FALSE#\r\n"));
    }

    void escapeAsksBeforeLeavingAndTheMenuItemsDoNot()
    {
        QVERIFY(play(playStandardEntry));
        dialogs().questionAnswers = {true};
        press(Qt::Key_Escape);
        QCOMPARE(dialogs().texts(), QStringList({"Really end the game?"}));
        QVERIFY(backAtTheMenuOn(playStandardEntry));
        QVERIFY(play(playStandardEntry));
        child<QAction>("mnuGameMain")->trigger();
        QVERIFY(backAtTheMenuOn(playStandardEntry));
        QVERIFY(play(playStandardEntry));
        QSignalSpy exit(m_menu.get(), &frmChoose::exitRequested);
        child<QAction>("mnuGameExit")->trigger();
        QCOMPARE(exit.count(), 1);
        QCOMPARE(dialogs().shown.size(), 1);
    }
};

QTEST_MAIN(TestPlay)
#include "test_play.moc"
