#include "valueLines.h"

#include "textLines.h"

#include <charconv>

namespace {

const QByteArray trueMark = QByteArrayLiteral("#TRUE#");
const QByteArray falseMark = QByteArrayLiteral("#FALSE#");
const QByteArray lineEnd = QByteArrayLiteral("\r\n");

} // namespace

std::optional<int> readNumber(QByteArrayView line)
{
    const QByteArrayView text = trimmedOfSpaces(line);
    if (text.isEmpty())
        return std::nullopt;
    int value = 0;
    const char *end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value);
    if (error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::optional<bool> readMark(QByteArrayView line)
{
    const QByteArrayView text = trimmedOfSpaces(line);
    if (text == trueMark)
        return true;
    if (text == falseMark)
        return false;
    return std::nullopt;
}

QByteArray numberLine(int value)
{
    return QByteArray::number(value) + lineEnd;
}

QByteArray markLine(bool value)
{
    return (value ? trueMark : falseMark) + lineEnd;
}
