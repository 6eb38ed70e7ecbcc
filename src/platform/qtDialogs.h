#pragma once

#include "dialogs.h"

class QtDialogs : public Dialogs
{
public:
    void message(QWidget *parent, const QString &text, const QString &title) override;
    bool question(QWidget *parent, const QString &text, const QString &title) override;
    QString input(QWidget *parent, const QString &prompt, const QString &title) override;
};
