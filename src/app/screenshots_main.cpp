// ranvex-screenshots CLASSROOM_PROGRAM_FOLDER OUTPUT_FOLDER: writes a PNG of every
// screen, drawn offscreen on the given classroom's configuration.
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
#include "menu/seisekitime1.h"
#include "pupils/namesel.h"
#include "pupils/roster.h"
#include "results/FrmSyuuryou.h"
#include "results/results_file.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>

namespace
{
bool save(QWidget *widget, const QString &folder, const QString &name)
{
    widget->ensurePolished();
    QCoreApplication::processEvents();
    const QString path = folder + "/" + name + ".png";
    if (!widget->grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qUtf8Printable(path));
        return false;
    }
    std::printf("%s\n", qUtf8Printable(path));
    return true;
}

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
bool saveDrillScreens(MovableClock &clock, const QString &output)
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
    bool ok = save(drill, output, "MainFrm");

    clock.moveOn(8);
    tick(drill);
    type(drill, keysTyping(drill->sheet().stepText(2)) + QStringLiteral(" 99 "));
    clock.moveOn(1);
    tick(drill);
    ok &= save(drill, output, "MainFrm-wrong");

    type(drill, QStringLiteral("++"));
    type(drill, keysTyping(drill->sheet().stepText(2)).left(3));
    clock.moveOn(5 * h.minimumTime[1]);
    tick(drill);
    ok &= save(drill, output, "MainFrm-timeout");

    handoffs().finishDrill = finishDrill;
    return ok;
}
// The end screen after a new personal best, once its buttons are there, and after a
// time-out.
bool saveEndScreens(const QString &output)
{
    Hensuu1 &h = hensuu1();
    FillLevelCatalogue();
    h.currentLevel = 1;
    h.currentPupil = 1;
    h.currentPupilName = QStringLiteral("見本　花子");
    const auto show = [&](int32_t time, int16_t timedOut, int16_t personalBest) {
        h.attemptTime = time;
        h.timedOut = timedOut;
        h.newRecordFlags = {personalBest, 0};
        auto *screen = new FrmSyuuryou;
        ScreenHost::instance().show(screen);
        waitResponsive(700);
        return screen;
    };
    bool ok = save(show(38, 0, 1), output, "FrmSyuuryou");
    ok &= save(show(kTimedOut, 1, 0), output, "FrmSyuuryou-timeout");
    h.timedOut = 0;
    return ok;
}

// The name screen, and the level menu of a pupil, of the teacher, and with a level
// banned for overuse.
bool saveMenuScreens(const QString &output)
{
    ScreenHost &host = ScreenHost::instance();
    auto *names = new namesel;
    host.show(names);
    bool ok = save(names, output, "namesel");
    names->List1->setCurrentRow(3);
    ok &= save(names, output, "namesel-chosen");

    const RosterTables &roster = rosterTables();
    int pupil = 0;
    int teacher = 0;
    for (int position = 1; position <= roster.activePupilCount; ++position) {
        const RosterRecord &record = roster.rosterRecords[position];
        if (record.name.trimmed() == QString::fromUtf8(kTeacherName))
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
    ok &= save(menu, output, "seisekitime1");
    // Every view of the lists, as the options choose them.
    const auto choose = [&](QAbstractButton *option, const char *name) {
        option->click();
        ok &= save(menu, output, name);
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
    ok &= save(menu, output, "seisekitime1-banned");

    menu = openMenuOf(teacher);
    menu->Command8->click();
    ok &= save(menu, output, "seisekitime1-teacher");
    return ok;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: ranvex-screenshots PROGRAM_FOLDER OUTPUT_FOLDER\n");
        return 2;
    }
    QApplication::setFont(screenFont(9));
    const QString programFolder = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(output);

    MovableClock clock;
    SystemRandom random;
    Silence silence;
    ConsoleDialogs dialogs;
    env() = {&clock, &random, &silence, &dialogs, nullptr};
    wireSubsystems();

    ScreenHost &host = ScreenHost::instance();
    host.start(false);
    bool ok = true;

    auto *splash = new Firstfrm(programFolder);
    host.show(splash);
    splash->Label5->setText(eraDateCaption(clock.today()));
    ok &= save(splash, output, "Firstfrm");

    if (auto problem = LoadStartupConfiguration(programFolder)) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(problem->message()));
        return 1;
    }
    const QDate today = clock.today();
    hensuu1().seasonColor = seasonColorForMonth(today.month());

    BASEFRM backdrop;
    ok &= save(&backdrop, output, "BASEFRM");

    frmver version;
    version.show();
    ok &= save(&version, output, "frmver");
    version.close();

    ok &= saveDrillScreens(clock, output);
    ok &= saveEndScreens(output);
    ok &= saveMenuScreens(output);

    return ok ? 0 : 1;
}
