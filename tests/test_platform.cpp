#include "fileExists.h"
#include "httpModule.h"
#include "moduleLoader.h"
#include "programFolder.h"
#include "qtSoundPlayer.h"
#include "scriptedDialogs.h"
#include "soundModule.h"
#include "startupCheck.h"
#include "systemRandom.h"
#include "tickSource.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <limits>

class TestPlatform : public QObject
{
    Q_OBJECT
private slots:
    void cleanup() { setProgramFolder(QString()); }
    void fileExistsOnlyForOrdinaryVisibleFiles();
    void programFilesLiveInTheProgramFolder();
    void startupCheckFailsWithItsMessageWhenTheFolderIsGone();
    void elapsedTicksStayRightAcrossAWrap();
    void randomStaysInHalfOpenUnitRange();
    void modulesLoadOnlyUnderTheirOwnInterface();
    void shippedSoundsPlayWithoutAnAudioDevice();
};

void TestPlatform::fileExistsOnlyForOrdinaryVisibleFiles()
{
    QTemporaryDir dir;
    QFile(dir.filePath("plain.txt")).open(QIODevice::WriteOnly);
    QFile(dir.filePath(".hidden.txt")).open(QIODevice::WriteOnly);
    QDir(dir.path()).mkdir("folder.txt");
    QVERIFY(fileExists(dir.filePath("plain.txt")));
    QVERIFY(!fileExists(dir.filePath(".hidden.txt")));
    QVERIFY(!fileExists(dir.filePath("folder.txt")));
    QVERIFY(!fileExists(dir.filePath("missing.txt")));
}

void TestPlatform::programFilesLiveInTheProgramFolder()
{
    QCOMPARE(programFolder(), QCoreApplication::applicationDirPath());
    setProgramFolder(QStringLiteral("/some/where"));
    QCOMPARE(programFile(QStringLiteral("options.dat")), QStringLiteral("/some/where/options.dat"));
}

void TestPlatform::startupCheckFailsWithItsMessageWhenTheFolderIsGone()
{
    ScriptedDialogs dialogs;
    QVERIFY(startupCheck(dialogs));
    QVERIFY(dialogs.shown.isEmpty());

    setProgramFolder(QStringLiteral("/no/such/folder/anywhere"));
    QVERIFY(!startupCheck(dialogs));
    QCOMPARE(dialogs.shown.size(), 1);
    QCOMPARE(dialogs.shown[0].title, QStringLiteral("Error"));
    QCOMPARE(dialogs.shown[0].text,
             QStringLiteral("There was an error starting the program, please "
                            "try again. The program will now exit."));
}

void TestPlatform::elapsedTicksStayRightAcrossAWrap()
{
    constexpr quint32 top = std::numeric_limits<quint32>::max();
    QCOMPARE(elapsedTicks(1000, 4000), qint64(3000));
    QCOMPARE(elapsedTicks(top - 499, 1500), qint64(2000));
    // The signed view of the counter turns negative halfway; nothing changes there.
    QCOMPARE(elapsedTicks(0x7fffff00u, 0x80000100u), qint64(0x200));
}

void TestPlatform::randomStaysInHalfOpenUnitRange()
{
    SystemRandom random;
    random.seedFromTimeOfDay();
    for (int i = 0; i < 10000; ++i) {
        const double r = random.next();
        QVERIFY(r >= 0.0 && r < 1.0);
    }
}

void TestPlatform::modulesLoadOnlyUnderTheirOwnInterface()
{
    QString error;
    QVERIFY2(loadModule<SoundModule>(SoundModule::fileName, &error), qPrintable(error));
    QVERIFY2(loadModule<HttpModule>(HttpModule::fileName, &error), qPrintable(error));

    QVERIFY(!loadModule<HttpModule>(SoundModule::fileName, &error));
    QVERIFY(error.contains(SoundModule::fileName));
    const QString missing = QStringLiteral("quillora_nothing");
    QVERIFY(!loadModule<SoundModule>(missing, &error));
    QVERIFY(error.contains(missing));
}

void TestPlatform::shippedSoundsPlayWithoutAnAudioDevice()
{
    // Through the module, one sound cutting off another; a missing file plays nothing.
    setProgramFolder(QStringLiteral(QUILLORA_PROGRAM_DIR));
    QtSoundPlayer sound;
    sound.play(correctWordSound);
    sound.play(finishChainSound);
    sound.play(QStringLiteral("nosuchsound.wav"));
    sound.play(timeUpSound);
    QTest::qWait(50);
}

QTEST_GUILESS_MAIN(TestPlatform)
#include "test_platform.moc"
