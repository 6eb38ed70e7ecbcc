#pragma once

#include <QPointer>
#include <QWidget>

#include <optional>

class Dialogs;
class Inet;

// The database update window: fetches the server's version and, when it differs from ours,
// the whole chain database, installs it and reports the chains added.
class frmUpdate : public QWidget
{
    Q_OBJECT
public:
    // menuWindow is shown again at the end of every update.
    frmUpdate(Inet &inet, Dialogs &dialogs, QWidget *menuWindow, QWidget *parent = nullptr);

    // Runs to its end; afterwards the menu window is visible and this window hidden, whatever
    // happened. fromAuto is true for the update at start-up, which stays silent unless it
    // installs new chains or fails.
    void updateIt(bool fromAuto);

private:
    // The message to show on success (empty for none), or nothing on any failure.
    std::optional<QString> fetchAndInstall(bool fromAuto);
    void finish();

    Inet &m_inet;
    Dialogs &m_dialogs;
    QPointer<QWidget> m_menuWindow;
};
