#include "results/finish_drill.h"

#include "core/environment.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/screen_host.h"
#include "drill/MainFrm.h"
#include "results/FrmSyuuryou.h"
#include "results/results_file.h"

#include <QCoreApplication>

#include <cmath>

namespace
{
constexpr int kStepMs = 10;

void letEventsRun()
{
    QCoreApplication::processEvents();
}

bool validSlot(int level, int pupil)
{
    return level >= 0 && level < kLevelSlots && pupil >= 0 && pupil < kPupilSlots;
}

void stopDrillClock()
{
    if (MainFrm *drill = MainFrm::shown())
        drill->sTimer1->stop();
}
} // namespace

void RecordAndJudgeAttempt(int level)
{
    Hensuu1 &h = hensuu1();
    const int pupil = h.currentPupil;
    if (!validSlot(level, pupil)) {
        endWithMessage(QStringLiteral("Seisekikiroku") +
                           QStringLiteral("インデックスが有効範囲にありません。") + QStringLiteral("9"),
                       QString::fromUtf8(kProgramTitle));
        return;
    }
    // The totals of the last scan, so the attempt being recorded is not part of them.
    h.targetCleared = h.totalCount[level][pupil] >= h.targetCount[level] &&
                              h.totalPoints[level][pupil] >= h.targetPoints[level]
                          ? 1
                          : 0;
    // Equal times are not records; a timed-out attempt (99999) never is one.
    if (h.bestTime[level][pupil] > h.attemptTime) {
        h.newRecordFlags[0] = 1;
        h.bestTime[level][pupil] = h.attemptTime;
    }
    AppendResultRecord();
    if (h.bestTimeAll[level] > h.attemptTime) {
        h.bestTimeAll[level] = h.attemptTime;
        h.newRecordFlags[1] = 1;
    }
}

void WaitThenShowResult(double seconds)
{
    const Clock &clock = *env().clock;
    const double wantedMs = seconds * 1000;
    int64_t last = clock.monotonicMs();
    int steps = 0;
    for (;;) {
        const int64_t now = clock.monotonicMs();
        if (now - last > kStepMs) {
            ++steps;
            if (steps * kStepMs >= wantedMs)
                break;
            // Advance by the step, not to the present tick, so that the steps add up
            // to the time asked for however late a check comes.
            last += kStepMs;
            letEventsRun();
        } else {
            waitResponsive(static_cast<int>(last + kStepMs + 1 - now));
        }
    }
    ScreenHost::instance().show(new FrmSyuuryou);
}

void FinishDrill()
{
    letEventsRun();
    Hensuu1 &h = hensuu1();
    if (h.drillEndState[1] == 1)
        return;
    h.drillEndState[1] = 1;

    if (MainFrm *drill = MainFrm::shown())
        drill->showEndNotice(h.timedOut == 1);
    letEventsRun();

    const int level = h.currentLevel;
    if (isPracticeLevel(level)) {
        ScreenHost::instance().showBackdrop();
        OpenLevelMenu();
        letEventsRun();
        // The menu stands in front of the backdrop, as the end screen does.
        ScreenHost::instance().closeBackdrop();
        return;
    }
    if (level < 0 || level >= kLevelSlots || h.levelKind[level] != 1)
        return;
    stopDrillClock();
    h.attemptTime = h.timedOut != 0 ? kTimedOut : h.elapsedSeconds;
    RecordAndJudgeAttempt(level);
    ScreenHost::instance().showBackdrop();
    letEventsRun();
    WaitThenShowResult(1);
}
