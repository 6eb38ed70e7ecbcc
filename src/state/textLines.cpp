#include "textLines.h"

QList<QByteArrayView> splitLines(QByteArrayView data)
{
    QList<QByteArrayView> lines;
    forEachLine(data, [&lines](QByteArrayView line) {
        lines.append(line);
        return true;
    });
    return lines;
}

QByteArrayView trimmedOfSpaces(QByteArrayView line)
{
    qsizetype begin = 0;
    qsizetype end = line.size();
    while (begin < end && line[begin] == ' ')
        ++begin;
    while (end > begin && line[end - 1] == ' ')
        --end;
    return line.sliced(begin, end - begin);
}
