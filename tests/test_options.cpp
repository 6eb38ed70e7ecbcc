#include "menuTestWindows.h"
#include "modVars.h"
#include "optionsFile.h"

#include <QCheckBox>
#include <QDir>

class TestOptions : public MenuTest
{
    Q_OBJECT
private slots:
    void init() { setUpMenu(); }
    void cleanup();

    void cancelDropsChangesAndReopeningShowsTheStoredOptions_data();
    void cancelDropsChangesAndReopeningShowsTheStoredOptions();
    void choosing280AndOkStoresItAtOnceAndInTheFile();
    void okWithNoTimeSelectedKeepsTheTimeInUse();
    void failedWriteIsToldAndTheOptionsStayInUse();

private:
    // Opens the options from the menu: always the same dialog, with the menu hidden.
    bool open();
    void checkBackAtMenu() const;
    QCheckBox *check(const char *name) const;
    QString selectedTime() const { return selectedText(listOf(m_options, "lstTime")); }

    frmOptions *m_options = nullptr;
};

void TestOptions::cleanup()
{
    tearDownMenu();
    m_options = nullptr;
    QCOMPARE(topLevel<frmOptions>(), nullptr);
}

bool TestOptions::open()
{
    frmOptions *const options = openOptions();
    if (!options || (m_options && options != m_options))
        return false; // a second dialog was made
    m_options = options;
    return !m_menu->isVisible();
}

void TestOptions::checkBackAtMenu() const
{
    QVERIFY(!m_options->isVisible());
    QVERIFY(m_menu->isVisible());
    QVERIFY(QTest::qWaitForWindowActive(m_menu.get()));
    QCOMPARE(QApplication::focusWidget(), m_list);
    QCOMPARE(selectedEntry(), QStringLiteral("Set Options"));
}

QCheckBox *TestOptions::check(const char *name) const
{
    return m_options->findChild<QCheckBox *>(QLatin1String(name));
}

void TestOptions::cancelDropsChangesAndReopeningShowsTheStoredOptions_data()
{
    QTest::addColumn<QString>("way");
    QTest::newRow("Escape") << "Escape";
    QTest::newRow("Cancel button") << "Cancel";
    QTest::newRow("closing the window") << "close";
}

void TestOptions::cancelDropsChangesAndReopeningShowsTheStoredOptions()
{
    QFETCH(QString, way);
    m_folder->write(optionsFileName, "#TRUE#\r\n90\r\n#FALSE#\r\n#TRUE#\r\n");
    const QByteArray stored = m_folder->read(optionsFileName);
    QVERIFY(start());
    modVars.autoUpdate = false; // keep the test clear of the automatic update

    // Twice: the second time shows what is stored, not what the first time changed.
    for (int round = 0; round < 2; ++round) {
        QVERIFY(open());
        QCOMPARE(QApplication::focusWidget(), listOf(m_options, "lstTime"));
        QCOMPARE(selectedTime(), QStringLiteral("90 seconds"));
        QVERIFY(!check("chkSounds")->isChecked());
        QVERIFY(check("chkAdvanced")->isChecked());
        QVERIFY(!check("chkAuto")->isChecked());

        typeKey(m_options, Qt::Key_End);
        QCOMPARE(selectedTime(), QStringLiteral("280 seconds"));
        typeKey(m_options, Qt::Key_P, Qt::AltModifier);
        QTRY_VERIFY(check("chkSounds")->isChecked());
        if (way == "Escape") {
            typeKey(m_options, Qt::Key_Escape);
        } else if (way == "Cancel") {
            m_options->findChild<QWidget *>(QStringLiteral("cmdCancel"))->setFocus();
            typeKey(m_options, Qt::Key_Space);
        } else {
            QVERIFY(m_options->close());
        }
        checkBackAtMenu();
        QCOMPARE(modVars.clockSeconds, 90);
        QVERIFY(!modVars.soundsOn);
        QCOMPARE(m_folder->read(optionsFileName), stored);
    }
}

void TestOptions::choosing280AndOkStoresItAtOnceAndInTheFile()
{
    QVERIFY(start());
    QVERIFY(open());
    // The first use shows the defaults.
    QCOMPARE(m_options->windowTitle(), QStringLiteral("Quillora - Options"));
    QCOMPARE(
        entriesOf(listOf(m_options, "lstTime")),
        QStringList({"20 seconds", "30 seconds", "60 seconds", "90 seconds", "120 seconds",
                     "150 seconds", "180 seconds", "200 seconds", "250 seconds", "280 seconds"}));
    QCOMPARE(selectedTime(), QStringLiteral("120 seconds"));
    QVERIFY(check("chkSounds")->isChecked());
    QVERIFY(!check("chkAdvanced")->isChecked());
    QVERIFY(!check("chkAuto")->isChecked());
    QVERIFY(!m_folder->exists(optionsFileName));

    // The label's access key leads to the time list (it shares its key with Cancel, which a
    // second press reaches: neither press cancels anything).
    check("chkAuto")->setFocus();
    typeKey(m_options, Qt::Key_C, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), listOf(m_options, "lstTime"));
    QVERIFY(m_options->isVisible());
    typeKey(m_options, Qt::Key_End);
    typeKey(m_options, Qt::Key_Return);

    QCOMPARE(modVars.clockSeconds, 280);
    QCOMPARE(m_folder->read(optionsFileName),
             QByteArray("#FALSE#\r\n280\r\n#TRUE#\r\n#FALSE#\r\n"));
    QVERIFY(m_fakes->dialogs.shown.isEmpty());
    checkBackAtMenu();
    QVERIFY(open());
    QCOMPARE(selectedTime(), QStringLiteral("280 seconds"));
}

void TestOptions::okWithNoTimeSelectedKeepsTheTimeInUse()
{
    // A hand-edited file may hold a time that is not one of the ten.
    m_folder->write(optionsFileName, "#FALSE#\r\n45\r\n#TRUE#\r\n#FALSE#\r\n");
    QVERIFY(start());
    QVERIFY(open());
    QCOMPARE(selectedTime(), QString());
    // Advanced Mode shares its access key with AutoUpdate: the key only moves the focus.
    typeKey(m_options, Qt::Key_A, Qt::AltModifier);
    QCOMPARE(QApplication::focusWidget(), check("chkAdvanced"));
    typeKey(m_options, Qt::Key_Space);
    typeKey(m_options, Qt::Key_O, Qt::AltModifier);
    QTRY_VERIFY(!m_options->isVisible());

    QCOMPARE(modVars.clockSeconds, 45);
    QVERIFY(modVars.advancedMode);
    QCOMPARE(m_folder->read(optionsFileName), QByteArray("#FALSE#\r\n45\r\n#TRUE#\r\n#TRUE#\r\n"));
    checkBackAtMenu();
}

void TestOptions::failedWriteIsToldAndTheOptionsStayInUse()
{
    QVERIFY(start());
    if (!m_folder->setWritable(false))
        QSKIP("this machine cannot make a folder read-only");
    QVERIFY(open());
    typeKey(m_options, Qt::Key_End);
    typeKey(m_options, Qt::Key_P, Qt::AltModifier);
    QTRY_VERIFY(!check("chkSounds")->isChecked());
    typeKey(m_options, Qt::Key_Return);

    QCOMPARE(m_fakes->dialogs.shown.size(), 1);
    const ScriptedDialogs::Shown &box = m_fakes->dialogs.shown[0];
    QCOMPARE(box.title, QStringLiteral("Quillora"));
    QVERIFY2(box.text.contains(QStringLiteral("\"options.dat\"")), qPrintable(box.text));
    QVERIFY2(box.text.contains(QDir::toNativeSeparators(m_folder->path())), qPrintable(box.text));
    QCOMPARE(modVars.clockSeconds, 280);
    QVERIFY(!modVars.soundsOn);
    QVERIFY(!m_folder->exists(optionsFileName));
    checkBackAtMenu();
}

QTEST_MAIN(TestOptions)
#include "test_options.moc"
