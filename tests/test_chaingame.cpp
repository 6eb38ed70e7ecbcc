#include "chainGame.h"
#include "fakeServices.h"
#include "gameStatistics.h"
#include "gameTexts.h"
#include "modVars.h"
#include "rowText.h"
#include "scoring.h"
#include "statsFile.h"
#include "tempProgramFolder.h"

#include <QTest>

#include <cmath>
#include <limits>

using Side = ChainGame::Side;

// The rules of a game, without a window.
class TestChainGame : public QObject
{
    Q_OBJECT
    ChainGame game(const QString &chain = sampleChain, bool advanced = false)
    {
        return ChainGame(chain, advanced, 60, m_ticks, m_random);
    }
    static QStringList rows(const ChainGame &game)
    {
        QStringList texts;
        for (int row = 0; row < wordsPerChain; ++row)
            texts.append(rowText(game, row));
        return texts;
    }

    std::unique_ptr<TempProgramFolder> m_folder;
    ManualTicks m_ticks;
    ScriptedRandom m_random;

private slots:
    void init() { m_folder = std::make_unique<TempProgramFolder>(); }
    void cleanup() { m_folder.reset(); }

    void scoresRoundHalvesToEvenAndNeverGoNegative_data()
    {
        QTest::addColumn<bool>("isAverage"); // of points over games, else penalty over letters
        QTest::addColumn<int>("dividend");
        QTest::addColumn<int>("divisor");
        QTest::addColumn<int>("expected");
        QTest::newRow("no help") << false << 0 << 27 << 1000;
        QTest::newRow("6 of 30") << false << 6 << 30 << 800;
        QTest::newRow("937.5 up") << false << 1 << 16 << 938;
        QTest::newRow("812.5 down") << false << 3 << 16 << 812;
        QTest::newRow("all letters") << false << 16 << 16 << 0;
        QTest::newRow("more than all") << false << 40 << 16 << 0;
        QTest::newRow("average 937.5") << true << 1875 << 2 << 938;
        QTest::newRow("average 812.5") << true << 1625 << 2 << 812;
    }

    void scoresRoundHalvesToEvenAndNeverGoNegative()
    {
        QFETCH(bool, isAverage);
        QFETCH(int, dividend);
        QFETCH(int, divisor);
        QFETCH(int, expected);
        QCOMPARE(isAverage ? averageScore(dividend, divisor) : chainScore(dividend, divisor),
                 expected);
    }

    void secondsLeftRoundHalvesToEvenAndPausesAreFree()
    {
        QCOMPARE(ChainGame(sampleChain, false, std::nullopt, m_ticks, m_random).secondsLeft(),
                 std::nullopt);
        m_ticks.now = std::numeric_limits<quint32>::max() - 9999; // wraps 10 s into the game
        ChainGame clock = game();
        for (const auto &[elapsed, left] : {std::pair{0, 60}, {58500, 2}, {59499, 1}, {59500, 0}}) {
            m_ticks.now = std::numeric_limits<quint32>::max() - 9999 + elapsed;
            QCOMPARE(clock.secondsLeft(), left);
        }
        m_ticks.now = std::numeric_limits<quint32>::max() - 9999 + 20000;
        clock.beginPause();
        m_ticks.advance(600000);
        QVERIFY(clock.isPaused());
        clock.endPause();
        QVERIFY(!clock.isPaused());
        QCOMPARE(clock.secondsLeft(), 40);
        m_ticks.advance(600000);
        QCOMPARE(clock.secondsLeft(), 0);
    }

    void playableChainsAreSevenLowerCaseWords_data()
    {
        QTest::addColumn<QString>("chain");
        QTest::addColumn<bool>("playable");
        QTest::newRow("sample") << sampleChain << true;
        QTest::newRow("30 letters") << QString(30, u'x') + " b c d e f g" << true;
        QTest::newRow("31 letters") << QString(31, u'x') + " b c d e f g" << false;
        QTest::newRow("six words") << "a b c d e f" << false;
        QTest::newRow("two spaces") << "a b c  d e f g" << false;
        QTest::newRow("asterisk") << "a b c* d e f g" << false;
        QTest::newRow("capital inside") << "fire side wAlk way back yards ale" << false;
        QTest::newRow("accented capital") << QStringLiteral("a b c d e f \u00C9t\u00E9") << false;
        QTest::newRow("accented small") << QStringLiteral("a b c d e f \u00E9t\u00E9") << true;
    }

    void playableChainsAreSevenLowerCaseWords()
    {
        QFETCH(QString, chain);
        QTEST(isPlayableChain(chain), "playable");
    }

    void pickDealsEachPlayableChainOnceAndNeverLoops()
    {
        // Every draw lands on the first, unplayable line.
        setChains({"Fire side walk way back yards ale", "a b c d e f g", "x y z", "h i j k l m n"});
        QSet<int> dealt{pickChain(m_random), pickChain(m_random)};
        QCOMPARE(dealt, QSet<int>({2, 4}));
        QVERIFY(dealt.contains(pickChain(m_random))); // all dealt: a new round
        QCOMPARE(modVars.usedCount, 1);

        // A draw just below 1 stays in the table.
        setChains(numberedChains(maxChains));
        m_random.values = {std::nextafter(1.0, 0.0)};
        QCOMPARE(pickChain(m_random), maxChains);
        // No chain twice within 50 games; the 51st game clears every mark.
        m_random.fallback = 0.25;
        resetUsedChains();
        modVars.chainCount = 60;
        dealt.clear();
        for (int game = 1; game <= 50; ++game)
            dealt.insert(pickChain(m_random));
        QCOMPARE(dealt.size(), 50);
        modVars.chainUsed[maxChains] = true;
        QCOMPARE(pickChain(m_random), 16); // floor(0.25 x 60) + 1, free again
        QVERIFY(!modVars.chainUsed[maxChains]);

        setChains({"too few words"});
        QVERIFY(!hasPlayableChain());
        QCOMPARE(pickChain(m_random), 0);
    }

    void lettersAreShownLeftToRightButNeverTheLast_data()
    {
        QTest::addColumn<QString>("chain");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("presses");
        QTest::addColumn<QString>("row");
        QTest::addColumn<int>("taken");
        QTest::newRow("one below") << sampleChain << int(Side::Below) << 1 << "s * * * " << 1;
        QTest::newRow("three below") << sampleChain << int(Side::Below) << 3 << "s i d * " << 3;
        QTest::newRow("nine below") << sampleChain << int(Side::Below) << 9 << "s i d * " << 3;
        QTest::newRow("two above") << sampleChain << int(Side::Above) << 2 << "y a * * * " << 2;
        QTest::newRow("one letter")
            << "one a three four five six seven" << int(Side::Below) << 1 << "* " << 0;
    }

    void lettersAreShownLeftToRightButNeverTheLast()
    {
        QFETCH(QString, chain);
        QFETCH(int, side);
        QFETCH(int, presses);
        ChainGame played = game(chain);
        const int row = played.targetRow(Side(side));
        for (int i = 0; i < presses; ++i)
            played.takeLetter(Side(side));
        QTEST(rowText(played, row), "row");
        QTEST(played.lettersTaken(), "taken");
    }

    void advancedModeShowsAnyHiddenLetter()
    {
        ChainGame played = game(sampleChain, true);
        m_random.values = {0.99, 0.5, 0.0}; // the 5th of 5 hidden, the 3rd of 4, the 1st of 3
        QStringList shown;
        for (int i = 0; i < 3; ++i) {
            played.takeLetter(Side::Above);
            shown.append(rowText(played, 5));
        }
        QCOMPARE(shown, QStringList({"* * * * s ", "* * r * s ", "y * r * s "}));
    }

    void guessesIgnoreSpacesAroundAndCase_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<ChainGame::Guess>("judged");
        QTest::newRow("as stored") << "side" << ChainGame::Guess::Right;
        QTest::newRow("spaces and capitals") << "  SiDe " << ChainGame::Guess::Right;
        QTest::newRow("empty") << "" << ChainGame::Guess::Ignored;
        QTest::newRow("spaces only") << "   " << ChainGame::Guess::Ignored;
        QTest::newRow("space inside") << "si de" << ChainGame::Guess::Wrong;
        QTest::newRow("the other side's word") << "yards" << ChainGame::Guess::Wrong;
    }

    void guessesIgnoreSpacesAroundAndCase()
    {
        QFETCH(QString, entry);
        QFETCH(ChainGame::Guess, judged);
        ChainGame played = game();
        QCOMPARE(played.guess(Side::Below, entry), judged);
        QCOMPARE(played.wrongGuesses(), judged == ChainGame::Guess::Wrong ? 1 : 0);
    }

    void solvingFromBothEndsKeepsShownLettersAndScores()
    {
        ChainGame played = game();
        QCOMPARE(rows(played), QStringList({"fire", "* * * * ", "[not known]", "[not known]",
                                            "[not known]", "* * * * * ", "ale"}));
        QVERIFY(!played.advanceTop());    // side
        QVERIFY(!played.advanceTop());    // walk
        QVERIFY(!played.advanceBottom()); // yards
        QCOMPARE(played.guess(Side::Above, "bad"), ChainGame::Guess::Wrong);
        played.takeLetter(Side::Above);
        QVERIFY(!played.advanceBottom()); // back
        QCOMPARE(played.captionWord(Side::Above), QStringLiteral("back"));
        // One word left: both sides work on it and keep what the other showed.
        played.takeLetter(Side::Below);
        played.takeLetter(Side::Above);
        QCOMPARE(rows(played),
                 QStringList({"fire", "side", "walk", "w a * ", "back", "yards", "ale"}));
        QCOMPARE(spellingOf(played, 3), QStringLiteral("wa*"));
        QCOMPARE(spellingOf(played, 6), QStringLiteral("ale"));
        QVERIFY(!played.checkChainComplete());
        QVERIFY(played.advanceTop()); // way
        QCOMPARE(rows(played), sampleChain.split(' '));
        QCOMPARE(played.score(), 852); // 1 - (3 letters + 1 wrong guess) / 27
        QCOMPARE(spellingOf(game(), 2), std::nullopt);
    }

    void statisticsAreSavedAtOnceAndAFailureToldOnce()
    {
        setChains({sampleChain});
        modVars.totalGames = 7;
        modVars.sessionScore = 1875;
        modVars.totalScore = 2000;
        ScriptedDialogs dialogs;
        countGameStarted(dialogs, nullptr);
        QCOMPARE(m_folder->read(statsFileName), QByteArray("8\r\n2000\r\n#FALSE#\r\n"));
        countChainWon(1, 889, dialogs, nullptr);
        QCOMPARE(m_folder->read(statsFileName), QByteArray("8\r\n2889\r\n#TRUE#\r\n"));
        QCOMPARE(completionText(889, std::nullopt),
                 "Chain complete. You scored 889 points. During this session, you have played 1 "
                 "games, and have an average score of 2764. In total, you have played 8 games, and "
                 "have an average score of 361.");
        QVERIFY(dialogs.shown.isEmpty());

        if (!m_folder->setWritable(false))
            QSKIP("cannot make the folder read-only here");
        countGameStarted(dialogs, nullptr);
        countChainWon(1, 0, dialogs, nullptr);
        QCOMPARE(dialogs.shown.size(), 1);
        QVERIFY(dialogs.lastText().contains(statsFileName));
    }
};

QTEST_GUILESS_MAIN(TestChainGame)
#include "test_chaingame.moc"
