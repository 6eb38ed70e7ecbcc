#include "frmChoose.h"

#include "chainDatabase.h"
#include "dialogs.h"
#include "fittedList.h"
#include "frmOptions.h"
#include "frmUpdate.h"
#include "inet.h"
#include "menuTexts.h"
#include "modVars.h"
#include "optionsFile.h"
#include "randomSource.h"
#include "startupCheck.h"
#include "statsFile.h"
#include "twips.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>

frmChoose::frmChoose(const Services &services, QWidget *parent)
    : QDialog(parent)
    , m_services(services)
    , lstStyle(new FittedList(menuEntries().size(), twips(2295, 1035), this))
    , cmdOK(new QPushButton(QStringLiteral("&OK"), this))
    , cmdExit(new QPushButton(QStringLiteral("E&xit"), this))
    , m_inet(new Inet(services.http, this))
{
    setWindowTitle(QStringLiteral("Quillora - Main Menu"));
    lstStyle->setObjectName(QStringLiteral("lstStyle"));
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdExit->setObjectName(QStringLiteral("cmdExit"));
    lstStyle->setAccessibleName(QStringLiteral("Main menu"));
    setDesignedSize(cmdOK, twips(1215, 495));
    setDesignedSize(cmdExit, twips(1215, 495));
    cmdOK->setDefault(true);

    // The grid keeps the designed places as minimums: the list at the top left, the two
    // buttons under it, and the window never smaller than 4680 x 3195 twips. Larger fonts
    // push the rows and columns apart instead of cutting text off.
    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(0);
    buttons->addSpacing(twips(480 - 240));
    buttons->addWidget(cmdOK);
    buttons->addSpacing(twips(1920 - 480 - 1215));
    buttons->addWidget(cmdExit);
    buttons->addStretch();

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(twips(240), twips(240), twips(240), twips(3195 - 2280 - 495));
    grid->setHorizontalSpacing(0);
    grid->setVerticalSpacing(twips(120));
    grid->addWidget(lstStyle, 0, 0, Qt::AlignLeft | Qt::AlignTop);
    grid->addLayout(buttons, 1, 0);
    grid->setRowMinimumHeight(0, twips(2280 - 240 - 120));
    grid->setRowStretch(0, 1);
    grid->setColumnMinimumWidth(0, twips(4680 - 2 * 240));

    setTabOrder(lstStyle, cmdOK);
    setTabOrder(cmdOK, cmdExit);

    connect(cmdOK, &QPushButton::clicked, this, &frmChoose::okPressed);
    connect(cmdExit, &QPushButton::clicked, this, &frmChoose::exitRequested);
}

frmChoose::~frmChoose() = default;

bool frmChoose::load()
{
    // Until the menu is first shown, boxes have no window to sit on and centre on the screen.
    if (!startupCheck(m_services.dialogs))
        return false;
    if (!loadFile(&loadChains, chainDatabaseFileName))
        return false;
    // A database without chains still starts: the play entries say there is nothing to
    // play, and an update can bring chains.
    resetUsedChains();
    m_services.random.seedFromTimeOfDay();
    lstStyle->clear();
    lstStyle->addItems(menuEntries());
    lstStyle->setCurrentRow(playStandardEntry);
    // Going on without the statistics would write zeros over the player's record at the first
    // game, so an unreadable statistics file ends the program instead.
    if (!loadFile(&loadStats, statsFileName))
        return false;
    QString error;
    if (!loadOptions(&error)) {
        // The options are only four settings, shown in Set Options and written nowhere until
        // the player presses OK there: the defaults put nothing at risk.
        m_services.dialogs.message(nullptr, optionsUnreadableText(error));
    }
    if (modVars.autoUpdate)
        updateDatabase(true);
    return true;
}

bool frmChoose::loadFile(bool (*loader)(QString *), const QString &fileName)
{
    QString error;
    if (loader(&error))
        return true;
    m_services.dialogs.message(nullptr, startupFailureText(fileName, error));
    return false;
}

void frmChoose::showMenu()
{
    show();
    raise();
    activateWindow();
    lstStyle->setFocus(Qt::OtherFocusReason);
}

void frmChoose::reject()
{
    // No QDialog::reject(): the program ends at once, without closing windows one by one.
    emit exitRequested();
}

void frmChoose::okPressed()
{
    const QList<QListWidgetItem *> selected = lstStyle->selectedItems();
    const int position = selected.isEmpty() ? -1 : lstStyle->row(selected.first());
    switch (position) {
    case playStandardEntry:
    case playClockEntry:
        playGame(position);
        break;
    case updateDatabaseEntry:
        updateDatabase(false);
        break;
    case createNewChainEntry:
        if (!createNewChain())
            return;
        break;
    case displayScoreEntry:
        m_services.dialogs.message(this, scoreText());
        break;
    case countChainsEntry:
        m_services.dialogs.message(this, countText());
        break;
    case setOptionsEntry:
        setOptions();
        break;
    default:
        return;
    }
    // A window that took over has hidden the menu; it brings the menu back itself.
    if (isVisible())
        lstStyle->setFocus(Qt::OtherFocusReason);
}

void frmChoose::setOptions()
{
    if (!m_options) {
        m_options = std::make_unique<frmOptions>(m_services);
        connect(m_options.get(), &frmOptions::backToMenu, this, &frmChoose::showMenu);
    }
    m_options->show();
    hide();
    m_options->setWhich();
}
