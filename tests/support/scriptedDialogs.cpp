#include "scriptedDialogs.h"

void ScriptedDialogs::message(QWidget *, const QString &text, const QString &title)
{
    shown.append({Shown::Message, text, title});
    if (whileOpen)
        whileOpen(shown.last());
}

bool ScriptedDialogs::question(QWidget *, const QString &text, const QString &title)
{
    shown.append({Shown::Question, text, title});
    if (whileOpen)
        whileOpen(shown.last());
    return questionAnswers.isEmpty() ? false : questionAnswers.takeFirst();
}

QString ScriptedDialogs::input(QWidget *, const QString &prompt, const QString &title)
{
    shown.append({Shown::Input, prompt, title});
    if (whileOpen)
        whileOpen(shown.last());
    return inputAnswers.isEmpty() ? QString() : inputAnswers.takeFirst();
}

QStringList ScriptedDialogs::texts() const
{
    QStringList result;
    for (const Shown &box : shown)
        result.append(box.text);
    return result;
}
