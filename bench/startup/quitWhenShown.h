#pragma once

class QWidget;

// Start-up benchmark builds only: ends the program with status 0 once the window has been
// painted for the first time, the moment a player would see it.
void quitWhenShown(QWidget *window);
