#include "menuTexts.h"

#include "modVars.h"
#include "programFolder.h"

#include <QDir>
#include <QFileInfo>

QStringList menuEntries()
{
    return {
        QStringLiteral("Play Standard Game"), QStringLiteral("Play Clock Game"),
        QStringLiteral("Update Database"),    QStringLiteral("Create New Chain"),
        QStringLiteral("Display Score"),      QStringLiteral("Count Chains"),
        QStringLiteral("Set Options"),
    };
}

QString scoreText()
{
    return QStringLiteral("During this session, you have played %1 games, and have an average "
                          "score of %2. In total, you have played %3 games, and have an average "
                          "score of %4.")
        .arg(modVars.sessionGames)
        .arg(averageScore(modVars.sessionScore, modVars.sessionGames))
        .arg(modVars.totalGames)
        .arg(averageScore(modVars.totalScore, modVars.totalGames));
}

QString countText()
{
    return QStringLiteral("There are %1 chains in your database. You have completed %2 of them.")
        .arg(modVars.chainCount)
        .arg(countCompleted());
}

namespace {

// The folder the game looked in for a file: its player's folder, or the program's for a file
// only the program has.
QString nativeFolder(const QString &fileName)
{
    return QDir::toNativeSeparators(QFileInfo(readableFile(fileName)).absolutePath());
}

} // namespace

QString startupFailureText(const QString &fileName, const QString &reason)
{
    return QStringLiteral("Quillora cannot start: the file \"%1\" in the folder \"%2\" cannot be "
                          "used.\n\n%3\n\nThe program will now exit.")
        .arg(fileName, nativeFolder(fileName), reason);
}

QString optionsUnreadableText(const QString &reason)
{
    return QStringLiteral("Your options could not be read from the file \"options.dat\" in the "
                          "folder \"%1\".\n\n%2\n\nThe game goes on with the standard options "
                          "until you choose Set Options and press OK.")
        .arg(QDir::toNativeSeparators(playerFolder()), reason);
}

QString optionsNotSavedText(const QString &reason)
{
    return QStringLiteral("Your options could not be saved in the file \"options.dat\" in the "
                          "folder \"%1\".\n\n%2\n\nThey are in use until the game ends, but the "
                          "next start will not have them.")
        .arg(QDir::toNativeSeparators(playerFolder()), reason);
}
