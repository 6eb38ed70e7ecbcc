#include "modVars.h"
#include "optionsFile.h"
#include "statsFile.h"
#include "tempProgramFolder.h"

#include <QTest>

class TestDataFiles : public QObject
{
    Q_OBJECT
private slots:
    void statsFileHoldsTotalsThenOneMarkPerChain();
    void statsRoundTripAndReloadClearsOldMarks();
    void noStatsFileMeansZerosAndWritesNothing();
    void statsWithFewerOrMoreMarksThanChains();
    void damagedStatsKeepWhatReadsCorrectly_data();
    void damagedStatsKeepWhatReadsCorrectly();
    void failedStatsWriteKeepsOldFileAndSaysWhy();

    void optionsFileHoldsFourLines();
    void noOptionsFileGivesDefaultsAndWritesNothing();
    void damagedOptionsKeepWhatReadsCorrectly_data();
    void damagedOptionsKeepWhatReadsCorrectly();
    void failedOptionsWriteKeepsChosenOptionsInUse();
};

void TestDataFiles::statsFileHoldsTotalsThenOneMarkPerChain()
{
    TempProgramFolder folder;
    modVars.chainCount = 3;
    modVars.chainCompleted[2] = true;
    modVars.chainCompleted[4] = true; // beyond the loaded chains: not written
    modVars.totalGames = 5;
    modVars.totalScore = 1234;
    QVERIFY(saveStats());
    QCOMPARE(folder.read(statsFileName),
             QByteArray("5\r\n1234\r\n#FALSE#\r\n#TRUE#\r\n#FALSE#\r\n"));

    modVars.totalScore = -7;
    modVars.chainCount = 0;
    QVERIFY(saveStats());
    QCOMPARE(folder.read(statsFileName), QByteArray("5\r\n-7\r\n"));
}

void TestDataFiles::statsRoundTripAndReloadClearsOldMarks()
{
    TempProgramFolder folder;
    modVars.chainCount = 4;
    modVars.totalGames = 12;
    modVars.totalScore = 9000;
    modVars.chainCompleted[1] = true;
    modVars.chainCompleted[4] = true;
    QVERIFY(saveStats());
    modVars.totalGames = 0;
    modVars.chainCompleted[3] = true;
    modVars.chainCompleted[9999] = true;
    QVERIFY(loadStats());
    QCOMPARE(modVars.totalGames, 12);
    QCOMPARE(modVars.totalScore, 9000);
    QVERIFY(modVars.chainCompleted[1] && modVars.chainCompleted[4]);
    QVERIFY(!modVars.chainCompleted[3] && !modVars.chainCompleted[9999]);
}

void TestDataFiles::noStatsFileMeansZerosAndWritesNothing()
{
    TempProgramFolder folder;
    modVars.chainCount = 2;
    modVars.totalGames = 3;
    modVars.chainCompleted[1] = true;
    QVERIFY(loadStats());
    QCOMPARE(modVars.totalGames, 0);
    QCOMPARE(modVars.totalScore, 0);
    QVERIFY(!modVars.chainCompleted[1]);
    QVERIFY(!folder.exists(statsFileName));
}

void TestDataFiles::statsWithFewerOrMoreMarksThanChains()
{
    TempProgramFolder folder;
    folder.write(statsFileName, "2\r\n100\r\n#TRUE#\r\n");
    modVars.chainCount = 3;
    QVERIFY(loadStats());
    QVERIFY(modVars.chainCompleted[1]);
    QVERIFY(!modVars.chainCompleted[2] && !modVars.chainCompleted[3]);

    folder.write(statsFileName, "2\r\n100\r\n#TRUE#\r\n#TRUE#\r\n#TRUE#\r\n");
    modVars.chainCount = 1;
    QVERIFY(loadStats());
    QVERIFY(modVars.chainCompleted[1]);
    QVERIFY(!modVars.chainCompleted[2]);
    QVERIFY(saveStats());
    QCOMPARE(folder.read(statsFileName), QByteArray("2\r\n100\r\n#TRUE#\r\n"));
}

void TestDataFiles::damagedStatsKeepWhatReadsCorrectly_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<int>("games");
    QTest::addColumn<int>("score");
    QTest::addColumn<QList<bool>>("marks");
    QTest::newRow("empty") << QByteArray() << 0 << 0 << QList<bool>{false, false, false};
    QTest::newRow("only the games")
        << QByteArray("4") << 4 << 0 << QList<bool>{false, false, false};
    QTest::newRow("word for a number")
        << QByteArray("four\r\n300\r\n#TRUE#\r\n") << 0 << 300 << QList<bool>{true, false, false};
    QTest::newRow("spaces before values")
        << QByteArray("  4\r\n  300\r\n  #TRUE#\n") << 4 << 300 << QList<bool>{true, false, false};
    QTest::newRow("number too large")
        << QByteArray("99999999999\r\n5\r\n") << 0 << 5 << QList<bool>{false, false, false};
    QTest::newRow("unknown mark") << QByteArray("1\r\n2\r\n#MAYBE#\r\n#TRUE#\r\nTRUE\r\n") << 1 << 2
                                  << QList<bool>{false, true, false};
    static const char junk[] = "\x00\xff\x01\r\n\x80\x80\n\x00#TRUE#\r\n#TRUE#";
    QTest::newRow("binary junk") << QByteArray(junk, sizeof junk - 1) << 0 << 0
                                 << QList<bool>{false, true, false};
}

void TestDataFiles::damagedStatsKeepWhatReadsCorrectly()
{
    QFETCH(QByteArray, content);
    QFETCH(int, games);
    QFETCH(int, score);
    QFETCH(QList<bool>, marks);
    TempProgramFolder folder;
    folder.write(statsFileName, content);
    modVars.chainCount = 3;
    QVERIFY(loadStats());
    QCOMPARE(modVars.totalGames, games);
    QCOMPARE(modVars.totalScore, score);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(modVars.chainCompleted[i + 1], marks[i]);
}

void TestDataFiles::failedStatsWriteKeepsOldFileAndSaysWhy()
{
    TempProgramFolder folder;
    modVars.chainCount = 1;
    modVars.totalGames = 1;
    QVERIFY(saveStats());
    const QByteArray before = folder.read(statsFileName);
    if (!folder.setWritable(false))
        QSKIP("this machine cannot make a folder read-only");
    modVars.totalGames = 2;
    QString error;
    QVERIFY(!saveStats(&error));
    QVERIFY2(error.contains(folder.filePath(statsFileName)), qPrintable(error));
    QCOMPARE(folder.read(statsFileName), before);
    QCOMPARE(modVars.totalGames, 2);
}

void TestDataFiles::optionsFileHoldsFourLines()
{
    TempProgramFolder folder;
    modVars.clockSeconds = 60;
    QVERIFY(saveOptions(1, 60, 1, 0));
    QCOMPARE(folder.read(optionsFileName), QByteArray("#TRUE#\r\n60\r\n#TRUE#\r\n#FALSE#\r\n"));
    QVERIFY(modVars.autoUpdate && modVars.soundsOn && !modVars.advancedMode);

    // Only 1 is checked: any other state is unchecked.
    QVERIFY(saveOptions(2, 280, -1, 1));
    QCOMPARE(folder.read(optionsFileName), QByteArray("#FALSE#\r\n280\r\n#FALSE#\r\n#TRUE#\r\n"));
    resetModVars();
    QVERIFY(loadOptions());
    QCOMPARE(modVars.clockSeconds, 280);
    QVERIFY(!modVars.autoUpdate && !modVars.soundsOn && modVars.advancedMode);
}

void TestDataFiles::noOptionsFileGivesDefaultsAndWritesNothing()
{
    TempProgramFolder folder;
    modVars.clockSeconds = 20;
    modVars.soundsOn = false;
    modVars.autoUpdate = true;
    QVERIFY(loadOptions());
    QCOMPARE(modVars.clockSeconds, 120);
    QVERIFY(modVars.soundsOn && !modVars.autoUpdate && !modVars.advancedMode);
    QVERIFY(!folder.exists(optionsFileName));
}

void TestDataFiles::damagedOptionsKeepWhatReadsCorrectly_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<bool>("autoUpdate");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<bool>("sounds");
    QTest::addColumn<bool>("advanced");
    QTest::newRow("two lines") << QByteArray("#TRUE#\r\n30\r\n") << true << 30 << true << false;
    QTest::newRow("word for seconds")
        << QByteArray("#FALSE#\r\nsixty\r\n#FALSE#\r\n#TRUE#\r\n") << false << 120 << false << true;
    QTest::newRow("zero seconds") << QByteArray("#FALSE#\r\n0\r\n#TRUE#\r\n#FALSE#\r\n") << false
                                  << 120 << true << false;
    QTest::newRow("odd seconds kept")
        << QByteArray("#FALSE#\r\n45\r\n#TRUE#\r\n#FALSE#\r\n") << false << 45 << true << false;
    QTest::newRow("unknown marks")
        << QByteArray("yes\r\n20\r\n#NO#\r\n1\r\n") << false << 20 << true << false;
    static const char junk[] = "\xff\xfe\x00\x01\x02";
    QTest::newRow("binary junk") << QByteArray(junk, sizeof junk - 1) << false << 120 << true
                                 << false;
}

void TestDataFiles::damagedOptionsKeepWhatReadsCorrectly()
{
    QFETCH(QByteArray, content);
    QFETCH(bool, autoUpdate);
    QFETCH(int, seconds);
    QFETCH(bool, sounds);
    QFETCH(bool, advanced);
    TempProgramFolder folder;
    folder.write(optionsFileName, content);
    QVERIFY(loadOptions());
    QCOMPARE(modVars.autoUpdate, autoUpdate);
    QCOMPARE(modVars.clockSeconds, seconds);
    QCOMPARE(modVars.soundsOn, sounds);
    QCOMPARE(modVars.advancedMode, advanced);
}

void TestDataFiles::failedOptionsWriteKeepsChosenOptionsInUse()
{
    TempProgramFolder folder;
    QVERIFY(saveOptions(0, 120, 1, 0));
    const QByteArray before = folder.read(optionsFileName);
    if (!folder.setWritable(false))
        QSKIP("this machine cannot make a folder read-only");
    QString error;
    QVERIFY(!saveOptions(1, 30, 0, 1, &error));
    QVERIFY2(error.contains(optionsFileName), qPrintable(error));
    QCOMPARE(folder.read(optionsFileName), before);
    QVERIFY(modVars.autoUpdate && !modVars.soundsOn && modVars.advancedMode);
}

QTEST_GUILESS_MAIN(TestDataFiles)
#include "test_datafiles.moc"
