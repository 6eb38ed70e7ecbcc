#include "chainDatabase.h"
#include "modVars.h"
#include "wholeFile.h"

#include <QCryptographicHash>
#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>
#include <QtEndian>

#include <optional>

// The chain list and the sounds that ship with the game, checked so that an edit by hand
// cannot slip a broken chain or a broken sound into a release.

static constexpr int minChains = 640, maxChainsPerWord = 8, maxChainsPerLink = 2;

static QByteArray readOrFail(const QString &path)
{
    QString error;
    if (const std::optional<QByteArray> content = readWholeFile(path, &error))
        return *content;
    qFatal("%s", qPrintable(error));
}

static QStringList shippedChains()
{
    const QString text = QString::fromLatin1(readOrFail(QStringLiteral(QUILLORA_CHAIN_LIST)));
    return text.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// The accepted links of the reviewed list: "+ first second = spelling".
static QSet<QString> acceptedLinks()
{
    const QRegularExpression accepted(QStringLiteral("^\\+ ([a-z]+ [a-z]+) ="),
                                      QRegularExpression::MultilineOption);
    QSet<QString> links;
    for (const QRegularExpressionMatch &match :
         accepted.globalMatch(QString::fromLatin1(readOrFail(QStringLiteral(QUILLORA_LINK_LIST)))))
        links.insert(match.captured(1));
    return links;
}

class TestShippedData : public QObject
{
    Q_OBJECT
private slots:
    void everyChainIsPlainAndEveryLinkReviewedAndNotOverused()
    {
        const QStringList chains = shippedChains();
        QVERIFY2(chains.size() >= minChains && chains.size() <= maxChains,
                 qPrintable(QString::number(chains.size())));
        const QRegularExpression plain(QStringLiteral("^([a-z]{3,10} ){6}[a-z]{3,10}$"));
        const QSet<QString> accepted = acceptedLinks();
        // Uses of each word, link (two words) and run (three words in a row): a player should not
        // meet the same stretch of a chain again, and so no chain is listed twice.
        QHash<QString, int> uses;
        for (const QString &chain : chains) {
            const QStringList words = chain.split(QLatin1Char(' '));
            QVERIFY2(plain.match(chain).hasMatch(), qPrintable(chain));
            for (int i = 0; i < words.size(); ++i) {
                for (int j = 0; j < words.size(); ++j) // also catches a word twice
                    QVERIFY2(i == j || !words[j].startsWith(words[i]), qPrintable(chain));
                for (int length = 1; length <= 3 && length <= i + 1; ++length)
                    ++uses[words.mid(i + 1 - length, length).join(QLatin1Char(' '))];
                const QString link = words.mid(i - 1, 2).join(QLatin1Char(' '));
                QVERIFY2(i == 0 || accepted.contains(link), qPrintable(link + " in " + chain));
            }
        }
        const int limits[] = {maxChainsPerWord, maxChainsPerLink, 1};
        for (auto it = uses.cbegin(); it != uses.cend(); ++it)
            QVERIFY2(it.value() <= limits[it.key().count(QLatin1Char(' '))], qPrintable(it.key()));
    }

    // The build ships the recorded release, and a released chain never moves or changes:
    // players' completed marks belong to chain positions.
    void shippedDatabaseIsTheReleaseWithEveryReleasedChainInPlace()
    {
        QHash<QByteArray, QByteArray> release; // version, chains, sha256
        for (const QByteArray &line : readOrFail(QStringLiteral(QUILLORA_RELEASE_FILE)).split('\n'))
            if (!line.startsWith('#') && line.contains(' '))
                release.insert(line.left(line.indexOf(' ')), line.mid(line.indexOf(' ') + 1));
        const QStringList chains = shippedChains();
        QVERIFY2(chains.size() == release.value("chains").toInt(),
                 "chains.txt differs from its release: record a new one with chaingen.py release");
        QCryptographicHash digest(QCryptographicHash::Sha256);
        for (const QString &chain : chains)
            digest.addData(chain.toLatin1() + '\n');
        QVERIFY2(digest.result().toHex() == release.value("sha256"), "a released chain changed");
        const auto database = parseChainDatabase(
            readOrFail(QDir(QStringLiteral(QUILLORA_PROGRAM_DIR)).filePath(chainDatabaseFileName)));
        QVERIFY(database);
        QCOMPARE(database->version, QString::fromLatin1(release.value("version")));
        QCOMPARE(database->chains, chains);
    }

    void soundsAreShortDistinct16BitPcm_data()
    {
        QTest::addColumn<QString>("name");
        for (const char *name : {"correctword.wav", "finishchain.wav", "timeup.wav"})
            QTest::newRow(name) << QString::fromLatin1(name);
    }

    void soundsAreShortDistinct16BitPcm()
    {
        QFETCH(QString, name);
        const QByteArray wave =
            readOrFail(QDir(QStringLiteral(QUILLORA_PROGRAM_DIR)).filePath(name));
        // The canonical layout that makesounds.py writes: "fmt " at 12, "data" at 36.
        QVERIFY(wave.startsWith("RIFF") && wave.mid(8, 8) == "WAVEfmt " &&
                wave.mid(36, 4) == "data");
        const auto field = [&](qsizetype at) {
            return int(qFromLittleEndian<qint16>(wave.constData() + at));
        };
        QCOMPARE(field(20), 1); // PCM
        QCOMPARE(field(34), 16);
        const int frameBytes = 2 * field(22);
        const qsizetype dataBytes = qFromLittleEndian<quint32>(wave.constData() + 40);
        const qsizetype frames = qMin(dataBytes, wave.size() - 44) / frameBytes;
        const double seconds = double(frames) / qFromLittleEndian<quint32>(wave.constData() + 24);
        QVERIFY2(seconds > 0.2 && seconds < 1.5, qPrintable(QString::number(seconds)));
        // Starting and ending at silence is what keeps a sound from clicking.
        const auto sample = [&](qsizetype frame) { return qAbs(field(44 + frame * frameBytes)); };
        QVERIFY(sample(0) < 500 && sample(frames - 1) < 500);
        int peak = 0;
        for (qsizetype i = 0; i < frames; ++i)
            peak = qMax(peak, sample(i));
        QVERIFY2(peak > 8000 && peak < 32767, "too quiet or clipped");
    }
};

QTEST_GUILESS_MAIN(TestShippedData)
#include "test_shippeddata.moc"
