#include "maintenance/time_distribution.h"

#include "results/results_file.h"
#include "results/shared_file.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace
{
constexpr int kBucketSeconds = 10;
constexpr int kStarsOfFullest = 10;
constexpr uint32_t kLastBucketTime = kLastBucket * kBucketSeconds;
constexpr uint32_t kLastBestBucketTime = kLastBestBucket * kBucketSeconds;
constexpr int kRecordsAPiece = 4096;

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

namespace
{
// The tallies of one level, taken over the records of a file a run of records at a
// time, in the order of the file.
class Tally
{
public:
    explicit Tally(int level) : m_counting(quint64(level) << 16) { m_bestBucket.fill(Bucket::None); }

    // count whole records at bytes.
    void add(const char *bytes, int count)
    {
        // The levels of a school's records come in no order, so a branch on the level
        // would be mispredicted at every third record: the records of a chunk that count
        // are first picked without one, then tallied. A record's bytes 16..23 hold its
        // pupil, level and time (16, 16 and 32 bits, little-endian), read in one load; it
        // counts when the level is the one asked and the time's sign bit is clear.
        constexpr quint64 kLevelAndSign = 0x8000'0000'FFFF'0000;
        for (int first = 0; first < count; first += kChunk) {
            const int end = std::min(first + kChunk, count);
            int pickedCount = 0;
            for (int n = first; n < end; ++n) {
                const quint64 numbers = qFromLittleEndian<quint64>(bytes + qsizetype(n) * kRecordSize + 16);
                m_picked[pickedCount] = numbers;
                pickedCount += (numbers & kLevelAndSign) == m_counting;
            }
            for (int i = 0; i < pickedCount; ++i) {
                const auto pupil = static_cast<uint16_t>(m_picked[i]);
                // A picked time is not negative; held to the last bucket before the
                // division, so that no branch decides the bucket.
                const uint32_t time = std::min(static_cast<uint32_t>(m_picked[i] >> 32), kLastBucketTime);
                ++m_all[time / kBucketSeconds];
                const Bucket best = m_bestBucket[pupil];
                m_pupils[m_pupilCount] = pupil;
                m_pupilCount += best == Bucket::None;
                m_bestBucket[pupil] =
                    std::min(best, Bucket(std::min(time, kLastBestBucketTime) / kBucketSeconds));
            }
            m_attempts += pickedCount;
        }
    }

    TimeDistribution distribution() const
    {
        TimeDistribution distribution;
        distribution.attempts = m_attempts;
        distribution.all = m_all;
        for (int i = 0; i < m_pupilCount; ++i)
            ++distribution.best[int(m_bestBucket[m_pupils[i]])];
        return distribution;
    }

private:
    static constexpr int kChunk = 1024;
    static constexpr int kPupilSlots = 1 << 16;
    // Each pupil's best time, kept as its bucket, under the pupil number as stored: a
    // 16-bit number that no other check has vouched for. (A byte-sized enum and not a
    // char, which the compiler would have to assume writes anything, the tallies too.)
    enum class Bucket : uint8_t { None = 0xFF };
    static_assert(kLastBestBucket < int(Bucket::None));

    const quint64 m_counting;
    std::array<Bucket, kPupilSlots> m_bestBucket;
    // Every pupil with a record, once each; the last place takes the write after the last pupil.
    std::array<uint16_t, kPupilSlots + 1> m_pupils;
    int m_pupilCount = 0;
    Buckets m_all{};
    int m_attempts = 0;
    std::array<quint64, kChunk + 1> m_picked; // the last place takes the write after the last pick
};
} // namespace

TimeDistribution timeDistributionOf(const QByteArray &resultsBytes, int level)
{
    if (level < 1 || level > kDistributionLevels)
        return {};
    Tally tally(level);
    tally.add(resultsBytes.constData(), recordCountOf(resultsBytes));
    return tally.distribution();
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
    const auto unreadable = [](const IoStatus &status) {
        return DistributionLines{{QStringLiteral("成績のファイルを読めません：%1").arg(status.description)},
                                 {}};
    };
    SharedFile file;
    if (const IoStatus status = file.open(resultsPath, SharedFile::Mode::Read); !status.ok())
        return status.outcome == IoOutcome::Missing ? distributionLines(TimeDistribution{}, level)
                                                    : unreadable(status);
    qint64 length = 0;
    if (const IoStatus status = file.size(length); !status.ok())
        return unreadable(status);
    if (level < 1 || level > kDistributionLevels)
        return distributionLines(TimeDistribution{}, level);
    // Read and tallied a piece at a time, each piece still in the cache when it is tallied.
    constexpr qint64 kPieceBytes = qint64(kRecordsAPiece) * kRecordSize;
    buffer.resize(kPieceBytes);
    Tally tally(level);
    for (qint64 offset = 0; offset + kRecordSize <= length; offset += kPieceBytes) {
        qint64 done = 0;
        const qint64 wanted = std::min(kPieceBytes, (length - offset) / kRecordSize * kRecordSize);
        if (const IoStatus status = file.readAt(offset, buffer.data(), wanted, done); !status.ok())
            return unreadable(status);
        tally.add(buffer.constData(), static_cast<int>(done / kRecordSize));
        if (done < wanted)
            break; // the file was cut short meanwhile
    }
    return distributionLines(tally.distribution(), level);
}
