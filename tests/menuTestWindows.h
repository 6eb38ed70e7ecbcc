#pragma once

#include "chainDatabase.h"
#include "fakeServices.h"
#include "frmChoose.h"
#include "frmOptions.h"
#include "inet.h"
#include "menuTexts.h"
#include "tempProgramFolder.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QTest>

#include <memory>

// Helpers for driving the menu windows as a player would.

inline const QStringList sampleChains = {
    QStringLiteral("fire place card board game show boat"),
    QStringLiteral("sun light house hold fast food chain"),
    QStringLiteral("rain bow tie break down town hall"),
};

// Keys go to the window as if typed: the focused control sees them first.
inline void typeKey(QWidget *window, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QTest::keyClick(window->windowHandle(), key, modifiers);
}

inline void typeText(QWidget *window, const char *text)
{
    for (const char *c = text; *c; ++c)
        QTest::keyClick(window->windowHandle(), *c);
}

// The program's one window of that kind, or null.
template <typename Window> Window *topLevel()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<Window *>(widget))
            return window;
    }
    return nullptr;
}

inline QListWidget *listOf(const QWidget *window, const char *name)
{
    return window->findChild<QListWidget *>(QLatin1String(name));
}

// Leaves a file of that name that exists but cannot be read, even for root: reading the
// process's own memory from address 0 fails with an I/O error.
inline QStringList entriesOf(const QListWidget *list)
{
    QStringList texts;
    for (int i = 0; i < list->count(); ++i)
        texts.append(list->item(i)->text());
    return texts;
}

inline QString selectedText(const QListWidget *list)
{
    const QList<QListWidgetItem *> selected = list->selectedItems();
    return selected.size() == 1 ? selected.first()->text() : QString();
}

inline bool makeUnreadable(const TempProgramFolder &folder, const QString &name)
{
    return QFile::link(QStringLiteral("/proc/self/mem"), folder.filePath(name));
}

// A program folder with the sample chains, scripted services, and the main menu on them.
class MenuTest : public QObject
{
protected:
    void setUpMenu()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        m_folder->write(chainDatabaseFileName,
                        chainDatabaseText(QStringLiteral("8"), sampleChains));
        m_fakes = std::make_unique<FakeServices>();
    }

    void tearDownMenu()
    {
        m_menu.reset();
        m_fakes.reset();
        m_folder.reset();
    }

    // Loads and shows the menu on the folder's files; false when loading failed.
    bool start(const QString &host = {})
    {
        m_menu = std::make_unique<frmChoose>(m_fakes->services);
        if (!host.isEmpty())
            m_menu->inet().setHost(host);
        m_list = listOf(m_menu.get(), "lstStyle");
        if (!m_menu->load())
            return false;
        m_menu->showMenu();
        return QTest::qWaitForWindowActive(m_menu.get());
    }

    void choose(int position)
    {
        typeKey(m_menu.get(), Qt::Key_Home);
        for (int i = 0; i < position; ++i)
            typeKey(m_menu.get(), Qt::Key_Down);
        typeKey(m_menu.get(), Qt::Key_Return);
    }

    QString selectedEntry() const { return selectedText(m_list); }

    // Chooses "Set Options" and waits until the dialog has the focus; null if it has not.
    frmOptions *openOptions()
    {
        choose(setOptionsEntry);
        frmOptions *const options = topLevel<frmOptions>();
        return options && QTest::qWaitForWindowActive(options) ? options : nullptr;
    }

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<frmChoose> m_menu;
    QListWidget *m_list = nullptr;
};
