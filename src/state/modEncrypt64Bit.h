#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// Base64 with the standard alphabet and "=" padding, as the chain files store it.
// The encoder never breaks lines. The decoder is lenient in its own exact way: it skips every
// character outside the alphabet, takes "=" anywhere ("=" in the third or fourth place of a
// group removes one byte of that group, in the first or second place it is the value 0), goes
// on after a padded group from the reduced position and drops an incomplete last group.

QString base64Encode(const QByteArray &bytes);

// Characters are taken one byte each in Latin-1; a character beyond Latin-1 has no code there
// and is skipped like any other character outside the alphabet.
QByteArray base64Decode(const QString &text);

// The same on text that is already one byte per character (a line of a chain file).
QByteArray base64Decode(QByteArrayView text);

// The same, with the bytes as text one character each (Latin-1): what a chain line holds, made
// without an intermediate byte array.
QString base64DecodeToText(QByteArrayView text);
