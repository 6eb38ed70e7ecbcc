#pragma once

#include <QString>

// The four options in options.dat: autoUpdate, clockSeconds, soundsOn, advancedMode.

inline const QString optionsFileName = QStringLiteral("options.dat");

// Sets the options from the file, or to their defaults when there is none (nothing is
// written then). A damaged file keeps every value that reads correctly; the rest take their
// defaults. Only a file that exists but cannot be read is a failure.
bool loadOptions(QString *errorMessage = nullptr);

// Sets autoUpdate, soundsOn and advancedMode (each true exactly when its state is 1) and writes
// the file; clockSeconds is the caller's to set. On a failed write the new options stay in use
// and the previous file stays whole.
bool saveOptions(int autoState, int seconds, int soundsState, int advancedState,
                 QString *errorMessage = nullptr);
