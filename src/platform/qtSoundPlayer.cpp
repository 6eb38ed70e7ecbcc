#include "qtSoundPlayer.h"

#include "fileExists.h"
#include "programFolder.h"

#include <QSoundEffect>
#include <QUrl>

void QtSoundPlayer::stop()
{
    if (m_playing)
        m_playing->stop();
    m_playing = nullptr;
}

void QtSoundPlayer::play(const QString &soundFileName)
{
    // A new sound replaces the one playing, even when its own file is missing and it plays
    // nothing.
    stop();
    const QString path = programFile(soundFileName);
    if (!fileExists(path))
        return;
    auto found = m_effects.find(path);
    if (found == m_effects.end()) {
        auto *effect = new QSoundEffect(this);
        effect->setSource(QUrl::fromLocalFile(path));
        found = m_effects.emplace(path, effect).first;
    }
    m_playing = found->second;
    m_playing->play();
}
