#pragma once

#include "soundPlayer.h"

#include <QObject>

#include <map>

class QSoundEffect;

class QtSoundPlayer : public QObject, public SoundPlayer
{
    Q_OBJECT
public:
    explicit QtSoundPlayer(QObject *parent = nullptr);
    void play(const QString &soundFileName) override;

private:
    QSoundEffect *effectFor(const QString &soundFileName);

    // Loading a WAV takes a while, so each effect is made once and kept.
    std::map<QString, QSoundEffect *> m_effects;
    QSoundEffect *m_playing = nullptr;
};
