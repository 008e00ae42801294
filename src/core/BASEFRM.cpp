#include "core/BASEFRM.h"

#include "core/screen_host.h"

#include <QCoreApplication>

BASEFRM::BASEFRM(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("BASEFRM"));
    setFixedSize(kCanvasWidth, kCanvasHeight);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0, 128, 128));
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);
    setAutoFillBackground(true);

    Label19 = new QLabel(QStringLiteral("Just a moment, please."), this);
    Label19->setFont(screenFont(20));
    Label19->setAlignment(Qt::AlignCenter);
    Label19->setGeometry(0, kCanvasHeight / 2 - 30, kCanvasWidth, 60);
    QCoreApplication::processEvents();
}
