#include "frmUpdate.h"

#include "chainDatabase.h"
#include "dialogs.h"
#include "inet.h"
#include "modVars.h"
#include "packageCheck.h"
#include "programFolder.h"
#include "wholeFile.h"

#include <QCoreApplication>

#include <algorithm>

namespace {

const QString versionPath = QStringLiteral("/chayn.ver");
const QString packagePath = QStringLiteral("/chayn.tx0");
const QString busyCaption = QStringLiteral("Updating Quillora Database. Please Wait.");

const QString introText = QStringLiteral(
    "Please ensure you are connected to the Internet, then press enter to check the Quillora "
    "database and update your copy with the latest chains. Please be patient as it may take up "
    "to 30 seconds to complete on a slow connection");
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

} // namespace

frmUpdate::frmUpdate(Inet &inet, Dialogs &dialogs, QWidget *menuWindow, QWidget *parent)
    : QWidget(parent)
    , m_inet(inet)
    , m_dialogs(dialogs)
    , m_menuWindow(menuWindow)
{
    setWindowTitle(QStringLiteral("Update Quillora Database"));
    // Wide enough that the window manager shows the whole "Please Wait." caption, with room
    // for the title bar's buttons, at any font size.
    const int captionWidth = fontMetrics().horizontalAdvance(busyCaption) + 160;
    setMinimumSize(std::max(312, captionWidth), 206);
    resize(minimumSize());
}

void frmUpdate::updateIt(bool fromAuto)
{
    if (!fromAuto)
        m_dialogs.message(this, introText);
    setWindowTitle(busyCaption);

    const std::optional<QString> message = fetchAndInstall(fromAuto);
    if (!message)
        m_dialogs.message(this, errorText);
    else if (!message->isEmpty())
        m_dialogs.message(this, *message);
    finish();
}

std::optional<QString> frmUpdate::fetchAndInstall(bool fromAuto)
{
    const std::optional<QString> versionReply = m_inet.openUrl(versionPath);
    if (!versionReply || versionReply->size() < 2)
        return std::nullopt;
    // The version is sent with its CR LF line end.
    if (versionReply->chopped(2) == modVars.dbVersion)
        return fromAuto ? QString() : latestText;

    const std::optional<QString> packageReply = m_inet.openUrl(packagePath);
    if (!packageReply)
        return std::nullopt;
    const QByteArray package = packageReply->toLatin1();
    // Checked before anything is written: whatever the server sends, a reply that is not a
    // chain database never replaces the player's own.
    if (!isChainDatabasePackage(package))
        return std::nullopt;
    if (!writeWholeFile(playerFile(chainDatabaseFileName), package + "\r\n", nullptr))
        return std::nullopt;

    const int before = modVars.chainCount;
    if (!loadChains()) {
        // loadChains fails before it touches the table, so the old chains are still there.
        modVars.chainCount = before;
        return std::nullopt;
    }
    const int added = modVars.chainCount - before;
    if (added > 0)
        return addedText(added, fromAuto);
    return fromAuto ? QString() : noUpdatesText;
}

void frmUpdate::finish()
{
    if (m_menuWindow)
        m_menuWindow->show();
    hide();
    // Let the menu be drawn before anything else happens.
    QCoreApplication::processEvents();
}
