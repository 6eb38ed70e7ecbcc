#pragma once

#include <QString>

// The lasting statistics in chaininfo.txt: totalGames, totalScore, then one completed mark
// per loaded chain, by position.

inline const QString statsFileName = QStringLiteral("chaininfo.txt");

// Sets totalGames, totalScore and the completed marks from the file; with no file they are 0,
// 0 and all false. A damaged file keeps every value that reads correctly; the rest take their
// defaults. Only a file that exists but cannot be read is a failure.
bool loadStats(QString *errorMessage = nullptr);

// Writes the totals and the marks of positions 1..chainCount. On failure the previous file
// stays whole.
bool saveStats(QString *errorMessage = nullptr);
