#pragma once

class Dialogs;

// Checks that the program can run from its folder. On failure it tells the player, with the
// title "Error", and returns false: the caller then ends the program at once, saving nothing.
bool startupCheck(Dialogs &dialogs);

inline constexpr char startupErrorText[] =
    "There was an error starting the program, please try again. The program will now exit.";
