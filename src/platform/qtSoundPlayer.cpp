#include "qtSoundPlayer.h"

#include "fileExists.h"
#include "moduleLoader.h"
#include "programFolder.h"
#include "soundModule.h"

#include <QDebug>

QtSoundPlayer::QtSoundPlayer() = default;

QtSoundPlayer::~QtSoundPlayer() = default;

void QtSoundPlayer::play(const QString &soundFileName)
{
    const QString path = programFile(soundFileName);
    if (!fileExists(path)) {
        // Still a new sound: the one playing stops, and nothing takes its place.
        if (m_player)
            m_player->stop();
        return;
    }
    if (!m_moduleTried) {
        m_moduleTried = true;
        QString error;
        if (auto *module = loadModule<SoundModule>(SoundModule::fileName, &error))
            m_player = module->createWavPlayer();
        else
            qWarning().noquote() << error << "- the game goes on without sound.";
    }
    if (m_player)
        m_player->play(path);
}
