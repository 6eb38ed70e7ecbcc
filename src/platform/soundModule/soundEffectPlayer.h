#pragma once

#include "soundModule.h"

#include <QObject>

#include <map>

class QSoundEffect;

// WAV files through QSoundEffect (PulseAudio on Linux); with no audio device it plays nothing.
class SoundEffectPlayer : public QObject, public WavPlayer
{
    Q_OBJECT
public:
    void play(const QString &path) override;
    void stop() override;

private:
    // Loading a WAV takes a while, so each effect is made once and kept.
    std::map<QString, QSoundEffect *> m_effects;
    QSoundEffect *m_playing = nullptr;
};

class SoundEffectModule : public QObject, public SoundModule
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID SoundModule_iid)
    Q_INTERFACES(SoundModule)
public:
    std::unique_ptr<WavPlayer> createWavPlayer() override;
};
