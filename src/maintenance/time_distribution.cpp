#include "maintenance/time_distribution.h"

#include "results/results_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{
constexpr int kBucketSeconds = 10;
constexpr int kStarsOfFullest = 10;
constexpr uint32_t kLastBucketTime = kLastBucket * kBucketSeconds;
constexpr uint32_t kLastBestBucketTime = kLastBestBucket * kBucketSeconds;

using Buckets = std::array<int, kLastBucket + 1>;

// One star stands for so many that the fullest bucket shows about ten.
int starUnit(const Buckets &counts)
{
    return std::max(*std::max_element(counts.begin(), counts.end()) / kStarsOfFullest, 1);
}

// "   0～" .. "1000～": the part of each line that only its bucket decides.
const QStringList &bucketTexts()
{
    static const QStringList texts = [] {
        QStringList list;
        for (int bucket = 0; bucket <= kLastBucket; ++bucket)
            list << QStringLiteral("%1～").arg(bucket * kBucketSeconds, 4);
        return list;
    }();
    return texts;
}

QStringList bucketLines(const QString &heading, const Buckets &counts, int unit)
{
    QStringList lines;
    lines.reserve(static_cast<qsizetype>(counts.size()) + 1);
    lines << heading;
    for (int bucket = 0; bucket <= kLastBucket; ++bucket) {
        const auto stars = static_cast<qsizetype>(std::floor(double(counts[bucket]) / unit + 0.5));
        lines << (stars == 0 ? bucketTexts()[bucket] : bucketTexts()[bucket] + QString(stars, QChar(u'★')));
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
    // 16-bit number that no other check has vouched for. (A byte-sized enum and not a
    // char, which the compiler would have to assume writes anything, the tallies too.)
    enum class Bucket : uint8_t { None = 0xFF };
    static_assert(kLastBestBucket < int(Bucket::None));
    constexpr int kPupilSlots = 1 << 16;
    std::array<Bucket, kPupilSlots> bestBucket;
    bestBucket.fill(Bucket::None);
    // Every pupil with a record, once each.
    std::array<uint16_t, kPupilSlots + 1> pupils; // the last place takes the write after the last pupil
    int pupilCount = 0;
    Buckets all{};
    int attempts = 0;
    // The levels of a school's records come in no order, so a branch on the level
    // would be mispredicted at every third record: the records of a chunk that count
    // are first picked without one, then tallied. A record's bytes 16..23 hold its
    // pupil, level and time (16, 16 and 32 bits, little-endian), read in one load; it
    // counts when the level is the one asked and the time's sign bit is clear.
    constexpr quint64 kLevelAndSign = 0x8000'0000'FFFF'0000;
    const quint64 counting = quint64(level) << 16;
    constexpr int kChunk = 1024;
    std::array<quint64, kChunk + 1> picked; // the last place takes the write after the last pick
    const char *bytes = resultsBytes.constData();
    const int count = recordCountOf(resultsBytes);
    for (int first = 0; first < count; first += kChunk) {
        const int end = std::min(first + kChunk, count);
        int pickedCount = 0;
        for (int n = first; n < end; ++n) {
            const quint64 numbers = qFromLittleEndian<quint64>(bytes + qsizetype(n) * kRecordSize + 16);
            picked[pickedCount] = numbers;
            pickedCount += (numbers & kLevelAndSign) == counting;
        }
        for (int i = 0; i < pickedCount; ++i) {
            const auto pupil = static_cast<uint16_t>(picked[i]);
            // A picked time is not negative; held to the last bucket before the
            // division, so that no branch decides the bucket.
            const uint32_t time = std::min(static_cast<uint32_t>(picked[i] >> 32), kLastBucketTime);
            ++all[time / kBucketSeconds];
            const Bucket best = bestBucket[pupil];
            pupils[pupilCount] = pupil;
            pupilCount += best == Bucket::None;
            bestBucket[pupil] = std::min(best, Bucket(std::min(time, kLastBestBucketTime) / kBucketSeconds));
        }
        attempts += pickedCount;
    }
    distribution.attempts = attempts;
    distribution.all = all;
    for (int i = 0; i < pupilCount; ++i)
        ++distribution.best[int(bestBucket[pupils[i]])];
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
