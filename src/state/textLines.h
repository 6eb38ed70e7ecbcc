#pragma once

#include <QByteArrayView>
#include <QList>

// The lines of a text file, without their line ends. A line ends with CR LF or with a bare LF;
// a last line without a line end still counts, and a file ending in a line end has no empty
// line after it.
QList<QByteArrayView> splitLines(QByteArrayView data);

// The line without the space characters at its start and end (tabs stay).
QByteArrayView trimmedOfSpaces(QByteArrayView line);
