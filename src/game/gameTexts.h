#pragma once

#include <QString>

#include <optional>

// What the board says to the player.

inline const QString oneLetterLeftText =
    QStringLiteral("All letters have been given except one. Please guess the word.");
inline const QString correctText = QStringLiteral("Correct!");
inline const QString notCorrectText = QStringLiteral("That is not correct.");
inline const QString timeUpText = QStringLiteral("Time's up! You lose!");
inline const QString reallyEndText = QStringLiteral("Really end the game?");
inline const QString noChainsText = QStringLiteral("There are no chains in your database.");
inline const QString noPlayableChainText =
    QStringLiteral("None of the chains in your database can be played.");

// The title: "Quillora", or in a clock game the seconds left before it.
QString boardTitle(std::optional<int> secondsLeft);

// The score message of a finished chain; secondsLeft only in a clock game.
QString completionText(int score, std::optional<int> secondsLeft);

// Told once per run when the statistics file cannot be written.
QString statsWriteFailureText(const QString &error);
