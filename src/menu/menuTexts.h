#pragma once

#include "scoring.h" // averageScore, shared with the board

#include <QString>
#include <QStringList>

// The entries of the main menu, in the order the OK button dispatches on.
enum MenuEntry {
    playStandardEntry,
    playClockEntry,
    updateDatabaseEntry,
    createNewChainEntry,
    displayScoreEntry,
    countChainsEntry,
    setOptionsEntry,
};

QStringList menuEntries();

// What "Display Score" and "Count Chains" tell the player, from the game state.
QString scoreText();
QString countText();

// Why the program cannot start or go on: the file, its folder and the reason.
QString startupFailureText(const QString &fileName, const QString &reason);
QString optionsUnreadableText(const QString &reason);
QString optionsNotSavedText(const QString &reason);
