#include "menuTestWindows.h"
#include "modVars.h"
#include "optionsFile.h"

#include <QAbstractButton>
#include <QLabel>
#include <QSignalSpy>

class TestMenu : public MenuTest
{
    Q_OBJECT
private slots:
    void init() { setUpMenu(); }
    void cleanup() { tearDownMenu(); }
    void scoreAveragesRoundHalfToEven_data();
    void scoreAveragesRoundHalfToEven();
    void keysWorkTheMenu();
    void optionsOkStoresAndCancelDrops();
    void noCaptionIsCutOff();
    void unreachableAutoUpdateIsToldBeforeTheMenu();

private:
    QWidget *activeWindow()
    {
        return QTest::qWaitFor([] { return QApplication::activeWindow(); })
                   ? QApplication::activeWindow()
                   : nullptr;
    }
};

void TestMenu::scoreAveragesRoundHalfToEven_data()
{
    QTest::addColumn<int>("score");
    QTest::addColumn<int>("games");
    QTest::addColumn<int>("average");
    QTest::newRow("no games") << 0 << 0 << 0;
    QTest::newRow("2.5 to 2") << 5 << 2 << 2;
    QTest::newRow("3.5 to 4") << 7 << 2 << 4;
    QTest::newRow("2.67 to 3") << 8 << 3 << 3;
}

void TestMenu::scoreAveragesRoundHalfToEven()
{
    QFETCH(int, score);
    QFETCH(int, games);
    QFETCH(int, average);
    modVars.sessionGames = modVars.totalGames = games;
    modVars.sessionScore = modVars.totalScore = score;
    QCOMPARE(scoreText(), QStringLiteral("During this session, you have played %1 games, and have "
                                         "an average score of %2. In total, you have played %1 "
                                         "games, and have an average score of %2.")
                              .arg(games)
                              .arg(average));
}

void TestMenu::keysWorkTheMenu()
{
    QVERIFY(start());
    const QListWidget *const list = listOf(m_menu.get(), "lstStyle");
    QCOMPARE(QApplication::focusWidget(), list);
    QCOMPARE(list->currentRow(), 0);
    choose(countChainsEntry); // Enter in the list presses OK
    QCOMPARE(m_fakes->dialogs.texts(),
             QStringList{"There are 3 chains in your database. You have completed 0 of them."});
    QCOMPARE(QApplication::focusWidget(), list);
    QCOMPARE(list->selectedItems(), QList{list->item(countChainsEntry)});
    // Enter on a focused button presses that one, not the default; Escape is Exit.
    const QSignalSpy exits(m_menu.get(), &frmChoose::exitRequested);
    typeKey(m_menu.get(), Qt::Key_Tab);
    typeKey(m_menu.get(), Qt::Key_Tab);
    typeKey(m_menu.get(), Qt::Key_Return);
    QCOMPARE(exits.count(), 1);
    typeKey(m_menu.get(), Qt::Key_Escape);
    QCOMPARE(exits.count(), 2);
    QCOMPARE(m_fakes->dialogs.shown.size(), 1);
}

void TestMenu::optionsOkStoresAndCancelDrops()
{
    QVERIFY(start());
    for (const Qt::Key key : {Qt::Key_Escape, Qt::Key_Return}) {
        choose(setOptionsEntry);
        QWidget *const options = activeWindow();
        QVERIFY(options && options != m_menu.get() && !m_menu->isVisible());
        QCOMPARE(listOf(options, "lstTime")->currentItem()->text(), QStringLiteral("120 seconds"));
        typeKey(options, Qt::Key_End);
        typeKey(options, key);
        QVERIFY(m_menu->isVisible() && !options->isVisible());
    }
    QCOMPARE(modVars.clockSeconds, 280);
    QCOMPARE(m_folder->read(optionsFileName),
             QByteArray("#FALSE#\r\n280\r\n#TRUE#\r\n#FALSE#\r\n"));
}

// Run again at 1.5 times the scale, where rounding is most likely to cut text off.
void TestMenu::noCaptionIsCutOff()
{
    QVERIFY(start());
    choose(setOptionsEntry);
    for (QWidget *const window : {static_cast<QWidget *>(m_menu.get()), activeWindow()}) {
        for (QWidget *const control : window->findChildren<QWidget *>(Qt::FindDirectChildrenOnly)) {
            const QString name = control->objectName();
            QVERIFY2(window->rect().contains(control->geometry()), qPrintable(name));
            if (qobject_cast<QAbstractButton *>(control) || qobject_cast<QLabel *>(control))
                QVERIFY2(control->width() >= control->sizeHint().width(), qPrintable(name));
            if (const auto *list = qobject_cast<QListWidget *>(control)) {
                for (int i = 0; i < list->count(); ++i) {
                    const QString text = list->item(i)->text();
                    QVERIFY2(list->fontMetrics().horizontalAdvance(text) <
                                 list->viewport()->width(),
                             qPrintable(text));
                }
            }
        }
    }
}

void TestMenu::unreachableAutoUpdateIsToldBeforeTheMenu()
{
    m_folder->write(optionsFileName, "#TRUE#\r\n120\r\n#TRUE#\r\n#FALSE#\r\n");
    bool menuShown = true;
    m_fakes->dialogs.whileOpen = [&](const auto &) { menuShown = m_menu->isVisible(); };
    QVERIFY(start()); // the scripted getter has no reply: no server to be reached
    QCOMPARE(m_fakes->dialogs.shown.size(), 1);
    QVERIFY(!menuShown);
    QCOMPARE(QApplication::focusWidget(), listOf(m_menu.get(), "lstStyle"));
}

QTEST_MAIN(TestMenu)
#include "test_menu.moc"
