#pragma once

#include <QByteArrayView>
#include <QList>

// The lines of a text file, without their line ends. A line ends with CR LF or with a bare LF;
// a last line without a line end still counts, and a file ending in a line end has no empty
// line after it.
QList<QByteArrayView> splitLines(QByteArrayView data);

// The same lines handed one at a time to lineHandler, which returns false to stop early.
template <typename LineHandler> void forEachLine(QByteArrayView data, LineHandler lineHandler)
{
    qsizetype start = 0;
    while (start < data.size()) {
        qsizetype end = data.indexOf('\n', start);
        const qsizetype next = end < 0 ? data.size() : end + 1;
        if (end < 0)
            end = data.size();
        qsizetype length = end - start;
        if (end < data.size() && length > 0 && data[end - 1] == '\r')
            --length;
        if (!lineHandler(data.sliced(start, length)))
            return;
        start = next;
    }
}

// The line without the space characters at its start and end (tabs stay).
QByteArrayView trimmedOfSpaces(QByteArrayView line);
