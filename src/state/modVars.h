#pragma once

#include <QString>

#include <array>

// The one game state every window shares for the whole run.

constexpr int maxChains = 10000;
// No chain is dealt twice within this many consecutive games of a session.
constexpr int usedLimit = 50;

// The options when there is no options file.
constexpr int defaultClockSeconds = 120;
constexpr bool defaultSoundsOn = true;
constexpr bool defaultAutoUpdate = false;
constexpr bool defaultAdvancedMode = false;

struct GameState
{
    // Positions 1..maxChains; slot 0 is never used.
    std::array<QString, maxChains + 1> chainTable;
    int chainCount = 0;
    std::array<bool, maxChains + 1> chainUsed{};
    int usedCount = 0;
    std::array<bool, maxChains + 1> chainCompleted{};

    int sessionGames = 0;
    int sessionScore = 0;
    int totalGames = 0;
    int totalScore = 0;

    QString dbVersion;
    // "0" for a standard game, "1" for a clock game: the position of the chosen menu entry.
    QString clockGame;

    int clockSeconds = defaultClockSeconds;
    bool soundsOn = defaultSoundsOn;
    bool autoUpdate = defaultAutoUpdate;
    bool advancedMode = defaultAdvancedMode;

    // A statistics file that cannot be written is told to the player once per run, not at
    // every game.
    bool statsWriteFailureShown = false;
};

extern GameState modVars;

// Back to the state of a freshly started program (tests use it between cases).
void resetModVars();

// Clears every used mark, at all positions whatever chainCount is.
void resetUsedChains();

// Completed chains among positions 1..chainCount.
int countCompleted();

// clockGame read as a number: any value other than 0 is a clock game.
bool isClockGame();
