#include "chainDatabase.h"
#include "modEncrypt64Bit.h"
#include "modVars.h"
#include "packageBuilder.h"
#include "tempProgramFolder.h"

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
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

QList<QByteArray> crlfLines(const QByteArray &text)
{
    // Every line must end in CR LF; what follows the last one is an empty rest.
    QList<QByteArray> lines = text.split('\n');
    if (lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace

class TestPackage : public QObject
{
    Q_OBJECT
private slots:
    void listOfNLinesGivesNPlusOneLinesThatLoadBackInOrder();
    void bareLineFeedListGivesTheSamePackage();
    void linesAreEncodedAsTheyStand();
    void emptyLineTakesNoChainPosition();
    void missingListLeavesThePackageUntouched();
    void unwritableFolderIsAFailure();
    void versionIsNotWrittenWhenTheDatabaseFails();
    void packProgramReportsTheVersionOrTheError();
};

void TestPackage::listOfNLinesGivesNPlusOneLinesThatLoadBackInOrder()
{
    TempProgramFolder folder;
    folder.write(QStringLiteral("chain.txt"), joined(sampleChains, "\r\n"));
    QString error;
    QVERIFY2(encryptFile(folder.filePath(QStringLiteral("chain.txt")), folder.path(), &error),
             qPrintable(error));

    QCOMPARE(folder.read(packageVersionFileName), QByteArray("8\r\n"));
    const QByteArray database = folder.read(packageDatabaseFileName);
    const QList<QByteArray> lines = crlfLines(database);
    QCOMPARE(lines.size(), sampleChains.size() + 1);
    for (const QByteArray &line : lines)
        QVERIFY2(line.endsWith('\r'), line.constData());

    const std::optional<ChainDatabase> parsed = parseChainDatabase(database);
    QVERIFY(parsed);
    QCOMPARE(parsed->version, QStringLiteral("8"));
    QCOMPARE(parsed->chains, sampleChains);

    // The game reads the same file once it is installed as its database.
    folder.write(chainDatabaseFileName, database);
    QVERIFY(loadChains());
    QCOMPARE(modVars.dbVersion, QStringLiteral("8"));
    QCOMPARE(modVars.chainCount, 3);
    for (int i = 0; i < sampleChains.size(); ++i)
        QCOMPARE(modVars.chainTable[i + 1], sampleChains[i]);
}

void TestPackage::bareLineFeedListGivesTheSamePackage()
{
    TempProgramFolder folder;
    const QString crlf = folder.filePath(QStringLiteral("crlf.txt"));
    const QString lf = folder.filePath(QStringLiteral("lf.txt"));
    folder.write(QStringLiteral("crlf.txt"), joined(sampleChains, "\r\n"));
    // No line end after the last line either.
    folder.write(QStringLiteral("lf.txt"), joined(sampleChains, "\n").chopped(1));

    QTemporaryDir crlfOut;
    QTemporaryDir lfOut;
    QVERIFY(encryptFile(crlf, crlfOut.path(), nullptr));
    QVERIFY(encryptFile(lf, lfOut.path(), nullptr));
    QFile a(crlfOut.filePath(packageDatabaseFileName));
    QFile b(lfOut.filePath(packageDatabaseFileName));
    QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    QCOMPARE(b.readAll(), a.readAll());
}

void TestPackage::linesAreEncodedAsTheyStand()
{
    TempProgramFolder folder;
    // Spaces, a tab and a Latin-1 byte all go through to the package unchanged.
    const QByteArray odd("  two  spaces\t\xe9 ");
    folder.write(QStringLiteral("chain.txt"), odd + "\r\n");
    QVERIFY(encryptFile(folder.filePath(QStringLiteral("chain.txt")), folder.path(), nullptr));
    const QList<QByteArray> lines = crlfLines(folder.read(packageDatabaseFileName));
    QCOMPARE(lines.size(), 2);
    QCOMPARE(lines[1], base64Encode(odd).toLatin1() + '\r');
    QCOMPARE(base64Decode(QByteArrayView(lines[1]).chopped(1)), odd);
}

void TestPackage::emptyLineTakesNoChainPosition()
{
    TempProgramFolder folder;
    const QStringList withGap = {sampleChains[0], QString(), sampleChains[1]};
    folder.write(QStringLiteral("chain.txt"), joined(withGap, "\r\n"));
    QVERIFY(encryptFile(folder.filePath(QStringLiteral("chain.txt")), folder.path(), nullptr));

    const QByteArray database = folder.read(packageDatabaseFileName);
    const QList<QByteArray> lines = crlfLines(database);
    QCOMPARE(lines.size(), 4);
    QCOMPARE(lines[2], QByteArray("\r"));
    const std::optional<ChainDatabase> parsed = parseChainDatabase(database);
    QVERIFY(parsed);
    QCOMPARE(parsed->chains, QStringList({sampleChains[0], sampleChains[1]}));
}

void TestPackage::missingListLeavesThePackageUntouched()
{
    TempProgramFolder folder;
    folder.write(packageVersionFileName, "7\r\n");
    folder.write(packageDatabaseFileName, "7\r\nold\r\n");
    QString error;
    const QString missing = folder.filePath(QStringLiteral("no-such-list.txt"));
    QVERIFY(!encryptFile(missing, folder.path(), &error));
    QVERIFY2(error.contains(QStringLiteral("no-such-list.txt")), qPrintable(error));
    QCOMPARE(folder.read(packageVersionFileName), QByteArray("7\r\n"));
    QCOMPARE(folder.read(packageDatabaseFileName), QByteArray("7\r\nold\r\n"));
}

void TestPackage::unwritableFolderIsAFailure()
{
    TempProgramFolder folder;
    QTemporaryDir input;
    const QString list = input.filePath(QStringLiteral("chain.txt"));
    QFile file(list);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(joined(sampleChains, "\r\n"));
    file.close();

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
    QCOMPARE(crlfLines(folder.read(packageDatabaseFileName)).size(), 4);

    pack.start(QStringLiteral(QUILLORA_PACK_PROGRAM),
               {folder.filePath(QStringLiteral("missing.txt")), folder.path()});
    QVERIFY(pack.waitForFinished());
    QVERIFY(pack.exitCode() != 0);
    QVERIFY(pack.readAllStandardOutput().isEmpty());
    QVERIFY(pack.readAllStandardError().contains("missing.txt"));

    pack.start(QStringLiteral(QUILLORA_PACK_PROGRAM), {folder.path()});
    QVERIFY(pack.waitForFinished());
    QVERIFY(pack.exitCode() != 0);
    QVERIFY(pack.readAllStandardError().contains("usage"));
}

QTEST_GUILESS_MAIN(TestPackage)
#include "test_package.moc"
