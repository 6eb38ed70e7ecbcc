// The decoder on arbitrary text follows its rules written out plainly, on both text forms;
// the encoder writes standard Base64 and decoding its text gives the bytes back.

#include "fuzzSupport.h"
#include "modEncrypt64Bit.h"

#include <QList>

#include <cstdint>

namespace {

// Keep alphabet characters and "=", cut them into groups of four and drop what is left; each
// group gives three bytes with "=" counting as 0, less one for each "=" in the third and fourth
// place.
QByteArray modelDecode(const QString &text)
{
    static const QString alphabet =
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/=");
    QList<qsizetype> members; // 0..63, or 64 for "="
    for (const QChar c : text) {
        if (const qsizetype value = alphabet.indexOf(c); value >= 0)
            members.append(value);
    }
    QByteArray bytes;
    for (qsizetype i = 0; i + 4 <= members.size(); i += 4) {
        std::uint32_t bits = 0;
        for (int j = 0; j < 4; ++j)
            bits = bits << 6 | std::uint32_t(members[i + j] & 63);
        const int kept = 3 - (members[i + 2] == 64) - (members[i + 3] == 64);
        for (int j = 0; j < kept; ++j)
            bytes.append(static_cast<char>(bits >> (16 - 8 * j)));
    }
    return bytes;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray decoded = base64Decode(QByteArrayView(bytes));
    require(decoded == modelDecode(QString::fromLatin1(bytes)), "the decoder follows its rules");
    require(base64DecodeToText(bytes) == QString::fromLatin1(decoded), "chain lines decode alike");
    const QString wide(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
    require(base64Decode(wide) == modelDecode(wide), "characters beyond Latin-1 are skipped");

    const QString encoded = base64Encode(bytes);
    require(encoded.toLatin1() == bytes.toBase64(), "the encoder writes standard Base64");
    require(base64Decode(encoded) == bytes, "decoding the encoding gives the bytes back");
    return 0;
}
