// A second yardstick of the start-up benchmark: a window with the same kinds of controls as the
// main menu (a list of seven entries, two buttons) and nothing else. What it costs over the bare
// window is what Qt needs to show any text at all: the font database, a font file, the style.

#include "quitWhenShown.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Controls window"));
    auto *list = new QListWidget(&window);
    list->addItems({QStringLiteral("Entry one"), QStringLiteral("Entry two"),
                    QStringLiteral("Entry three"), QStringLiteral("Entry four"),
                    QStringLiteral("Entry five"), QStringLiteral("Entry six"),
                    QStringLiteral("Entry seven")});
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(new QPushButton(QStringLiteral("&OK"), &window));
    buttons->addWidget(new QPushButton(QStringLiteral("E&xit"), &window));
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(list);
    layout->addLayout(buttons);
    quitWhenShown(&window);
    window.show();
    return QApplication::exec();
}
