#pragma once

#include "soundPlayer.h"

#include <memory>

class WavPlayer;

// The game's sounds, played by the sound module, which is loaded at the first sound. Without
// the module the game goes on silently.
class QtSoundPlayer : public SoundPlayer
{
public:
    QtSoundPlayer();
    ~QtSoundPlayer() override;
    void play(const QString &soundFileName) override;

private:
    std::unique_ptr<WavPlayer> m_player;
    bool m_moduleTried = false;
};
