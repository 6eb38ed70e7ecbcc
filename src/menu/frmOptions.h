#pragma once

#include "services.h"

#include <QDialog>

class FittedList;
class QCheckBox;
class QLabel;
class QPushButton;

// The options dialog: the clock game's time, sounds, advanced mode and automatic update.
// Made once and then only shown and hidden; OK stores, Cancel (Escape, closing the window)
// drops the changes, and both lead back to the menu.
class frmOptions : public QDialog
{
    Q_OBJECT
public:
    explicit frmOptions(const Services &services, QWidget *parent = nullptr);

    // Sets the controls from the options in use.
    void setWhich();

    void done(int result) override;

protected:
    void showEvent(QShowEvent *event) override;

signals:
    // Sent before the dialog hides, so that there is never a moment without a window.
    void backToMenu();

private:
    void okPressed();
    int chosenSeconds() const;

    const Services m_services;
    QLabel *lblTime;
    FittedList *lstTime;
    QCheckBox *chkSounds;
    QCheckBox *chkAdvanced;
    QCheckBox *chkAuto;
    QPushButton *cmdOK;
    QPushButton *cmdCancel;
};
