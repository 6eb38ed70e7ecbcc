#include "qtSoundPlayer.h"

#include "fileExists.h"
#include "programFolder.h"

#include <QSoundEffect>
#include <QUrl>

QtSoundPlayer::QtSoundPlayer(QObject *parent)
    : QObject(parent)
{
}

QSoundEffect *QtSoundPlayer::effectFor(const QString &soundFileName)
{
    auto found = m_effects.find(soundFileName);
    if (found != m_effects.end())
        return found->second;
    const QString path = programFile(soundFileName);
    if (!fileExists(path))
        return nullptr;
    auto *effect = new QSoundEffect(this);
    effect->setSource(QUrl::fromLocalFile(path));
    m_effects.emplace(soundFileName, effect);
    return effect;
}

void QtSoundPlayer::play(const QString &soundFileName)
{
    if (m_playing)
        m_playing->stop();
    m_playing = effectFor(soundFileName);
    if (m_playing)
        m_playing->play();
}
