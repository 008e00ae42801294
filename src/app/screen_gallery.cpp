#include "app/screen_gallery.h"

#include "app/wiring.h"
#include "core/BASEFRM.h"
#include "core/Firstfrm.h"
#include "core/environment.h"
#include "core/frmver.h"
#include "core/handoffs.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/login_clock.h"
#include "core/real_environment.h"
#include "core/screen_host.h"
#include "core/startup.h"
#include "drill/MainFrm.h"
#include "maintenance/FrmData.h"
#include "maintenance/FrmTimeData.h"
#include "menu/level_menu_rules.h"
#include "menu/seisekitime1.h"
#include "pupils/namesel.h"
#include "pupils/roster.h"
#include "results/FrmSyuuryou.h"
#include "results/results_file.h"
#include "results/statistics.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QRegularExpression>
#include <QSaveFile>

#include <cstdio>

namespace
{
// The system clock, moved on at will: the drill screen is shown at its time-out
// without waiting ten minutes.
class MovableClock : public Clock
{
public:
    QDate today() const override { return m_system.today(); }
    double timeOfDay() const override { return m_system.timeOfDay() + m_shift; }
    int64_t monotonicMs() const override
    {
        return m_system.monotonicMs() + static_cast<int64_t>(m_shift * 1000);
    }
    void moveOn(double seconds) { m_shift += seconds; }

private:
    SystemClock m_system;
    double m_shift = 0;
};

class Silence : public SoundOutput
{
public:
    SoundResult play(const QString &) override { return {}; }
};

// The drill screen of level 1: a fresh problem, a wrong answer marked, the time-out.
bool saveDrillScreens(MovableClock &clock, const ScreenVisitor &save)
{
    Hensuu1 &h = hensuu1();
    FillLevelCatalogue();
    h.currentLevel = 1;
    h.currentPupil = 1;
    h.currentPupilName = QStringLiteral("見本　花子");
    h.loginTime = wholeSecondsOfDay(clock.timeOfDay()) - 7 * 60;
    // The end of the drill would record the attempt; here it only shows its notice.
    const auto finishDrill = handoffs().finishDrill;
    handoffs().finishDrill = [] {
        hensuu1().drillEndState[1] = 1;
        MainFrm::shown()->showEndNotice(hensuu1().timedOut == 1);
    };
    const auto type = [](MainFrm *drill, const QString &keys) {
        for (QChar key : keys)
            drill->characterKey(key);
    };
    const auto tick = [](MainFrm *drill) { QMetaObject::invokeMethod(drill->sTimer1, "timeout"); };

    StartDrill();
    MainFrm *drill = MainFrm::shown();
    bool ok = save(drill, "MainFrm");

    clock.moveOn(8);
    tick(drill);
    type(drill, keysTyping(drill->sheet().stepText(2)) + QStringLiteral(" 99 "));
    clock.moveOn(1);
    tick(drill);
    ok &= save(drill, "MainFrm-wrong");

    type(drill, QStringLiteral("++"));
    type(drill, keysTyping(drill->sheet().stepText(2)).left(3));
    clock.moveOn(5 * h.minimumTime[1]);
    tick(drill);
    ok &= save(drill, "MainFrm-timeout");

    handoffs().finishDrill = finishDrill;
    return ok;
}
// The end screen after a new personal best, once its buttons are there, and after a
// time-out; a level cleared, a cleared level worked on too much (the pupil is sent on),
// and the goal level cleared, its congratulation shown before the buttons.
bool saveEndScreens(const ScreenVisitor &save)
{
    Hensuu1 &h = hensuu1();
    FillLevelCatalogue();
    h.currentLevel = 1;
    h.currentPupil = 1;
    h.currentPupilName = QStringLiteral("見本　花子");
    const auto show = [&](int32_t time, int16_t timedOut, int16_t personalBest, bool withButtons = true) {
        h.attemptTime = time;
        h.timedOut = timedOut;
        h.newRecordFlags = {personalBest, 0};
        auto *screen = new FrmSyuuryou;
        ScreenHost::instance().show(screen);
        if (withButtons)
            waitResponsive(700);
        return screen;
    };
    bool ok = save(show(38, 0, 1), "FrmSyuuryou");
    ok &= save(show(kTimedOut, 1, 0), "FrmSyuuryou-timeout");

    // Targets of nothing clear every level; one attempt in the last month is too many
    // for a pupil who has worked on level 1.
    const auto targetPoints = h.targetPoints;
    const auto targetCount = h.targetCount;
    const auto overuseCount = h.overuseCount;
    const auto overusePeriodDays = h.overusePeriodDays;
    ComputePupilStatistics();
    for (int pupil = 1; pupil <= kMaxPupil; ++pupil) {
        if (h.totalCount[1][pupil] > 0) {
            h.currentPupil = static_cast<int16_t>(pupil);
            break;
        }
    }
    for (int level = 1; level <= h.levelCount; ++level) {
        h.targetPoints[level] = 0;
        h.targetCount[level] = 0;
    }
    ok &= save(show(52, 0, 0), "FrmSyuuryou-cleared");
    h.overuseCount[1] = LooseValue::fromField(QStringLiteral("1"));
    h.overusePeriodDays[1] = LooseValue::fromField(QStringLiteral("30"));
    h.finalTargetCleared = 0;
    ok &= save(show(52, 0, 0), "FrmSyuuryou-next-level");
    h.currentLevel = static_cast<int16_t>(h.goalLevel);
    h.targetCleared = 0;
    ok &= save(show(95, 0, 0, false), "FrmSyuuryou-goal");
    waitResponsive(700);

    h.targetPoints = targetPoints;
    h.targetCount = targetCount;
    h.overuseCount = overuseCount;
    h.overusePeriodDays = overusePeriodDays;
    h.timedOut = 0;
    return ok;
}

// The name screen, and the level menu of a pupil, of the teacher, and with a level
// banned for overuse.
bool saveMenuScreens(const ScreenVisitor &save)
{
    ScreenHost &host = ScreenHost::instance();
    auto *names = new namesel;
    host.show(names);
    waitResponsive(300); // the chosen name's label blinks in
    bool ok = save(names, "namesel");
    names->List1->setCurrentRow(3);
    ok &= save(names, "namesel-chosen");

    const RosterTables &roster = rosterTables();
    int pupil = 0;
    int teacher = 0;
    for (int position = 1; position <= roster.activePupilCount; ++position) {
        const RosterRecord &record = roster.rosterRecords[position];
        if (isTeacherAccount(record.name))
            teacher = record.number;
        else if (pupil == 0)
            pupil = record.number;
    }
    Hensuu1 &h = hensuu1();
    const auto openMenuOf = [&](int number) {
        h.currentPupil = static_cast<int16_t>(number);
        h.currentPupilName = roster.pupilNames[number];
        h.currentPupilGradeLabel = roster.pupilGradeLabels[number];
        h.loginTime = wholeSecondsOfDay(env().clock->timeOfDay()) - 12 * 60;
        OpenLevelMenu();
        return static_cast<seisekitime1 *>(host.current());
    };
    seisekitime1 *menu = openMenuOf(pupil);
    ok &= save(menu, "seisekitime1");
    // Every view of the lists, as the options choose them.
    const auto choose = [&](QAbstractButton *option, const char *name) {
        option->click();
        ok &= save(menu, name);
    };
    choose(menu->Option1[2], "seisekitime1-points-today");
    choose(menu->Option1[3], "seisekitime1-points-period");
    choose(menu->Option2[0], "seisekitime1-time-period");
    choose(menu->Option1[1], "seisekitime1-time-best");
    choose(menu->Option1[2], "seisekitime1-time-today");
    // The personal times and charts of the pupil who has worked most on level 1.
    int busiest = pupil;
    for (int position = 1; position <= roster.activePupilCount; ++position) {
        const int number = roster.activePupilNumbers[position];
        if (h.totalCount[1][number] > h.totalCount[1][busiest])
            busiest = number;
    }
    menu = openMenuOf(busiest);
    choose(menu->Option2[2], "seisekitime1-personal");
    choose(menu->Command17, "seisekitime1-charts");
    menu->Command25->click();
    menu->List2->item(1)->setSelected(true);
    choose(menu->Command24[0], "seisekitime1-charts-other");
    menu = openMenuOf(pupil);

    h.overuseCount[1] = LooseValue::fromField(QStringLiteral("5"));
    h.overuseWindowCount[1][pupil] = 5;
    h.finalTargetCleared = 0;
    menu->LevelAccessPassRun();
    ok &= save(menu, "seisekitime1-banned");

    menu = openMenuOf(teacher);
    menu->Command8->click();
    ok &= save(menu, "seisekitime1-teacher");

    // The results editor from the maintenance panel, then its edit panel on a record.
    menu->Command10[0]->click();
    auto *editor = static_cast<FrmData *>(host.current());
    ok &= save(editor, "FrmData");
    const int row = std::max(editor->listModel->rowCount() - 3, 0);
    editor->List1->setCurrentIndex(editor->listModel->index(row));
    editor->openEditPanel(row);
    ok &= save(editor, "FrmData-edit");
    return ok;
}

void pressKey(QWidget *widget, int key, const QString &text = {}, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    QApplication::sendEvent(widget, &release);
}

// The criteria editor as the teacher opens it from the level menu, and after a new
// pass time for level 2 was typed (the box has moved on to level 3's minimum time).
// Nothing is saved.
bool saveCriteriaEditor(const ScreenVisitor &save)
{
    // Keys reach the edit box only in the active window, as on the school's PCs.
    ScreenHost::instance().activateWindow();
    QCoreApplication::processEvents();
    handoffs().showLevelMenu(); // the teacher's, left by the results editor
    static_cast<seisekitime1 *>(ScreenHost::instance().current())->Command10[1]->click();
    auto *editor = static_cast<FrmTimeData *>(ScreenHost::instance().current());
    bool ok = save(editor, "FrmTimeData");
    pressKey(editor->Gridinputtext, Qt::Key_Down);
    pressKey(editor->Gridinputtext, Qt::Key_Space, QStringLiteral(" "));
    pressKey(editor->Gridinputtext, Qt::Key_8, QStringLiteral("8"));
    pressKey(editor->Gridinputtext, Qt::Key_5, QStringLiteral("5"));
    pressKey(editor->Gridinputtext, Qt::Key_Down);
    pressKey(editor->Gridinputtext, Qt::Key_Right);
    ok &= save(editor, "FrmTimeData-changed");
    return ok;
}
} // namespace

QString visitScreens(const QString &programFolder, const ScreenVisitor &visit, WindowMode mode)
{
    MovableClock clock;
    SystemRandom random;
    Silence silence;
    ConsoleDialogs dialogs;
    env() = {&clock, &random, &silence, &dialogs, nullptr};
    wireSubsystems();

    ScreenHost &host = ScreenHost::instance();
    host.start(mode);
    const ScreenVisitor save = [&](QWidget *widget, const QString &name) {
        widget->ensurePolished();
        QCoreApplication::processEvents();
        return visit(widget, name);
    };
    bool ok = true;

    auto *splash = new Firstfrm(programFolder);
    host.show(splash);
    splash->Label5->setText(eraDateCaption(clock.today()));
    ok &= save(splash, "Firstfrm");

    QString problem;
    if (auto configuration = LoadStartupConfiguration(programFolder)) {
        problem = configuration->message();
    } else {
        hensuu1().seasonColor = seasonColorForMonth(clock.today().month());

        BASEFRM backdrop;
        ok &= save(&backdrop, "BASEFRM");

        frmver version;
        version.show();
        ok &= save(&version, "frmver");
        version.close();

        ok &= saveDrillScreens(clock, save);
        ok &= saveEndScreens(save);
        ok &= saveMenuScreens(save);
        ok &= saveCriteriaEditor(save);
        if (!ok)
            problem = QStringLiteral("a screen could not be saved");
    }
    env() = {};
    return problem;
}

QSize displaySize(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral("^([1-9][0-9]{2,4})x([1-9][0-9]{2,4})$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return {};
    return {match.captured(1).toInt(), match.captured(2).toInt()};
}

bool useOffscreenDisplay(QSize display)
{
    // The offscreen platform reads its displays from a file; one per size, replaced
    // whole, so that runs side by side never read half of one. Qt splits the platform's
    // arguments at ":", so the file is named relative to the current folder, without a
    // drive letter; a temporary folder on another drive holds it in the current folder.
    const QString name =
        QStringLiteral("ranvex-display-%1x%2.json").arg(display.width()).arg(display.height());
    QString path = QDir::current().relativeFilePath(QDir::temp().filePath(name));
    if (path.contains(u':'))
        path = name;
    QSaveFile file(path);
    const QByteArray description = QStringLiteral(R"({"screens": [{"name": "classroom", "x": 0, "y": 0, )"
                                                  R"("width": %1, "height": %2, "logicalDpi": 96, )"
                                                  R"("logicalBaseDpi": 96, "dpr": 1}]})")
                                       .arg(display.width())
                                       .arg(display.height())
                                       .toUtf8();
    if (!file.open(QIODevice::WriteOnly) || file.write(description) != description.size() || !file.commit()) {
        std::fprintf(stderr, "cannot write %s: %s\n", qUtf8Printable(path),
                     qUtf8Printable(file.errorString()));
        return false;
    }
    qputenv("QT_QPA_PLATFORM", QByteArray("offscreen:configfile=") + QFile::encodeName(path));
    return true;
}
