// What the benchmarks share: a school of 5000 pupils with the results file of its last
// two months, and a reporter that keeps the least time of each benchmark's repetitions.
//
// The least time: on a shared machine the other programs only ever add to a run, so
// the least disturbed run is the truest.
#pragma once

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QDate>

#include <map>
#include <string>
#include <vector>

inline constexpr int kBenchPupils = 5000;
inline constexpr int kBenchRecords = 20000;
inline const QDate kBenchToday(2026, 12, 9);

// Attempts of the last two months up to today, appended day by day as the PCs record
// them, spread over every pupil and the three levels, with the odd time-out.
QByteArray benchSchoolFile(int records = kBenchRecords);

class LeastTimeReporter : public benchmark::ConsoleReporter
{
public:
    // Processor time in microseconds (the benchmarks run in that unit), by the
    // benchmark's name and arguments.
    std::map<std::string, double> leastUs;

    void ReportRuns(const std::vector<Run> &runs) override;
};
