#include "modEncrypt64Bit.h"

#include <array>
#include <cstdint>
#include <type_traits>

namespace {

using Byte = std::uint8_t;

constexpr Byte shiftLeft2(Byte b)
{
    return static_cast<Byte>(b * 4);
}
constexpr Byte shiftLeft4(Byte b)
{
    return static_cast<Byte>(b * 16);
}
constexpr Byte shiftLeft6(Byte b)
{
    return static_cast<Byte>(b * 64);
}
constexpr Byte shiftRight2(Byte b)
{
    return b / 4;
}
constexpr Byte shiftRight4(Byte b)
{
    return b / 16;
}
constexpr Byte shiftRight6(Byte b)
{
    return b / 64;
}

using EncodeTable = std::array<char, 64>;
using DecodeTable = std::array<std::int16_t, 256>;

constexpr std::int16_t skipMark = -1;
constexpr std::int16_t padMark = 64;

constexpr EncodeTable buildEncodeTable()
{
    EncodeTable table{};
    int i = 0;
    for (char c = 'A'; c <= 'Z'; ++c)
        table[i++] = c;
    for (char c = 'a'; c <= 'z'; ++c)
        table[i++] = c;
    for (char c = '0'; c <= '9'; ++c)
        table[i++] = c;
    table[62] = '+';
    table[63] = '/';
    return table;
}

constexpr DecodeTable buildDecodeTable()
{
    DecodeTable table{};
    for (auto &v : table)
        v = skipMark;
    const EncodeTable alphabet = buildEncodeTable();
    for (int i = 0; i < 64; ++i)
        table[static_cast<Byte>(alphabet[i])] = static_cast<std::int16_t>(i);
    table['='] = padMark;
    return table;
}

// The tables never change, so they are built once, at compile time.
constexpr EncodeTable encodeTable = buildEncodeTable();
constexpr DecodeTable decodeTable = buildDecodeTable();

// Turns buffer[0..2] (three input bytes) into four alphabet characters in buffer[0..3].
void encodeGroup(std::array<Byte, 4> &buffer)
{
    const Byte b0 = buffer[0], b1 = buffer[1], b2 = buffer[2];
    const Byte s0 = shiftRight2(b0);
    const Byte s1 = shiftLeft4(b0 & 3) | (shiftRight4(b1) & 15);
    const Byte s2 = shiftLeft2(b1 & 15) | (shiftRight6(b2) & 3);
    const Byte s3 = b2 & 63;
    buffer = {static_cast<Byte>(encodeTable[s0]), static_cast<Byte>(encodeTable[s1]),
              static_cast<Byte>(encodeTable[s2]), static_cast<Byte>(encodeTable[s3])};
}

using Group = std::array<std::int16_t, 4>;

// Writes the bytes of a complete group at out[p], three less one for each pad mark in the third
// and fourth place, and moves p past them.
template <typename Unit> void writeGroup(const Group &group, Unit *out, qsizetype &p)
{
    // A pad mark is 64: only its low six bits (all zero) take part in the bytes.
    const auto g0 = static_cast<Byte>(group[0]), g1 = static_cast<Byte>(group[1]),
               g2 = static_cast<Byte>(group[2]), g3 = static_cast<Byte>(group[3]);
    out[p++] = shiftLeft2(g0) | (shiftRight4(g1) & 3);
    out[p++] = shiftLeft4(g1 & 15) | (shiftRight2(g2) & 15);
    out[p++] = shiftLeft6(g2 & 3) | g3;
    if (group[3] == padMark)
        out[--p] = 0;
    if (group[2] == padMark)
        out[--p] = 0;
}

// One decoding loop for both text forms; codeAt gives the character code or -1 for a
// character that has no single-byte code. The bytes go into a QByteArray, or straight into a
// QString as Latin-1 characters.
template <typename Output, typename CodeAt> Output decode(qsizetype length, CodeAt codeAt)
{
    if (length < 4)
        return {};
    Output output(length / 4 * 3, Qt::Uninitialized);
    auto *out = [&output] {
        if constexpr (std::is_same_v<Output, QString>)
            return reinterpret_cast<char16_t *>(output.data());
        else
            return reinterpret_cast<Byte *>(output.data());
    }();
    qsizetype p = 0;
    Group group{};
    int k = 0;
    for (qsizetype i = 0; i < length; ++i) {
        // Chain lines are almost all whole groups of alphabet characters: four of them in a row
        // at the start of a group are taken at once.
        if (k == 0 && i + 4 <= length) {
            const int c0 = codeAt(i), c1 = codeAt(i + 1), c2 = codeAt(i + 2), c3 = codeAt(i + 3);
            if ((c0 | c1 | c2 | c3) >= 0) {
                const int v0 = decodeTable[c0], v1 = decodeTable[c1], v2 = decodeTable[c2],
                          v3 = decodeTable[c3];
                if ((v0 | v1 | v2 | v3) >= 0 && (v0 | v1 | v2 | v3) < padMark) {
                    const auto bits = std::uint32_t(v0 << 18 | v1 << 12 | v2 << 6 | v3);
                    out[p++] = static_cast<Byte>(bits >> 16);
                    out[p++] = static_cast<Byte>(bits >> 8);
                    out[p++] = static_cast<Byte>(bits);
                    i += 3;
                    continue;
                }
            }
        }
        const int code = codeAt(i);
        if (code < 0)
            continue;
        const std::int16_t v = decodeTable[code];
        if (v == skipMark)
            continue;
        group[k++] = v;
        if (k < 4)
            continue;
        writeGroup(group, out, p);
        k = 0;
    }
    output.truncate(p);
    return output;
}

} // namespace

QString base64Encode(const QByteArray &bytes)
{
    const qsizetype n = bytes.size();
    const qsizetype groups = n / 3;
    const auto *in = reinterpret_cast<const Byte *>(bytes.constData());
    QByteArray text(groups * 4, Qt::Uninitialized);
    std::array<Byte, 4> buffer{};
    for (qsizetype g = 0; g < groups; ++g) {
        buffer = {in[3 * g], in[3 * g + 1], in[3 * g + 2], 0};
        encodeGroup(buffer);
        for (int j = 0; j < 4; ++j)
            text[4 * g + j] = static_cast<char>(buffer[j]);
    }
    const qsizetype rest = n % 3;
    if (rest == 1) {
        buffer = {in[n - 1], 0, 0, 0};
        encodeGroup(buffer);
        text.append(static_cast<char>(buffer[0])).append(static_cast<char>(buffer[1])).append("==");
    } else if (rest == 2) {
        buffer = {in[n - 2], in[n - 1], 0, 0};
        encodeGroup(buffer);
        text.append(static_cast<char>(buffer[0]))
            .append(static_cast<char>(buffer[1]))
            .append(static_cast<char>(buffer[2]))
            .append('=');
    }
    return QString::fromLatin1(text);
}

QByteArray base64Decode(const QString &text)
{
    const QChar *chars = text.constData();
    return decode<QByteArray>(text.size(), [chars](qsizetype i) {
        const char16_t u = chars[i].unicode();
        return u < 256 ? int(u) : -1;
    });
}

namespace {

int byteAt(const char *chars, qsizetype i)
{
    return int(static_cast<Byte>(chars[i]));
}

} // namespace

QByteArray base64Decode(QByteArrayView text)
{
    const char *chars = text.data();
    return decode<QByteArray>(text.size(), [chars](qsizetype i) { return byteAt(chars, i); });
}

QString base64DecodeToText(QByteArrayView text)
{
    const char *chars = text.data();
    return decode<QString>(text.size(), [chars](qsizetype i) { return byteAt(chars, i); });
}
