#pragma once

class Dialogs;
class Inet;
class QWidget;

// "Create New Chain": asks for the author's name and a chain and sends both to the update
// server. True when the menu should take the focus back (sent, or nothing to send); false when
// the server could not be reached, after the error message.
bool createNewChain(Inet &inet, Dialogs &dialogs, QWidget *parent);
