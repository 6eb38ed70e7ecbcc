#pragma once

#include <QString>

inline const QString correctWordSound = QStringLiteral("correctword.wav");
inline const QString finishChainSound = QStringLiteral("finishchain.wav");
inline const QString timeUpSound = QStringLiteral("timeup.wav");

// Plays a WAV file of the program folder without waiting for it; a new sound replaces one
// still playing, and a missing file plays nothing and says nothing. Callers check soundsOn.
class SoundPlayer
{
public:
    virtual ~SoundPlayer() = default;
    virtual void play(const QString &soundFileName) = 0;
};
