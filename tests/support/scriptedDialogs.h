#pragma once

#include "dialogs.h"

#include <QStringList>

#include <functional>

// Answers the game's modal boxes from a script and records them. With no answer left a
// question is answered No and an input box is cancelled; whileOpen runs before each answer.
struct ScriptedDialogs : Dialogs
{
    struct Shown
    {
        enum Kind { Message, Question, Input } kind;
        QString text;
        QString title;
    };

    void message(QWidget *, const QString &text, const QString &title) override
    {
        record({Shown::Message, text, title});
    }
    bool question(QWidget *, const QString &text, const QString &title) override
    {
        record({Shown::Question, text, title});
        return !questionAnswers.isEmpty() && questionAnswers.takeFirst();
    }
    QString input(QWidget *, const QString &prompt, const QString &title) override
    {
        record({Shown::Input, prompt, title});
        return inputAnswers.isEmpty() ? QString() : inputAnswers.takeFirst();
    }
    void record(const Shown &box)
    {
        shown.append(box);
        if (whileOpen)
            whileOpen(box);
    }

    QStringList texts() const
    {
        QStringList texts;
        for (const Shown &box : shown)
            texts.append(box.text);
        return texts;
    }
    QString lastText() const { return shown.isEmpty() ? QString() : shown.last().text; }
    void clear() { shown.clear(); }

    QList<bool> questionAnswers;
    QStringList inputAnswers;
    std::function<void(const Shown &)> whileOpen;
    QList<Shown> shown;
};
