#pragma once

#include <QByteArray>
#include <QString>

// Chain texts become bytes, and bytes become text, one byte per character in Latin-1.

// A character with no Latin-1 code is left out rather than replaced.
QByteArray toSingleByte(const QString &text);

QString fromSingleByte(const QByteArray &bytes);
