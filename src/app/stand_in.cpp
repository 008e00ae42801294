#include "app/stand_in.h"

#include "core/hensuu1.h"

#include <QApplication>
#include <QKeyEvent>

StandInScreen::StandInScreen(const QString &title, QWidget *parent) : Screen(parent)
{
    setObjectName(QStringLiteral("StandIn"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, hensuu1().seasonColor);
    setPalette(palette);
    auto *heading = new QLabel(title, this);
    heading->setFont(screenFont(36, true));
    heading->setAlignment(Qt::AlignCenter);
    heading->setGeometry(0, 200, kCanvasWidth, 80);
    auto *school = new QLabel(hensuu1().schoolName, this);
    school->setFont(screenFont(20));
    school->setAlignment(Qt::AlignCenter);
    school->setGeometry(0, 320, kCanvasWidth, 50);
    auto *hint = new QLabel(QStringLiteral("Esc で終わります"), this);
    hint->setFont(screenFont(14));
    hint->setAlignment(Qt::AlignCenter);
    hint->setGeometry(0, 600, kCanvasWidth, 40);
}

void StandInScreen::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape)
        QApplication::quit();
    else
        Screen::keyPressEvent(event);
}
