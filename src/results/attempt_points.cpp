#include "results/attempt_points.h"

#include "core/hensuu1.h"
#include "core/text_values.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>
#include <limits>

namespace
{
// A broken criteria table (a negative pass time, an absurd multiplier) must not push a
// double outside what the integer tables hold.
int32_t clampedFloor(double value)
{
    if (!std::isfinite(value))
        return 0;
    return clampedTo<int32_t>(std::floor(value));
}
} // namespace

int32_t threeCharacterTimeOf(int32_t time)
{
    // Dividing by ten drops the last character of the text; a minus sign is one of
    // the three characters.
    if (time >= 0) {
        while (time >= 1000)
            time /= 10;
    } else {
        while (time <= -100)
            time /= 10;
    }
    return time;
}

int32_t basePoints(int32_t time, int32_t passTime, bool threeCharacterTime)
{
    if (time > kNoTimeAbove)
        return 0;
    const double p = passTime;
    const double t = time;
    if (t <= p) {
        // A pass time of 0 and a time of 0 would divide zero by zero; a drill cannot
        // end in no time, so it earns nothing.
        if (passTime == 0)
            return 0;
        const double curveTime = threeCharacterTime ? threeCharacterTimeOf(time) : time;
        const double share = (p - curveTime) / p;
        return clampedFloor(share * share * share * 50 + 5);
    }
    if (t < 2 * p)
        return 4;
    if (t < 10 * p)
        return 1;
    return 0;
}

int32_t scaledPoints(float multiplier, int32_t base)
{
    return clampedFloor(static_cast<double>(multiplier) * base);
}

namespace
{
int32_t pointsOnLevel(int32_t time, int level, bool threeCharacterTime)
{
    if (level < 0 || level >= kLevelSlots)
        return 0;
    const Hensuu1 &h = hensuu1();
    return scaledPoints(h.pointMultiplier[level], basePoints(time, h.passTime[level], threeCharacterTime));
}

// The statistics work out the points of every record on every showing of a screen;
// looking them up for the common times keeps the scan close to the cost of reading
// the file. A level's table is made again whenever its criteria change.
constexpr int32_t kTabledTimes = 4096;

struct LevelPointsTable {
    bool made = false;
    int32_t passTime = 0;
    uint32_t multiplierBits = 0;
    int32_t tabled = 0;      // times 0..tabled-1
    int32_t nothingFrom = 0; // ten times the pass time, when it is in the table's reach
    std::array<int32_t, kTabledTimes> points{};
};

LevelPointsTable &pointsTableOf(int level)
{
    static std::array<LevelPointsTable, kLevelSlots> tables;
    LevelPointsTable &table = tables[level];
    const Hensuu1 &h = hensuu1();
    const uint32_t bits = std::bit_cast<uint32_t>(h.pointMultiplier[level]);
    if (!table.made || table.passTime != h.passTime[level] || table.multiplierBits != bits) {
        table.made = true;
        table.passTime = h.passTime[level];
        table.multiplierBits = bits;
        // From ten times the pass time on, every time earns the same 0.
        const int64_t earning = std::max<int64_t>(0, 10 * static_cast<int64_t>(table.passTime) + 1);
        table.tabled = static_cast<int32_t>(std::min<int64_t>(earning, kTabledTimes));
        table.nothingFrom = earning <= kTabledTimes ? table.tabled : std::numeric_limits<int32_t>::max();
        for (int32_t time = 0; time < table.tabled; ++time)
            table.points[time] = pointsOnLevel(time, level, true);
    }
    return table;
}
} // namespace

int32_t AttemptPoints(int32_t time, int level)
{
    return pointsOnLevel(time, level, false);
}

int32_t recordPoints(int32_t time, int level)
{
    if (level < 0 || level >= kLevelSlots)
        return 0;
    const LevelPointsTable &table = pointsTableOf(level);
    if (time >= 0 && time < table.tabled)
        return table.points[time];
    return pointsOnLevel(time, level, true);
}

RecordPointsOfLevel::RecordPointsOfLevel(int level) : m_level(level)
{
    if (level < 0 || level >= kLevelSlots)
        return;
    const LevelPointsTable &table = pointsTableOf(level);
    m_tabled = table.tabled;
    m_nothingFrom = table.nothingFrom;
    m_points = table.points.data();
}
