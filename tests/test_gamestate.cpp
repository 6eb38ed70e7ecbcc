#include "modVars.h"

#include <QTest>

class TestGameState : public QObject
{
    Q_OBJECT
private slots:
    void init() { resetModVars(); }
    void startsEmptyWithDefaultOptions();
    void resetUsedChainsClearsEveryPositionAndKeepsCompleted();
    void countCompletedCountsOnlyLoadedChains();
    void clockGameIsAnyNonZeroNumber();
};

void TestGameState::startsEmptyWithDefaultOptions()
{
    QCOMPARE(modVars.chainCount, 0);
    QCOMPARE(modVars.usedCount, 0);
    QCOMPARE(modVars.totalGames, 0);
    QVERIFY(modVars.dbVersion.isEmpty());
    QCOMPARE(modVars.clockSeconds, 120);
    QVERIFY(modVars.soundsOn);
    QVERIFY(!modVars.autoUpdate);
    QVERIFY(!modVars.advancedMode);
    QCOMPARE(countCompleted(), 0);
}

void TestGameState::resetUsedChainsClearsEveryPositionAndKeepsCompleted()
{
    modVars.chainCount = 3;
    modVars.chainUsed[2] = true;
    modVars.chainUsed[maxChains] = true; // beyond the loaded chains
    modVars.usedCount = 2;
    modVars.chainCompleted[2] = true;
    resetUsedChains();
    QCOMPARE(modVars.usedCount, 0);
    QCOMPARE(std::count(modVars.chainUsed.begin(), modVars.chainUsed.end(), true), 0);
    QVERIFY(modVars.chainCompleted[2]);
}

void TestGameState::countCompletedCountsOnlyLoadedChains()
{
    modVars.chainCompleted[1] = true;
    modVars.chainCompleted[3] = true;
    modVars.chainCompleted[4] = true; // left over from a longer database
    QCOMPARE(countCompleted(), 0);
    modVars.chainCount = 3;
    QCOMPARE(countCompleted(), 2);
    modVars.chainCount = maxChains;
    modVars.chainCompleted[maxChains] = true;
    QCOMPARE(countCompleted(), 4);
}

void TestGameState::clockGameIsAnyNonZeroNumber()
{
    modVars.clockGame = QStringLiteral("0");
    QVERIFY(!isClockGame());
    modVars.clockGame = QStringLiteral("1");
    QVERIFY(isClockGame());
    modVars.clockGame = QString();
    QVERIFY(!isClockGame());
}

QTEST_APPLESS_MAIN(TestGameState)
#include "test_gamestate.moc"
