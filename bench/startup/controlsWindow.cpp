// A second yardstick of the start-up benchmark: the main menu's window as plain Qt builds it,
// with nothing of the game behind it: the same title, list entries and buttons, the default
// button, the first entry current and the focus in the list. What it costs over the bare window
// is what Qt needs to show that menu at all (the font database, a font file, the style, the
// glyphs); what the game costs over it is its own work.

#include "menuTexts.h"
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
    window.setWindowTitle(QStringLiteral("Quillora - Main Menu"));
    auto *list = new QListWidget(&window);
    list->addItems(menuEntries());
    list->setCurrentRow(0);
    auto *ok = new QPushButton(QStringLiteral("&OK"), &window);
    ok->setDefault(true);
    auto *buttons = new QHBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(new QPushButton(QStringLiteral("E&xit"), &window));
    auto *layout = new QVBoxLayout(&window);
    layout->addWidget(list);
    layout->addLayout(buttons);
    quitWhenShown(&window);
    window.show();
    window.activateWindow();
    list->setFocus();
    return QApplication::exec();
}
