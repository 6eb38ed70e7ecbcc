#pragma once

#include <QByteArray>
#include <QByteArrayView>

#include <optional>

// One value per line, as the statistics and options files hold them: a plain decimal number
// or a mark "#TRUE#" / "#FALSE#", each line ended by CR LF. Spaces before a value are ignored;
// anything else that is not exactly such a value reads as nothing.

std::optional<int> readNumber(QByteArrayView line);
std::optional<bool> readMark(QByteArrayView line);

QByteArray numberLine(int value);
QByteArray markLine(bool value);
