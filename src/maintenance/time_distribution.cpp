#include "maintenance/time_distribution.h"

#include "results/results_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{
constexpr int kBucketSeconds = 10;
constexpr int kStarsOfFullest = 10;
constexpr uint8_t kNoBest = 0xFF;
static_assert(kLastBestBucket < kNoBest);

using Buckets = std::array<int, kLastBucket + 1>;

// One star stands for so many that the fullest bucket shows about ten.
int starUnit(const Buckets &counts)
{
    return std::max(*std::max_element(counts.begin(), counts.end()) / kStarsOfFullest, 1);
}

QStringList bucketLines(const QString &heading, const Buckets &counts, int unit)
{
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(counts.size()) + 1);
    lines << heading;
    for (int bucket = 0; bucket <= kLastBucket; ++bucket) {
        const auto stars = static_cast<qsizetype>(std::floor(double(counts[bucket]) / unit + 0.5));
        lines << QStringLiteral("%1～").arg(bucket * kBucketSeconds, 4) + QString(stars, QChar(u'★'));
    }
    return lines;
}
} // namespace

TimeDistribution timeDistributionOf(const QByteArray &resultsBytes, int level)
{
    TimeDistribution distribution;
    if (level < 1 || level > kDistributionLevels)
        return distribution;
    // Each pupil's best time, kept as its bucket, under the pupil number as stored: a
    // 16-bit number that no other check has vouched for.
    std::array<uint8_t, 1 << 16> bestBucket;
    bestBucket.fill(kNoBest);
    const int count = recordCountOf(resultsBytes);
    for (int n = 1; n <= count; ++n) {
        const RecordNumbers record = recordNumbersAt(resultsBytes, n);
        if (record.level != level || record.resultTime < 0)
            continue;
        const int bucket = std::min(record.resultTime / kBucketSeconds, kLastBucket);
        ++distribution.attempts;
        ++distribution.all[bucket];
        uint8_t &best = bestBucket[static_cast<uint16_t>(record.pupil)];
        best = std::min(best, static_cast<uint8_t>(std::min(bucket, kLastBestBucket)));
    }
    for (const uint8_t bucket : bestBucket) {
        if (bucket != kNoBest)
            ++distribution.best[bucket];
    }
    return distribution;
}

DistributionLines distributionLines(const TimeDistribution &distribution, int level)
{
    const int allUnit = starUnit(distribution.all);
    const int bestUnit = starUnit(distribution.best);
    return {bucketLines(QStringLiteral("レベル%1 今まで%2回  （★=%3）")
                            .arg(level)
                            .arg(distribution.attempts)
                            .arg(allUnit),
                        distribution.all, allUnit),
            bucketLines(QStringLiteral("レベル%1 （★=%2）").arg(level).arg(bestUnit), distribution.best,
                        bestUnit)};
}

DistributionLines distributionLines(const QByteArray &resultsBytes, int level)
{
    return distributionLines(timeDistributionOf(resultsBytes, level), level);
}

DistributionLines readDistribution(const QString &resultsPath, QByteArray &buffer, int level)
{
    const IoStatus status = readResultsBytes(resultsPath, buffer);
    if (status.ok() || status.outcome == IoOutcome::Missing)
        return distributionLines(buffer, level);
    return {{QStringLiteral("成績のファイルを読めません：%1").arg(status.description)}, {}};
}
