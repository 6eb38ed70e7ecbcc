#pragma once

#include <QString>

class QWidget;

inline const QString programTitle = QStringLiteral("Quillora");

// Every modal box the game shows goes through here, so that tests can answer them.
class Dialogs
{
public:
    virtual ~Dialogs() = default;

    // A message with an OK button only and no icon.
    virtual void message(QWidget *parent, const QString &text,
                         const QString &title = programTitle) = 0;

    // A question with Yes and No; true for Yes.
    virtual bool question(QWidget *parent, const QString &text,
                          const QString &title = programTitle) = 0;

    // A text-input box with an empty default; Cancel gives an empty text.
    virtual QString input(QWidget *parent, const QString &prompt, const QString &title) = 0;
};
