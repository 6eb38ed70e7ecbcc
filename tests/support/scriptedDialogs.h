#pragma once

#include "dialogs.h"

#include <QStringList>

#include <functional>

// Answers the game's modal boxes from a script and records what they said.
class ScriptedDialogs : public Dialogs
{
public:
    struct Shown
    {
        enum Kind { Message, Question, Input } kind;
        QString text;
        QString title;
    };

    void message(QWidget *parent, const QString &text, const QString &title) override;
    bool question(QWidget *parent, const QString &text, const QString &title) override;
    QString input(QWidget *parent, const QString &prompt, const QString &title) override;

    // Answers for the next questions (true is Yes) and input boxes, in order. With none left a
    // question is answered No and an input box is cancelled.
    QList<bool> questionAnswers;
    QStringList inputAnswers;

    // Runs while each box is open, before it is answered (to let time pass, say).
    std::function<void(const Shown &)> whileOpen;

    QList<Shown> shown;

    QStringList texts() const;
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    void clear() { shown.clear(); }
};
