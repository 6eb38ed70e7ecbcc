#include "chainGame.h"
#include "fakeServices.h"
#include "gameStatistics.h"
#include "gameTexts.h"
#include "modVars.h"
#include "rowText.h"
#include "scoring.h"
#include "tempProgramFolder.h"

#include <QTest>

using Side = ChainGame::Side;
using Guess = ChainGame::Guess;

// The rules of a game, without a window.
class TestChainGame : public QObject
{
    Q_OBJECT
    std::unique_ptr<TempProgramFolder> m_folder;
    ManualTicks m_ticks;
    ScriptedRandom m_random;

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

private slots:
    void init() { m_folder = std::make_unique<TempProgramFolder>(); }
    void cleanup() { m_folder.reset(); }

    void halvesRoundToEvenAndScoresStopAtZero()
    {
        QCOMPARE(chainScore(3, 16), 812); // 812.5
        QCOMPARE(chainScore(40, 16), 0);
        QCOMPARE(averageScore(1625, 2), 812);
        ChainGame clock = game(); // 60 s
        const quint32 start = m_ticks.now;
        for (const auto &[played, left] : {std::pair{58500, 2}, {59500, 0}}) {
            m_ticks.now = start + played;
            QCOMPARE(clock.secondsLeft(), left);
        }
    }

    void playableChainsAreSevenLowerCaseWords_data()
    {
        QTest::addColumn<QString>("chain");
        QTest::addColumn<bool>("playable");
        QTest::newRow("sample") << sampleChain << true;
        QTest::newRow("31 letters") << QString(31, u'x') + " b c d e f g" << false;
        QTest::newRow("six words") << "a b c d e f" << false;
        QTest::newRow("empty word") << "a b c  d e f" << false;
        QTest::newRow("capital") << "fire side wAlk way back yards ale" << false;
        QTest::newRow("accented capital") << QStringLiteral("a b c d e f \u00C9t\u00E9") << false;
    }
    void playableChainsAreSevenLowerCaseWords()
    {
        QFETCH(QString, chain);
        QTEST(isPlayableChain(chain), "playable");
    }

    void pickDealsEachPlayableChainOnceAndNeverLoops()
    {
        // Every draw lands on the first line, which cannot be played.
        setChains({"Fire side walk way back yards ale", "a b c d e f g", "x y z", "h i j k l m n"});
        QSet<int> dealt{pickChain(m_random), pickChain(m_random)};
        QCOMPARE(dealt, QSet<int>({2, 4}));
        QVERIFY(dealt.contains(pickChain(m_random))); // all dealt: a new round

        setChains(numberedChains(maxChains));
        // No chain twice within 50 games; the 51st clears every mark.
        resetUsedChains();
        modVars.chainCount = 60;
        m_random.fallback = 0.25;
        dealt.clear();
        for (int game = 0; game < 50; ++game)
            dealt.insert(pickChain(m_random));
        QCOMPARE(dealt.size(), 50);
        modVars.chainUsed[maxChains] = true;
        QCOMPARE(pickChain(m_random), 16); // floor(0.25 x 60) + 1, free again
        QVERIFY(!modVars.chainUsed[maxChains]);

        setChains({"too few words"});
        QVERIFY(!hasPlayableChain());
        QCOMPARE(pickChain(m_random), 0);
    }

    void lettersAreShownLeftToRightButNeverTheLast()
    {
        m_random.fallback = 0.99; // outside Advanced Mode chance plays no part
        ChainGame played = game();
        QStringList shown;
        for (int i = 0; i < 5; ++i)
            shown.append(played.takeLetter(Side::Below) ? rowText(played, 1) : "refused");
        QCOMPARE(shown, QStringList({"s * * * ", "s i * * ", "s i d * ", "refused", "refused"}));
        QCOMPARE(played.lettersTaken(), 3);
        QVERIFY(!game("one a three four five six seven").takeLetter(Side::Below));
    }

    void advancedModeShowsAnyHiddenLetter()
    {
        ChainGame played = game(sampleChain, true);
        m_random.values = {0.99, 0.5}; // the 5th of 5 hidden, then the 3rd of 4
        played.takeLetter(Side::Above);
        played.takeLetter(Side::Above);
        QCOMPARE(rowText(played, 5), QStringLiteral("* * r * s "));
    }

    void guessesIgnoreSpacesAroundAndCase_data()
    {
        QTest::addColumn<QString>("entry");
        QTest::addColumn<Guess>("judged");
        QTest::newRow("spaces and capitals") << "  SiDe " << Guess::Right;
        QTest::newRow("spaces only") << "   " << Guess::Ignored;
        QTest::newRow("space inside") << "si de" << Guess::Wrong;
        QTest::newRow("the other side's word") << "yards" << Guess::Wrong;
    }
    void guessesIgnoreSpacesAroundAndCase()
    {
        QFETCH(QString, entry);
        QFETCH(Guess, judged);
        ChainGame played = game();
        QCOMPARE(played.guess(Side::Below, entry), judged);
        QCOMPARE(played.wrongGuesses(), judged == Guess::Wrong ? 1 : 0);
    }

    void solvingFromBothEndsKeepsTheShownLetters()
    {
        ChainGame played = game();
        QCOMPARE(rows(played), QStringList({"fire", "* * * * ", "[not known]", "[not known]",
                                            "[not known]", "* * * * * ", "ale"}));
        QCOMPARE(spellingOf(played, 2), std::nullopt);
        QVERIFY(!played.advanceTop());    // side
        QVERIFY(!played.advanceTop());    // walk
        QVERIFY(!played.advanceBottom()); // yards
        QVERIFY(!played.advanceBottom()); // back
        QCOMPARE(played.captionWord(Side::Above), QStringLiteral("back"));
        // One word left: both sides work on it and keep what the other showed.
        played.takeLetter(Side::Below);
        played.takeLetter(Side::Above);
        QCOMPARE(rows(played),
                 QStringList({"fire", "side", "walk", "w a * ", "back", "yards", "ale"}));
        QVERIFY(played.advanceTop()); // way
        QCOMPARE(rows(played), sampleChain.split(' '));
    }

    void scoreTextKeepsSessionAndTotalApartAndAFailedSaveIsToldOnce()
    {
        modVars.totalGames = 7;
        modVars.totalScore = 2000;
        ScriptedDialogs dialogs;
        countGameStarted(dialogs, nullptr);
        countChainWon(1, 889, dialogs, nullptr);
        QCOMPARE(completionText(889, 5),
                 "Chain complete. You scored 889 points, and had 5 seconds left. During this "
                 "session, you have played 1 games, and have an average score of 889. In total, "
                 "you have played 8 games, and have an average score of 361.");
        if (!m_folder->setWritable(false))
            QSKIP("cannot make the folder read-only here");
        countGameStarted(dialogs, nullptr);
        countChainWon(1, 0, dialogs, nullptr);
        QCOMPARE(dialogs.shown.size(), 1);
    }
};

QTEST_GUILESS_MAIN(TestChainGame)
#include "test_chaingame.moc"
