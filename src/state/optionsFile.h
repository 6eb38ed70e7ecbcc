#pragma once

#include "modVars.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// The four options in options.dat: autoUpdate, clockSeconds, soundsOn, advancedMode.

inline const QString optionsFileName = QStringLiteral("options.dat");

// Where the options file is read and written.
QString optionsFilePath();

struct GameOptions
{
    bool autoUpdate = defaultAutoUpdate;
    int clockSeconds = defaultClockSeconds;
    bool soundsOn = defaultSoundsOn;
    bool advancedMode = defaultAdvancedMode;

    bool operator==(const GameOptions &) const = default;
};

// Reads an options text. A damaged or missing value takes its default and the others still
// count; a clock time of zero or less is damaged too.
GameOptions parseOptions(QByteArrayView data);

// The file's text: four lines, each ended by CR LF.
QByteArray serializeOptions(const GameOptions &options);

// Sets the options from the file, or to their defaults when there is none (nothing is
// written then). Only a file that exists but cannot be read is a failure.
bool loadOptions(QString *errorMessage = nullptr);

// Sets autoUpdate, soundsOn and advancedMode (each true exactly when its state is 1) and writes
// the file; clockSeconds is the caller's to set. On a failed write the new options stay in use
// and the previous file stays whole.
bool saveOptions(int autoState, int seconds, int soundsState, int advancedState,
                 QString *errorMessage = nullptr);
