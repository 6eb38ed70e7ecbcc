#pragma once

#include <QPointer>
#include <QWidget>

class Dialogs;
class Inet;

// The database update window: shows what the update (runUpdate) has to say while it fetches
// through the menu's Inet.
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
    Inet &m_inet;
    Dialogs &m_dialogs;
    QPointer<QWidget> m_menuWindow;
};
