#include "core/frmver.h"

#include "core/hensuu1.h"
#include "core/screen_host.h"

#include <QCoreApplication>
#include <QTimer>

frmver::frmver(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmver"));
    setWindowTitle(QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    setModal(true);
    setFixedSize(400, 260);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0, 192, 192));
    setPalette(palette);
    setAutoFillBackground(true);

    Label1 = new QLabel(this);
    Label1->setFont(screenFont(24, true));
    Label1->setGeometry(20, 20, 360, 50);
    Label1->setAlignment(Qt::AlignCenter);
    Label2 = new QLabel(this);
    Label2->setFont(screenFont(12));
    Label2->setGeometry(20, 85, 360, 30);
    Label2->setAlignment(Qt::AlignCenter);
    Label4 = new QLabel(this);
    Label4->setFont(screenFont(12));
    Label4->setGeometry(20, 125, 360, 30);
    Label4->setAlignment(Qt::AlignCenter);
    Command1 = new QPushButton(QStringLiteral("O.K."), this);
    Command1->setGeometry(150, 190, 100, 36);
    Command1->setDefault(true);
    connect(Command1, &QPushButton::clicked, this, &QDialog::accept);
}

void frmver::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    activate();
}

void frmver::activate()
{
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
    Label1->setText(hensuu1().programTitle);
    Label2->setText(QString::fromUtf8(kVersionText));
    Label4->setText(QStringLiteral("Mathora"));
}
