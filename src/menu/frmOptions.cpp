#include "frmOptions.h"

#include "dialogs.h"
#include "fittedList.h"
#include "menuTexts.h"
#include "modVars.h"
#include "optionsFile.h"
#include "twips.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>

#include <initializer_list>

namespace {

constexpr int timeRowsShown = 4;

// The clock time of an entry is the number before its first space.
int leadingSeconds(const QString &entry)
{
    return entry.section(QLatin1Char(' '), 0, 0).toInt();
}

QHBoxLayout *rowLayout()
{
    auto *row = new QHBoxLayout;
    row->setSpacing(0);
    return row;
}

} // namespace

frmOptions::frmOptions(const Services &services, QWidget *parent)
    : QDialog(parent)
    , m_services(services)
    , lblTime(new QLabel(QStringLiteral("&Clock Game Time:"), this))
    , lstTime(new FittedList(timeRowsShown, twips(1575, 450), this))
    , chkSounds(new QCheckBox(QStringLiteral("&Play Sounds"), this))
    , chkAdvanced(new QCheckBox(QStringLiteral("&Advanced Mode"), this))
    , chkAuto(new QCheckBox(QStringLiteral("&AutoUpdate"), this))
    , cmdOK(new QPushButton(QStringLiteral("&OK"), this))
    , cmdCancel(new QPushButton(this))
{
    setWindowTitle(QStringLiteral("Quillora - Options"));
    lblTime->setObjectName(QStringLiteral("lblTime"));
    lstTime->setObjectName(QStringLiteral("lstTime"));
    chkSounds->setObjectName(QStringLiteral("chkSounds"));
    chkAdvanced->setObjectName(QStringLiteral("chkAdvanced"));
    chkAuto->setObjectName(QStringLiteral("chkAuto"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    // "&Clock Game Time:" and "&Cancel" share their access key. Qt takes turns among such
    // controls, only moving the focus, in the order their keys were made: the label comes
    // first, so the first Alt+C leads to the time list.
    lblTime->setBuddy(lstTime);
    cmdCancel->setText(QStringLiteral("&Cancel"));
    lstTime->setAccessibleName(QStringLiteral("Clock Game Time"));
    for (const int seconds : {20, 30, 60, 90, 120, 150, 180, 200, 250, 280})
        lstTime->addItem(QStringLiteral("%1 seconds").arg(seconds));

    lblTime->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    setDesignedSize(lblTime, twips(2055, 495));
    for (QWidget *control :
         std::initializer_list<QWidget *>{chkSounds, chkAdvanced, chkAuto, cmdOK, cmdCancel})
        setDesignedSize(control, twips(1215, 495));
    cmdOK->setDefault(true);

    // Three bands as designed: the time label and list, the three check boxes, the buttons.
    // The designed places are minimums; larger fonts move controls apart, never over each
    // other.
    auto *timeRow = rowLayout();
    timeRow->addWidget(lblTime, 0, Qt::AlignTop);
    timeRow->addSpacing(twips(2400 - 240 - 2055));
    timeRow->addWidget(lstTime, 0, Qt::AlignTop);
    timeRow->addStretch();

    auto *checkRow = rowLayout();
    checkRow->addWidget(chkSounds, 0, Qt::AlignTop);
    checkRow->addSpacing(twips(1680 - 240 - 1215));
    checkRow->addWidget(chkAdvanced, 0, Qt::AlignTop);
    checkRow->addSpacing(twips(3120 - 1680 - 1215));
    checkRow->addWidget(chkAuto, 0, Qt::AlignTop);
    checkRow->addStretch();

    auto *buttonRow = rowLayout();
    buttonRow->addWidget(cmdOK);
    buttonRow->addSpacing(twips(1560 - 240 - 1215));
    buttonRow->addWidget(cmdCancel);
    buttonRow->addStretch();

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(twips(240), twips(240), twips(240), twips(3090 - 2160 - 495));
    grid->setHorizontalSpacing(0);
    grid->setVerticalSpacing(twips(120));
    grid->addLayout(timeRow, 0, 0);
    grid->addLayout(checkRow, 1, 0);
    grid->addLayout(buttonRow, 2, 0);
    grid->setRowMinimumHeight(0, twips(1200 - 240 - 120));
    grid->setRowMinimumHeight(1, twips(2160 - 1200 - 120));
    grid->setRowStretch(1, 1);
    grid->setColumnMinimumWidth(0, twips(4680 - 2 * 240));

    setTabOrder(lstTime, chkSounds);
    setTabOrder(chkSounds, chkAdvanced);
    setTabOrder(chkAdvanced, chkAuto);
    setTabOrder(chkAuto, cmdOK);
    setTabOrder(cmdOK, cmdCancel);

    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::okPressed);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);

    setWhich();
}

void frmOptions::setWhich()
{
    for (int i = 0; i < lstTime->count(); ++i) {
        if (leadingSeconds(lstTime->item(i)->text()) == modVars.clockSeconds) {
            lstTime->setCurrentRow(i);
            lstTime->scrollToItem(lstTime->item(i));
        }
    }
    chkAuto->setChecked(modVars.autoUpdate);
    chkSounds->setChecked(modVars.soundsOn);
    chkAdvanced->setChecked(modVars.advancedMode);
}

int frmOptions::chosenSeconds() const
{
    const QList<QListWidgetItem *> selected = lstTime->selectedItems();
    // With no time chosen (a hand-edited file held none of the ten) the time in use stays.
    return selected.isEmpty() ? modVars.clockSeconds : leadingSeconds(selected.first()->text());
}

void frmOptions::okPressed()
{
    modVars.clockSeconds = chosenSeconds();
    QString error;
    if (!saveOptions(chkAuto->isChecked() ? 1 : 0, modVars.clockSeconds,
                     chkSounds->isChecked() ? 1 : 0, chkAdvanced->isChecked() ? 1 : 0, &error))
        m_services.dialogs.message(this, optionsNotSavedText(error));
    accept();
}

void frmOptions::showEvent(QShowEvent *event)
{
    // Every opening starts at the first control, whichever one was left with the focus.
    lstTime->setFocus(Qt::OtherFocusReason);
    QDialog::showEvent(event);
}

void frmOptions::done(int result)
{
    // Every way out (OK, Cancel, Escape, the window's close button) comes through here.
    emit backToMenu();
    QDialog::done(result);
}
