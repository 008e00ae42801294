// A plain screen that takes the place of a screen the program does not have yet.
#pragma once

#include "core/screen_host.h"

#include <QLabel>

class StandInScreen : public Screen {
    Q_OBJECT
public:
    explicit StandInScreen(const QString &title, QWidget *parent = nullptr);

protected:
    void keyPressEvent(QKeyEvent *event) override;
};
