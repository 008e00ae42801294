// The end-of-drill screen "終了": the attempt's time and points, today's counts, the
// message and sound for a record or a time-out, and the way on.
#pragma once

#include "core/screen_host.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

class FrmSyuuryou : public Screen
{
    Q_OBJECT
public:
    explicit FrmSyuuryou(QWidget *parent = nullptr);

    void activate() override;

    QLabel *Image1;
    QLabel *Label15; // programme title
    QLabel *Label16; // level name
    QLabel *Label17; // pupil's name
    QLabel *Label18; // result time
    QLabel *Label19; // points calculation
    QLabel *Label20; // time-out or record message
    QLabel *Label2;  // level cleared, or the overuse notice
    QLabel *Label14; // today's attempts over every level
    QLabel *Label13; // today's attempts on this level
    QWidget *Picture1;
    QLabel *Label1;        // goal-level congratulation
    QPushButton *Command4; // "メニューへ"
    QPushButton *Command5; // "もう一度"
    QTimer *Timer1;

private:
    void timer1Tick();
    void command4Click();
    void command5Click();

    // Sounds play in a local event loop, where the timer may fire; the buttons appear
    // only once the figures are shown and the sounds have ended.
    bool m_showingResult = false;
    bool m_tickWaiting = false;
};
