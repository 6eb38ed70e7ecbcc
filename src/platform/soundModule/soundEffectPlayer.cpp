#include "soundEffectPlayer.h"

#include <QSoundEffect>
#include <QUrl>

void SoundEffectPlayer::stop()
{
    if (m_playing)
        m_playing->stop();
    m_playing = nullptr;
}

void SoundEffectPlayer::play(const QString &path)
{
    stop();
    auto found = m_effects.find(path);
    if (found == m_effects.end()) {
        auto *effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(path));
        found = m_effects.emplace(path, effect).first;
    }
    m_playing = found->second;
    m_playing->play();
}

std::unique_ptr<WavPlayer> SoundEffectModule::createWavPlayer()
{
    return std::make_unique<SoundEffectPlayer>();
}
