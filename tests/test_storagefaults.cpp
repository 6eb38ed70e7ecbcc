#include "databaseUpdate.h"
#include "modVars.h"
#include "programFolder.h"
#include "statsFile.h"
#include "tempProgramFolder.h"

#include <QProcess>
#include <QRandomGenerator>
#include <QScopeGuard>
#include <QTest>

#include <csignal>
#include <sched.h>
#include <sys/mount.h>
#include <unistd.h>

namespace {

// A full table's statistics, then three chains': a file cut short or mixed is neither.
void setStatsState(int state)
{
    modVars.chainCount = state ? 3 : maxChains;
    modVars.totalGames = 100 + state;
    for (int i = 1; i <= maxChains; ++i)
        modVars.chainCompleted[i] = i % (2 + state) == 0;
}

// This program run with "write" and a program folder: saves the statistics, switching between
// the two states until it is killed; says "writing" once it starts and "." after every save.
int runWriter(const QString &folder)
{
    setProgramFolder(folder);
    (void)!::write(1, "writing\n", 8);
    for (int state = 0;; state = 1 - state) {
        setStatsState(state);
        if (!saveStats())
            return 1;
        (void)!::write(1, ".", 1);
    }
}

} // namespace

class TestStorageFaults : public QObject
{
    Q_OBJECT
private slots:
    void killedWriterLeavesOldOrNewStatistics()
    {
        TempProgramFolder folder;
        QByteArray states[2];
        for (const int state : {1, 0}) {
            setStatsState(state);
            QVERIFY(saveStats());
            states[state] = folder.read(statsFileName);
        }
        int killsAfterASave = 0;
        for (int kill = 0; kill < 100; ++kill) {
            QProcess writer;
            writer.start(QCoreApplication::applicationFilePath(), {"write", folder.path()});
            QVERIFY(writer.waitForReadyRead(30000));
            // Within a few saves of the full table.
            QThread::usleep(QRandomGenerator::global()->bounded(20000));
            ::kill(pid_t(writer.processId()), SIGKILL);
            QVERIFY(writer.waitForFinished(30000));
            killsAfterASave += writer.readAllStandardOutput().contains('.');
            const QByteArray content = folder.read(statsFileName);
            QVERIFY2(content == states[0] || content == states[1],
                     "torn at kill " + QByteArray::number(kill));
        }
        // Kills that all landed before the first save finished would prove little.
        QVERIFY(killsAfterASave > 0);
    }

    // On a file system with not a byte left, mounted over the folder and seen only by this
    // process (a mount namespace of its own), so nothing stays mounted even after a crash.
    void fullDiskIsAFailureAndKeepsTheOldFiles()
    {
        TempProgramFolder folder;
        const QByteArray path = QFile::encodeName(folder.path());
        if (geteuid() != 0 || unshare(CLONE_NEWNS) != 0 ||
            mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            mount("tmpfs", path.constData(), "tmpfs", 0, "size=64k") != 0)
            QSKIP("this machine does not let the test mount a small file system");
        const auto unmount = qScopeGuard([&path] { umount2(path.constData(), MNT_DETACH); });
        setStatsState(1);
        QVERIFY(saveStats());
        const QByteArray database = chainDatabaseText("8", numberedChains(1));
        folder.write(chainDatabaseFileName, database);
        const QByteArray stats = folder.read(statsFileName);
        QFile filler(folder.filePath(QStringLiteral("filler")));
        QVERIFY(filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered));
        while (filler.write(QByteArray(4096, '\0')) == 4096) {
        }

        QVERIFY(!saveStats());
        const QString package = QString::fromLatin1(chainDatabaseText("9", numberedChains(3)));
        const auto fetch = [&](const QString &path) {
            return path.endsWith(u".ver") ? "9\r\n" : package;
        };
        QCOMPARE(runUpdate(fetch, true).result, UpdateOutcome::Result::Failed);
        QCOMPARE(folder.read(statsFileName), stats);
        QCOMPARE(folder.read(chainDatabaseFileName), database);
    }
};

int main(int argc, char *argv[])
{
    const QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "write") == 0)
        return runWriter(QString::fromLocal8Bit(argv[2]));
    TestStorageFaults test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_storagefaults.moc"
