#include "menu/seisekitime1.h"

#include "core/environment.h"
#include "core/handoffs.h"
#include "core/levels.h"
#include "core/login_clock.h"
#include "menu/level_menu_rules.h"
#include "pupils/grade_filter_choices.h"
#include "pupils/roster.h"
#include "results/statistics.h"

#include <QButtonGroup>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>

namespace
{
constexpr int kColumnsLeft = 16;
constexpr int kColumnsTwips = 14592;
// Columns this many levels wide fit the screen readably; with more levels the column
// scroll bar brings the others into view.
constexpr int kLevelsShownWhole = 3;
constexpr int kListsTop = 282;
constexpr int kListsBottom = 748;
const QColor kLineGrey(224, 224, 224);
// The chart panel covers the level columns below the header.
const QRect kChartPanel = twipsRect(120, 1740, 15120, 9660);
constexpr int kChartSurfaceWidth = 820;
} // namespace

seisekitime1::seisekitime1(QWidget *parent) : Screen(parent)
{
    setObjectName(QStringLiteral("seisekitime1"));
    setWindowTitle(QStringLiteral("kelvane"));
    const Hensuu1 &h = hensuu1();
    setBackground(this, h.seasonColor);

    Label11 = makeLabel(this, {}, {16, 8, 200, 44}, 24, true);
    Label12 = makeLabel(this, {}, {230, 8, 300, 24}, 14, true);
    Label13 = makeLabel(this, {}, {230, 34, 300, 20}, 11);
    Label17 = makeLabel(this, {}, {540, 8, 160, 24}, 12);
    Label18 = makeLabel(this, {}, {540, 34, 200, 20}, 12);

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
    listSettings().periodChoice = 3;
    for (int level = 1; level <= h.levelCount; ++level)
        buildColumn(level);
    buildListControls();
    buildChartPanel();

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
    Label19 = makeLabel(Picture2, {}, {0, 330, kCanvasWidth, 50}, 24, true);
    Label19->setText(QStringLiteral("Just a moment, please."));
    Label19->setAlignment(Qt::AlignCenter);
    ProgressBar1 = new QProgressBar(Picture2);
    ProgressBar1->setGeometry(312, 400, 400, 24);
    Picture2->hide();
}

void seisekitime1::buildColumn(int level)
{
    const Hensuu1 &h = hensuu1();
    Label1[level] = makeLabel(this, {}, {0, 70, 28, 36}, 16, true);
    Label1[level]->setText(QString::number(level));
    Label3[level] = new ClickableLabel(this);
    Label3[level]->setFont(screenFont(16, true));
    Label3[level]->setText(h.levelNames[level]);
    Label3[level]->setToolTip(h.levelNames[level]);
    Label3[level]->setCursor(Qt::PointingHandCursor);
    connect(Label3[level], &ClickableLabel::clicked, this, [this, level] { startLevel(level, false); });

    Command4[level] = new QPushButton(QStringLiteral("ｽﾀｰﾄ(&%1)").arg(level), this);
    Command4[level]->setFont(screenFont(13, true));
    Command4[level]->setToolTip(QStringLiteral("クリックしてスタートします。番号を押してもよろしい"));
    connect(Command4[level], &QPushButton::clicked, this, [this, level] { startLevel(level, true); });

    Text1[level] = makeLabel(this, {}, {}, 11, true);
    Text1[level]->setText(QStringLiteral("やりすぎ禁止"));
    Text1[level]->setAlignment(Qt::AlignCenter);
    Text1[level]->setFrameStyle(QFrame::Box);
    setBackground(Text1[level], QColor(192, 192, 192));
    Text1[level]->hide();

    Label7[level] = makeLabel(this, {}, {}, 11);
    setBackground(Label7[level], kLineGrey);
    Label7[level]->setText(targetLine(level));
    Label8[level] = makeLabel(this, {}, {}, 11);
    setBackground(Label8[level], kLineGrey);
    Label8[level]->setText(recentPeriodLine(level, h.currentPupil));
    Label9[level] = makeLabel(this, {}, {}, 11, true);
    Label10[level] = makeLabel(this, {}, {}, 11, true);
    Label14[level] = makeLabel(this, {}, {}, 11);
    Label15[level] = makeLabel(this, {}, {}, 11);
    List5[level] = new QListWidget(this);
    List5[level]->setFont(fixedPitchFont(11));
    List5[level]->setFocusPolicy(Qt::NoFocus);
    List5[level]->setUniformItemSizes(true);
    List5[level]->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    // The ranking procedure of the level, run by the list options rather than clicked.
    Command3[level] = new QPushButton(QStringLiteral("成績表示"), this);
    Command3[level]->hide();
    connect(Command3[level], &QPushButton::clicked, this, [this, level] { Command3_Click(level); });
    placeColumn(level, kColumnsLeft + (level - 1) * m_columnWidth);
}

// Column L from its left edge x: the level's number and name, start button, target and
// recent-period lines, the captions "今日" and "今まで" over their values, the list.
void seisekitime1::placeColumn(int level, int x)
{
    const int w = m_columnWidth - 8;
    const int half = w / 2;
    Label1[level]->move(x, 70);
    Label3[level]->setGeometry(x + Label1[level]->width() + 2, 70, w - 140, 36);
    Command4[level]->setGeometry(x + w - 104, 68, 104, 40);
    Text1[level]->setGeometry(Command4[level]->geometry());
    Label7[level]->setGeometry(x, 114, w, 22);
    Label8[level]->setGeometry(x, 138, w, 22);
    Label9[level]->setGeometry(x, 164, half, 22);
    Label10[level]->setGeometry(x + half, 164, w - half, 22);
    Label14[level]->setGeometry(x, 186, half, 22);
    Label15[level]->setGeometry(x + half, 186, w - half, 22);
    List5[level]->setGeometry(x, kListsTop, w, kListsBottom - kListsTop);
}

void seisekitime1::buildListControls()
{
    const Hensuu1 &h = hensuu1();
    auto *views = new QButtonGroup(this);
    const QStringList viewCaptions = {QStringLiteral("ﾀｲﾑ表示"), QStringLiteral("ﾎﾟｲﾝﾄ表示"),
                                      QStringLiteral("個人ﾀｲﾑ")};
    for (int i = 0; i < 3; ++i) {
        Option2[i] = new QRadioButton(viewCaptions[i], this);
        Option2[i]->setGeometry(16 + i * 96, 214, 94, 28);
        Option2[i]->setFont(screenFont(11, true));
        Option2[i]->setFocusPolicy(Qt::NoFocus);
        views->addButton(Option2[i], i);
        onChosen(Option2[i], this, [this, i] { Option2_Click(i); });
    }
    Picture1 = new QWidget(this);
    Picture1->setGeometry(312, 212, 336, 32);
    const QStringList kindCaptions = {QString(), QStringLiteral("BEST表示"), QStringLiteral("本日のみ"),
                                      QStringLiteral("オール表示")};
    for (int i = 1; i <= 3; ++i) {
        Option1[i] = new QRadioButton(kindCaptions[i], Picture1);
        Option1[i]->setGeometry((i - 1) * 112, 2, 110, 28);
        Option1[i]->setFont(screenFont(11));
        Option1[i]->setFocusPolicy(Qt::NoFocus);
        onChosen(Option1[i], this, [this, i] { Option1_Click(i); });
    }
    Command5 = new QPushButton(QStringLiteral("本日成績表示"), Picture1);
    Command7 = new QPushButton(QStringLiteral("全成績"), Picture1);
    Command6 = new QPushButton(QStringLiteral("過去最高表示"), Picture1);
    // The list builders, run by the options rather than clicked.
    for (QPushButton *builder : {Command5, Command7, Command6})
        builder->hide();
    connect(Command5, &QPushButton::clicked, this, &seisekitime1::Command5_Click);
    connect(Command7, &QPushButton::clicked, this, &seisekitime1::Command7_Click);
    connect(Command6, &QPushButton::clicked, this, &seisekitime1::Command6_Click);

    Combo2 = new QComboBox(this);
    Combo2->setGeometry(660, 214, 210, 28);
    Combo2->setFont(screenFont(11));
    Combo2->setFocusPolicy(Qt::NoFocus);
    Combo2->addItems(periodChoiceTexts());
    Combo2->setCurrentIndex(listSettings().periodChoice - 1);
    Combo2->hide();
    connect(Combo2, &QComboBox::activated, this, &seisekitime1::Combo2_Click);
    connect(Combo1, &QComboBox::activated, this, &seisekitime1::Combo1_Click);

    Label5 = makeLabel(this, {}, {16, 248, 992, 28}, 14, true);

    HScroll1 = new QScrollBar(Qt::Horizontal, this);
    HScroll1->setGeometry(kColumnsLeft, kListsBottom + 2, kCanvasWidth - 2 * kColumnsLeft, 16);
    HScroll1->setRange(1, std::max<int>(h.levelCount, 1));
    HScroll1->setFocusPolicy(Qt::NoFocus);
    HScroll1->setVisible(h.levelCount > kLevelsShownWhole);
    connect(HScroll1, &QScrollBar::valueChanged, this, &seisekitime1::HScroll1_Change);

    Command16 = new QPushButton(QStringLiteral("個人別ﾀｲﾑ"), this);
    Command16->hide(); // run by the personal view
    connect(Command16, &QPushButton::clicked, this, &seisekitime1::Command16_Click);
    Command17 = new QPushButton(QStringLiteral("グラフ"), this);
    Command17->setGeometry(660, 212, 120, 32);
    Command17->setFont(screenFont(12, true));
    Command17->setFocusPolicy(Qt::NoFocus);
    Command17->hide();
    connect(Command17, &QPushButton::clicked, this, &seisekitime1::Command17_Click);

    Picture6 = new QWidget(this);
    setBackground(Picture6, QColor(255, 255, 192));
    Picture6->setGeometry(312, 420, 400, 120);
    Label21 = makeLabel(Picture6, {}, {0, 16, 400, 40}, 18, true);
    Label21->setText(QStringLiteral("Just a momento, please."));
    Label21->setAlignment(Qt::AlignCenter);
    ProgressBar2 = new QProgressBar(Picture6);
    ProgressBar2->setGeometry(40, 70, 320, 24);
    Picture6->hide();
}

void seisekitime1::buildChartPanel()
{
    Picture11 = new QWidget(this);
    Picture11->setObjectName(QStringLiteral("Picture11"));
    setBackground(Picture11, QColor(224, 224, 224));
    Picture11->setGeometry(kChartPanel);
    Picture12 = new ChartView(Picture11);
    Picture12->setGeometry(0, 0, kChartSurfaceWidth, kChartPanel.height());

    const int x = kChartSurfaceWidth + 8;
    const int w = kChartPanel.width() - x - 8;
    const auto button = [&](const QString &caption, const QRect &geometry) {
        auto *b = new QPushButton(caption, Picture11);
        b->setGeometry(geometry);
        b->setFont(screenFont(11, true));
        b->setFocusPolicy(Qt::NoFocus);
        return b;
    };
    auto *levelsCaption = makeLabel(Picture11, {}, {x, 8, w, 22}, 11, true);
    levelsCaption->setText(QStringLiteral("レベル"));
    List3 = new QListWidget(Picture11);
    List3->setGeometry(x, 32, w, 96);
    List3->setFont(fixedPitchFont(12));
    List3->setSelectionMode(QAbstractItemView::MultiSelection);
    List3->setFocusPolicy(Qt::NoFocus);
    Command24[0] = button(QStringLiteral("表示"), {x, 136, w / 2 - 2, 34});
    Command24[1] = button(QStringLiteral("印刷"), {x + w / 2 + 2, 136, w - w / 2 - 2, 34});
    Command24[1]->hide();
    Command25 = button(QStringLiteral("他の人のデータを見る"), {x, 178, w, 34});
    List2 = new QListWidget(Picture11);
    List2->setGeometry(x, 178, w, kChartPanel.height() - 178 - 56);
    List2->setFont(fixedPitchFont(10));
    List2->setSelectionMode(QAbstractItemView::MultiSelection);
    List2->setFocusPolicy(Qt::NoFocus);
    List2->hide();
    Command18 = button(QStringLiteral("戻る"), {x, kChartPanel.height() - 48, w, 40});
    Picture11->hide();

    for (int i = 0; i < 2; ++i)
        connect(Command24[i], &QPushButton::clicked, this, [this, i] { Command24_Click(i); });
    connect(Command25, &QPushButton::clicked, this, &seisekitime1::Command25_Click);
    connect(Command18, &QPushButton::clicked, this, &seisekitime1::Command18_Click);
    connect(List2, &QListWidget::itemClicked, this, [this] { Command24_Click(0); });
    connect(List3, &QListWidget::itemClicked, this, [this] {
        if (Picture11->isVisible())
            Command24_Click(0);
    });
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
    Command24[1]->setVisible(h.currentPupilName.contains(QString::fromUtf8(kTeacherName)));
    Label17->setText(minutesHeader(minutesSinceLogin(h.loginTime, env().clock->timeOfDay())));

    menuReady = 0;
    showWaitPanel(true);
    ProgressBar1->show();
    QCoreApplication::processEvents();

    ComputePupilStatistics();
    h.todayTotal = static_cast<int16_t>(menuTodayTotal(h.currentPupil));
    Label18->setText(todayTotalHeader(h.todayTotal));
    ProgressBar1->setMaximum(h.levelCount);

    // The lists open on the school's ranking of points so far.
    Option1[1]->setText(QStringLiteral("累計順"));
    Option1[2]->setText(QStringLiteral("本日順"));
    viewMode = 2;
    listSettings().listMode = 1;
    activating = 1;
    checkQuietly(Option2[1]);
    Option2_Click(1);
    activating = 0;
    checkQuietly(Option1[1]);
    Option1_Click(1);
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

    HScroll1_Change(HScroll1->value());
    for (int level = 1; level <= h.levelCount; ++level) {
        if (isPracticeLevel(level))
            hidePracticeColumn(level);
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

void seisekitime1::HScroll1_Change(int value)
{
    const int levelCount = hensuu1().levelCount;
    const int first = value > levelCount ? 1 : value;
    for (int level = 1; level <= levelCount; ++level) {
        int x = kColumnsLeft + (level - first) * m_columnWidth;
        if (x < 0)
            x = width(); // out of sight
        placeColumn(level, x);
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

// ---- the result lists --------------------------------------------------------------

ListRequest seisekitime1::listRequest() const
{
    ListRequest request;
    request.currentPupil = hensuu1().currentPupil;
    request.gradeFilter = Combo1->currentText();
    request.periodChoice = listSettings().periodChoice;
    request.today = env().clock->today();
    request.now = nowAsOleDate();
    return request;
}

void seisekitime1::beginRebuild()
{
    Command1->setEnabled(false);
    for (int level = 1; level <= hensuu1().levelCount; ++level) {
        Command4[level]->setEnabled(false);
        List5[level]->hide();
    }
    Picture6->show();
    Picture6->raise();
}

void seisekitime1::endRebuild()
{
    Command1->setEnabled(true);
    LevelAccessPassRun();
    for (int level = 1; level <= hensuu1().levelCount; ++level) {
        if (!isPracticeLevel(level))
            List5[level]->show();
    }
    Picture6->hide();
}

// A practice level shows no list and no figures.
void seisekitime1::hidePracticeColumn(int level)
{
    for (QWidget *w :
         std::initializer_list<QWidget *>{List5[level], Label7[level], Label8[level], Label9[level],
                                          Label10[level], Label14[level], Label15[level]})
        w->hide();
}

void seisekitime1::fillList(int level, const LevelList &list)
{
    QListWidget *box = List5[level];
    box->clear();
    box->addItems(list.lines);
    if (list.ownRow < 0)
        return;
    box->scrollToItem(box->item(list.ownRow));
    if (list.ownRow > 0)
        box->scrollToItem(box->item(list.ownRow - 1));
}

void seisekitime1::Option2_Click(int index)
{
    Command17->hide();
    Picture11->hide();
    beginRebuild();
    QCoreApplication::processEvents();
    if (activating == 1)
        return;
    switch (index) {
    case 0:
        Option1[1]->setText(QStringLiteral("BEST表示"));
        Option1[2]->setText(QStringLiteral("本日のみ"));
        Option1[3]->setEnabled(true);
        viewMode = 1;
        for (int i = 1; i <= 3; ++i) {
            if (Option1[i]->isChecked()) {
                Option1_Click(i);
                break;
            }
        }
        break;
    case 1:
        Combo2->hide();
        Option1[1]->setText(QStringLiteral("合計累計"));
        Option1[2]->setText(QStringLiteral("合計本日"));
        Option1[3]->setText(QStringLiteral("すべて"));
        Option1[3]->setEnabled(true);
        viewMode = 2;
        QCoreApplication::processEvents();
        if (Option1[1]->isChecked()) {
            rankOrder = 1;
            Option1_Click(1);
        } else if (Option1[3]->isChecked()) {
            Option1_Click(3);
        } else if (Option1[2]->isChecked()) {
            rankOrder = 2;
            Option1_Click(2);
        }
        break;
    default:
        Command17->show();
        Combo2->hide();
        Command16_Click();
        break;
    }
}

void seisekitime1::Option1_Click(int index)
{
    const Hensuu1 &h = hensuu1();
    beginRebuild();
    Combo2->hide();
    Picture1->setEnabled(false);
    QCoreApplication::processEvents();
    if (viewMode == 0)
        viewMode = 1;
    const ListKind kind = listKindOf(viewMode, index);
    switch (kind) {
    case ListKind::BestTimes:
        Command6_Click();
        break;
    case ListKind::TodaysRecords:
        Command5_Click();
        break;
    case ListKind::PeriodRecords:
    case ListKind::PeriodPoints:
        Command7_Click();
        break;
    case ListKind::PointsSoFar:
    case ListKind::PointsToday: {
        rankOrder = kind == ListKind::PointsToday ? 2 : 1;
        Label5->setText(listTitleOf(kind));
        ProgressBar1->setValue(0);
        ProgressBar2->setMaximum(h.levelCount);
        for (int level = 1; level <= h.levelCount; ++level) {
            ProgressBar2->setValue(level);
            if (kind == ListKind::PointsSoFar)
                ProgressBar1->setValue(level);
            Command3_Click(level);
        }
        break;
    }
    case ListKind::PersonalTimes: // the personal view has no list options
        break;
    }
    if (viewMode == 2)
        Picture1->setEnabled(true);

    endRebuild();
}

void seisekitime1::Combo2_Click(int index)
{
    if (!Option1[3]->isChecked())
        return;
    listSettings().periodChoice = static_cast<int16_t>(index + 1);
    Option1_Click(3);
}

void seisekitime1::Combo1_Click()
{
    // The view shown is rebuilt for the new filter, the personal times too.
    Option2_Click(Option2[0]->isChecked() ? 0 : Option2[2]->isChecked() ? 2 : 1);
    Command4[1]->setFocus();
}

void seisekitime1::showRecordLists(ListKind kind, const QString &procedure)
{
    QByteArray bytes;
    readResultsForLists(procedure, bytes);
    const int count = recordCountOf(bytes);
    ProgressBar2->setMaximum(static_cast<int>((count + 1) * 1.1));
    ProgressBar2->setValue(0);
    const ListsView view = computeLists(kind, bytes, listRequest());
    ListSettings &settings = listSettings();
    settings.listMode = view.listMode;
    if (view.listMode == 3)
        settings.periodDays = static_cast<int16_t>(view.periodDays);
    Label5->setText(view.title);
    for (int level = 1; level <= hensuu1().levelCount; ++level)
        fillList(level, view.levels[level]);
    ProgressBar2->setValue(count);
}

void seisekitime1::Command5_Click()
{
    回数など表示();
    showRecordLists(ListKind::TodaysRecords, QStringLiteral("Command5"));
    成績リスト色表示();
    Picture1->setEnabled(true);
}

void seisekitime1::Command7_Click()
{
    回数など表示();
    showRecordLists(viewMode == 1 ? ListKind::PeriodRecords : ListKind::PeriodPoints,
                    QStringLiteral("Command7"));
    QCoreApplication::processEvents();
    成績リスト色表示();
    Picture1->setEnabled(true);
    Combo2->setCurrentIndex(listSettings().periodChoice - 1);
    Combo2->show();
}

void seisekitime1::Command6_Click()
{
    const Hensuu1 &h = hensuu1();
    Label5->setText(listTitleOf(ListKind::BestTimes));
    listSettings().listMode = 1;
    回数など表示();
    ProgressBar2->setValue(0);
    ProgressBar2->setMaximum(h.levelCount);
    for (int level = 1; level <= h.levelCount; ++level) {
        ProgressBar2->setValue(level);
        if (isPracticeLevel(level))
            hidePracticeColumn(level);
        else
            Command3_Click(level);
        List5[level]->clearSelection();
    }
    Picture1->setEnabled(true);
}

void seisekitime1::Command3_Click(int level)
{
    const Hensuu1 &h = hensuu1();
    Label9[level]->setText(QStringLiteral("今日"));
    Label10[level]->setText(QStringLiteral("今まで"));
    const LevelList list = levelRanking(level, viewMode == 0 ? 1 : viewMode, rankOrder == 0 ? 1 : rankOrder,
                                        h.currentPupil, Combo1->currentText());
    fillList(level, list);
    成績リスト色表示単独(level);
}

void seisekitime1::成績リスト色表示()
{
    for (int level = 1; level <= hensuu1().levelCount; ++level) {
        if (List5[level]->count() > 0)
            List5[level]->clearSelection();
    }
}

void seisekitime1::成績リスト色表示単独(int level)
{
    if (List5[level]->count() > 0 && (viewMode == 2 || hensuu1().levelKind[level] == 1))
        List5[level]->clearSelection();
}

// ---- the personal times and the progress charts -------------------------------------

void seisekitime1::Command16_Click()
{
    Hensuu1 &h = hensuu1();
    // The chooser lists the roster as it is now; one that cannot be read leaves the
    // pupils as the name screen read them.
    const RosterReading roster = readRosterFile(h.dataPathSetting + QString::fromUtf8(kRosterFileName));
    if (!roster.fileRead())
        env().dialogs->message(QDir::toNativeSeparators(roster.path) + QStringLiteral(": ") +
                               roster.fileProblem());
    List2->clear();
    List2->addItems(pupilChooserLines(env().clock->today(), h.schoolYearStartMonth));
    List3->clear();
    for (int level = 1; level <= h.levelCount; ++level)
        List3->addItem(QString::number(level));
    chartPupil = h.currentPupil;

    回数など表示();
    showRecordLists(ListKind::PersonalTimes, QStringLiteral("Command16"));
    // The list options have no kind of list to choose here.
    Picture1->setEnabled(false);
    endRebuild();
}

void seisekitime1::Command17_Click()
{
    chartPupil = hensuu1().currentPupil;
    List2->hide();
    Command25->show();
    List2->clearSelection();
    for (int row = 0; row < std::min(3, List3->count()); ++row)
        List3->item(row)->setSelected(true);
    levelOffset = 1;
    Command21_Click(0);
}

QList<int> seisekitime1::chosenLevels() const
{
    QList<int> levels;
    for (int row = 0; row < List3->count(); ++row) {
        if (List3->item(row)->isSelected())
            levels << row + levelOffset;
    }
    return levels;
}

QList<int> seisekitime1::chosenPupils() const
{
    QList<int> pupils;
    for (int row = 0; row < List2->count(); ++row) {
        const int pupil = pupilOfChooserLine(List2->item(row)->text());
        if (List2->item(row)->isSelected() && pupil >= 0)
            pupils << pupil;
    }
    return pupils;
}

void seisekitime1::Command24_Click(int index)
{
    QList<int> pupils = chosenPupils();
    if (pupils.isEmpty())
        pupils = {chartPupil};
    if (index == 1) {
        printChartsOf(pupils);
        return;
    }
    // On screen each pupil's charts replace the last's: only the last pupil's stay.
    chartPupil = pupils.last();
    Command21_Click(0);
}

ChartRequest seisekitime1::chartRequest() const
{
    ChartRequest request;
    request.pupil = chartPupil;
    request.gradeFilter = Combo1->currentText();
    request.now = nowAsOleDate();
    return request;
}

void seisekitime1::Command21_Click(int index)
{
    if (index == 1) {
        printChartsOf({chartPupil});
        return;
    }
    QByteArray bytes;
    readResultsForLists(QStringLiteral("Command19"), bytes);
    Picture11->setGeometry(kChartPanel);
    const QList<QList<ProgressChart>> pages =
        chartPages(bytes, chartRequest(), chosenLevels(), Picture12->surface());
    Picture12->setCharts(pages.isEmpty() ? QList<ProgressChart>() : pages.last());
    if (!pages.isEmpty()) {
        Picture11->show();
        Picture11->raise();
    }
}

// One print job per pupil, and one message for them all.
void seisekitime1::printChartsOf(const QList<int> &pupils)
{
    const QList<int> levels = chosenLevels();
    if (levels.isEmpty()) {
        env().dialogs->message(QStringLiteral("印刷するレベルを選んでください"));
        return;
    }
    QByteArray bytes;
    readResultsForLists(QStringLiteral("Command19"), bytes);
    QStringList written;
    QStringList failures;
    for (int pupil : pupils) {
        chartPupil = pupil;
        const ChartPrintResult printed = printCharts(bytes, chartRequest(), levels);
        if (!printed.error.isEmpty())
            failures << printed.error;
        else if (!printed.pdfPath.isEmpty())
            written << QDir::toNativeSeparators(printed.pdfPath);
    }
    QStringList message;
    if (!failures.isEmpty())
        message << QStringLiteral("印刷できませんでした。") << failures;
    if (!written.isEmpty())
        message << QStringLiteral("プリンターがないので、PDFファイルに書きました。") << written;
    if (!message.isEmpty())
        env().dialogs->message(message.join(u'\n'));
}

void seisekitime1::Command25_Click()
{
    Command25->hide();
    List2->show();
}

void seisekitime1::Command18_Click()
{
    Picture11->hide();
}
