#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>
#include <QString>

// The lasting statistics in chaininfo.txt: totalGames, totalScore, then one completed mark
// per loaded chain, by position.

inline const QString statsFileName = QStringLiteral("chaininfo.txt");

// Where the statistics file is read and written.
QString statsFilePath();

struct Statistics
{
    int totalGames = 0;
    int totalScore = 0;
    QList<bool> completed; // the marks of chains 1, 2, ... in position order

    bool operator==(const Statistics &) const = default;
};

// Reads a statistics text holding marks for chainCount chains. A damaged value takes its
// default (0, or not completed) and the others still count; a missing mark is not completed,
// and marks past chainCount are ignored.
Statistics parseStats(QByteArrayView data, int chainCount);

// The file's text: each value on its own line, ended by CR LF.
QByteArray serializeStats(const Statistics &statistics);

// Sets totalGames, totalScore and the completed marks from the file; with no file they are 0,
// 0 and all false. Only a file that exists but cannot be read is a failure.
bool loadStats(QString *errorMessage = nullptr);

// Writes the totals and the marks of positions 1..chainCount. On failure the previous file
// stays whole.
bool saveStats(QString *errorMessage = nullptr);
