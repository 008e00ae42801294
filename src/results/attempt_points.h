// Points of an attempt, computed from its time wherever they are needed: the
// results file stores none.
#pragma once

#include <cstdint>
#include <limits>

// Times above this are "no time": a timed-out attempt or a missing best time.
inline constexpr int32_t kNoTimeAbove = 99997;
// Only an attempt below this many seconds counts as finished.
inline constexpr int32_t kFinishedBelow = 6000;

// The base points before the multiplier: a cubic curve from 55 at time 0 down to 5 at
// the pass time, then 4 up to twice the pass time, 1 up to ten times, then 0; 0 for no
// time. threeCharacterTime feeds the curve the number formed by the first three
// characters of the time's decimal text, as the statistics have always done (the
// same for times below 1000 seconds).
int32_t basePoints(int32_t time, int32_t passTime, bool threeCharacterTime = false);

// The number formed by the first three characters of the decimal text of time
// (1234 gives 123, -1234 gives -12).
int32_t threeCharacterTimeOf(int32_t time);

// floor(multiplier x base), the multiplier taken at its single-precision value.
int32_t scaledPoints(float multiplier, int32_t base);

// The points of an attempt of the given time on the given level, with the level's
// pass time and multiplier from the criteria table.
int32_t AttemptPoints(int32_t time, int level);

// The points the statistics give a record: as AttemptPoints, with the curve fed the
// three-character time.
int32_t recordPoints(int32_t time, int level);

// recordPoints for one level, for a loop over many records: the common times are
// looked up. Valid until the level's criteria change.
class RecordPointsOfLevel
{
public:
    RecordPointsOfLevel() = default;
    explicit RecordPointsOfLevel(int level);
    int32_t operator()(int32_t time) const
    {
        // One unsigned comparison for 0 <= time < m_tabled, and the common times first.
        if (static_cast<uint32_t>(time) < static_cast<uint32_t>(m_tabled)) [[likely]]
            return m_points[time];
        if (time >= m_nothingFrom || time > kNoTimeAbove)
            return 0;
        return recordPoints(time, m_level);
    }

private:
    int m_level = 0;
    int32_t m_tabled = 0;
    int32_t m_nothingFrom = 0; // from this time on every time earns 0
    const int32_t *m_points = nullptr;
};
