#include "chainDatabase.h"
#include "modEncrypt64Bit.h"
#include "modVars.h"
#include "tempProgramFolder.h"

#include <QTest>

namespace {

QByteArray encoded(const char *chain)
{
    return base64Encode(QByteArray(chain)).toLatin1();
}

} // namespace

class TestChainDatabase : public QObject
{
    Q_OBJECT
private slots:
    void versionLineIsNeverDecoded();
    void shortLinesAreSkippedWithoutTakingAPosition();
    void paddedChainLineDecodesAsWithoutSpaces();
    void bareLineFeedsEndLinesToo();
    void onlyAVersionLineGivesNoChains();
    void reloadKeepsMarksAndOldEntriesAboveTheCount();
    void chainsPastTheTableAreIgnored();
    void missingOrEmptyFileIsAFailureNamingThePath();
};

void TestChainDatabase::versionLineIsNeverDecoded()
{
    TempProgramFolder folder;
    const QByteArray line = encoded("fire place card board game show boat");
    folder.write(chainDatabaseFileName, line + "\r\n" + line + "\r\n");
    QVERIFY(loadChains());
    QCOMPARE(modVars.dbVersion, QString::fromLatin1(line));
    QCOMPARE(modVars.chainCount, 1);
    QCOMPARE(modVars.chainTable[1], QStringLiteral("fire place card board game show boat"));
}

void TestChainDatabase::shortLinesAreSkippedWithoutTakingAPosition()
{
    TempProgramFolder folder;
    // "YWJjZGU" is 7 characters and decodes (dropping its incomplete group) to "abc".
    folder.write(chainDatabaseFileName, " 8 \r\n\r\n" + encoded("one two") +
                                            "\r\nQUJD\r\n   ab c  \r\n" + "YWJjZGU\r\n" +
                                            encoded("red hot dog") + "\r\n\r\n");
    QVERIFY(loadChains());
    QCOMPARE(modVars.dbVersion, QStringLiteral(" 8 "));
    QCOMPARE(modVars.chainCount, 3);
    QCOMPARE(modVars.chainTable[1], QStringLiteral("one two"));
    QCOMPARE(modVars.chainTable[2], QStringLiteral("abc"));
    QCOMPARE(modVars.chainTable[3], QStringLiteral("red hot dog"));
}

void TestChainDatabase::paddedChainLineDecodesAsWithoutSpaces()
{
    TempProgramFolder folder;
    folder.write(chainDatabaseFileName, "8\r\n   " + encoded("sun flower pot") + "  \r\n");
    QVERIFY(loadChains());
    QCOMPARE(modVars.chainCount, 1);
    QCOMPARE(modVars.chainTable[1], QStringLiteral("sun flower pot"));
}

void TestChainDatabase::bareLineFeedsEndLinesToo()
{
    TempProgramFolder folder;
    folder.write(chainDatabaseFileName,
                 "8\n" + encoded("tea cup cake") + "\n" + encoded("ice cap gun"));
    QVERIFY(loadChains());
    QCOMPARE(modVars.dbVersion, QStringLiteral("8"));
    QCOMPARE(modVars.chainCount, 2);
    QCOMPARE(modVars.chainTable[2], QStringLiteral("ice cap gun"));
}

void TestChainDatabase::onlyAVersionLineGivesNoChains()
{
    TempProgramFolder folder;
    folder.write(chainDatabaseFileName, "v9\r\n");
    modVars.chainCount = 5;
    QVERIFY(loadChains());
    QCOMPARE(modVars.chainCount, 0);
    QCOMPARE(modVars.dbVersion, QStringLiteral("v9"));
}

void TestChainDatabase::reloadKeepsMarksAndOldEntriesAboveTheCount()
{
    TempProgramFolder folder;
    folder.write(chainDatabaseFileName,
                 chainDatabaseText("8", {"a b c d e f g", "h i j k l m n", "o p q r s t u"}));
    QVERIFY(loadChains());
    modVars.chainUsed[2] = true;
    modVars.usedCount = 1;
    modVars.chainCompleted[3] = true;
    folder.write(chainDatabaseFileName, chainDatabaseText("9", {"a b c d e f g"}));
    QVERIFY(loadChains());
    QCOMPARE(modVars.chainCount, 1);
    QCOMPARE(modVars.dbVersion, QStringLiteral("9"));
    QVERIFY(modVars.chainUsed[2]);
    QCOMPARE(modVars.usedCount, 1);
    QVERIFY(modVars.chainCompleted[3]);
    QCOMPARE(modVars.chainTable[3], QStringLiteral("o p q r s t u"));
}

void TestChainDatabase::chainsPastTheTableAreIgnored()
{
    TempProgramFolder folder;
    QStringList chains;
    for (int i = 1; i <= maxChains + 5; ++i)
        chains.append(QStringLiteral("chain number %1 of many").arg(i));
    folder.write(chainDatabaseFileName, chainDatabaseText("8", chains));
    QVERIFY(loadChains());
    QCOMPARE(modVars.chainCount, maxChains);
    QCOMPARE(modVars.chainTable[maxChains], chains[maxChains - 1]);
}

void TestChainDatabase::missingOrEmptyFileIsAFailureNamingThePath()
{
    TempProgramFolder folder;
    modVars.chainCount = 4;
    modVars.dbVersion = QStringLiteral("7");
    QString error;
    QVERIFY(!loadChains(&error));
    QCOMPARE(modVars.chainCount, 0);
    QCOMPARE(modVars.dbVersion, QStringLiteral("7"));
    QVERIFY2(error.contains(folder.filePath(chainDatabaseFileName)), qPrintable(error));

    folder.write(chainDatabaseFileName, QByteArray());
    error.clear();
    QVERIFY(!loadChains(&error));
    QVERIFY2(error.contains(chainDatabaseFileName), qPrintable(error));
}

QTEST_GUILESS_MAIN(TestChainDatabase)
#include "test_chaindatabase.moc"
