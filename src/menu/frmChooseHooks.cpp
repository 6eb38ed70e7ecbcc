// Where the menu hands over to the board, the update and the chain contribution.

#include "frmChoose.h"

#include "modVars.h"

void frmChoose::playGame(int position)
{
    // The board reads the mode from here: "0" standard, "1" clock.
    modVars.clockGame = QString::number(position);
}

void frmChoose::updateDatabase(bool fromAuto)
{
    Q_UNUSED(fromAuto);
}

bool frmChoose::createNewChain()
{
    return true;
}
