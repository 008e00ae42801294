#include "pupils/namesel.h"

#include "core/environment.h"
#include "core/frmver.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/login_clock.h"
#include "core/paths.h"
#include "drill/sounds.h"
#include "pupils/grade_filter_choices.h"
#include "pupils/name_list.h"
#include "pupils/roster.h"
#include "results/statistics.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QTimer>

namespace {
constexpr int kLabel1BlinkMs = 100;
}

QString programMenuPath(const QString &appFolder)
{
    const QString separator = pathSeparator();
    return appFolder + ".." + separator + "起動" + separator + "プログラムメニューc.exe";
}

namesel::namesel(QWidget *parent) : Screen(parent)
{
    setObjectName(QStringLiteral("namesel"));
    setWindowTitle(QStringLiteral("kelvane"));
    const Hensuu1 &h = hensuu1();
    setBackground(this, h.seasonColor);

    Label4 = new ClickableLabel(this);
    Label4->setGeometry(40, 16, 560, 80);
    Label4->setCursor(Qt::PointingHandCursor);
    connect(Label4, &ClickableLabel::clicked, this, &namesel::showVersion);

    Label1 = new QLabel(this);
    Label1->setGeometry(40, 104, 560, 44);
    Label1->setFont(screenFont(22, true));

    List1 = new QListWidget(this);
    List1->setGeometry(40, 156, 560, 596);
    List1->setFont(fixedPitchFont(14));
    // Every line is one line of the same font: the height of one stands for all, so that
    // a list of thousands is laid out at once.
    List1->setUniformItemSizes(true);
    setBackground(List1->viewport(), QColor(224, 255, 255));
    List1->setStyleSheet(QStringLiteral("QListWidget { background: rgb(224, 255, 255); }"));
    connect(List1, &QListWidget::currentRowChanged, this, &namesel::choose);
    connect(List1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem *item) {
        const int row = List1->row(item);
        if (row <= 0)
            return;
        Label1->setText(chosenNameOfDoubleClicked(item->text()));
        m_chosenPupil = m_linePupils.value(row);
        Label2->setText(QString::number(m_chosenPupil));
        confirm();
    });

    Label2 = new QLabel(this);
    Label2->hide();

    Combo1 = new QComboBox(this);
    Combo1->setGeometry(640, 170, 200, 34);
    Combo1->setFont(screenFont(14));
    Combo1->setEditable(false);
    Combo1->setToolTip(QStringLiteral("表示する学年を選びなさい"));
    Combo1->addItem(QStringLiteral("全学年"));
    connect(Combo1, &QComboBox::activated, this, [this](int) {
        hensuu1().selectedGradeFilter = Combo1->currentText();
        名簿表示();
        List1->setFocus();
    });

    for (int i = 0; i < 4; ++i) {
        Option1[i] = new QRadioButton(nameListViewCaption(i), this);
        Option1[i]->setGeometry(640, 230 + i * 40, 360, 32);
        Option1[i]->setFont(screenFont(13));
        Option1[i]->setFocusPolicy(Qt::NoFocus);
        onChosen(Option1[i], this, [this, i] {
            m_view = i;
            名簿表示();
        });
    }

    Command14 = new QPushButton(QStringLiteral("O.K."), this);
    Command14->setGeometry(640, 420, 200, 60);
    Command14->setFont(screenFont(18, true));
    Command14->setFocusPolicy(Qt::NoFocus);
    connect(Command14, &QPushButton::clicked, this, &namesel::confirm);

    Command7 = new QPushButton(QStringLiteral("ﾌﾟﾟﾛｸﾞﾗﾑメニューへ(0)"), this);
    Command7->setGeometry(640, 680, 300, 44);
    Command7->setFont(screenFont(13));
    Command7->setFocusPolicy(Qt::NoFocus);
    connect(Command7, &QPushButton::clicked, this, &namesel::openProgramMenu);

    Picture5 = new QWidget(this);
    setBackground(Picture5, h.seasonColor);
    Picture5->setGeometry(0, 0, kCanvasWidth, kCanvasHeight);
    Label19 = new QLabel(QStringLiteral("Just a moment, please."), Picture5);
    Label19->setGeometry(0, 340, kCanvasWidth, 60);
    Label19->setFont(screenFont(24, true));
    Label19->setAlignment(Qt::AlignCenter);

    // Opening
    env().random->seed(env().clock->timeOfDay());
    checkQuietly(Option1[m_view]);
    名簿表示();
    Label4->setText(h.programTitle);
    Label4->setFont(screenFont(48, true));
    List1->setCurrentRow(0);
    Picture5->hide();
}

void namesel::activate()
{
    m_view = 1;
    checkQuietly(Option1[1]);
    名簿表示();
    if (!m_filterFilled) {
        Combo1->clear();
        Combo1->addItems(gradeFilterChoices());
        m_filterFilled = true;
    }
    hensuu1().selectedGradeFilter = QStringLiteral("全学年");
    // Out of sight for a moment and back with the text, so that the pupil sees it blink.
    Label1->hide();
    Label1->setText(QString::fromUtf8(kChooseYourName));
    QTimer::singleShot(kLabel1BlinkMs, Label1, &QWidget::show);
    Picture5->hide();
    m_confirming = false;
    List1->setFocus();
}

void namesel::名簿表示()
{
    ComputePupilStatistics();
    const Hensuu1 &h = hensuu1();
    ReadRoster();
    const RosterTables &roster = rosterTables();
    const QList<NameListPupil> pupils = nameListPupils(roster, h);
    const QList<NameListLine> lines =
        buildNameList(pupils, static_cast<NameListView>(m_view), Combo1->currentText(), roster.schoolYear);
    List1->blockSignals(true);
    List1->clear();
    m_linePupils.clear();
    for (const NameListLine &line : lines) {
        List1->addItem(line.text);
        m_linePupils << line.pupil;
    }
    List1->blockSignals(false);
    List1->setCurrentRow(0);
}

void namesel::choose(int row)
{
    if (row <= 0) {
        Label1->setText(QString::fromUtf8(kChooseYourName));
        m_chosenPupil = 0;
        return;
    }
    Label1->setText(chosenNameOfSelected(List1->item(row)->text()));
    m_chosenPupil = m_linePupils.value(row);
    Label2->setText(QString::number(m_chosenPupil));
}

void namesel::confirm()
{
    if (m_confirming)
        return;
    const QString chosen = Label1->text();
    if (chosen == QString::fromUtf8(kChooseYourName) || chosen.isEmpty()) {
        PlayWrongSound();
        return;
    }
    Hensuu1 &h = hensuu1();
    const RosterTables &roster = rosterTables();
    h.loginTime = wholeSecondsOfDay(env().clock->timeOfDay());
    h.currentPupil = static_cast<int16_t>(m_chosenPupil);
    h.currentPupilName = roster.pupilNames[m_chosenPupil];
    h.currentPupilGradeLabel = roster.pupilGradeLabels[m_chosenPupil];
    m_confirming = true;
    Command14->hide();
    Picture5->show();
    Picture5->raise();
    QCoreApplication::processEvents();
    OpenLevelMenu();
}

void namesel::openProgramMenu()
{
    const QString program = programMenuPath(hensuu1().appFolder);
    QString error;
    if (!env().launcher->start(program, {QStringLiteral("001")}, &error)) {
        // Ending as if the menu had started would leave the pupil at an empty desktop.
        endWithMessage(QStringLiteral("プログラムメニューを起動できません。先生を呼びなさい。\n%1\n%2").arg(program, error),
                       QStringLiteral("Ranvex"));
        return;
    }
    env().dialogs->endProgram(0);
}

void namesel::showVersion()
{
    frmver version(this);
    version.move(mapToGlobal(rect().center()) - QPoint(version.width() / 2, version.height() / 2));
    version.exec();
    activate();
}

bool namesel::previewKey(QKeyEvent *event)
{
    const QString text = event->text();
    if (text == QStringLiteral("1") && Command14->isVisible()) {
        confirm();
        return true;
    }
    if (text == QStringLiteral("0") && Command7->isVisible()) {
        openProgramMenu();
        return true;
    }
    const bool confirmKey =
        event->key() == Qt::Key_Space || event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (confirmKey && List1->hasFocus()) {
        confirm();
        return true;
    }
    return false;
}
