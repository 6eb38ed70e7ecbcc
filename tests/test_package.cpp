#include "chainDatabase.h"
#include "modEncrypt64Bit.h"
#include "modVars.h"
#include "packageBuilder.h"
#include "tempProgramFolder.h"

#include <QDir>
#include <QProcess>
#include <QTest>

namespace {

const QStringList sampleChains = {
    QStringLiteral("fire place card board game show boat"),
    QStringLiteral("sun flower pot luck less than ever"),
    QStringLiteral("tea cup cake walk way side line"),
};

QByteArray joined(const QStringList &lines, const char *lineEnd)
{
    QByteArray text;
    for (const QString &line : lines)
        text += line.toLatin1() + lineEnd;
    return text;
}

} // namespace

class TestPackage : public QObject
{
    Q_OBJECT
private slots:
    void listBecomesAPackageTheGameLoads_data();
    void listBecomesAPackageTheGameLoads();
    void unwritableFolderIsAFailure();
    void versionIsNotWrittenWhenTheDatabaseFails();
    void packProgramReportsTheVersionOrTheError();
};

void TestPackage::listBecomesAPackageTheGameLoads_data()
{
    QTest::addColumn<QByteArray>("list");
    QTest::addColumn<QByteArray>("package");
    QTest::addColumn<QStringList>("loaded");
    const QByteArray package = chainDatabaseText(QStringLiteral("8"), sampleChains);
    QTest::newRow("CR LF") << joined(sampleChains, "\r\n") << package << sampleChains;
    QTest::newRow("LF, none after the last")
        << joined(sampleChains, "\n").chopped(1) << package << sampleChains;
    // An empty line stays an empty line and takes no chain position.
    QTest::newRow("empty line") << joined({sampleChains[0], QString(), sampleChains[1]}, "\r\n")
                                << "8\r\n" + base64Encode(sampleChains[0].toLatin1()).toLatin1() +
                                       "\r\n\r\n" +
                                       base64Encode(sampleChains[1].toLatin1()).toLatin1() + "\r\n"
                                << QStringList{sampleChains[0], sampleChains[1]};
    // Spaces, a tab and a Latin-1 byte all go through to the package unchanged.
    const QByteArray odd("  two  spaces\t\xe9 ");
    QTest::newRow("line as it stands") << odd + "\r\n"
                                       << "8\r\n" + base64Encode(odd).toLatin1() + "\r\n"
                                       << QStringList();
}

void TestPackage::listBecomesAPackageTheGameLoads()
{
    QFETCH(QByteArray, list);
    QFETCH(QByteArray, package);
    QFETCH(QStringList, loaded);
    TempProgramFolder folder;
    folder.write(QStringLiteral("chain.txt"), list);
    QString error;
    QVERIFY2(encryptFile(folder.filePath(QStringLiteral("chain.txt")), folder.path(), &error),
             qPrintable(error));
    QCOMPARE(folder.read(packageVersionFileName), QByteArray("8\r\n"));
    QCOMPARE(folder.read(packageDatabaseFileName), package);
    if (loaded.isEmpty())
        return;

    // The game reads the same file once it is installed as its database.
    folder.write(chainDatabaseFileName, package);
    QVERIFY(loadChains());
    QCOMPARE(modVars.dbVersion, QStringLiteral("8"));
    QCOMPARE(modVars.chainCount, loaded.size());
    for (int i = 0; i < loaded.size(); ++i)
        QCOMPARE(modVars.chainTable[i + 1], loaded[i]);
}

void TestPackage::unwritableFolderIsAFailure()
{
    TempProgramFolder folder;
    folder.write(QStringLiteral("chain.txt"), joined(sampleChains, "\r\n"));
    const QString list = folder.filePath(QStringLiteral("chain.txt"));
    if (!folder.setWritable(false))
        QSKIP("This machine cannot make a folder read-only");
    QString error;
    QVERIFY(!encryptFile(list, folder.path(), &error));
    QVERIFY2(error.contains(folder.path()), qPrintable(error));
    folder.setWritable(true);
    QVERIFY(!folder.exists(packageVersionFileName));
    QVERIFY(!folder.exists(packageDatabaseFileName));
}

void TestPackage::versionIsNotWrittenWhenTheDatabaseFails()
{
    TempProgramFolder folder;
    folder.write(QStringLiteral("chain.txt"), joined(sampleChains, "\r\n"));
    folder.write(packageVersionFileName, "7\r\n");
    // A folder in the database's place makes its write fail.
    QVERIFY(QDir(folder.path()).mkdir(packageDatabaseFileName));
    QString error;
    QVERIFY(!encryptFile(folder.filePath(QStringLiteral("chain.txt")), folder.path(), &error));
    QVERIFY2(error.contains(packageDatabaseFileName), qPrintable(error));
    QCOMPARE(folder.read(packageVersionFileName), QByteArray("7\r\n"));
}

void TestPackage::packProgramReportsTheVersionOrTheError()
{
    TempProgramFolder folder;
    folder.write(QStringLiteral("chain.txt"), joined(sampleChains, "\n"));

    QProcess pack;
    pack.start(QStringLiteral(QUILLORA_PACK_PROGRAM),
               {folder.filePath(QStringLiteral("chain.txt")), folder.path()});
    QVERIFY(pack.waitForFinished());
    QCOMPARE(pack.exitStatus(), QProcess::NormalExit);
    QCOMPARE(pack.exitCode(), 0);
    QCOMPARE(pack.readAllStandardOutput(), QByteArray("Version 8 written.\n"));
    QCOMPARE(folder.read(packageVersionFileName), QByteArray("8\r\n"));
    const QByteArray package = chainDatabaseText(QStringLiteral("8"), sampleChains);
    QCOMPARE(folder.read(packageDatabaseFileName), package);

    pack.start(QStringLiteral(QUILLORA_PACK_PROGRAM),
               {folder.filePath(QStringLiteral("missing.txt")), folder.path()});
    QVERIFY(pack.waitForFinished());
    QVERIFY(pack.exitCode() != 0);
    QVERIFY(pack.readAllStandardOutput().isEmpty());
    QVERIFY(pack.readAllStandardError().contains("missing.txt"));
    // A failed run leaves the package as it was.
    QCOMPARE(folder.read(packageVersionFileName), QByteArray("8\r\n"));
    QCOMPARE(folder.read(packageDatabaseFileName), package);

    pack.start(QStringLiteral(QUILLORA_PACK_PROGRAM), {folder.path()});
    QVERIFY(pack.waitForFinished());
    QVERIFY(pack.exitCode() != 0);
    QVERIFY(pack.readAllStandardError().contains("usage"));
}

QTEST_GUILESS_MAIN(TestPackage)
#include "test_package.moc"
