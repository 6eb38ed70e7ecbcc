#pragma once

#include "frmChoose.h"
#include "frmOptions.h"
#include "tempProgramFolder.h"

#include <QApplication>
#include <QFile>
#include <QListWidget>
#include <QTest>

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

inline frmOptions *optionsWindow()
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *options = qobject_cast<frmOptions *>(widget))
            return options;
    }
    return nullptr;
}

inline QListWidget *listOf(const QWidget *window, const char *name)
{
    return window->findChild<QListWidget *>(QLatin1String(name));
}

// Leaves a file of that name that exists but cannot be read, even for root: reading the
// process's own memory from address 0 fails with an I/O error.
inline bool makeUnreadable(const TempProgramFolder &folder, const QString &name)
{
    return QFile::link(QStringLiteral("/proc/self/mem"), folder.filePath(name));
}
