#include "fileExists.h"
#include "programFolder.h"
#include "scriptedDialogs.h"
#include "startupCheck.h"
#include "systemRandom.h"
#include "tickSource.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { setProgramFolder(QString()); }
    void fileExistsOnlyForOrdinaryVisibleFiles();
    void programFilesLiveInTheProgramFolder();
    void startupCheckFailsWithItsMessageWhenTheFolderIsGone();
    void elapsedTicksStayRightAcrossAWrap();
    void randomStaysInHalfOpenUnitRange();
};

void TestPlatform::fileExistsOnlyForOrdinaryVisibleFiles()
{
    QTemporaryDir dir;
    QFile(dir.filePath("plain.txt")).open(QIODevice::WriteOnly);
    QFile(dir.filePath(".hidden.txt")).open(QIODevice::WriteOnly);
    QDir(dir.path()).mkdir("folder.txt");
    QVERIFY(fileExists(dir.filePath("plain.txt")));
    QVERIFY(!fileExists(dir.filePath(".hidden.txt")));
    QVERIFY(!fileExists(dir.filePath("folder.txt")));
    QVERIFY(!fileExists(dir.filePath("missing.txt")));
}

void TestPlatform::programFilesLiveInTheProgramFolder()
{
    QCOMPARE(programFolder(), QCoreApplication::applicationDirPath());
    setProgramFolder(QStringLiteral("/some/where"));
    QCOMPARE(programFile(QStringLiteral("options.dat")), QStringLiteral("/some/where/options.dat"));
}

void TestPlatform::startupCheckFailsWithItsMessageWhenTheFolderIsGone()
{
    ScriptedDialogs dialogs;
    QVERIFY(startupCheck(dialogs));
    QVERIFY(dialogs.shown.isEmpty());

    setProgramFolder(QStringLiteral("/no/such/folder/anywhere"));
    QVERIFY(!startupCheck(dialogs));
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].title, QStringLiteral("Error"));
    QCOMPARE(dialogs.shown[0].text,
             QStringLiteral("There was an error starting the program, please "
                            "try again. The program will now exit."));
}

void TestPlatform::elapsedTicksStayRightAcrossAWrap()
{
    constexpr quint32 top = std::numeric_limits<quint32>::max();
    QCOMPARE(elapsedTicks(1000, 4000), qint64(3000));
    QCOMPARE(elapsedTicks(top - 499, 1500), qint64(2000));
    // The signed view of the counter turns negative halfway; nothing changes there.
    QCOMPARE(elapsedTicks(0x7fffff00u, 0x80000100u), qint64(0x200));
}

void TestPlatform::randomStaysInHalfOpenUnitRange()
{
    SystemRandom random;
    random.seedFromTimeOfDay();
    for (int i = 0; i < 10000; ++i) {
        const double r = random.next();
        QVERIFY(r >= 0.0 && r < 1.0);
    }
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
