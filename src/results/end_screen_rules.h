// What the end-of-drill screen shows and plays, worked out from the shared state
// without a window.
#pragma once

#include <QString>

#include <cstdint>

// The pupil has met the level's target points and attempts within its
// pass-judgement period.
bool levelClearedInPassWindow(int level, int pupil);

// The goal-level congratulation is withheld while any level asks for 9999 attempts.
bool goalCongratulationAllowed();

// The pupil has reached a limit of the overuse period (a limit of 0 is no limit).
bool levelOverused(int level, int pupil);

// "獲得ポイント：11点×1.5→16点"
QString pointsCalculationText(int32_t attemptTime, int level);
// "今の成績：45秒", or "記録なし" for no time.
QString resultTimeText(int32_t attemptTime);
// The attempt number on this level before the statistics are refreshed.
QString firstLevelCountText(float todayCountBefore);
// " (このレベル　3回目)"
QString levelCountText(float todayCount);
// "（5回目)"
QString todayTotalText(int todayTotal);
// The pupil's finished attempts today over every level.
int16_t todayTotalOf(int pupil);

inline constexpr auto kLevelClearedText = "このレベルクリア";
inline constexpr auto kGoNextLevelText = "次のレベルへ進みましょう";
inline constexpr auto kGoalClearedText = "目標レベルクリア。おめでとう！";

// The message under the points and the sound that goes with it.
enum class EndMessage {
    None,          // no message, no sound
    TimedOut,      // "時間切れ", no sound
    BestOfAll,     // "！！！最高新記録！！！" with the best-of-all sound
    PersonalBest,  // "新記録おめでとう" with a personal-best sound
    WithinMinimum, // no message; the sound of a result at or under the minimum line
};
EndMessage endMessageOf(int16_t timedOut, int16_t bestOfAll, int16_t personalBest, int32_t attemptTime,
                        int32_t minimumTime);
QString endMessageText(EndMessage message);
void playEndMessageSound(EndMessage message);

// What the end screen does once its buttons appear.
struct ButtonsOutcome {
    bool showOnceMore = false; // "もう一度"
    bool clearLabel2 = false;  // empty and hide the cleared notice
    bool sendOn = false;       // tell the pupil to go on to the next level
};
ButtonsOutcome buttonsOutcome(int level, int pupil);

// The multiplier in its shortest decimal form, as the points calculation shows it.
QString multiplierText(float multiplier);
