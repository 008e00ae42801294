// Points of an attempt, computed from its time wherever they are needed: the
// results file stores none.
#pragma once

#include <cstdint>

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
