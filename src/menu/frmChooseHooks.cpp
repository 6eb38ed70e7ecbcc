// Where the menu hands over to the board, the update and the chain contribution.

#include "frmChoose.h"

#include "chainContribution.h"
#include "frmMain.h"
#include "frmUpdate.h"
#include "modVars.h"

void frmChoose::playGame(int position)
{
    // The board reads the mode from here: "0" standard, "1" clock.
    modVars.clockGame = QString::number(position);
    // One board per game, a window of its own: it deletes itself when its game ends (and
    // when no game could start).
    auto *board = new frmMain(m_services);
    board->setAttribute(Qt::WA_DeleteOnClose);
    connect(board, &frmMain::gameEnded, this, &frmChoose::showMenu);
    connect(board, &frmMain::exitRequested, this, &frmChoose::exitRequested);
    if (board->load())
        hide();
}

void frmChoose::updateDatabase(bool fromAuto)
{
    if (!m_update)
        m_update = std::make_unique<frmUpdate>(*m_inet, m_services.dialogs, this);
    if (fromAuto) {
        // At start-up nothing is shown while the requests run.
        m_update->updateIt(true);
        return;
    }
    m_update->show();
    hide();
    m_update->updateIt(false);
    // The update has shown the menu again; give it the list focus as every return does.
    showMenu();
}

bool frmChoose::createNewChain()
{
    return ::createNewChain(*m_inet, m_services.dialogs, this);
}
