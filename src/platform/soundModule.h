#pragma once

#include <QString>
#include <QtPlugin>

#include <memory>

// Plays a WAV file, given by its full path, without waiting for it; a new sound replaces one
// still playing.
class WavPlayer
{
public:
    virtual ~WavPlayer() = default;
    virtual void play(const QString &path) = 0;
    virtual void stop() = 0;
};

// What the sound module offers.
class SoundModule
{
public:
    static inline const QString fileName = QStringLiteral("quillora_sound");

    virtual ~SoundModule() = default;
    virtual std::unique_ptr<WavPlayer> createWavPlayer() = 0;
};

#define SoundModule_iid "org.quillora.SoundModule/1"
Q_DECLARE_INTERFACE(SoundModule, SoundModule_iid)
