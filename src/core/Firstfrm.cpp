#include "core/Firstfrm.h"

#include "core/environment.h"
#include "core/hensuu1.h"
#include "core/splash_picture.h"
#include "core/startup.h"

#include <QCoreApplication>
#include <QPixmap>

Firstfrm::Firstfrm(QString programFolder, QWidget *parent)
    : Screen(parent), m_programFolder(std::move(programFolder))
{
    setObjectName(QStringLiteral("Firstfrm"));
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(0, 128, 128));
    palette.setColor(QPalette::WindowText, Qt::white);
    setPalette(palette);

    Picture1 = new QLabel(this);
    Picture1->setGeometry(twipsRect(450, 720, 8595, 6945));
    Picture1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    Picture1->setScaledContents(true);
    Picture1->setPixmap(QPixmap::fromImage(paintSplashPicture()));

    Label1 = new QLabel(QStringLiteral("Just a moment, please."), this);
    Label1->setFont(screenFont(18, true));
    Label1->setGeometry(twipsRect(9450, 3600, 5400, 900));
    Label1->setAlignment(Qt::AlignCenter);

    Label5 = new QLabel(this);
    Label5->setFont(screenFont(16));
    Label5->setGeometry(twipsRect(9450, 5100, 5400, 900));
    Label5->setAlignment(Qt::AlignCenter);

    Timer1 = new QTimer(this);
    Timer1->setInterval(100);
    Timer1->setSingleShot(false);
    connect(Timer1, &QTimer::timeout, this, &Firstfrm::Timer1Tick);
}

void Firstfrm::start()
{
    QCoreApplication::processEvents();
    env().random->seed(env().clock->timeOfDay());
    const QDate today = env().clock->today();
    const int month = today.month();
    if (month >= 1 && month <= 12)
        hensuu1().seasonColor = seasonColorForMonth(month);
    Label5->setText(eraDateCaption(today));
    QCoreApplication::processEvents();
    Timer1->start();
}

void Firstfrm::Timer1Tick()
{
    Timer1->stop();
    ContinueStartup(m_programFolder);
    // The name screen, once shown, has replaced this one; the host deletes it.
}
