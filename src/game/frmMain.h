#pragma once

#include "chainGame.h"
#include "services.h"

#include <QDialog>
#include <QTimer>

#include <optional>

class QLineEdit;
class QListWidget;
class QPushButton;

// The game board: one game of one chain, from its set-up to the way back to the menu. A
// QDialog so that Enter presses the default button; it is shown modeless. The rules live in
// ChainGame: the board asks them, draws the rows and captions, runs the timer and shows the
// boxes, each with the clock paused.
class frmMain : public QDialog
{
    Q_OBJECT
public:
    explicit frmMain(const Services &services, QWidget *parent = nullptr);

    // The load handler: shows the board and sets up one game. Returns false, having told the
    // player, when no chain can be played (empty database, no playable chain); then nothing is
    // counted or saved and the caller keeps its menu.
    bool load();

signals:
    void gameEnded();     // the board is closing after its game, whatever the way: show the menu
    void exitRequested(); // "Exit" in the game menu: end the program at once

public slots:
    // Escape and closing are handled by the board itself (key preview, closeEvent).
    void reject() override {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void startGame();
    void updateClock();
    void returnToMenu();
    void showSpelling();
    void askToEndGame();

    void takeLetter(ChainGame::Side side);
    void guess(ChainGame::Side side);
    void advance(ChainGame::Side side);
    void finishChain();

    void showRows();
    void setCaptions(ChainGame::Side side);
    // The pause protocol around every box of a running game: the timer stops and the time the
    // box stays open is not charged to the game.
    void pauseClock();
    void resumeClock();
    void messageInPause(const QString &text);

    const Services m_services;
    std::optional<ChainGame> m_game;
    int chainIndex = 0;
    QTimer m_tmr;
    bool m_ended = false;

    QListWidget *lstWords;
    QPushButton *cmdLetterBelow;
    QPushButton *cmdLetterAbove;
    QPushButton *cmdGuessAbove;
    QPushButton *cmdGuessBelow;
    QLineEdit *txtEntry;
    QLineEdit *txtSpell;
};
