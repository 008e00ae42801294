// The plain blue-green backdrop that covers the screen while the drill screen and
// the end screen change places.
#pragma once

#include <QLabel>
#include <QWidget>

class BASEFRM : public QWidget {
    Q_OBJECT
public:
    explicit BASEFRM(QWidget *parent = nullptr);
    QLabel *Label19;
};
