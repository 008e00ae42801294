// The criteria editor's distribution of a level's times from the results file. Whatever
// the bytes: the attempts are the level's records with a time that is not negative,
// counted the plain way here; the buckets hold them all, and the best-time buckets
// one pupil each, only up to 300 seconds; both lists have their heading and 101 lines.
#include "fuzz_support.h"
#include "maintenance/time_distribution.h"
#include "results/results_file.h"

#include <QSet>

#include <numeric>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzzEnvironment();
    const QByteArray bytes = fuzzBytes(data, size);
    // The levels the records name most often, and one beyond the view's.
    const int levels[] = {1, 2, 3, size > 0 ? data[0] % (kDistributionLevels + 2) : 0};
    for (int level : levels) {
        int attempts = 0;
        QSet<int16_t> pupils;
        for (int n = 1; n <= recordCountOf(bytes); ++n) {
            const RecordNumbers record = recordNumbersAt(bytes, n);
            if (level < 1 || level > kDistributionLevels || record.level != level || record.resultTime < 0)
                continue;
            ++attempts;
            pupils << record.pupil;
        }
        const TimeDistribution distribution = timeDistributionOf(bytes, level);
        const QString where = QStringLiteral("level %1").arg(level);
        FUZZ_REQUIRE(distribution.attempts == attempts, where);
        FUZZ_REQUIRE(std::accumulate(distribution.all.begin(), distribution.all.end(), 0) == attempts, where);
        FUZZ_REQUIRE(std::accumulate(distribution.best.begin(), distribution.best.end(), 0) == pupils.size(),
                     where);
        for (int bucket = kLastBestBucket + 1; bucket <= kLastBucket; ++bucket)
            FUZZ_REQUIRE(distribution.best[bucket] == 0, where);
        const DistributionLines lines = distributionLines(distribution, level);
        FUZZ_REQUIRE(lines.all.size() == kLastBucket + 2 && lines.best.size() == kLastBucket + 2, where);
    }
    return 0;
}
