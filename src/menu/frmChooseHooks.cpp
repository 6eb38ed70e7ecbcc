// Where the menu hands over to the board, the update and the chain contribution.

#include "chainContribution.h"
#include "frmChoose.h"
#include "frmUpdate.h"
#include "modVars.h"

void frmChoose::playGame(int position)
{
    // The board reads the mode from here: "0" standard, "1" clock.
    modVars.clockGame = QString::number(position);
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
