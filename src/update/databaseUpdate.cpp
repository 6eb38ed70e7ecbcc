#include "databaseUpdate.h"

#include "modVars.h"
#include "packageCheck.h"
#include "wholeFile.h"

namespace {

const QString versionPath = QStringLiteral("/chayn.ver");
const QString packagePath = QStringLiteral("/chayn.tx0");

const QString errorText = QStringLiteral(
    "Error. Torvel Games Update server could not be contacted. Please make sure you are "
    "connected to the Internet and try again");
const QString latestText =
    QStringLiteral("You have the latest version of the database. No new updates are available.");
const QString noUpdatesText = QStringLiteral("No updates are available.");

QString addedText(int added, bool fromAuto)
{
    if (fromAuto) {
        return QStringLiteral("A new update of the Quillora database has been downloaded and "
                              "installed. %1 chains have been added. Enjoy!")
            .arg(added);
    }
    return QStringLiteral("Update successful! %1 chains added to database. Enjoy!").arg(added);
}

// The version is one line: the reply without the line end it has, CR LF or a lone LF. A
// reply shorter than two characters is not a version.
std::optional<QString> versionOfReply(const std::optional<QString> &reply)
{
    if (!reply || reply->size() < 2)
        return std::nullopt;
    if (reply->endsWith(QLatin1String("\r\n")))
        return reply->chopped(2);
    return reply->endsWith(QLatin1Char('\n')) ? reply->chopped(1) : *reply;
}

} // namespace

UpdateOutcome runUpdate(const UpdateFetch &fetch, bool fromAuto,
                        const std::function<bool()> &reloadChains)
{
    using Result = UpdateOutcome::Result;
    const UpdateOutcome failed{Result::Failed, 0, errorText};

    const std::optional<QString> version = versionOfReply(fetch(versionPath));
    if (!version)
        return failed;
    if (*version == modVars.dbVersion)
        return {Result::UpToDate, 0, fromAuto ? QString() : latestText};

    const std::optional<QString> packageReply = fetch(packagePath);
    if (!packageReply)
        return failed;
    const QByteArray package = packageReply->toLatin1();
    // Checked before anything is written: whatever the server sends, a reply that is not a
    // chain database never replaces the player's own.
    if (!isChainDatabasePackage(package) ||
        !writeWholeFile(updatedChainDatabasePath(), package + "\r\n", nullptr))
        return failed;

    const int before = modVars.chainCount;
    if (!reloadChains()) {
        // A failed load stops before it touches the table, so the old chains are still there.
        modVars.chainCount = before;
        return failed;
    }
    const int added = modVars.chainCount - before;
    if (added > 0)
        return {Result::Installed, added, addedText(added, fromAuto)};
    return {Result::Installed, added, fromAuto ? QString() : noUpdatesText};
}
