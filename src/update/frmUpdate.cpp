#include "frmUpdate.h"

#include "databaseUpdate.h"
#include "dialogs.h"
#include "inet.h"

#include <QCoreApplication>

#include <algorithm>

frmUpdate::frmUpdate(Inet &inet, Dialogs &dialogs, QWidget *menuWindow, QWidget *parent)
    : QWidget(parent)
    , m_inet(inet)
    , m_dialogs(dialogs)
    , m_menuWindow(menuWindow)
{
    setWindowTitle(QStringLiteral("Update Quillora Database"));
    // Wide enough that the window manager shows the whole "Please Wait." caption, with room
    // for the title bar's buttons, at any font size.
    const int captionWidth = fontMetrics().horizontalAdvance(updateBusyCaption) + 160;
    setMinimumSize(std::max(312, captionWidth), 206);
    resize(minimumSize());
}

void frmUpdate::updateIt(bool fromAuto)
{
    if (!fromAuto)
        m_dialogs.message(this, updateIntroText);
    // Not set back afterwards: the next manual update shows it from the start.
    setWindowTitle(updateBusyCaption);

    const UpdateOutcome outcome =
        runUpdate([this](const QString &path) { return m_inet.openUrl(path); }, fromAuto);
    if (!outcome.message.isEmpty())
        m_dialogs.message(this, outcome.message);

    if (m_menuWindow)
        m_menuWindow->show();
    hide();
    // Let the menu be drawn before anything else happens.
    QCoreApplication::processEvents();
}
