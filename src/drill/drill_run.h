// The run of one drill: its clock, the lamps and the time gauge of the status bar, the
// status bar's texts, and the guards that keep events arriving in the middle of
// another procedure harmless.
#pragma once

#include "core/hensuu1.h"

#include <QList>
#include <QString>

#include <cstdint>

inline constexpr int kProblemsPerSet = 10;
inline constexpr int kWrongAnswerPenaltySeconds = 30;
inline constexpr int kTimeLimitFactor = 5; // the time limit is this many minimum times

// Five times the level's minimum time, held to the 32-bit range: a minimum time above
// 429496729 seconds must not wrap to a limit below zero that ends the drill at once.
int32_t timeLimitOf(int32_t minimumTime);

// The drill clock runs on the monotonic counter, so a drill across midnight or through
// a change of the wall clock keeps its true time. A wrong answer moves the start back.
class DrillClock {
public:
    void start(int64_t nowMs) { m_startMs = nowMs; }
    void addPenalty(int seconds) { m_startMs -= int64_t{seconds} * 1000; }
    // Whole seconds since the start, rounded to the nearest.
    int32_t elapsedSeconds(int64_t nowMs) const;

private:
    int64_t m_startMs = 0;
};

// Lamp rows: ten lamps after "Best" (10..19), "YourBest" (20..29) and "Pass" (30..39).
inline constexpr int kFirstLamp = 10;
inline constexpr int kLastLamp = 39;
inline constexpr int kBestLamps = 10;
inline constexpr int kYourBestLamps = 20;
inline constexpr int kPassLamps = 30;

struct LampThresholds {
    int32_t best = 0;     // the school's best time on the level
    int32_t yourBest = 0; // the pupil's own best time on the level
    int32_t pass = 0;     // the level's pass time
};
LampThresholds lampThresholdsOf(const Hensuu1 &h);

// The lamps of the row starting at firstLamp that are out at this second: in the last
// ten seconds before the threshold one more each second from the left, all ten from
// the threshold on. A threshold of 0 (none known) keeps the row lit.
QList<int> rowLampsOut(int32_t threshold, int firstLamp, int32_t elapsed);
// In the last ten seconds before the minimum time the "Pass" row goes out from the right.
QList<int> minimumTimeLampsOut(int32_t minimumTime, int32_t elapsed);
// Every lamp that is out at this second.
QList<int> lampsOutAt(const LampThresholds &thresholds, int32_t minimumTime, int32_t elapsed);

// The time gauge, in twips: its frame stands for the time limit.
inline constexpr int kGaugeLeft = 90;
inline constexpr int kGaugeTop = 1230;
inline constexpr int kGaugeWidth = 15105;
inline constexpr int kGaugeHeight = 150;
// Width of the gauge per second; 0 when there is no time limit to scale to.
double gaugeScaleFor(int32_t timeLimit);
// The gauge width of a number of seconds, never wider than the frame.
int gaugeWidthOf(int32_t seconds, double gaugeScale);

struct StatusTexts {
    QString title;
    double titlePointSize = 0;
    QString minutesSinceLogin;
    QString todayAttempt;     // this attempt's number today
    QString thisLevelAttempt; // this attempt's number on the level today
    QString levelName;
    QString schoolName;
    QString pupilName;
};
// Today's attempts of the current pupil over the levels 1..15.
int16_t todayTotalOf(const Hensuu1 &h);
// Reads todayTotal, so that must be up to date.
StatusTexts statusTextsOf(const Hensuu1 &h, double timeOfDay);
double titlePointSize(const QString &title);
QString minutesSinceLoginText(const Hensuu1 &h, double timeOfDay);
QString remainingProblemsText(const Hensuu1 &h);

// Guards. The run has ended once the time ran out or the set was completed.
bool runEnded(const Hensuu1 &h);
// A problem is made only while the run goes on and no answer is being judged.
bool mayMakeProblem(const Hensuu1 &h);
// The time ran out and the run can end at this tick: not while an answer is being
// judged (the time-out waits for the next tick), and only once.
bool timeOutDue(const Hensuu1 &h);

// What a typed character does on the drill screen.
enum class CharacterKeyAction {
    Ignore,           // the run has ended, or an answer is being judged
    FirstPlus,        // the first "+" after a wrong answer
    Confirm,          // the second "+" in a row: a new problem replaces the wrong one
    RestartPlusCount, // any other key after a wrong answer: "+" twice is needed again
    Judge,            // Space on the answer row
    Entry,            // typing and moving along the rows (AnswerSheet::entryKey)
};
CharacterKeyAction characterKeyAction(const Hensuu1 &h, QChar key, bool onAnswerRow);
