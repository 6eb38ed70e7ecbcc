#include "chainGame.h"
#include "chainPick.h"
#include "fakeServices.h"
#include "gameTexts.h"
#include "modVars.h"
#include "scoring.h"
#include "tempProgramFolder.h"

#include <QTest>

#include <limits>

class TestChainGame : public QObject
{
    Q_OBJECT
private slots:
    void scoresRoundHalvesToEvenAndNeverGoNegative();
    void secondsLeftRoundHalvesToEven();
    void completionTextKeepsSessionAndTotalApart();
    void playableChainsAreSevenShortWords();
    void pickPassesOverUnplayableLines();
    void pickStaysInRangeForDrawsJustBelowOne();
    void revealInAdvancedModeTakesAnyHiddenLetter();
    void oneLetterWordHasItsLastLetterLeftAtOnce();
    void guessesIgnoreSpacesAroundAndCase();
    void solvingFromBothSidesKeepsRevealedLettersAndEndsTheChain();
    void pausesMoveTheStartAcrossAWrap();

private:
    TempProgramFolder *m_folder = nullptr;

private slots:
    void init() { m_folder = new TempProgramFolder; }
    void cleanup() { delete m_folder; }
};

void TestChainGame::scoresRoundHalvesToEvenAndNeverGoNegative()
{
    QCOMPARE(chainScore(0, 27), 1000);
    QCOMPARE(chainScore(4 + 2, 30), 800);
    QCOMPARE(chainScore(1, 16), 938); // 937.5
    QCOMPARE(chainScore(3, 16), 812); // 812.5
    QCOMPARE(chainScore(16, 16), 0);
    QCOMPARE(chainScore(40, 16), 0);
    QCOMPARE(averageScore(1875, 2), 938);
    QCOMPARE(averageScore(5, 0), 0);
}

void TestChainGame::secondsLeftRoundHalvesToEven()
{
    QCOMPARE(secondsLeft(120, 0), 120);
    QCOMPARE(secondsLeft(60, 58500), 2);
    QCOMPARE(secondsLeft(60, 59499), 1);
    QCOMPARE(secondsLeft(60, 59500), 0);
    QCOMPARE(secondsLeft(60, 600000), 0);
}

// The board's games check both texts; here the session and the total differ.
void TestChainGame::completionTextKeepsSessionAndTotalApart()
{
    modVars.sessionGames = 2;
    modVars.sessionScore = 1875;
    modVars.totalGames = 3;
    modVars.totalScore = 2000;
    QCOMPARE(completionText(875, std::nullopt),
             QStringLiteral("Chain complete. You scored 875 points. During this session, you "
                            "have played 2 games, and have an average score of 938. In total, you "
                            "have played 3 games, and have an average score of 667."));
}

void TestChainGame::playableChainsAreSevenShortWords()
{
    QVERIFY(isPlayableChain(sampleChain));
    QVERIFY(isPlayableChain(QStringLiteral("a b c d e f g")));
    QVERIFY(isPlayableChain(QString(30, u'x') + QStringLiteral(" b c d e f g")));
    QVERIFY(!isPlayableChain(QString(31, u'x') + QStringLiteral(" b c d e f g")));
    QVERIFY(!isPlayableChain(QStringLiteral("a b c d e f")));
    QVERIFY(!isPlayableChain(QStringLiteral("a b c d e f g h")));
    QVERIFY(!isPlayableChain(QStringLiteral("a b c  d e f g")));
    QVERIFY(!isPlayableChain(QStringLiteral(" a b c d e f g")));
    QVERIFY(!isPlayableChain(QStringLiteral("a b c d e f g ")));
    QVERIFY(!isPlayableChain(QStringLiteral("a b c* d e f g")));
    QVERIFY(!isPlayableChain(QStringLiteral("a b\tc d e f g h")));
    QVERIFY(!isPlayableChain(QString()));
}

void TestChainGame::pickPassesOverUnplayableLines()
{
    setChains({QStringLiteral("too few words"), sampleChain, QStringLiteral("x y z")});
    modVars.chainCompleted[1] = true;
    ScriptedRandom random;
    for (int game = 0; game < 5; ++game) {
        random.values = {0.0}; // lands on the unplayable first line
        QCOMPARE(pickChain(random), 2);
    }
    QVERIFY(!modVars.chainUsed[1]);
    QVERIFY(modVars.chainCompleted[1]);
    QVERIFY(hasPlayableChain());

    setChains({QStringLiteral("too few words")});
    QVERIFY(!hasPlayableChain());
    QCOMPARE(pickChain(random), 0);
    setChains({});
    QVERIFY(!hasPlayableChain());
}

void TestChainGame::pickStaysInRangeForDrawsJustBelowOne()
{
    QStringList chains;
    for (int i = 1; i <= maxChains; ++i)
        chains.append(QStringLiteral("a%1 b c d e f g").arg(i));
    setChains(chains);
    ScriptedRandom random;
    random.values = {std::nextafter(1.0, 0.0)};
    QCOMPARE(pickChain(random), maxChains);
}

void TestChainGame::revealInAdvancedModeTakesAnyHiddenLetter()
{
    setChains({sampleChain});
    modVars.advancedMode = true;
    ScriptedRandom random;
    ChainGame game;
    game.startGame(random);
    random.values = {0.99, 0.5, 0.0};
    game.takeLetter(ChainGame::Side::Above, random); // 5th of 5 hidden
    QCOMPARE(game.rows[5], QStringLiteral("* * * * s "));
    game.takeLetter(ChainGame::Side::Above, random); // 3rd of 4 hidden
    QCOMPARE(game.rows[5], QStringLiteral("* * r * s "));
    game.takeLetter(ChainGame::Side::Above, random); // 1st of 3 hidden
    QCOMPARE(game.rows[5], QStringLiteral("y * r * s "));
}

void TestChainGame::oneLetterWordHasItsLastLetterLeftAtOnce()
{
    setChains({QStringLiteral("one a three four five six seven")});
    ScriptedRandom random;
    ChainGame game;
    game.startGame(random);
    QCOMPARE(game.rows[1], QStringLiteral("* "));
    QVERIFY(game.oneLetterLeft(1));
    QVERIFY(!game.takeLetter(ChainGame::Side::Below, random));
    QCOMPARE(game.lettersTaken, 0);
}

void TestChainGame::guessesIgnoreSpacesAroundAndCase()
{
    setChains({QStringLiteral("top cat c d e f g")});
    ScriptedRandom random;
    ChainGame game;
    game.startGame(random);
    using G = ChainGame::Guess;
    QCOMPARE(game.judgeGuess(ChainGame::Side::Below, QStringLiteral("CAT")), G::Right);
    QCOMPARE(game.judgeGuess(ChainGame::Side::Below, QString()), G::Ignored);
    QCOMPARE(game.wrongGuesses, 0);
    QCOMPARE(game.judgeGuess(ChainGame::Side::Below, QStringLiteral("c at")), G::Wrong);
    QCOMPARE(game.judgeGuess(ChainGame::Side::Above, QStringLiteral("cat")), G::Wrong);
    QCOMPARE(game.wrongGuesses, 2);
}

void TestChainGame::solvingFromBothSidesKeepsRevealedLettersAndEndsTheChain()
{
    setChains({sampleChain});
    ScriptedRandom random;
    ChainGame game;
    game.startGame(random);
    QVERIFY(!game.advanceTop()); // side
    QCOMPARE(game.rows[2], QStringLiteral("* * * * "));
    QVERIFY(!game.advanceTop());    // walk
    QVERIFY(!game.advanceBottom()); // yards
    QCOMPARE(game.rows[4], QStringLiteral("* * * * "));
    game.takeLetter(ChainGame::Side::Above, random);
    QCOMPARE(game.rows[4], QStringLiteral("b * * * "));
    QVERIFY(!game.advanceBottom()); // back
    QCOMPARE(game.captionWord(ChainGame::Side::Above), QStringLiteral("back"));
    // One word left: both sides work on row 3, and the letters shown stay.
    QCOMPARE(game.targetRow(ChainGame::Side::Below), 3);
    QCOMPARE(game.targetRow(ChainGame::Side::Above), 3);
    QCOMPARE(game.rows[3], QStringLiteral("* * * "));
    game.takeLetter(ChainGame::Side::Below, random);
    game.takeLetter(ChainGame::Side::Above, random);
    QCOMPARE(game.rows[3], QStringLiteral("w a * "));
    QVERIFY(game.oneLetterLeft(3));
    QVERIFY(!game.checkChainComplete());
    QVERIFY(game.advanceBottom()); // way
    QVERIFY(game.checkChainComplete());
    QCOMPARE(game.rows, sampleChain.split(' '));

    modVars.sessionGames = 1;
    QCOMPARE(game.lettersTaken, 3);
    QCOMPARE(game.scoreChain(), 889); // 1 - 3 / 27
    QCOMPARE(modVars.sessionScore, 889);
    QCOMPARE(modVars.totalScore, 889);
    QVERIFY(modVars.chainCompleted[1]);
}

void TestChainGame::pausesMoveTheStartAcrossAWrap()
{
    modVars.clockSeconds = 60;
    ChainGame game;
    constexpr quint32 top = std::numeric_limits<quint32>::max();
    game.startTick = top - 9999; // 10 s before the wrap
    QCOMPARE(game.secondsLeft(top - 9999 + 20000), 40);
    game.beginPause(top - 999);
    QVERIFY(game.paused);
    game.endPause(9000); // a pause of 10 s across the wrap
    QVERIFY(!game.paused);
    QCOMPARE(game.pauseTick, quint32(10000));
    QCOMPARE(game.secondsLeft(9000), 51);
}

QTEST_GUILESS_MAIN(TestChainGame)
#include "test_chaingame.moc"
