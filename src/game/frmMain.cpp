#include "frmMain.h"

#include "chainPick.h"
#include "dialogs.h"
#include "gameStatistics.h"
#include "gameTexts.h"
#include "modVars.h"
#include "rowText.h"
#include "soundPlayer.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFontDatabase>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>

namespace {

constexpr int tickMilliseconds = 300;

bool isAsciiLetter(const QString &text)
{
    if (text.size() != 1)
        return false;
    const char16_t c = text[0].unicode();
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

Qt::KeyboardModifiers shiftState(const QKeyEvent *key)
{
    return key->modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
}

} // namespace

frmMain::frmMain(const Services &services, QWidget *parent)
    : QDialog(parent)
    , m_services(services)
    , lstWords(new QListWidget(this))
    , cmdLetterBelow(new QPushButton(this))
    , cmdLetterAbove(new QPushButton(this))
    , cmdGuessAbove(new QPushButton(this))
    , cmdGuessBelow(new QPushButton(this))
    , txtEntry(new QLineEdit(this))
    , txtSpell(new QLineEdit(this))
{
    setWindowTitle(programTitle);
    setModal(false);

    lstWords->setObjectName(QStringLiteral("lstWords"));
    cmdLetterBelow->setObjectName(QStringLiteral("cmdLetterBelow"));
    cmdLetterAbove->setObjectName(QStringLiteral("cmdLetterAbove"));
    cmdGuessAbove->setObjectName(QStringLiteral("cmdGuessAbove"));
    cmdGuessBelow->setObjectName(QStringLiteral("cmdGuessBelow"));
    txtEntry->setObjectName(QStringLiteral("txtEntry"));
    txtSpell->setObjectName(QStringLiteral("txtSpell"));
    // The board has no labels; screen readers still need a name for every control.
    lstWords->setAccessibleName(QStringLiteral("Chain"));
    txtEntry->setAccessibleName(QStringLiteral("Guess"));
    txtSpell->setAccessibleName(QStringLiteral("Spelling"));

    // Letters and asterisks line up in a fixed-width font, so a mask reads like its word.
    QFont chainFont = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    chainFont.setPointSizeF(chainFont.pointSizeF() * 1.25);
    lstWords->setFont(chainFont);
    lstWords->setMinimumWidth(260);
    // Exactly the seven rows of a chain, no empty space below them.
    lstWords->addItems(QStringList(wordsPerChain, notKnownRow));
    lstWords->setFixedHeight(wordsPerChain * lstWords->sizeHintForRow(0) +
                             2 * lstWords->frameWidth());
    for (QPushButton *button : {cmdLetterBelow, cmdLetterAbove, cmdGuessAbove, cmdGuessBelow})
        button->setMinimumWidth(180);
    cmdGuessBelow->setDefault(true);

    auto *menuBar = new QMenuBar(this);
    QMenu *mnuGame = menuBar->addMenu(QStringLiteral("Ga&me"));
    QAction *mnuGameSpell = mnuGame->addAction(QStringLiteral("&Spell Word... ctrl+w"));
    QAction *mnuGameMain = mnuGame->addAction(QStringLiteral("&Main menu... ESC"));
    QAction *mnuGameExit = mnuGame->addAction(QStringLiteral("Exit"));
    mnuGame->setObjectName(QStringLiteral("mnuGame"));
    mnuGameSpell->setObjectName(QStringLiteral("mnuGameSpell"));
    mnuGameMain->setObjectName(QStringLiteral("mnuGameMain"));
    mnuGameExit->setObjectName(QStringLiteral("mnuGameExit"));

    auto *layout = new QGridLayout(this);
    layout->setMenuBar(menuBar);
    layout->addWidget(lstWords, 0, 0, 2, 2);
    layout->addWidget(txtSpell, 0, 2, Qt::AlignTop);
    layout->addWidget(txtEntry, 1, 2, Qt::AlignBottom);
    layout->addWidget(cmdLetterBelow, 2, 0);
    layout->addWidget(cmdLetterAbove, 2, 1);
    layout->addWidget(cmdGuessBelow, 3, 0);
    layout->addWidget(cmdGuessAbove, 3, 1);

    setTabOrder(lstWords, cmdLetterBelow);
    setTabOrder(cmdLetterBelow, cmdLetterAbove);
    setTabOrder(cmdLetterAbove, cmdGuessAbove);
    setTabOrder(cmdGuessAbove, cmdGuessBelow);
    setTabOrder(cmdGuessBelow, txtEntry);
    setTabOrder(txtEntry, txtSpell);

    connect(cmdLetterBelow, &QPushButton::clicked, this,
            [this] { takeLetter(ChainGame::Side::Below); });
    connect(cmdLetterAbove, &QPushButton::clicked, this,
            [this] { takeLetter(ChainGame::Side::Above); });
    connect(cmdGuessBelow, &QPushButton::clicked, this, [this] { guess(ChainGame::Side::Below); });
    connect(cmdGuessAbove, &QPushButton::clicked, this, [this] { guess(ChainGame::Side::Above); });
    connect(mnuGameSpell, &QAction::triggered, this, &frmMain::showSpelling);
    connect(mnuGameMain, &QAction::triggered, this, &frmMain::returnToMenu);
    connect(mnuGameExit, &QAction::triggered, this, [this] {
        m_tmr.stop();
        emit exitRequested();
    });
    connect(&m_tmr, &QTimer::timeout, this, &frmMain::updateClock);

    // The key preview: the board sees every key of its window before the focused control.
    qApp->installEventFilter(this);
}

bool frmMain::load()
{
    if (!hasPlayableChain()) {
        m_services.dialogs.message(parentWidget(),
                                   modVars.chainCount == 0 ? noChainsText : noPlayableChainText);
        deleteLater();
        return false;
    }
    show();
    activateWindow();
    startGame();
    return true;
}

void frmMain::startGame()
{
    countGameStarted(m_services.dialogs, this);
    chainIndex = pickChain(m_services.random);
    const std::optional<int> clockSeconds =
        isClockGame() ? std::optional(modVars.clockSeconds) : std::nullopt;
    m_game.emplace(modVars.chainTable[chainIndex], modVars.advancedMode, clockSeconds,
                   m_services.ticks, m_services.random);

    showRows();
    lstWords->setCurrentRow(0);
    setCaptions(ChainGame::Side::Below);
    setCaptions(ChainGame::Side::Above);
    lstWords->setFocus();

    m_tmr.start(tickMilliseconds);
    updateClock();
}

void frmMain::updateClock()
{
    const std::optional<int> left = m_game->secondsLeft();
    setWindowTitle(boardTitle(left));
    if (!left || *left != 0 || m_game->isPaused())
        return;

    m_tmr.stop();
    if (modVars.soundsOn)
        m_services.sound.play(timeUpSound);
    m_services.dialogs.message(this, timeUpText);
    returnToMenu();
}

void frmMain::returnToMenu()
{
    m_tmr.stop();
    close();
}

void frmMain::showSpelling()
{
    const int row = lstWords->currentRow();
    if (row < 0)
        return;
    const std::optional<QString> spelling = spellingOf(*m_game, row);
    if (!spelling)
        return;
    txtSpell->setText(*spelling);
    txtSpell->setFocus();
}

void frmMain::askToEndGame()
{
    pauseClock();
    if (m_services.dialogs.question(this, reallyEndText)) {
        // Abandoned: the game was counted and saved when it began; nothing more is written.
        returnToMenu();
        return;
    }
    resumeClock();
}

// A take-letter button: the focus stays on it.
void frmMain::takeLetter(ChainGame::Side side)
{
    const int row = m_game->targetRow(side);
    lstWords->setCurrentRow(row);
    if (!m_game->takeLetter(side)) {
        messageInPause(oneLetterLeftText);
        return;
    }
    lstWords->item(row)->setText(rowText(*m_game, row));
}

void frmMain::guess(ChainGame::Side side)
{
    switch (m_game->guess(side, txtEntry->text())) {
    case ChainGame::Guess::Ignored:
        return;
    case ChainGame::Guess::Right:
        pauseClock();
        if (modVars.soundsOn)
            m_services.sound.play(correctWordSound);
        m_services.dialogs.message(this, correctText);
        resumeClock();
        advance(side);
        return;
    case ChainGame::Guess::Wrong:
        messageInPause(notCorrectText);
        txtEntry->clear();
        txtEntry->setFocus();
        return;
    }
}

// The board's side of advanceTop and advanceBottom: the solved word shows whole, and unless the
// chain is finished the captions name it and the next word to solve is selected.
void frmMain::advance(ChainGame::Side side)
{
    txtEntry->clear();
    const bool done =
        side == ChainGame::Side::Below ? m_game->advanceTop() : m_game->advanceBottom();
    showRows();
    if (done) {
        finishChain();
        return;
    }
    setCaptions(side);
    lstWords->setCurrentRow(m_game->targetRow(side));
    lstWords->setFocus();
}

void frmMain::finishChain()
{
    m_tmr.stop(); // for good: the game is over
    const int score = m_game->score();
    // Saved before the score box, not after it: the box may be the last thing this run does.
    countChainWon(chainIndex, score, m_services.dialogs, this);
    if (modVars.soundsOn)
        m_services.sound.play(finishChainSound);
    m_services.dialogs.message(this, completionText(score, m_game->secondsLeft()));
    returnToMenu();
}

void frmMain::showRows()
{
    for (int row = 0; row < wordsPerChain; ++row)
        lstWords->item(row)->setText(rowText(*m_game, row));
}

void frmMain::setCaptions(ChainGame::Side side)
{
    const QString &word = m_game->captionWord(side);
    if (side == ChainGame::Side::Below) {
        cmdLetterBelow->setText(QStringLiteral("&Take letter below ") + word);
        cmdGuessBelow->setText(QStringLiteral("&Guess below ") + word);
    } else {
        cmdLetterAbove->setText(QStringLiteral("T&ake letter above ") + word);
        cmdGuessAbove->setText(QStringLiteral("G&uess above ") + word);
    }
}

void frmMain::pauseClock()
{
    m_tmr.stop();
    m_game->beginPause();
}

void frmMain::resumeClock()
{
    m_game->endPause();
    m_tmr.start(tickMilliseconds);
}

void frmMain::messageInPause(const QString &text)
{
    pauseClock();
    m_services.dialogs.message(this, text);
    resumeClock();
}

bool frmMain::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType() || !isVisible())
        return false;
    if (static_cast<QWidget *>(watched)->window() != this)
        return false;

    const auto *key = static_cast<QKeyEvent *>(event);
    if (key->key() == Qt::Key_W && shiftState(key) == Qt::ControlModifier) {
        showSpelling();
        // Taken here: a key the list ignores would come back through the filter on its way
        // to the window.
        return true;
    }
    if (key->key() == Qt::Key_Escape) {
        askToEndGame();
        return true;
    }
    if (!isAsciiLetter(key->text()) || (key->modifiers() & Qt::ControlModifier))
        return false;
    // Alt with a letter that is no access key (those never arrive here) does nothing, where a
    // text box would type the letter.
    if (key->modifiers() & Qt::AltModifier)
        return true;
    // Always at the end of the entry, whatever the caret or selection there.
    txtEntry->setFocus();
    txtEntry->setText(txtEntry->text() + key->text());
    txtEntry->setCursorPosition(static_cast<int>(txtEntry->text().size()));
    return true;
}

void frmMain::closeEvent(QCloseEvent *event)
{
    m_tmr.stop();
    event->accept();
    if (!m_ended) {
        m_ended = true;
        emit gameEnded();
    }
}
