#pragma once

#include "chainGame.h"

#include <QString>

#include <optional>

// How the board writes a row of the chain: the word whole, a mask ("*" for a hidden letter or
// the letter itself, each followed by one space), or "[not known]".

inline const QString notKnownRow = QStringLiteral("[not known]");

QString rowText(const ChainGame &game, int row);

// What Ctrl+W shows for a row: its text without spaces; nothing for a word not yet known.
std::optional<QString> spellingOf(const ChainGame &game, int row);
