#include "fileExists.h"
#include "programFolder.h"
#include "scriptedDialogs.h"
#include "startupCheck.h"
#include "tickSource.h"

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void fileExistsOnlyForOrdinaryVisibleFiles_data();
    void fileExistsOnlyForOrdinaryVisibleFiles();
    void startupCheckStopsWithItsMessageWithoutAFolder();
    void ticksElapseRightAcrossTheWrap() { QCOMPARE(elapsedTicks(0xfffffe0cu, 1500), 2000); }
};

void TestPlatform::fileExistsOnlyForOrdinaryVisibleFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists");
    QTest::newRow("ordinary") << "plain.txt" << true;
    QTest::newRow("hidden") << ".hidden.txt" << false;
    QTest::newRow("folder") << "folder.txt" << false;
    QTest::newRow("missing") << "missing.txt" << false;
}

void TestPlatform::fileExistsOnlyForOrdinaryVisibleFiles()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);
    QTemporaryDir dir;
    QFile(dir.filePath("plain.txt")).open(QIODevice::WriteOnly);
    QFile(dir.filePath(".hidden.txt")).open(QIODevice::WriteOnly);
    QDir(dir.path()).mkdir("folder.txt");
    QCOMPARE(fileExists(dir.filePath(name)), exists);
}

void TestPlatform::startupCheckStopsWithItsMessageWithoutAFolder()
{
    ScriptedDialogs dialogs;
    setProgramFolder(QStringLiteral("/no/such/folder"));
    QVERIFY(!startupCheck(dialogs));
    setProgramFolder(QString());
    QVERIFY(startupCheck(dialogs));
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].title, QStringLiteral("Error"));
    QCOMPARE(dialogs.lastText(), QStringLiteral("There was an error starting the program, please "
                                                "try again. The program will now exit."));
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
