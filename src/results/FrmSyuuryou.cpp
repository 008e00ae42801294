#include "results/FrmSyuuryou.h"

#include "core/handoffs.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/text_values.h"
#include "core/widgets.h"
#include "drill/sounds.h"
#include "results/end_screen_picture.h"
#include "results/end_screen_rules.h"
#include "results/statistics.h"

#include <QCoreApplication>
#include <QPixmap>

namespace
{
constexpr int kLabel2Top = 7710;
constexpr int kBandTop = 8145; // the congratulation's band, the buttons just inside it

QLabel *endLabel(QWidget *parent, const char *name, const QRect &geometry, int pointSize,
                 const QColor &colour = QColor(20, 40, 90))
{
    QLabel *label = makeLabel(parent, QString(), geometry, pointSize, true);
    label->setObjectName(QString::fromLatin1(name));
    setTextColour(label, colour);
    return label;
}

QPushButton *endButton(QWidget *parent, const char *name, const QString &text, const QRect &geometry)
{
    QPushButton *button = makeButton(parent, text, geometry, 22, true);
    button->setObjectName(QString::fromLatin1(name));
    button->hide();
    return button;
}

void letEventsRun()
{
    QCoreApplication::processEvents();
}
} // namespace

FrmSyuuryou::FrmSyuuryou(QWidget *parent) : Screen(parent)
{
    setObjectName(QStringLiteral("FrmSyuuryou"));
    setWindowTitle(QStringLiteral("終了"));

    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(twipsRect(0, 0, 15360, 11520));
    Image1->setPixmap(QPixmap::fromImage(paintEndScreenPicture(devicePixelRatioF())));

    Label15 = endLabel(this, "Label15", twipsRect(720, 405, 9000, 900), 22);
    Label16 = endLabel(this, "Label16", twipsRect(720, 1755, 9000, 1050), 28);
    Label17 = endLabel(this, "Label17", twipsRect(720, 3255, 9000, 1050), 28);
    Label18 = endLabel(this, "Label18", twipsRect(720, 4440, 9000, 840), 26);
    Label19 = endLabel(this, "Label19", twipsRect(720, 5280, 9000, 840), 22);
    Label20 = endLabel(this, "Label20", twipsRect(720, 6390, 9000, 900), 28, QColor(210, 30, 40));
    Label20->hide();
    // Between the message above and the band below, in a size that fits there whole.
    Label2 = endLabel(this, "Label2", twipsRect(0, kLabel2Top, 15360, kBandTop - kLabel2Top), 20,
                      QColor(200, 60, 0));
    Label2->setAlignment(Qt::AlignCenter);
    Label2->setText(QString::fromUtf8(kLevelClearedText));
    Label2->hide();
    Label14 = endLabel(this, "Label14", twipsRect(10215, 1395, 4800, 840), 20);
    Label13 = endLabel(this, "Label13", twipsRect(10260, 2745, 4800, 840), 20);

    Picture1 = new QWidget(this);
    Picture1->setObjectName(QStringLiteral("Picture1"));
    Picture1->setGeometry(twipsRect(0, kBandTop, 15360, 2400));
    setBackground(Picture1, QColor(255, 236, 120));
    Label1 = endLabel(Picture1, "Label1", QRect(0, 0, Picture1->width(), Picture1->height()), 36,
                      QColor(210, 40, 40));
    Label1->setAlignment(Qt::AlignCenter);
    Label1->setText(QString::fromUtf8(kGoalClearedText));
    Picture1->hide();

    Command4 = endButton(this, "Command4", QStringLiteral("メニューへ"), twipsRect(1890, 8325, 5100, 1500));
    Command5 = endButton(this, "Command5", QStringLiteral("もう一度"), twipsRect(8055, 8325, 5100, 1500));
    connect(Command4, &QPushButton::clicked, this, &FrmSyuuryou::command4Click);
    connect(Command5, &QPushButton::clicked, this, &FrmSyuuryou::command5Click);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(500);
    Timer1->setSingleShot(true);
    connect(Timer1, &QTimer::timeout, this, &FrmSyuuryou::timer1Tick);
}

void FrmSyuuryou::activate()
{
    Hensuu1 &h = hensuu1();
    const int level = h.currentLevel;
    const int pupil = h.currentPupil;
    // The backdrop that covered the change of screens stays behind this one until the
    // figures are shown.
    raise();
    m_showingResult = true;

    Label13->setText(firstLevelCountText(h.todayCount[level][pupil]));
    ComputePupilStatistics();
    const bool cleared = levelClearedInPassWindow(level, pupil);
    const bool atGoal = level == h.goalLevel;
    if (cleared) {
        Label2->show();
        if (atGoal && goalCongratulationAllowed())
            Picture1->show();
    }
    letEventsRun();
    Timer1->start();

    Label19->setText(pointsCalculationText(h.attemptTime, level));
    Label18->setText(resultTimeText(h.attemptTime));
    Label17->setText(trimHalfWidth(h.currentPupilName));
    Label15->setText(h.programTitle);
    Label16->setText(h.levelNames[level]);
    Label13->setText(levelCountText(h.todayCount[level][pupil]));
    h.todayTotal = todayTotalOf(pupil);
    Label14->setText(todayTotalText(h.todayTotal));
    letEventsRun();

    const EndMessage message = endMessageOf(h.timedOut, h.newRecordFlags[1], h.newRecordFlags[0],
                                            h.attemptTime, h.minimumTime[level]);
    const QString text = endMessageText(message);
    if (!text.isEmpty()) {
        Label20->setText(text);
        Label20->show();
        letEventsRun();
    }
    playEndMessageSound(message);
    if (message == EndMessage::BestOfAll || message == EndMessage::PersonalBest)
        letEventsRun();

    if (cleared && atGoal) {
        // The pass sound greets the attempt that first brings the all-time totals to
        // the goal level's targets.
        if (h.targetCleared == 0)
            PlayPassSound();
    } else {
        Picture1->hide();
    }
    m_showingResult = false;

    h.newRecordFlags = {0, 0};
    letEventsRun();
    ScreenHost::instance().closeBackdrop();
    if (m_tickWaiting) {
        m_tickWaiting = false;
        timer1Tick();
    }
}

void FrmSyuuryou::timer1Tick()
{
    if (m_showingResult) {
        m_tickWaiting = true;
        return;
    }
    Picture1->hide();
    Command4->show();
    Command4->setFocus();
    Timer1->stop();

    const Hensuu1 &h = hensuu1();
    const ButtonsOutcome outcome = buttonsOutcome(h.currentLevel, h.currentPupil);
    if (outcome.clearLabel2) {
        Label2->clear();
        Label2->hide();
    }
    if (outcome.sendOn) {
        Label2->setText(QString::fromUtf8(kGoNextLevelText));
        Label2->show();
    }
    Command5->setVisible(outcome.showOnceMore);
}

void FrmSyuuryou::command4Click()
{
    Command4->setEnabled(false);
    OpenLevelMenu();
    letEventsRun();
}

void FrmSyuuryou::command5Click()
{
    Command4->setEnabled(false);
    ScreenHost::instance().showBackdrop();
    hide();
    letEventsRun();
    if (handoffs().startDrill)
        handoffs().startDrill();
}
