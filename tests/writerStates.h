#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// The files the killed writer rewrites, each switching between two known states, so that
// whatever is on disk after a kill can be told apart: state 0 or 1, or torn.

enum class WrittenFile { Stats, Options, ChainDatabase };

// "stats", "options" or "chains".
std::optional<WrittenFile> writtenFileNamed(const QString &name);
QString fileNameOf(WrittenFile file);

// Sets the game state to state 0 or 1 of the file and writes it into the program folder the
// way the game does.
bool writeState(WrittenFile file, int state, QString *errorMessage);

// The chain database text of a state (made once; the writer asks for it before it starts).
const QByteArray &chainDatabaseState(int state);

// The number of chains loaded when the state was written.
int chainCountOf(WrittenFile file, int state);

// Whether the game state now holds what state `state` of the file holds, after its loader ran
// with chainCountOf(file, state) chains.
bool holdsState(WrittenFile file, int state);
