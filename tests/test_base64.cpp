#include "modEncrypt64Bit.h"

#include <QRandomGenerator>
#include <QTest>

class TestBase64 : public QObject
{
    Q_OBJECT
private slots:
    void encodesGroupsAndPadding_data();
    void encodesGroupsAndPadding();
    void neverBreaksLines();
    void decodeSkipsCharactersOutsideTheAlphabet();
    void paddedGroupInTheMiddleGivesFewerBytes();
    void incompleteLastGroupIsDropped();
    void paddingPlacesDecideRemovedBytes_data();
    void paddingPlacesDecideRemovedBytes();
    void shortOrEmptyTextGivesNothing();
    void charactersBeyondLatin1AreSkipped();
    void roundTripOfEveryLengthUpTo300();
};

void TestBase64::encodesGroupsAndPadding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("empty") << QByteArray() << QString();
    QTest::newRow("one byte ends in ==") << QByteArray("f") << QStringLiteral("Zg==");
    QTest::newRow("two bytes end in =") << QByteArray("fo") << QStringLiteral("Zm8=");
    QTest::newRow("three bytes, no padding") << QByteArray("foo") << QStringLiteral("Zm9v");
    QTest::newRow("rfc example") << QByteArray("foobar") << QStringLiteral("Zm9vYmFy");
    QTest::newRow("high bytes") << QByteArray("\xff\xfe\x00", 3) << QStringLiteral("//4A");
    QTest::newRow("chain") << QByteArray("fire place card board game show boat")
                           << QStringLiteral("ZmlyZSBwbGFjZSBjYXJkIGJvYXJkIGdhbWUgc2hvdyBib2F0");
}

void TestBase64::encodesGroupsAndPadding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(base64Encode(bytes), text);
    QCOMPARE(base64Decode(text), bytes);
}

void TestBase64::neverBreaksLines()
{
    const QByteArray bytes(58, 'x');
    const QString text = base64Encode(bytes);
    QCOMPARE(text.size(), 80);
    QVERIFY(!text.contains(QLatin1Char('\n')) && !text.contains(QLatin1Char('\r')));
    QCOMPARE(base64Encode(QByteArray(3000, 'y')).count(QLatin1Char('\n')), 0);
}

void TestBase64::decodeSkipsCharactersOutsideTheAlphabet()
{
    const QByteArray plain = base64Decode(QStringLiteral("Zm9vYmFy"));
    QCOMPARE(base64Decode(QStringLiteral("Zm 9v\tYm Fy")), plain);
    QCOMPARE(base64Decode(QStringLiteral("Zm9vYmFy\r")), plain);
    QCOMPARE(base64Decode(QStringLiteral("  Zm9vYmFy  ")), plain);
    QCOMPARE(base64Decode(QStringLiteral("Z!m9-vY*mF.y")), plain);
    QCOMPARE(base64Decode(QByteArrayView("Zm 9v Ym Fy\r")), plain);
}

void TestBase64::paddedGroupInTheMiddleGivesFewerBytes()
{
    // "QQ==" is one byte 'A'; the following full group adds its three bytes after it.
    QCOMPARE(base64Decode(QStringLiteral("QQ==Zm9v")), QByteArray("Afoo"));
    // Qt's own lenient decoder differs here: it carries bits across the padding.
    QCOMPARE(base64Decode(QStringLiteral("QQ==QQ==")), QByteArray("AA"));
}

void TestBase64::incompleteLastGroupIsDropped()
{
    QCOMPARE(base64Decode(QStringLiteral("Zm9vYm")), QByteArray("foo"));
    QCOMPARE(base64Decode(QStringLiteral("Zm9vYmF")), QByteArray("foo"));
}

void TestBase64::paddingPlacesDecideRemovedBytes_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("bytes");
    QTest::newRow("= third and fourth") << QStringLiteral("QU==") << 1;
    QTest::newRow("= third only") << QStringLiteral("QU=B") << 2;
    QTest::newRow("= fourth only") << QStringLiteral("QUJ=") << 2;
    QTest::newRow("= first counts as 0") << QStringLiteral("=QJD") << 3;
    QTest::newRow("= second counts as 0") << QStringLiteral("Q=JD") << 3;
    QTest::newRow("all =") << QStringLiteral("====") << 1;
}

void TestBase64::paddingPlacesDecideRemovedBytes()
{
    QFETCH(QString, text);
    QFETCH(int, bytes);
    QCOMPARE(base64Decode(text).size(), bytes);
}

void TestBase64::shortOrEmptyTextGivesNothing()
{
    QVERIFY(base64Decode(QString()).isEmpty());
    QVERIFY(base64Decode(QStringLiteral("QUJ")).isEmpty());
    QVERIFY(base64Decode(QStringLiteral("!!!!!!!!")).isEmpty());
}

void TestBase64::charactersBeyondLatin1AreSkipped()
{
    QCOMPARE(base64Decode(QStringLiteral("Zm\u20ac9v")), QByteArray("foo"));
    // Latin-1 letters outside the alphabet are skipped too, not taken for their low byte.
    QCOMPARE(base64Decode(QStringLiteral("Zm\u00e99v")), QByteArray("foo"));
}

void TestBase64::roundTripOfEveryLengthUpTo300()
{
    QRandomGenerator generator(20261206);
    for (int length = 1; length <= 300; ++length) {
        QByteArray bytes(length, Qt::Uninitialized);
        for (char &b : bytes)
            b = static_cast<char>(generator.bounded(256));
        const QString text = base64Encode(bytes);
        QCOMPARE(text.size(), (length + 2) / 3 * 4);
        QCOMPARE(base64Decode(text), bytes);
        QCOMPARE(QByteArray::fromBase64(text.toLatin1()), bytes);
    }
}

QTEST_APPLESS_MAIN(TestBase64)
#include "test_base64.moc"
