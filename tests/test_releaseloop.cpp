// The maintainer's release loop on loopback, with the real server and the real pack program: a
// chain one player sends reaches every player, and nobody's completed chains move.

#include "chainContribution.h"
#include "chainDatabase.h"
#include "databaseUpdate.h"
#include "inet.h"
#include "modVars.h"
#include "qtHttpGetter.h"
#include "scriptedDialogs.h"
#include "statsFile.h"
#include "tempProgramFolder.h"
#include "updateServerProcess.h"

#include <QProcess>
#include <QTest>

namespace {

// Runs a maintainer's program; gives what it printed, or its error with the exit code.
QString run(const char *program, const QStringList &arguments)
{
    QProcess process;
    process.start(QString::fromLocal8Bit(program), arguments);
    process.waitForFinished();
    if (process.exitCode() != 0)
        return QStringLiteral("exit %1: ").arg(process.exitCode()) + process.readAllStandardError();
    return QString::fromLatin1(process.readAllStandardOutput());
}

QStringList completedChains()
{
    QStringList completed;
    for (int i = 1; i <= modVars.chainCount; ++i) {
        if (modVars.chainCompleted[i])
            completed << modVars.chainTable[i];
    }
    return completed;
}

} // namespace

class TestReleaseLoop : public QObject
{
    Q_OBJECT
private slots:
    void aSentChainReachesEveryPlayerWithTheirMarksInPlace()
    {
        TempProgramFolder player;
        UpdateServerProcess server;
        const QString list = player.filePath(QStringLiteral("chains.txt"));
        const QStringList released = numberedChains(3);
        player.write(QStringLiteral("chains.txt"), released.join(u'\n').toLatin1() + '\n');
        QCOMPARE(run(QUILLORA_PACK_PROGRAM, {"--version", "9", list, server.packageFolder()}),
                 "Version 9 written.\n");
        QVERIFY(server.start());

        // The player has release 9 and has completed its second chain.
        QFile::copy(server.packageFolder() + "/chayn.tx0", player.filePath(chainDatabaseFileName));
        QVERIFY(loadChains());
        modVars.chainCompleted[2] = true;
        QVERIFY(saveStats(nullptr));

        QtHttpGetter getter;
        Inet inet(getter);
        inet.setHost(server.host());
        ScriptedDialogs dialogs;
        const QString sent = QStringLiteral("rain coat hanger steak knife edge wise");
        dialogs.inputAnswers = {QStringLiteral("Ann"), sent};
        createNewChain(inet, dialogs, nullptr);
        QCOMPARE(dialogs.lastText(), "Thankyou!");

        // The maintainer exports, reviews and appends it, and publishes release 10.
        const QByteArray exported =
            run(QUILLORA_SERVER_EXE, {"export", "--database", server.databasePath(), "--package",
                                      server.packageFolder()})
                .toLatin1();
        QCOMPARE(exported, sent.toLatin1() + '\n');
        QFile file(list);
        QVERIFY(file.open(QIODevice::Append) && file.write(exported) == exported.size());
        file.close();
        QCOMPARE(run(QUILLORA_PACK_PROGRAM, {"--version", "10", list, server.packageFolder()}),
                 "Version 10 written.\n");

        const auto fetch = [&](const QString &path) { return inet.openUrl(path); };
        QCOMPARE(runUpdate(fetch, false).message,
                 "Update successful! 1 chains added to database. Enjoy!");
        QCOMPARE(modVars.dbVersion, "10");
        QCOMPARE(completedChains(), QStringList{released[1]});
        // And after a restart, from the files.
        QVERIFY(loadChains() && loadStats(nullptr));
        QCOMPARE(QStringList(&modVars.chainTable[1], &modVars.chainTable[5]),
                 released + QStringList{sent});
        QCOMPARE(completedChains(), QStringList{released[1]});
        QCOMPARE(runUpdate(fetch, false).message,
                 "You have the latest version of the database. No new updates are available.");
    }

    void packRefusesAVersionThatIsNotAShortPrintableLine_data()
    {
        QTest::addColumn<QString>("version");
        QTest::newRow("empty") << "";
        QTest::newRow("tab") << "9\t";
        QTest::newRow("line feed") << "9\n10";
        QTest::newRow("not ASCII") << "9\u00e9";
        QTest::newRow("space at the end") << "9 ";
        QTest::newRow("33 characters") << QString(33, u'9');
    }
    void packRefusesAVersionThatIsNotAShortPrintableLine()
    {
        QFETCH(QString, version);
        TempProgramFolder folder;
        folder.write(QStringLiteral("chains.txt"), sampleChain.toLatin1());
        QVERIFY(run(QUILLORA_PACK_PROGRAM,
                    {"--version", version, folder.filePath("chains.txt"), folder.path()})
                    .startsWith("exit 1: Version"));
        QVERIFY(!folder.exists(QStringLiteral("chayn.ver")));
    }
};

QTEST_MAIN(TestReleaseLoop)
#include "test_releaseloop.moc"
