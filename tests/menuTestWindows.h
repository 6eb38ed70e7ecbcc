#pragma once

#include "chainDatabase.h"
#include "fakeServices.h"
#include "frmChoose.h"
#include "menuTexts.h"
#include "tempProgramFolder.h"

#include <QApplication>
#include <QListWidget>
#include <QTest>

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

inline QListWidget *listOf(const QWidget *window, const char *name)
{
    return window->findChild<QListWidget *>(QLatin1String(name));
}

template <typename Window> Window *topLevel()
{
    for (QWidget *widget : QApplication::topLevelWidgets())
        if (auto *window = qobject_cast<Window *>(widget))
            return window;
    return nullptr;
}

// A program folder with three chains, scripted services, and the main menu on them.
class MenuTest : public QObject
{
protected:
    void setUpMenu()
    {
        m_folder = std::make_unique<TempProgramFolder>();
        m_folder->write(chainDatabaseFileName, chainDatabaseText("8", numberedChains(3)));
        m_fakes = std::make_unique<FakeServices>();
    }
    void tearDownMenu()
    {
        m_menu.reset();
        m_fakes.reset();
        m_folder.reset();
    }
    bool start()
    {
        m_menu = std::make_unique<frmChoose>(m_fakes->services);
        m_list = listOf(m_menu.get(), "lstStyle");
        if (!m_menu->load())
            return false;
        m_menu->showMenu();
        return QTest::qWaitForWindowActive(m_menu.get());
    }
    void choose(int position)
    {
        m_list->setCurrentRow(position);
        typeKey(m_menu.get(), Qt::Key_Return);
    }

    std::unique_ptr<TempProgramFolder> m_folder;
    std::unique_ptr<FakeServices> m_fakes;
    std::unique_ptr<frmChoose> m_menu;
    QListWidget *m_list = nullptr;
};
