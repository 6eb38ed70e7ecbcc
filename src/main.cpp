#include "frmChoose.h"
#include "qtDialogs.h"
#include "qtHttpGetter.h"
#include "qtSoundPlayer.h"
#include "services.h"
#include "systemRandom.h"
#include "systemTicks.h"

#include <QApplication>

#ifdef QUILLORA_QUIT_WHEN_SHOWN
#include "quitWhenShown.h"
#endif

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    // Windows take turns on screen; the program ends only when the menu says so.
    QApplication::setQuitOnLastWindowClosed(false);

    QtDialogs dialogs;
    QtSoundPlayer sound;
    SystemTicks ticks;
    SystemRandom random;
    QtHttpGetter http;
    const Services services{dialogs, sound, ticks, random, http};

    frmChoose menu(services);
    // At once, with no window asked to close first.
    QObject::connect(&menu, &frmChoose::exitRequested, &app, [] { QApplication::exit(0); });
    if (!menu.load())
        return 1;
#ifdef QUILLORA_QUIT_WHEN_SHOWN
    // Only the start-up benchmark's own build of the game stops here; the game never does.
    quitWhenShown(&menu);
#endif
    menu.showMenu();
    return QApplication::exec();
}
