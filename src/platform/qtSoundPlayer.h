#pragma once

#include "soundPlayer.h"

#include <QObject>

#include <map>

class QSoundEffect;

// The game's sounds through QSoundEffect (PulseAudio on Linux); with no audio device they play
// nothing and the game goes on.
class QtSoundPlayer : public QObject, public SoundPlayer
{
public:
    void play(const QString &soundFileName) override;

private:
    void stop();

    // Loading a WAV takes a while, so each effect is made at its first sound and kept.
    std::map<QString, QSoundEffect *> m_effects;
    QSoundEffect *m_playing = nullptr;
};
