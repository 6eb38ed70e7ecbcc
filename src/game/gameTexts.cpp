#include "gameTexts.h"

#include "dialogs.h"
#include "modVars.h"
#include "scoring.h"

QString boardTitle(std::optional<int> secondsLeft)
{
    if (!secondsLeft)
        return programTitle;
    return QString::number(*secondsLeft) + QStringLiteral(" seconds left - ") + programTitle;
}

QString completionText(int score, std::optional<int> secondsLeft)
{
    QString text = QStringLiteral("Chain complete. You scored ") + QString::number(score);
    if (secondsLeft) {
        text += QStringLiteral(" points, and had ") + QString::number(*secondsLeft) +
                QStringLiteral(" seconds left.");
    } else {
        text += QStringLiteral(" points.");
    }
    text += QStringLiteral(" During this session, you have played ") +
            QString::number(modVars.sessionGames) +
            QStringLiteral(" games, and have an average score of ") +
            QString::number(averageScore(modVars.sessionScore, modVars.sessionGames)) +
            QStringLiteral(". In total, you have played ") + QString::number(modVars.totalGames) +
            QStringLiteral(" games, and have an average score of ") +
            QString::number(averageScore(modVars.totalScore, modVars.totalGames)) +
            QStringLiteral(".");
    return text;
}

QString statsWriteFailureText(const QString &error)
{
    return error +
           QStringLiteral("\n\nYour statistics cannot be saved. You can go on playing; this "
                          "is not shown again until the game is restarted.");
}
