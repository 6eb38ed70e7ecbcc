// The yardstick of the start-up benchmark: the least a Qt Widgets program does to show one
// window, ended the same way as the game's benchmark build.

#include "quitWhenShown.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare window"));
    window.resize(312, 213);
    quitWhenShown(&window);
    window.show();
    return QApplication::exec();
}
