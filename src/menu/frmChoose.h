#pragma once

#include "services.h"

#include <QDialog>

#include <memory>

class FittedList;
class Inet;
class QPushButton;
class frmOptions;
class frmUpdate;

// The main menu: the program's first window and the hub every other window returns to.
// Built on QDialog so that Enter presses OK and Escape presses Exit; shown modeless.
class frmChoose : public QDialog
{
    Q_OBJECT
public:
    explicit frmChoose(const Services &services, QWidget *parent = nullptr);
    ~frmChoose() override;

    // The start-up sequence. False when the program must end; the player has been told why.
    bool load();

    // The HTTP client of the update and the chain contribution.
    Inet &inet() const { return *m_inet; }

public slots:
    // Brings the menu back with the entry last used still selected and the list focused.
    void showMenu();

    // Escape and closing the window come here: like Exit, they end the program.
    void reject() override;

signals:
    // Exit, Escape or closing the menu: the program ends at once, nothing is written.
    void exitRequested();

private:
    void okPressed();
    void setOptions();
    bool loadFile(bool (*loader)(QString *), const QString &fileName);

    // Positions 0 and 1: start a game on the board.
    void playGame(int position);
    // "Update Database", and the automatic update at start-up when fromAuto is true.
    void updateDatabase(bool fromAuto);
    // Position 3: send a chain of the player's own; true when the focus goes back to the list.
    bool createNewChain();

    const Services m_services;
    FittedList *lstStyle;
    QPushButton *cmdOK;
    QPushButton *cmdExit;
    Inet *m_inet;
    // Made on first use, then only shown and hidden.
    std::unique_ptr<frmOptions> m_options;
    std::unique_ptr<frmUpdate> m_update;
};
