#include "chainDatabase.h"
#include "modVars.h"
#include "optionsFile.h"
#include "statsFile.h"
#include "tempProgramFolder.h"
#include "wholeFile.h"
#include "writerStates.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTest>
#include <QThread>

#include <cerrno>
#include <csignal>
#include <sched.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

namespace {

constexpr int kills = 100;
// Kills land within this long after the writer starts its loop: several writes of the
// largest file on a slow disk.
constexpr int longestDelayUs = 20000;

bool loadFile(WrittenFile file)
{
    if (file == WrittenFile::Stats)
        return loadStats();
    return file == WrittenFile::Options ? loadOptions() : loadChains();
}

// Writes the new state, then the old one over it, and gives both contents: afterwards the file
// holds the old state.
void writeBothStates(WrittenFile file, const TempProgramFolder &folder, QByteArray &state0,
                     QByteArray &state1)
{
    const QString name = fileNameOf(file);
    QVERIFY(writeState(file, 1, nullptr));
    state1 = folder.read(name);
    QVERIFY(writeState(file, 0, nullptr));
    state0 = folder.read(name);
    QVERIFY(state0 != state1);
}

// A small file system mounted over a folder for as long as it lives, seen only by this
// process (a mount namespace of its own), so nothing is left mounted even after a crash.
class SmallDisk
{
public:
    explicit SmallDisk(const QString &folder)
        : m_folder(QFile::encodeName(folder))
    {
        m_mounted = geteuid() == 0 && unshare(CLONE_NEWNS) == 0 &&
                    mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
                    mount("tmpfs", m_folder.constData(), "tmpfs", 0, "size=128k") == 0;
    }
    ~SmallDisk()
    {
        if (m_mounted)
            umount2(m_folder.constData(), MNT_DETACH);
    }
    bool isMounted() const { return m_mounted; }

private:
    QByteArray m_folder;
    bool m_mounted = false;
};

// Writes zeros to a new file until the disk refuses more.
void fillDisk(const QString &path)
{
    QFile filler(path);
    if (!filler.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return;
    const QByteArray block(4096, '\0');
    while (filler.write(block) == block.size()) {
    }
}

// Lowers this process's file size limit for as long as it lives; writes past it fail (the
// signal that would end the process is ignored meanwhile).
class FileSizeLimit
{
public:
    explicit FileSizeLimit(rlim_t bytes)
    {
        m_set = getrlimit(RLIMIT_FSIZE, &m_old) == 0;
        rlimit lowered = m_old;
        lowered.rlim_cur = bytes;
        m_oldHandler = std::signal(SIGXFSZ, SIG_IGN);
        m_set = m_set && setrlimit(RLIMIT_FSIZE, &lowered) == 0;
    }
    ~FileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_old);
        std::signal(SIGXFSZ, m_oldHandler);
    }
    bool isSet() const { return m_set; }

private:
    rlimit m_old{};
    void (*m_oldHandler)(int) = nullptr;
    bool m_set = false;
};

} // namespace

class TestStorageFaults : public QObject
{
    Q_OBJECT
private slots:
    void killedWriterLeavesOldOrNewFile_data();
    void killedWriterLeavesOldOrNewFile();
    void fullDiskFailsNamingTheFileAndKeepsTheOldOne();
    void writeCutShortKeepsTheOldFile_data();
    void writeCutShortKeepsTheOldFile();
};

void TestStorageFaults::killedWriterLeavesOldOrNewFile_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("statistics") << QStringLiteral("stats");
    QTest::newRow("options") << QStringLiteral("options");
    QTest::newRow("chain database") << QStringLiteral("chains");
}

void TestStorageFaults::killedWriterLeavesOldOrNewFile()
{
    QFETCH(QString, kind);
    const WrittenFile file = *writtenFileNamed(kind);
    TempProgramFolder folder;
    const QString name = fileNameOf(file);
    QByteArray state0, state1;
    writeBothStates(file, folder, state0, state1);
    if (QTest::currentTestFailed())
        return;

    QRandomGenerator &random = *QRandomGenerator::global();
    int killsAfterAWrite = 0;
    int completedWrites = 0;
    for (int kill = 0; kill < kills; ++kill) {
        QProcess writer;
        writer.start(QStringLiteral(KILLED_WRITER), {kind, folder.path()});
        QVERIFY2(writer.waitForReadyRead(30000), qPrintable(writer.errorString()));
        QThread::usleep(random.bounded(longestDelayUs));
        ::kill(pid_t(writer.processId()), SIGKILL);
        QVERIFY(writer.waitForFinished(30000));
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);
        const QByteArray said = writer.readAllStandardOutput();
        QVERIFY2(said.startsWith("writing\n"), writer.readAllStandardError().constData());
        const int writes = int(said.count('.'));
        completedWrites += writes;
        killsAfterAWrite += writes > 0;

        const QByteArray content = folder.read(name);
        QVERIFY2(content == state0 || content == state1,
                 qPrintable(QStringLiteral("kill %1 after %2 writes left %3 torn (%4 bytes)")
                                .arg(kill)
                                .arg(writes)
                                .arg(name)
                                .arg(content.size())));
        const int state = content == state0 ? 0 : 1;
        modVars.chainCount = chainCountOf(file, state);
        QVERIFY(loadFile(file));
        QVERIFY2(holdsState(file, state), qPrintable(QStringLiteral("kill %1").arg(kill)));
    }
    // Whatever temporary files the kills left behind, the loaders above only ever read the
    // real file; say how many there were.
    const QStringList left = QDir(folder.path()).entryList(QDir::Files | QDir::Hidden);
    qInfo("%d completed writes, %d of %d kills after at least one, files left: %s", completedWrites,
          killsAfterAWrite, kills, qPrintable(left.join(QLatin1Char(' '))));
    // Kills that all landed before the first write finished would prove little.
    QVERIFY(killsAfterAWrite > 0);
}

void TestStorageFaults::fullDiskFailsNamingTheFileAndKeepsTheOldOne()
{
    TempProgramFolder folder;
    const SmallDisk disk(folder.path());
    if (!disk.isMounted())
        QSKIP("this machine does not let the test mount a small file system");

    modVars.chainCount = 3;
    modVars.totalGames = 1;
    modVars.totalScore = 700;
    modVars.chainCompleted[2] = true;
    QVERIFY(saveStats());
    QVERIFY(saveOptions(1, 60, 1, 0));
    const QByteArray database = chainDatabaseText(QStringLiteral("8"), {"fire place card"});
    QVERIFY(writeWholeFile(folder.filePath(chainDatabaseFileName), database, nullptr));
    const QByteArray stats = folder.read(statsFileName);
    const QByteArray options = folder.read(optionsFileName);

    // A few pages left: the new statistics start to be written, then the disk is full.
    folder.write(QStringLiteral("reserve"), QByteArray(3 * 4096, 'r'));
    fillDisk(folder.filePath(QStringLiteral("filler")));
    QVERIFY(QFile::remove(folder.filePath(QStringLiteral("reserve"))));
    modVars.chainCount = maxChains;
    modVars.totalGames = 2;
    QString error;
    QVERIFY(!saveStats(&error));
    QVERIFY2(error.contains(folder.filePath(statsFileName)) &&
                 error.contains(qt_error_string(ENOSPC)),
             qPrintable(error));
    QCOMPARE(folder.read(statsFileName), stats);

    // Not a byte left: even the small files fail, and the old ones stay.
    fillDisk(folder.filePath(QStringLiteral("filler2")));
    modVars.chainCount = 3;
    QVERIFY(!saveStats(&error));
    QVERIFY2(error.contains(folder.filePath(statsFileName)), qPrintable(error));
    QCOMPARE(folder.read(statsFileName), stats);
    QVERIFY(!saveOptions(0, 30, 0, 1, &error));
    QVERIFY2(error.contains(folder.filePath(optionsFileName)), qPrintable(error));
    QCOMPARE(folder.read(optionsFileName), options);
    QVERIFY(!writeWholeFile(folder.filePath(chainDatabaseFileName), "9\r\n", &error));
    QVERIFY2(error.contains(folder.filePath(chainDatabaseFileName)), qPrintable(error));
    QCOMPARE(folder.read(chainDatabaseFileName), database);

    // The game reads back what was there before the disk filled up.
    modVars.chainCount = 3;
    QVERIFY(loadStats());
    QCOMPARE(modVars.totalGames, 1);
    QVERIFY(modVars.chainCompleted[2] && !modVars.chainCompleted[1]);
    QVERIFY(loadOptions());
    QVERIFY(modVars.autoUpdate && modVars.clockSeconds == 60);
    QVERIFY(loadChains());
    QCOMPARE(modVars.chainTable[1], QStringLiteral("fire place card"));

    // Once there is room again, saving works again.
    QVERIFY(QFile::remove(folder.filePath(QStringLiteral("filler"))));
    QVERIFY(QFile::remove(folder.filePath(QStringLiteral("filler2"))));
    modVars.chainCount = maxChains;
    modVars.totalGames = 3;
    QVERIFY(saveStats());
    const QByteArray saved = folder.read(statsFileName);
    QVERIFY(saved.startsWith("3\r\n700\r\n#FALSE#\r\n#TRUE#\r\n"));
    QCOMPARE(saved.count("\r\n"), maxChains + 2);
}

void TestStorageFaults::writeCutShortKeepsTheOldFile_data()
{
    killedWriterLeavesOldOrNewFile_data();
}

// Any user can make writes fail halfway: past the file size limit the system refuses more, as
// a full disk would.
void TestStorageFaults::writeCutShortKeepsTheOldFile()
{
    QFETCH(QString, kind);
    const WrittenFile file = *writtenFileNamed(kind);
    TempProgramFolder folder;
    const QString name = fileNameOf(file);
    QByteArray state0, state1;
    writeBothStates(file, folder, state0, state1);
    if (QTest::currentTestFailed())
        return;

    const FileSizeLimit limit(rlim_t(state1.size() / 2));
    QVERIFY(limit.isSet());
    QString error;
    QVERIFY(!writeState(file, 1, &error));
    QVERIFY2(error.contains(folder.filePath(name)) && error.contains(qt_error_string(EFBIG)),
             qPrintable(error));
    QCOMPARE(folder.read(name), state0);
}

QTEST_GUILESS_MAIN(TestStorageFaults)
#include "test_storagefaults.moc"
