#include "menu/seisekitime1.h"

#include "core/environment.h"
#include "core/handoffs.h"
#include "core/levels.h"
#include "core/login_clock.h"
#include "menu/level_menu_rules.h"
#include "pupils/grade_filter_choices.h"
#include "results/statistics.h"

#include <QCoreApplication>
#include <QKeyEvent>

namespace {
constexpr int kColumnsLeft = 16;
constexpr int kColumnsTwips = 14592;
const QColor kLineGrey(224, 224, 224);

QLabel *makeLabel(QWidget *parent, const QRect &geometry, int pointSize = 11, bool bold = false)
{
    auto *label = new QLabel(parent);
    label->setGeometry(geometry);
    label->setFont(screenFont(pointSize, bold));
    return label;
}
} // namespace

seisekitime1::seisekitime1(QWidget *parent) : Screen(parent)
{
    setObjectName(QStringLiteral("seisekitime1"));
    setWindowTitle(QStringLiteral("kelvane"));
    const Hensuu1 &h = hensuu1();
    setBackground(this, h.seasonColor);

    Label11 = makeLabel(this, {16, 8, 200, 44}, 24, true);
    Label12 = makeLabel(this, {230, 8, 300, 24}, 14, true);
    Label13 = makeLabel(this, {230, 34, 300, 20}, 11);
    Label17 = makeLabel(this, {540, 8, 160, 24}, 12);
    Label18 = makeLabel(this, {540, 34, 200, 20}, 12);

    Combo1 = new QComboBox(this);
    Combo1->setGeometry(720, 30, 120, 26);
    Combo1->addItems(gradeFilterChoices());
    Combo1->setCurrentText(h.selectedGradeFilter);
    Combo1->setFocusPolicy(Qt::NoFocus);

    Command1 = new QPushButton(QStringLiteral("戻る(0)"), this);
    Command1->setGeometry(900, 8, 108, 40);
    Command1->setFont(screenFont(12, true));
    connect(Command1, &QPushButton::clicked, this, &seisekitime1::back);

    Command8 = new QPushButton(QStringLiteral("データ処理"), this);
    Command8->setGeometry(720, 2, 120, 26); // above the grade filter, clear of the level columns
    Command8->hide();

    m_columnWidth = twips(kColumnsTwips / h.levelCount);
    for (int level = 1; level <= h.levelCount; ++level)
        buildColumn(level);

    Picture7 = new QWidget(this);
    Picture7->setObjectName(QStringLiteral("Picture7"));
    setBackground(Picture7, QColor(0, 128, 128));
    Picture7->setGeometry(312, 250, 400, 200);
    Command10[0] = new QPushButton(QStringLiteral("データ変更"), Picture7);
    Command10[0]->setGeometry(40, 30, 320, 40);
    Command10[1] = new QPushButton(QStringLiteral("合格タイムデータ変更"), Picture7);
    Command10[1]->setGeometry(40, 80, 320, 40);
    Command12 = new QPushButton(QStringLiteral("戻る"), Picture7);
    Command12->setGeometry(140, 140, 120, 36);
    const std::array<std::function<void()> *, 2> editors{&handoffs().showResultsEditor,
                                                          &handoffs().showCriteriaEditor};
    for (int i = 0; i < 2; ++i) {
        Command10[i]->setEnabled(bool(*editors[i]));
        connect(Command10[i], &QPushButton::clicked, this, [editor = editors[i]] {
            if (*editor)
                (*editor)();
        });
    }
    Picture7->hide();
    connect(Command8, &QPushButton::clicked, this, [this] {
        Picture7->show();
        Picture7->raise();
    });
    connect(Command12, &QPushButton::clicked, Picture7, &QWidget::hide);

    Picture2 = new QWidget(this);
    setBackground(Picture2, h.seasonColor);
    Picture2->setGeometry(0, 0, kCanvasWidth, kCanvasHeight);
    Label19 = makeLabel(Picture2, {0, 330, kCanvasWidth, 50}, 24, true);
    Label19->setText(QStringLiteral("Just a moment, please."));
    Label19->setAlignment(Qt::AlignCenter);
    ProgressBar1 = new QProgressBar(Picture2);
    ProgressBar1->setGeometry(312, 400, 400, 24);
    Picture2->hide();
}

void seisekitime1::buildColumn(int level)
{
    const Hensuu1 &h = hensuu1();
    const int x = kColumnsLeft + (level - 1) * m_columnWidth;
    const int w = m_columnWidth - 8;
    Label1[level] = makeLabel(this, {x, 70, 28, 36}, 16, true);
    Label1[level]->setText(QString::number(level));
    Label3[level] = new ClickableLabel(this);
    Label3[level]->setGeometry(x + 30, 70, w - 140, 36);
    Label3[level]->setFont(screenFont(16, true));
    Label3[level]->setText(h.levelNames[level]);
    Label3[level]->setToolTip(h.levelNames[level]);
    Label3[level]->setCursor(Qt::PointingHandCursor);
    connect(Label3[level], &ClickableLabel::clicked, this, [this, level] { startLevel(level, false); });

    Command4[level] = new QPushButton(QStringLiteral("ｽﾀｰﾄ(&%1)").arg(level), this);
    Command4[level]->setGeometry(x + w - 104, 68, 104, 40);
    Command4[level]->setFont(screenFont(13, true));
    Command4[level]->setToolTip(QStringLiteral("クリックしてスタートします。番号を押してもよろしい"));
    connect(Command4[level], &QPushButton::clicked, this, [this, level] { startLevel(level, true); });

    Text1[level] = makeLabel(this, Command4[level]->geometry(), 11, true);
    Text1[level]->setText(QStringLiteral("やりすぎ禁止"));
    Text1[level]->setAlignment(Qt::AlignCenter);
    Text1[level]->setFrameStyle(QFrame::Box);
    setBackground(Text1[level], QColor(192, 192, 192));
    Text1[level]->hide();

    Label7[level] = makeLabel(this, {x, 114, w, 22}, 11);
    setBackground(Label7[level], kLineGrey);
    Label7[level]->setText(targetLine(level));
    Label8[level] = makeLabel(this, {x, 138, w, 22}, 11);
    setBackground(Label8[level], kLineGrey);
    Label8[level]->setText(recentPeriodLine(level, h.currentPupil));
    Label9[level] = makeLabel(this, {x, 166, 60, 22}, 11, true);
    Label14[level] = makeLabel(this, {x + 62, 166, w - 62, 22}, 11);
    Label10[level] = makeLabel(this, {x, 190, 60, 22}, 11, true);
    Label15[level] = makeLabel(this, {x + 62, 190, w - 62, 22}, 11);
    List5[level] = new QListWidget(this);
    List5[level]->setGeometry(x, 220, w, kCanvasHeight - 236);
    List5[level]->setFont(fixedPitchFont(10));
    List5[level]->setFocusPolicy(Qt::NoFocus);
}

void seisekitime1::showWaitPanel(bool shown)
{
    Picture2->setVisible(shown);
    if (shown)
        Picture2->raise();
}

void seisekitime1::activate()
{
    Hensuu1 &h = hensuu1();
    const bool teacher = isTeacherAccount(h.currentPupilName);
    Command8->setVisible(teacher);
    Label17->setText(minutesHeader(minutesSinceLogin(h.loginTime, env().clock->timeOfDay())));

    menuReady = 0;
    showWaitPanel(true);
    ProgressBar1->show();
    QCoreApplication::processEvents();

    ComputePupilStatistics();
    h.todayTotal = static_cast<int16_t>(menuTodayTotal(h.currentPupil));
    Label18->setText(todayTotalHeader(h.todayTotal));
    ProgressBar1->setMaximum(h.levelCount);

    回数など表示();
    for (int level = 1; level <= h.levelCount; ++level) {
        if (isPracticeLevel(level)) {
            h.passTime[level] = 600;
            h.minimumTime[level] = 600;
        } else {
            List5[level]->show();
        }
    }

    Label12->setText(pupilHeader(h.currentPupilGradeLabel, h.currentPupilName));
    Label13->setText(schoolHeader(h.schoolName, h.currentPupil));
    Label11->setText(h.programTitle);
    Label11->setFont(screenFont(menuTitlePointSize(h.programTitle), true));

    placeColumns();
    for (int level = 1; level <= h.levelCount; ++level) {
        if (isPracticeLevel(level)) {
            for (QWidget *w : std::initializer_list<QWidget *>{List5[level], Label7[level], Label8[level], Label9[level],
                                                               Label10[level], Label14[level], Label15[level]})
                w->hide();
        }
        Label14[level]->setText(todayValue(level, h.currentPupil));
        Label15[level]->setText(soFarValue(level, h.currentPupil));
    }

    for (int level = 1; level <= h.levelCount; ++level)
        Command4[level]->setEnabled(false);
    LevelAccessPassRun();

    showWaitPanel(false);
    ProgressBar1->hide();
    QCoreApplication::processEvents();
    menuReady = 1;
}

void seisekitime1::placeColumns()
{
    // Columns stand side by side, each levelCount-th of the menu's width.
    for (int level = 1; level <= hensuu1().levelCount; ++level) {
        const int dx = kColumnsLeft + (level - 1) * m_columnWidth - Label1[level]->x();
        if (dx == 0)
            continue;
        for (QWidget *w : std::initializer_list<QWidget *>{Label1[level], Label3[level], Command4[level], Text1[level],
                                                           Label7[level], Label8[level], Label9[level],
                                                           Label10[level], Label14[level], Label15[level],
                                                           List5[level]})
            w->move(w->x() + dx, w->y());
    }
}

void seisekitime1::回数など表示()
{
    for (int level = 1; level <= hensuu1().levelCount; ++level) {
        Label9[level]->setText(QStringLiteral("今日"));
        Label10[level]->setText(QStringLiteral("今まで"));
        List5[level]->clear();
    }
}

void seisekitime1::LevelAccessPassRun()
{
    const Hensuu1 &h = hensuu1();
    const LevelAccess access = LevelAccessPass(h.currentPupil, isTeacherAccount(h.currentPupilName));
    hensuu1().finalTargetCleared = access.finalTargetCleared;
    for (int level = 1; level <= h.levelCount; ++level) {
        Command4[level]->setEnabled(access.enabled[level]);
        Text1[level]->setVisible(access.banned[level]);
        if (access.banned[level])
            Text1[level]->raise();
    }
}

void seisekitime1::startLevel(int level, bool withWaitPanel)
{
    // The level name, the button and the key obey the same conditions.
    // A second press already queued (key repeat, a double click) must not start the
    // drill again while the first start is letting events run.
    if (menuReady != 1 || Picture7->isVisible() || !Command4[level]->isEnabled())
        return;
    menuReady = 0;
    if (withWaitPanel)
        showWaitPanel(true);
    hensuu1().currentLevel = static_cast<int16_t>(level);
    QCoreApplication::processEvents();
    if (handoffs().startDrill)
        handoffs().startDrill();
}

void seisekitime1::back()
{
    if (menuReady != 1)
        return;
    menuReady = 0;
    showWaitPanel(true);
    QCoreApplication::processEvents();
    if (handoffs().showNameSelection)
        handoffs().showNameSelection();
    QCoreApplication::processEvents();
}

bool seisekitime1::previewKey(QKeyEvent *event)
{
    if (menuReady != 1)
        return false;
    const QString text = event->text();
    if (text == QStringLiteral("0")) {
        if (Command1->isEnabled())
            back();
        return true;
    }
    if (const int level = levelForKey(text, hensuu1().levelCount)) {
        startLevel(level, true);
        return true;
    }
    return false;
}
