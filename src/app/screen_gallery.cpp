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
#include "menu/level_menu_rules.h"
#include "menu/seisekitime1.h"
#include "pupils/namesel.h"
#include "pupils/roster.h"
#include "results/FrmSyuuryou.h"
#include "results/results_file.h"
#include "results/statistics.h"

#include <QCoreApplication>

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

    h.overuseCount[1] = LooseValue::fromField(QStringLiteral("5"));
    h.overuseWindowCount[1][pupil] = 5;
    h.finalTargetCleared = 0;
    menu->LevelAccessPassRun();
    ok &= save(menu, "seisekitime1-banned");

    menu = openMenuOf(teacher);
    menu->Command8->click();
    ok &= save(menu, "seisekitime1-teacher");
    return ok;
}
} // namespace

QString visitScreens(const QString &programFolder, const ScreenVisitor &visit)
{
    MovableClock clock;
    SystemRandom random;
    Silence silence;
    ConsoleDialogs dialogs;
    env() = {&clock, &random, &silence, &dialogs, nullptr};
    wireSubsystems();

    ScreenHost &host = ScreenHost::instance();
    host.start(false);
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
        if (!ok)
            problem = QStringLiteral("a screen could not be saved");
    }
    env() = {};
    return problem;
}
