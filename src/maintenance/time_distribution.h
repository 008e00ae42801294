// How the school's recorded times on one level are spread, for the teacher who picks
// the level's pass time: every attempt in buckets of ten seconds, and each pupil's
// best time. Computed from the results file's bytes alone, afresh on every rebuild.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <array>

// The view keeps levels 1..50; records of other levels are left out.
inline constexpr int kDistributionLevels = 50;
inline constexpr int kLastBucket = 100;    // 1000 seconds and more
inline constexpr int kLastBestBucket = 30; // best times of 300 seconds and more

struct TimeDistribution {
    int attempts = 0;                       // the level's records
    std::array<int, kLastBucket + 1> all{}; // attempts per bucket of ten seconds
    // pupils per bucket of their best time; buckets above kLastBestBucket stay empty
    std::array<int, kLastBucket + 1> best{};
};

// The distribution of the records of level (1..50) in a results file's bytes; a
// trailing fragment is not a record. Records with a negative time are left out.
TimeDistribution timeDistributionOf(const QByteArray &resultsBytes, int level);

struct DistributionLines {
    QStringList all;  // List3: a heading, then one line per bucket 0..100
    QStringList best; // List4: the same for the pupils' best times
};

DistributionLines distributionLines(const TimeDistribution &distribution, int level);
DistributionLines distributionLines(const QByteArray &resultsBytes, int level);

// Reads the results file with one read into buffer (its capacity reused from call to
// call) and returns the lines of level. A missing file holds no records; a file that
// cannot be read gives a line that says why in place of the attempts.
DistributionLines readDistribution(const QString &resultsPath, QByteArray &buffer, int level);
