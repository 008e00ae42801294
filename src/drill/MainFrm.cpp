#include "drill/MainFrm.h"

#include "core/environment.h"
#include "core/handoffs.h"
#include "core/hensuu1.h"
#include "core/widgets.h"
#include "drill/sounds.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QPointer>

namespace
{

const QColor kStatusBarColour(0, 0, 112);
const QColor kProblemAreaColour(232, 240, 255);
const QColor kNoticeColour(255, 255, 160);

constexpr int kStatusBarHeight = 1485;
constexpr int kRowLeft = 2610;
constexpr int kRowWidth = 10500;
constexpr int kRowHeight = 900;
constexpr std::array<int, kMaxSteps + 1> kRowTop{0, 900, 1800, 3600, 5400, 7200};
constexpr int kHintLeft = 8190;
constexpr int kHintWidth = 4920;
constexpr int kLampPitch = 210;
constexpr int kLampSize = 165;
constexpr int kHintDelayMs = 5000;

QLabel *label(QWidget *parent, const QString &text, const QRect &geometry, int pointSize,
              Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter)
{
    auto *result = new QLabel(text, parent);
    result->setGeometry(geometry);
    result->setFont(screenFont(pointSize));
    result->setAlignment(alignment);
    return result;
}

QLabel *gaugePart(QWidget *parent, const QString &style)
{
    auto *part = new QLabel(parent);
    part->setGeometry(twipsRect(kGaugeLeft, kGaugeTop, kGaugeWidth, kGaugeHeight));
    part->setStyleSheet(style);
    return part;
}

} // namespace

MainFrm::MainFrm(QWidget *parent) : Screen(parent)
{
    setObjectName(QStringLiteral("MainFrm"));
    setWindowTitle(QStringLiteral("Kelvane"));
    setFocusPolicy(Qt::StrongFocus);
    // The problem area's colour, which fills the screen below the status bar, is also
    // the colour of the bands beside a scaled drill.
    setBackground(this, kProblemAreaColour);
    env().random->seed(env().clock->timeOfDay());

    buildStatusBar();
    buildProblemArea();
    buildNoticeBox();

    sTimer1 = new QTimer(this);
    sTimer1->setInterval(1000);
    connect(sTimer1, &QTimer::timeout, this, &MainFrm::sTimer1Tick);
    sTimer2 = new QTimer(this);
    sTimer2->setInterval(10000);
    connect(sTimer2, &QTimer::timeout, this, &MainFrm::sTimer2Tick);
    sTimer2->start();
    for (int row = 1; row <= kMaxSteps; ++row) {
        HintoTimer1[row] = new QTimer(this);
        HintoTimer1[row]->setSingleShot(true);
        connect(HintoTimer1[row], &QTimer::timeout, this, [this, row] { HintoTimer1Tick(row); });
    }
}

void MainFrm::buildStatusBar()
{
    sPicture1 = new QWidget(this);
    sPicture1->setGeometry(twipsRect(0, 0, 15360, kStatusBarHeight));
    setBackground(sPicture1, kStatusBarColour);
    setTextColour(sPicture1, Qt::white);

    sLabel2 = label(sPicture1, {}, twipsRect(120, 60, 1800, 480), 16);
    const auto top = [](int left, int width) { return twipsRect(left, 60, width, 480); };
    const auto right = Qt::AlignRight | Qt::AlignVCenter;
    sLabel16[0] = label(sPicture1, QStringLiteral("起動後"), top(2000, 900), 12);
    sLabel13 = label(sPicture1, {}, top(2900, 600), 12, right);
    sLabel16[1] = label(sPicture1, QStringLiteral("分"), top(3560, 400), 12);
    sLabel16[2] = label(sPicture1, QStringLiteral("本日"), top(4100, 700), 12);
    sLabel12 = label(sPicture1, {}, top(4800, 600), 12, right);
    sLabel16[3] = label(sPicture1, QStringLiteral("回目"), top(5460, 700), 12);
    sLabel16[4] = label(sPicture1, QStringLiteral("このレベル"), top(6300, 1300), 12);
    sLabel11 = label(sPicture1, {}, top(7600, 600), 12, right);
    sLabel16[5] = label(sPicture1, QStringLiteral("回目"), top(8260, 700), 12);
    sLabel8 = label(sPicture1, {}, top(9100, 1900), 12);
    sLabel14 = label(sPicture1, {}, top(11000, 2300), 12);
    sLabel7 = label(sPicture1, {}, top(13300, 2000), 12);

    const auto middle = [](int left, int width) { return twipsRect(left, 600, width, 480); };
    struct LampRow {
        int labelIndex;
        const char *caption;
        int left;
        int captionWidth;
        int firstLamp;
        QColor colour;
    };
    const LampRow rows[] = {
        {1, "Best", 120, 800, kBestLamps, QColor(0, 200, 0)},
        {0, "YourBest", 3300, 1250, kYourBestLamps, QColor(160, 160, 0)},
        {2, "Pass", 6950, 750, kPassLamps, QColor(235, 0, 0)},
    };
    for (const LampRow &row : rows) {
        sLabel17[row.labelIndex] =
            label(sPicture1, QString::fromLatin1(row.caption), middle(row.left, row.captionWidth), 11);
        for (int i = 0; i < 10; ++i) {
            QLabel *lamp = new QLabel(sPicture1);
            lamp->setGeometry(twipsRect(row.left + row.captionWidth + i * kLampPitch,
                                        600 + (480 - kLampSize) / 2, kLampSize, kLampSize));
            lamp->setStyleSheet(QStringLiteral("background: %1; border: 1px solid white; border-radius: 5px;")
                                    .arg(row.colour.name()));
            sPicture3[row.firstLamp + i] = lamp;
        }
    }
    sLabel4 = label(sPicture1, QStringLiteral("残り"), middle(10300, 700), 12);
    sLabel9 = label(sPicture1, {}, middle(10900, 600), 12, Qt::AlignRight | Qt::AlignVCenter);
    sLabel6 = label(sPicture1, QStringLiteral("問"), middle(11560, 400), 12);
    sLabel5 = label(sPicture1, QStringLiteral("タイム"), middle(12300, 1000), 12);
    sLabel10 = label(sPicture1, {}, middle(13200, 900), 12, Qt::AlignRight | Qt::AlignVCenter);

    // The elapsed bar lies under the two marks, so that both stay visible as it grows.
    sShape5 = gaugePart(sPicture1, QStringLiteral("background: rgb(0, 0, 48); border: 1px solid white;"));
    sShape2 = gaugePart(sPicture1, QStringLiteral("background: rgb(0, 200, 255);"));
    sShape4 =
        gaugePart(sPicture1, QStringLiteral("background: transparent; border: 2px solid rgb(255, 140, 0);"));
    sShape3 =
        gaugePart(sPicture1, QStringLiteral("background: transparent; border: 2px solid rgb(255, 255, 0);"));
}

void MainFrm::buildProblemArea()
{
    Picture2 = new QWidget(this);
    Picture2->setGeometry(twipsRect(0, kStatusBarHeight, 15360, 11520 - kStatusBarHeight));
    setBackground(Picture2, kProblemAreaColour);

    Label3 = label(Picture2, QStringLiteral("順に計算しなさい"), twipsRect(kRowLeft, 150, 5000, 600), 16);
    Label5 = label(Picture2, QStringLiteral("間違うと３０秒追加"), twipsRect(9600, 150, 3510, 600), 14,
                   Qt::AlignRight | Qt::AlignVCenter);
    setTextColour(Label5, QColor(160, 0, 0));

    for (int row = 1; row <= kMaxSteps; ++row) {
        InputLabel2[row] = label(Picture2, {}, twipsRect(kRowLeft, kRowTop[row], kRowWidth, kRowHeight), 26);
        InputLabel2[row]->setFrameStyle(QFrame::Box | QFrame::Plain);
        InputLabel2[row]->setIndent(12);
        InputLabel2[row]->hide();
        if (row == 1)
            continue;
        Label1[row] = label(Picture2, QStringLiteral("="), twipsRect(1900, kRowTop[row], 600, kRowHeight), 26,
                            Qt::AlignCenter);
        Label1[row]->hide();
        HyoujiLabel[row] =
            label(Picture2, {}, twipsRect(kRowLeft, kRowTop[row] + kRowHeight, kRowWidth, kRowHeight), 20);
        HyoujiLabel[row]->setIndent(12);
        setTextColour(HyoujiLabel[row], QColor(200, 0, 0));
        HyoujiLabel[row]->hide();
        HintoLabel[row] = label(
            Picture2, {}, twipsRect(kHintLeft, kRowTop[row] + kRowHeight + 150, kHintWidth, kRowHeight - 300),
            13, Qt::AlignCenter);
        HintoLabel[row]->setStyleSheet(QStringLiteral(
            "background: rgb(255, 240, 200); color: rgb(120, 0, 120); border: 1px solid rgb(200, 150, 0);"));
        HintoLabel[row]->hide();
    }

    // Where a fifth row would stand: no problem has more than four.
    seikaihyoujiLabel = label(Picture2, QStringLiteral("＋を２回押しなさい"),
                              twipsRect(kRowLeft, kRowTop[5] + 150, kRowWidth, 600), 18, Qt::AlignCenter);
    seikaihyoujiLabel->setFont(screenFont(18, true));
    setTextColour(seikaihyoujiLabel, QColor(220, 0, 0));
    seikaihyoujiLabel->hide();
    Label2 = label(Picture2,
                   QStringLiteral("*=\"×\"　/=\"÷\"  z=\"(\" 　x=\")\"   スペース=移動、決定   \"←→\"=移動"),
                   twipsRect(600, 9520, 14160, 480), 13, Qt::AlignCenter);
    Label4 = label(Picture2, {}, twipsRect(120, 900, 2000, 600), 12);
    Label4->hide();
    Commandkakunin = new QPushButton(QStringLiteral("確認"), Picture2);
    Commandkakunin->setGeometry(twipsRect(13400, 7200, 1500, 900));
    Commandkakunin->setFocusPolicy(Qt::NoFocus);
    Commandkakunin->hide();
    connect(Commandkakunin, &QPushButton::clicked, this, &MainFrm::Commandkakunin_Click);
}

void MainFrm::buildNoticeBox()
{
    sPicture2 = new QWidget(this);
    sPicture2->setObjectName(QStringLiteral("sPicture2"));
    sPicture2->setGeometry(twipsRect(0, 0, 6000, kStatusBarHeight));
    sPicture2->setStyleSheet(QStringLiteral("background: rgb(%1, %2, %3);")
                                 .arg(kNoticeColour.red())
                                 .arg(kNoticeColour.green())
                                 .arg(kNoticeColour.blue()));
    sPicture2->setAttribute(Qt::WA_StyledBackground);
    lblsss2 = label(sPicture2, QStringLiteral("時間切れ"), sPicture2->rect(), 32, Qt::AlignCenter);
    lblsss2->setFont(screenFont(32, true));
    setTextColour(lblsss2, QColor(220, 0, 0));
    lblsss1 = label(sPicture2, QStringLiteral("成績記録中"), sPicture2->rect(), 32, Qt::AlignCenter);
    lblsss1->setFont(screenFont(32, true));
    setTextColour(lblsss1, QColor(0, 0, 180));
    sPicture2->hide();
}

MainFrm *MainFrm::shown()
{
    return qobject_cast<MainFrm *>(ScreenHost::instance().current());
}

void MainFrm::activate()
{
    初期設定();
    レベル別設定();
    スタート();
    問題作成表示();
}

void MainFrm::初期設定()
{
    Hensuu1 &h = hensuu1();
    ScreenHost::instance().closeBackdrop();
    h.drillEndState = {0, 0};
    h.judgeResult = 0;
    m_sheet = AnswerSheet(h.currentLevel);
    const int level = h.currentLevel;
    if (h.levelKind[level] != 0) {
        h.timeLimit = timeLimitOf(h.minimumTime[level]);
        sLabel10->setText(QStringLiteral("0"));
        h.gaugeScale = gaugeScaleFor(h.timeLimit);
        setElapsedBar(0);
        sShape3->resize(twips(gaugeWidthOf(h.passTime[level], h.gaugeScale)), sShape3->height());
        sShape4->resize(twips(gaugeWidthOf(h.minimumTime[level], h.gaugeScale)), sShape4->height());
    }
    h.todayTotal = todayTotalOf(h);
    const StatusTexts texts = statusTextsOf(h, env().clock->timeOfDay());
    QFont titleFont = sLabel2->font();
    titleFont.setPointSizeF(texts.titlePointSize);
    sLabel2->setFont(titleFont);
    sLabel2->setText(texts.title);
    sLabel7->setText(texts.pupilName);
    sLabel8->setText(texts.levelName);
    sLabel14->setText(texts.schoolName);
    sLabel13->setText(texts.minutesSinceLogin);
    sLabel12->setText(texts.todayAttempt);
    sLabel11->setText(texts.thisLevelAttempt);
}

void MainFrm::レベル別設定()
{
    hensuu1().problemCount = kProblemsPerSet;
    sLabel9->setText(QString::number(kProblemsPerSet));
}

void MainFrm::スタート()
{
    // The time of day is kept for the record; the clock itself runs on the monotonic counter.
    hensuu1().drillStartTime = static_cast<float>(env().clock->timeOfDay());
    m_clock.start(env().clock->monotonicMs());
    sTimer1->start();
}

void MainFrm::問題作成表示()
{
    const Hensuu1 &h = hensuu1();
    if (!mayMakeProblem(h))
        return;
    m_sheet.present(drawProblem(h.currentLevel, *env().random));
    showSheet();
    for (int row = 2; row <= m_sheet.stepCount(); ++row)
        HintoTimer1[row]->start((row - 1) * kHintDelayMs);
}

void MainFrm::判定()
{
    Hensuu1 &h = hensuu1();
    if (runEnded(h)) {
        h.judgingBusy = 0;
        return;
    }
    h.judgeResult = static_cast<int16_t>(m_sheet.judge());
}

void MainFrm::判定後処理()
{
    Hensuu1 &h = hensuu1();
    if (runEnded(h))
        return;
    // Sounds and pending events run inside; the screen may be replaced meanwhile.
    const QPointer<MainFrm> alive(this);
    if (h.judgeResult == 1) {
        h.judgeResult = 0;
        PlayCorrectSound();
        if (!alive)
            return;
        ++h.correctCount;
        sLabel9->setText(remainingProblemsText(h));
        if (h.correctCount < h.problemCount) {
            h.judgingBusy = 0;
            m_sheet.clearInput();
            問題作成表示();
        } else {
            sTimer1->stop();
            h.drillEndState[0] = 1;
            if (handoffs().finishDrill)
                handoffs().finishDrill();
        }
    } else if (h.judgeResult == 2) {
        Label4->hide();
        h.wrongAnswerState = 1;
        for (int row = 1; row <= kMaxSteps; ++row)
            HintoTimer1[row]->stop();
        m_sheet.markWrong();
        showSheet();
        QCoreApplication::processEvents();
        if (!alive)
            return;
        PlayWrongSound();
        if (!alive)
            return;
        seikaihyoujiLabel->show();
        h.drillStartTime -= kWrongAnswerPenaltySeconds;
        m_clock.addPenalty(kWrongAnswerPenaltySeconds);
        sLabel9->setText(remainingProblemsText(h));
        h.judgingBusy = 0;
    }
}

void MainFrm::ヒント表示()
{
    m_sheet.showLevelHint();
    Label4->setText(m_sheet.levelHint());
}

void MainFrm::showEndNotice(bool timedOut)
{
    lblsss2->setVisible(timedOut);
    lblsss1->setVisible(!timedOut);
    sPicture2->show();
    sPicture2->raise();
}

void MainFrm::characterKey(QChar key)
{
    Hensuu1 &h = hensuu1();
    switch (characterKeyAction(h, key, m_sheet.cursorPos() == m_sheet.stepCount())) {
    case CharacterKeyAction::Ignore:
        return;
    case CharacterKeyAction::FirstPlus:
        h.wrongAnswerState = 2;
        return;
    case CharacterKeyAction::Confirm:
        Commandkakunin_Click();
        return;
    case CharacterKeyAction::RestartPlusCount:
        h.wrongAnswerState = 1;
        return;
    case CharacterKeyAction::Judge:
        m_sheet.recolour();
        showSheet();
        h.judgingBusy = 1;
        判定();
        判定後処理();
        h.judgingBusy = 0;
        return;
    case CharacterKeyAction::Entry:
        if (m_sheet.entryKey(key) == AnswerSheet::KeyOutcome::Refused) {
            // The clock ticks while the sound plays, and a time-out may end the drill.
            const QPointer<MainFrm> alive(this);
            PlayWarningSound();
            if (!alive)
                return;
        }
        showSheet();
        return;
    }
}

void MainFrm::arrowKey(int key)
{
    switch (key) {
    case Qt::Key_Left:
        m_sheet.walkLeft();
        break;
    case Qt::Key_Right:
        m_sheet.walkRight();
        break;
    case Qt::Key_Up:
        m_sheet.eraseAll();
        break;
    case Qt::Key_Down:
        m_sheet.eraseField();
        break;
    default:
        return;
    }
    showSheet();
}

bool MainFrm::previewKey(QKeyEvent *event)
{
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
        arrowKey(event->key());
        return true;
    case Qt::Key_Backspace:
        characterKey(kBackspaceKey);
        return true;
    default:
        if (event->text().isEmpty())
            return false;
        characterKey(event->text().front());
        return true;
    }
}

void MainFrm::sTimer1Tick()
{
    Hensuu1 &h = hensuu1();
    const QPointer<MainFrm> alive(this);
    h.elapsedSeconds = m_clock.elapsedSeconds(env().clock->monotonicMs());
    for (int lamp : lampsOutAt(lampThresholdsOf(h), h.minimumTime[h.currentLevel], h.elapsedSeconds))
        sPicture3[lamp]->hide();
    if (h.levelKind[h.currentLevel] != 0) {
        sLabel10->setText(QString::number(h.elapsedSeconds));
        if (h.elapsedSeconds < h.timeLimit)
            setElapsedBar(gaugeWidthOf(h.elapsedSeconds, h.gaugeScale));
    }
    QCoreApplication::processEvents();
    if (!alive)
        return;
    if (h.elapsedSeconds >= h.timeLimit) {
        setElapsedBar(kGaugeWidth);
        if (timeOutDue(h)) {
            h.timedOut = 1;
            sTimer1->stop();
            if (handoffs().finishDrill)
                handoffs().finishDrill();
            if (!alive)
                return;
        }
    }
    QCoreApplication::processEvents();
}

void MainFrm::sTimer2Tick()
{
    sLabel13->setText(minutesSinceLoginText(hensuu1(), env().clock->timeOfDay()));
}

void MainFrm::HintoTimer1Tick(int row)
{
    HintoTimer1[row]->stop();
    m_sheet.showHint(row);
    showSheet();
}

void MainFrm::Commandkakunin_Click()
{
    hensuu1().wrongAnswerState = 0;
    m_sheet.clearInput();
    seikaihyoujiLabel->hide();
    Commandkakunin->hide();
    問題作成表示();
    m_sheet.resetEntries();
    showSheet();
}

void MainFrm::setElapsedBar(int width)
{
    sShape2->resize(twips(width), sShape2->height());
}

const QColor &MainFrm::colourOf(Shade shade) const
{
    switch (shade) {
    case Shade::Given:
        return colorGiven;
    case Shade::Cursor:
        return colorCursor;
    case Shade::Wrong:
        return colorWrong;
    case Shade::Field:
        break;
    }
    return colorField;
}

void MainFrm::showSheet()
{
    for (int row = 1; row <= kMaxSteps; ++row) {
        QLabel *field = InputLabel2[row];
        field->setText(m_sheet.rowText(row));
        setBackground(field, colourOf(m_sheet.shade(row)));
        field->setVisible(m_sheet.rowShown(row));
        if (row == 1)
            continue;
        Label1[row]->setVisible(m_sheet.rowShown(row));
        HyoujiLabel[row]->setText(m_sheet.stepText(row));
        HyoujiLabel[row]->setVisible(m_sheet.rowShown(row) && m_sheet.correctShown(row));
        HintoLabel[row]->setText(m_sheet.hint(row));
        HintoLabel[row]->setVisible(m_sheet.hintShown(row));
    }
    Label4->setText(m_sheet.levelHint());
}

void StartDrill()
{
    Hensuu1 &h = hensuu1();
    h.drillEndState = {0, 0};
    h.judgingBusy = 0;
    h.wrongAnswerState = 0;
    h.correctCount = 0;
    h.timedOut = 0;
    QCoreApplication::processEvents();
    ScreenHost::instance().show(new MainFrm);
}
