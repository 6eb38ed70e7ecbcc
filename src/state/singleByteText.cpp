#include "singleByteText.h"

QByteArray toSingleByte(const QString &text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    for (const QChar c : text) {
        if (c.unicode() < 256)
            bytes.append(static_cast<char>(c.unicode()));
    }
    return bytes;
}

QString fromSingleByte(const QByteArray &bytes)
{
    return QString::fromLatin1(bytes);
}
