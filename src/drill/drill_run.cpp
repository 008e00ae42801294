#include "drill/drill_run.h"

#include "core/levels.h"
#include "core/login_clock.h"
#include "core/text_values.h"
#include "drill/answer_entry.h"

#include <algorithm>
#include <cmath>

int32_t DrillClock::elapsedSeconds(int64_t nowMs) const
{
    return static_cast<int32_t>(std::llround((nowMs - m_startMs) / 1000.0));
}

int32_t timeLimitOf(int32_t minimumTime)
{
    const int64_t limit = int64_t{kTimeLimitFactor} * minimumTime;
    return static_cast<int32_t>(std::clamp<int64_t>(limit, INT32_MIN, INT32_MAX));
}

LampThresholds lampThresholdsOf(const Hensuu1 &h)
{
    const int level = h.currentLevel;
    if (level < 0 || level >= kLevelSlots || h.currentPupil < 0 || h.currentPupil >= kPupilSlots)
        return {};
    return {h.bestTimeAll[level], h.bestTime[level][h.currentPupil], h.passTime[level]};
}

QList<int> rowLampsOut(int32_t threshold, int firstLamp, int32_t elapsed)
{
    QList<int> lamps;
    // A row whose threshold has already passed is all out: a wrong answer can move the
    // clock over the last ten seconds before it in one step.
    if (threshold <= 0)
        return lamps;
    const int64_t last = std::min<int64_t>(firstLamp + int64_t{elapsed} - threshold + 9, firstLamp + 9);
    for (int64_t lamp = firstLamp; lamp <= last; ++lamp)
        lamps << static_cast<int>(lamp);
    return lamps;
}

QList<int> minimumTimeLampsOut(int32_t minimumTime, int32_t elapsed)
{
    const int64_t k = int64_t{minimumTime} - elapsed;
    if (k < 0 || k > 9)
        return {};
    return {kLastLamp - static_cast<int>(k)};
}

QList<int> lampsOutAt(const LampThresholds &thresholds, int32_t minimumTime, int32_t elapsed)
{
    QList<int> lamps = rowLampsOut(thresholds.best, kBestLamps, elapsed);
    lamps << rowLampsOut(thresholds.yourBest, kYourBestLamps, elapsed);
    lamps << rowLampsOut(thresholds.pass, kPassLamps, elapsed);
    lamps << minimumTimeLampsOut(minimumTime, elapsed);
    return lamps;
}

double gaugeScaleFor(int32_t timeLimit) { return timeLimit > 0 ? double(kGaugeWidth) / timeLimit : 0.0; }

int gaugeWidthOf(int32_t seconds, double gaugeScale)
{
    const double width = std::max(0.0, seconds * gaugeScale);
    return static_cast<int>(std::min(width, double(kGaugeWidth)));
}

int16_t todayTotalOf(const Hensuu1 &h)
{
    if (h.currentPupil < 0 || h.currentPupil >= kPupilSlots)
        return 0;
    double total = 0;
    for (int level = 1; level <= 15; ++level)
        total += h.todayCount[level][h.currentPupil];
    return static_cast<int16_t>(std::lround(total));
}

double titlePointSize(const QString &title) { return title.size() > 9 ? 14.0 : 16.8; }

QString minutesSinceLoginText(const Hensuu1 &h, double timeOfDay)
{
    return QString::number(minutesSinceLogin(h.loginTime, timeOfDay));
}

StatusTexts statusTextsOf(const Hensuu1 &h, double timeOfDay)
{
    StatusTexts texts;
    texts.title = h.programTitle;
    texts.titlePointSize = titlePointSize(h.programTitle);
    texts.minutesSinceLogin = minutesSinceLoginText(h, timeOfDay);
    const int level = h.currentLevel;
    const bool known =
        level >= 0 && level < kLevelSlots && h.currentPupil >= 0 && h.currentPupil < kPupilSlots;
    if (!known || isPracticeLevel(level)) {
        texts.todayAttempt = texts.thisLevelAttempt = QStringLiteral("－");
    } else {
        texts.todayAttempt = QString::number(h.todayTotal + 1);
        texts.thisLevelAttempt = QString::number(std::lround(h.todayCount[level][h.currentPupil]) + 1);
    }
    if (level >= 0 && level < kLevelSlots)
        texts.levelName = h.levelNames[level];
    texts.schoolName = h.schoolName;
    texts.pupilName = trimHalfWidth(h.currentPupilName);
    return texts;
}

QString remainingProblemsText(const Hensuu1 &h) { return QString::number(h.problemCount - h.correctCount); }

bool runEnded(const Hensuu1 &h) { return h.timedOut == 1 || h.drillEndState[0] == 1; }

bool mayMakeProblem(const Hensuu1 &h) { return !runEnded(h) && h.judgingBusy != 1; }

bool timeOutDue(const Hensuu1 &h)
{
    return h.elapsedSeconds >= h.timeLimit && h.drillEndState[1] == 0 && h.drillEndState[0] == 0 &&
           h.judgingBusy == 0;
}

CharacterKeyAction characterKeyAction(const Hensuu1 &h, QChar key, bool onAnswerRow)
{
    if (runEnded(h) || h.judgingBusy == 1)
        return CharacterKeyAction::Ignore;
    if (h.wrongAnswerState >= 1) {
        if (key != u'+')
            return CharacterKeyAction::RestartPlusCount;
        return h.wrongAnswerState == 1 ? CharacterKeyAction::FirstPlus : CharacterKeyAction::Confirm;
    }
    if (key == kSpaceKey && onAnswerRow)
        return CharacterKeyAction::Judge;
    return CharacterKeyAction::Entry;
}
