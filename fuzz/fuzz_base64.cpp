// Both decoders on arbitrary text: they agree with each other and with the decoding rules
// written out plainly; on canonical Base64 they agree with Qt's decoder; encoding the input and
// decoding it again gives the input back.

#include "fuzzSupport.h"
#include "modEncrypt64Bit.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace {

int alphabetValue(char16_t c)
{
    if (c >= 'A' && c <= 'Z')
        return c - 'A';
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 26;
    if (c >= '0' && c <= '9')
        return c - '0' + 52;
    if (c == '+')
        return 62;
    if (c == '/')
        return 63;
    return -1;
}

// Keep alphabet characters and "=", cut them into groups of four and drop what is left; each
// group gives three bytes with "=" counting as 0, less one byte for each "=" in the third and
// fourth place.
QByteArray modelDecode(const QString &text)
{
    QList<int> members; // 0..63, or -1 for "="
    for (const QChar c : text) {
        if (c == QLatin1Char('='))
            members.append(-1);
        else if (alphabetValue(c.unicode()) >= 0)
            members.append(alphabetValue(c.unicode()));
    }
    QByteArray bytes;
    for (qsizetype i = 0; i + 4 <= members.size(); i += 4) {
        std::uint32_t bits = 0;
        for (int j = 0; j < 4; ++j)
            bits = bits << 6 | std::uint32_t(members[i + j] < 0 ? 0 : members[i + j]);
        const int kept = 3 - (members[i + 2] < 0) - (members[i + 3] < 0);
        for (int j = 0; j < kept; ++j)
            bytes.append(static_cast<char>(bits >> (16 - 8 * j)));
    }
    return bytes;
}

bool isCanonical(const QByteArray &text, QByteArray *decoded)
{
    const auto result =
        QByteArray::fromBase64Encoding(text, QByteArray::AbortOnBase64DecodingErrors);
    if (!result)
        return false;
    *decoded = *result;
    return decoded->toBase64() == text;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));

    // The input as a line of a chain file, one byte per character.
    const QByteArray fromView = base64Decode(QByteArrayView(bytes));
    const QString latin1 = QString::fromLatin1(bytes);
    require(base64Decode(latin1) == fromView, "both decoders agree on Latin-1 text");
    require(base64DecodeToText(bytes) == QString::fromLatin1(fromView),
            "decoding straight to text gives the bytes as Latin-1");
    require(fromView == modelDecode(latin1), "the decoder follows the plain rules");
    require(fromView.size() <= bytes.size() / 4 * 3, "never more than 3 bytes per 4 characters");

    // The input as UTF-16 text: characters beyond Latin-1 are skipped.
    const QString wide(reinterpret_cast<const QChar *>(data), qsizetype(size / 2));
    require(base64Decode(wide) == modelDecode(wide), "characters beyond Latin-1 are skipped");

    QByteArray qtDecoded;
    if (isCanonical(bytes, &qtDecoded))
        require(fromView == qtDecoded, "canonical Base64 decodes as Qt decodes it");

    const QString encoded = base64Encode(bytes);
    require(encoded.toLatin1() == bytes.toBase64(), "the encoder writes standard Base64");
    require(base64Decode(encoded) == bytes, "decoding the encoding gives the bytes back");
    return 0;
}
