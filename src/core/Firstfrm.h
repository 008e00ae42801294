// The splash screen shown while the program starts.
#pragma once

#include "core/screen_host.h"

#include <QLabel>
#include <QTimer>

class Firstfrm : public Screen {
    Q_OBJECT
public:
    explicit Firstfrm(QString programFolder, QWidget *parent = nullptr);

    // Paints the splash, seeds the random generator, picks the season colour, writes
    // the date and arms Timer1, which continues the start-up 100 ms later.
    void start();

    QLabel *Picture1;
    QLabel *Label1;
    QLabel *Label5;
    QTimer *Timer1;

private:
    void Timer1Tick();

    QString m_programFolder;
};
