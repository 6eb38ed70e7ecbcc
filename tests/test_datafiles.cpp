#include "chainDatabase.h"
#include "modEncrypt64Bit.h"
#include "modVars.h"
#include "optionsFile.h"
#include "statsFile.h"
#include "tempProgramFolder.h"

#include <QFile>
#include <QTest>

// The files the game keeps, and the Base64 of their chain lines.
class TestDataFiles : public QObject
{
    Q_OBJECT
private slots:
    void base64DecodesByItsOwnPaddingRules_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("= third and fourth") << "QU==" << QByteArray("A");
        QTest::newRow("= third only") << "QU=B" << QByteArray("A@");
        QTest::newRow("= fourth only") << "QUJ=" << QByteArray("AB");
        QTest::newRow("= first is 0") << "=QJD" << QByteArray::fromHex("010243");
        // Qt's lenient decoder carries bits across the padding here: 41 04 10.
        QTest::newRow("padded, then more") << "QQ==QQ==" << QByteArray("AA");
        QTest::newRow("spaces, tab, CR") << " Zm 9v\tYm Fy\r" << QByteArray("foobar");
        QTest::newRow("beyond Latin-1") << "Zm\u20ac9v\u00e9" << QByteArray("foo");
        QTest::newRow("incomplete group") << "Zm9vYmF" << QByteArray("foo");
        QTest::newRow("under 4 characters") << "QUJ" << QByteArray();
    }
    void base64DecodesByItsOwnPaddingRules()
    {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(base64Decode(text), bytes);
    }

    void chainLinesBecomeVersionAndChains_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("version");
        QTest::addColumn<QStringList>("chains");
        const auto line = [](const char *chain) { return base64Encode(chain).toLatin1(); };
        QTest::newRow("version never decoded") << line("fire") + "\r\n" + line("fire place card")
                                               << "ZmlyZQ==" << QStringList{"fire place card"};
        // "YWJjZGU" has exactly 7 characters; its incomplete last group is dropped.
        QTest::newRow("short lines take no position")
            << " 8 \r\n\r\n" + line("one two") + "\r\nQUJD\r\n   ab c  \r\nYWJjZGU\r\n" +
                   line("red hot dog") + "\r\n\r\n"
            << " 8 " << QStringList{"one two", "abc", "red hot dog"};
        QTest::newRow("spaces around a chain") << "8\r\n   " + line("sun flower pot") + "  \r\n"
                                               << "8" << QStringList{"sun flower pot"};
        QTest::newRow("bare LF, no last line end")
            << "8\n" + line("fire place card") + "\n" + line("ice cap gun") << "8"
            << QStringList{"fire place card", "ice cap gun"};
        QTest::newRow("version only") << QByteArray("v9\r\n") << "v9" << QStringList();
    }
    void chainLinesBecomeVersionAndChains()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, version);
        QFETCH(QStringList, chains);
        const std::optional<ChainDatabase> database = parseChainDatabase(text);
        QVERIFY(database && database->version == version);
        QCOMPARE(database->chains, chains);
    }

    // Each text of a statistics or options file reads as the values the game then writes.
    void statsAndOptionsReadAsTheGameWritesThem_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QByteArray>("written");
        const QByteArray stats = "5\r\n-34\r\n#FALSE#\r\n#TRUE#\r\n#FALSE#\r\n";
        const QByteArray options = "#TRUE#\r\n60\r\n#TRUE#\r\n#FALSE#\r\n";
        QTest::newRow("stats as written") << stats << stats;
        QTest::newRow("stats, empty") << QByteArray() << QByteArray("0\r\n0\r\n#FALSE#\r\n");
        QTest::newRow("stats, fewer marks") << QByteArray("2\r\n100\r\n#TRUE#\r\n")
                                            << QByteArray("2\r\n100\r\n#TRUE#\r\n#FALSE#\r\n");
        QTest::newRow("stats, damaged") << QByteArray("four\r\n300\r\n#MAYBE#\r\n#TRUE#\r\n")
                                        << QByteArray("0\r\n300\r\n#FALSE#\r\n#TRUE#\r\n");
        QTest::newRow("stats, spaces, LF")
            << QByteArray("  4\n  300\n  #TRUE#\n") << QByteArray("4\r\n300\r\n#TRUE#\r\n");
        QTest::newRow("options as written") << options << options;
        QTest::newRow("options, empty")
            << QByteArray() << QByteArray("#FALSE#\r\n120\r\n#TRUE#\r\n#FALSE#\r\n");
        QTest::newRow("options, damaged") << QByteArray("yes\r\n0\r\n#NO#\r\n#TRUE#")
                                          << QByteArray("#FALSE#\r\n120\r\n#TRUE#\r\n#TRUE#\r\n");
    }
    void statsAndOptionsReadAsTheGameWritesThem()
    {
        QFETCH(QByteArray, text);
        QFETCH(QByteArray, written);
        if (written.startsWith('#'))
            QCOMPARE(serializeOptions(parseOptions(text)), written);
        else
            QCOMPARE(serializeStats(parseStats(text, int(written.count('\n')) - 2)), written);
    }

    void tableHoldsAtMost10000AndMissingFilesGiveDefaults()
    {
        TempProgramFolder folder;
        const QStringList chains = numberedChains(maxChains + 5);
        folder.write(chainDatabaseFileName, chainDatabaseText("8", chains));
        QVERIFY(loadChains());
        QCOMPARE(modVars.chainCount, maxChains);
        QCOMPARE(modVars.chainTable[maxChains], chains[maxChains - 1]);
        // No statistics or options file yet: zeros and defaults, and nothing is written.
        modVars.chainCompleted[2] = true;
        modVars.clockSeconds = 20;
        QVERIFY(loadStats() && loadOptions());
        QVERIFY(!modVars.chainCompleted[2] && modVars.clockSeconds == 120);
        QVERIFY(!folder.exists(statsFileName) && !folder.exists(optionsFileName));

        folder.write(chainDatabaseFileName, chainDatabaseText("9", chains.mid(0, 2)));
        QVERIFY(loadChains() && modVars.chainCount == 2);
        modVars.totalGames = 12;
        modVars.chainCompleted[2] = modVars.chainCompleted[9999] = true;
        QVERIFY(saveStats());
        QCOMPARE(folder.read(statsFileName), "12\r\n0\r\n#FALSE#\r\n#TRUE#\r\n");
        QVERIFY(loadStats() && modVars.chainCompleted[2] && !modVars.chainCompleted[9999]);
        // Only a check-box state of 1 is checked.
        QVERIFY(saveOptions(2, 280, -1, 1));
        QCOMPARE(folder.read(optionsFileName), "#FALSE#\r\n280\r\n#FALSE#\r\n#TRUE#\r\n");
        QVERIFY(QFile::remove(chainDatabasePath()));
        QVERIFY(!loadChains());
    }
};

QTEST_GUILESS_MAIN(TestDataFiles)
#include "test_datafiles.moc"
