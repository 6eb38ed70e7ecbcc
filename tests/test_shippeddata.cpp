#include "chainDatabase.h"
#include "modVars.h"
#include "textLines.h"
#include "wholeFile.h"

#include <QDir>
#include <QHash>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

#include <optional>

// The chain list and the sounds that ship with the game, checked so that an edit by hand
// cannot slip a broken chain or a broken sound into a release.

namespace {

constexpr int minChains = 500;
constexpr int chainWords = 7;
constexpr int maxChainsPerWord = 8;
constexpr int maxChainsPerLink = 3;

QByteArray readOrFail(const QString &path)
{
    QString error;
    const std::optional<QByteArray> content = readWholeFile(path, &error);
    if (!content)
        qFatal("%s", qPrintable(error));
    return *content;
}

QStringList shippedChains()
{
    // The lines are views into the text, so the text has to outlive the loop.
    const QByteArray text = readOrFail(QStringLiteral(QUILLORA_CHAIN_LIST));
    QStringList chains;
    for (const QByteArrayView line : splitLines(text))
        chains.append(QString::fromLatin1(line));
    return chains;
}

// The accepted links of the reviewed list: "+ first second = spelling".
QSet<QString> acceptedLinks()
{
    QSet<QString> links;
    const QByteArray text = readOrFail(QStringLiteral(QUILLORA_LINK_LIST));
    for (const QByteArrayView line : splitLines(text)) {
        if (!line.startsWith("+ "))
            continue;
        const QList<QByteArray> fields = line.toByteArray().split(' ');
        links.insert(QString::fromLatin1(fields[1] + ' ' + fields[2]));
    }
    return links;
}

struct Wave
{
    quint16 format = 0;
    quint16 channels = 0;
    quint32 sampleRate = 0;
    quint16 bitsPerSample = 0;
    QByteArray samples;
};

quint32 le32(const QByteArray &data, qsizetype at)
{
    return quint32(quint8(data[at])) | quint32(quint8(data[at + 1])) << 8 |
           quint32(quint8(data[at + 2])) << 16 | quint32(quint8(data[at + 3])) << 24;
}

quint16 le16(const QByteArray &data, qsizetype at)
{
    return quint16(quint8(data[at]) | quint8(data[at + 1]) << 8);
}

std::optional<Wave> parseWave(const QByteArray &data)
{
    if (data.size() < 12 || !data.startsWith("RIFF") || data.mid(8, 4) != "WAVE")
        return std::nullopt;
    Wave wave;
    bool haveFormat = false;
    qsizetype at = 12;
    while (at + 8 <= data.size()) {
        const QByteArray id = data.mid(at, 4);
        const qsizetype size = le32(data, at + 4);
        const qsizetype body = at + 8;
        if (body + size > data.size())
            return std::nullopt;
        if (id == "fmt " && size >= 16) {
            wave.format = le16(data, body);
            wave.channels = le16(data, body + 2);
            wave.sampleRate = le32(data, body + 4);
            wave.bitsPerSample = le16(data, body + 14);
            haveFormat = true;
        } else if (id == "data") {
            wave.samples = data.mid(body, size);
        }
        at = body + size + (size & 1);
    }
    if (!haveFormat || wave.samples.isEmpty())
        return std::nullopt;
    return wave;
}

} // namespace

class TestShippedData : public QObject
{
    Q_OBJECT
private slots:
    void everyChainIsPlainAndEveryLinkReviewedAndNotOverused();
    void builtDatabaseHoldsTheWholeListInOrder();
    void soundsAreShortDistinct16BitPcm_data();
    void soundsAreShortDistinct16BitPcm();
};

void TestShippedData::everyChainIsPlainAndEveryLinkReviewedAndNotOverused()
{
    const QStringList chains = shippedChains();
    QVERIFY2(chains.size() >= minChains, qPrintable(QString::number(chains.size())));
    QVERIFY(chains.size() <= maxChains);
    QVERIFY2(QSet<QString>(chains.cbegin(), chains.cend()).size() == chains.size(),
             "a chain is listed twice");
    const QRegularExpression plainWord(QStringLiteral("^[a-z]{3,10}$"));
    const QSet<QString> accepted = acceptedLinks();
    QHash<QString, int> wordUses;
    QHash<QString, int> linkUses;
    for (const QString &chain : chains) {
        const QStringList words = chain.split(QLatin1Char(' '));
        QVERIFY2(words.size() == chainWords, qPrintable(chain));
        for (int i = 0; i < words.size(); ++i) {
            QVERIFY2(plainWord.match(words[i]).hasMatch(), qPrintable(chain));
            for (int j = 0; j < words.size(); ++j) {
                // Also catches a word twice: each starts the other.
                QVERIFY2(i == j || !words[j].startsWith(words[i]), qPrintable(chain));
            }
            ++wordUses[words[i]];
            if (i == 0)
                continue;
            const QString link = words[i - 1] + QLatin1Char(' ') + words[i];
            QVERIFY2(accepted.contains(link), qPrintable(link + QStringLiteral(" in ") + chain));
            ++linkUses[link];
        }
    }
    for (auto it = wordUses.cbegin(); it != wordUses.cend(); ++it)
        QVERIFY2(it.value() <= maxChainsPerWord, qPrintable(it.key()));
    for (auto it = linkUses.cbegin(); it != linkUses.cend(); ++it)
        QVERIFY2(it.value() <= maxChainsPerLink, qPrintable(it.key()));
}

void TestShippedData::builtDatabaseHoldsTheWholeListInOrder()
{
    const QDir programDir(QStringLiteral(QUILLORA_PROGRAM_DIR));
    const QByteArray built = readOrFail(programDir.filePath(chainDatabaseFileName));
    const std::optional<ChainDatabase> database = parseChainDatabase(built);
    QVERIFY(database);
    QCOMPARE(database->version, QStringLiteral("8"));
    QCOMPARE(database->chains, shippedChains());
}

void TestShippedData::soundsAreShortDistinct16BitPcm_data()
{
    QTest::addColumn<QString>("name");
    for (const char *name : {"correctword.wav", "finishchain.wav", "timeup.wav"})
        QTest::newRow(name) << QString::fromLatin1(name);
}

void TestShippedData::soundsAreShortDistinct16BitPcm()
{
    QFETCH(QString, name);
    const QDir programDir(QStringLiteral(QUILLORA_PROGRAM_DIR));
    const std::optional<Wave> wave = parseWave(readOrFail(programDir.filePath(name)));
    QVERIFY(wave);
    QCOMPARE(wave->format, quint16(1)); // PCM
    QCOMPARE(wave->bitsPerSample, quint16(16));
    QVERIFY(wave->channels >= 1 && wave->sampleRate > 0);
    const qsizetype frames = wave->samples.size() / (2 * wave->channels);
    const double seconds = double(frames) / wave->sampleRate;
    QVERIFY2(seconds > 0.2 && seconds < 1.5, qPrintable(QString::number(seconds)));

    // Starting and ending at silence is what keeps a sound from clicking.
    const auto sample = [&](qsizetype frame) {
        return qint16(le16(wave->samples, frame * 2 * wave->channels));
    };
    QVERIFY(qAbs(sample(0)) < 500);
    QVERIFY(qAbs(sample(frames - 1)) < 500);
    qint16 peak = 0;
    for (qsizetype i = 0; i < frames; ++i)
        peak = qMax<qint16>(peak, qAbs(sample(i)));
    QVERIFY2(peak > 8000 && peak < 32767, "too quiet or clipped");
}

QTEST_GUILESS_MAIN(TestShippedData)
#include "test_shippeddata.moc"
