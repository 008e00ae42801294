// The results file through the statistics scan, with a criteria table: the input is
// the table's text, the file separator line and the results file's bytes. Whatever the
// bytes, the scan either ends with its overflow message or leaves tables that agree
// with the records, worked out here one by one the plain way: the cache holds the
// records it should, the counts and points add up, every best time is the least time.
#include "core/environment.h"
#include "core/hensuu1.h"
#include "fuzz_support.h"
#include "results/attempt_points.h"
#include "results/results_file.h"
#include "results/statistics.h"

#include <QMap>

#include <algorithm>

namespace
{
struct Expected {
    LevelMask levels = 0; // the levels the records name: the other rows stay clear
    int cached = 0;
    int64_t finished = 0;
    int64_t finishedToday = 0;
    int64_t points = 0;
    QMap<std::pair<int, int>, int32_t> best; // by level and pupil
};

Expected expectedOf(const QByteArray &bytes)
{
    Expected expected;
    const double today = oleDateOf(kFuzzToday);
    const int n = recordCountOf(bytes);
    for (int k = std::max(1, n - kCachedRecords + 1); k <= n; ++k) {
        const ResultRecord r = recordAt(bytes, k);
        if (r.pupil < 0 || r.pupil > kMaxPupil || r.level < 0 || r.level > kMaxLevel ||
            !oleInCalendar(r.date) || !oleInCalendar(r.timeOfDay))
            continue;
        expected.levels |= levelBit(r.level);
        const auto key = std::make_pair(int(r.level), int(r.pupil));
        expected.best[key] = std::min(expected.best.value(key, kTimedOut), r.resultTime);
        if (r.date < 0 || r.pupil == 0 || r.level < 1)
            continue;
        ++expected.cached;
        const bool finished = r.resultTime < kFinishedBelow;
        expected.finished += finished;
        expected.finishedToday += finished && r.date >= today && r.date < today + 1;
        expected.points += recordPoints(r.resultTime, r.level);
    }
    return expected;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzEnvironment &fuzz = fuzzEnvironment();
    const QList<QByteArray> parts = splitFuzzInput(data, size, 2);
    loadFuzzCriteria(fuzz.classroom, parts[0]);
    fuzz.classroom.write(resultsFilePath(), parts[1]);

    try {
        ComputePupilStatistics();
    } catch (const ProgramEnded &) {
        // Points that do not fit the 32-bit sums end the scan with its message.
        FUZZ_REQUIRE(fuzz.dialogs.messages.size() == 1 &&
                         fuzz.dialogs.messages[0].startsWith(QStringLiteral("回数求")),
                     fuzz.dialogs.messages.join(u'|'));
        return 0;
    }
    FUZZ_REQUIRE(fuzz.dialogs.messages.isEmpty(), fuzz.dialogs.messages.join(u'|'));

    const Hensuu1 &h = hensuu1();
    const Expected expected = expectedOf(parts[1]);
    FUZZ_REQUIRE(h.recordCount == expected.cached,
                 QStringLiteral("%1 cached, %2 expected").arg(h.recordCount).arg(expected.cached));
    for (int i = 1; i <= h.recordCount; ++i) {
        FUZZ_REQUIRE(h.recLevel[i] >= 1 && h.recLevel[i] <= kMaxLevel && h.recPupil[i] >= 1 &&
                         h.recPupil[i] <= kMaxPupil && h.recDate[i] >= 0 && oleInCalendar(h.recDate[i]) &&
                         oleInCalendar(h.recTimeOfDay[i]),
                     QString::number(i));
    }

    int64_t finished = 0;
    double finishedToday = 0;
    int64_t points = 0;
    for (int level = 1; level <= kMaxLevel; ++level) {
        int32_t bestOfLevel = kTimedOut;
        // A figure in a row of a level no record names would also be missing from the
        // sums of its own row; those rows are looked at in full only now and then, as
        // looking at all 35 rows would slow the fuzzer down tenfold.
        if (!(expected.levels & levelBit(level)) && size % 16 != 0) {
            FUZZ_REQUIRE(h.bestTimeAll[level] == kTimedOut, QString::number(level));
            continue;
        }
        for (int pupil = 0; pupil <= kMaxPupil; ++pupil) {
            const int total = h.totalCount[level][pupil];
            FUZZ_REQUIRE(total >= 0 && h.passWindowCount[level][pupil] >= 0 &&
                             h.passWindowCount[level][pupil] <= total &&
                             h.overuseWindowCount[level][pupil] >= 0 &&
                             h.overuseWindowCount[level][pupil] <= total && h.todayCount[level][pupil] >= 0 &&
                             h.todayCount[level][pupil] <= total,
                         QStringLiteral("level %1 pupil %2").arg(level).arg(pupil));
            finished += total;
            finishedToday += h.todayCount[level][pupil];
            points += h.totalPoints[level][pupil];
            const int32_t best = h.bestTime[level][pupil];
            if (pupil == 0)
                continue;
            const int32_t expectedBest = expected.best.value(std::make_pair(level, pupil), kTimedOut);
            FUZZ_REQUIRE(best == expectedBest, QStringLiteral("level %1 pupil %2: best %3, expected %4")
                                                   .arg(level)
                                                   .arg(pupil)
                                                   .arg(best)
                                                   .arg(expectedBest));
            if (pupil <= 1000)
                bestOfLevel = std::min(bestOfLevel, best);
        }
        FUZZ_REQUIRE(h.bestTimeAll[level] == bestOfLevel, QString::number(level));
    }
    FUZZ_REQUIRE(finished == expected.finished,
                 QStringLiteral("%1 finished, %2 expected").arg(finished).arg(expected.finished));
    FUZZ_REQUIRE(finishedToday == double(expected.finishedToday), QString::number(finishedToday));
    FUZZ_REQUIRE(points == expected.points,
                 QStringLiteral("%1 points, %2 expected").arg(points).arg(expected.points));
    return 0;
}
