#include "results/end_screen_rules.h"

#include "core/hensuu1.h"
#include "drill/sounds.h"
#include "results/attempt_points.h"

#include <charconv>
#include <cmath>

namespace
{
bool validSlot(int level, int pupil)
{
    return level >= 0 && level < kLevelSlots && pupil >= 0 && pupil < kPupilSlots;
}

// Counts and sums are whole numbers; a count kept as a float still shows as one.
QString countText(double value)
{
    return QString::number(value, 'f', 0);
}
} // namespace

bool levelClearedInPassWindow(int level, int pupil)
{
    if (!validSlot(level, pupil))
        return false;
    const Hensuu1 &h = hensuu1();
    return h.passWindowPoints[level][pupil] >= h.targetPoints[level] &&
           h.passWindowCount[level][pupil] >= h.targetCount[level];
}

bool goalCongratulationAllowed()
{
    const Hensuu1 &h = hensuu1();
    for (int level = 1; level <= kMaxLevel; ++level) {
        if (h.targetCount[level] == 9999)
            return false;
    }
    return true;
}

bool levelOverused(int level, int pupil)
{
    if (!validSlot(level, pupil))
        return false;
    const Hensuu1 &h = hensuu1();
    const double countLimit = h.overuseCount[level].number();
    const double pointsLimit = h.overusePoints[level].number();
    return (countLimit != 0 && h.overuseWindowCount[level][pupil] >= countLimit) ||
           (pointsLimit != 0 && h.overuseWindowPoints[level][pupil] >= pointsLimit);
}

QString multiplierText(float multiplier)
{
    // Shortest digits that read back as the same single-precision value: 1.5, 0.7,
    // not 0.699999988.
    char digits[64];
    const auto result = std::to_chars(digits, digits + sizeof digits, multiplier, std::chars_format::fixed);
    if (result.ec != std::errc())
        return QString::number(static_cast<double>(multiplier));
    return QString::fromLatin1(digits, result.ptr - digits);
}

QString pointsCalculationText(int32_t attemptTime, int level)
{
    if (level < 0 || level >= kLevelSlots)
        return {};
    const Hensuu1 &h = hensuu1();
    const int32_t base = basePoints(attemptTime, h.passTime[level]);
    const float multiplier = h.pointMultiplier[level];
    return QStringLiteral("獲得ポイント：") + QString::number(base) + QStringLiteral("点×") +
           multiplierText(multiplier) + QStringLiteral("→") +
           QString::number(scaledPoints(multiplier, base)) + QStringLiteral("点");
}

QString resultTimeText(int32_t attemptTime)
{
    if (attemptTime > kNoTimeAbove)
        return QStringLiteral("記録なし");
    return QStringLiteral("今の成績：") + QString::number(attemptTime) + QStringLiteral("秒");
}

QString firstLevelCountText(float todayCountBefore)
{
    return countText(todayCountBefore + 1.0);
}

QString levelCountText(float todayCount)
{
    return QStringLiteral(" (このレベル　") + countText(todayCount) + QStringLiteral("回目)");
}

QString todayTotalText(int todayTotal)
{
    return QStringLiteral("（") + QString::number(todayTotal) + QStringLiteral("回目)");
}

int16_t todayTotalOf(int pupil)
{
    if (pupil < 0 || pupil >= kPupilSlots)
        return 0;
    const Hensuu1 &h = hensuu1();
    double total = 0;
    for (int level = 1; level <= kMaxLevel; ++level)
        total += h.todayCount[level][pupil];
    return static_cast<int16_t>(total);
}

EndMessage endMessageOf(int16_t timedOut, int16_t bestOfAll, int16_t personalBest, int32_t attemptTime,
                        int32_t minimumTime)
{
    if (timedOut == 1)
        return EndMessage::TimedOut;
    if (bestOfAll == 1)
        return EndMessage::BestOfAll;
    if (personalBest == 1)
        return EndMessage::PersonalBest;
    if (attemptTime <= minimumTime)
        return EndMessage::WithinMinimum;
    return EndMessage::None;
}

QString endMessageText(EndMessage message)
{
    switch (message) {
    case EndMessage::TimedOut:
        return QStringLiteral("時間切れ");
    case EndMessage::BestOfAll:
        return QStringLiteral("！！！最高新記録！！！");
    case EndMessage::PersonalBest:
        return QStringLiteral("新記録おめでとう");
    case EndMessage::WithinMinimum:
    case EndMessage::None:
        break;
    }
    return {};
}

void playEndMessageSound(EndMessage message)
{
    switch (message) {
    case EndMessage::BestOfAll:
        PlayBestOfAllSound();
        break;
    case EndMessage::PersonalBest:
        PlayPersonalBestSound();
        break;
    case EndMessage::WithinMinimum:
        PlayFailSound();
        break;
    case EndMessage::TimedOut:
    case EndMessage::None:
        break;
    }
}

ButtonsOutcome buttonsOutcome(int level, int pupil)
{
    const bool overused = levelOverused(level, pupil);
    const bool cleared = levelClearedInPassWindow(level, pupil);
    ButtonsOutcome outcome;
    if (!overused || !cleared) {
        outcome.showOnceMore = true;
    } else if (level == hensuu1().goalLevel) {
        outcome.clearLabel2 = true;
        outcome.showOnceMore = true;
    } else if (hensuu1().finalTargetCleared == 0) {
        outcome.sendOn = true;
    } else {
        outcome.showOnceMore = true;
    }
    return outcome;
}
