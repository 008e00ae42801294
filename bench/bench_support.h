// What the benchmarks share: a fixed moment, message boxes on standard error, a school
// of 5000 pupils with the results file of its last two months, and a reporter that
// keeps the least time of each benchmark's repetitions.
//
// The least time: on a shared machine the other programs only ever add to a run, so
// the least disturbed run is the truest.
#pragma once

#include "core/environment.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTemporaryDir>

#include <map>
#include <string>
#include <vector>

inline constexpr int kBenchPupils = 5000;
inline constexpr int kBenchRecords = 20000;
inline const QDate kBenchToday(2026, 12, 9);

class BenchClock : public Clock
{
public:
    QDate today() const override { return kBenchToday; }
    double timeOfDay() const override { return 15 * 3600; }
    int64_t monotonicMs() const override { return 0; }
};

class BenchDialogs : public Dialogs
{
public:
    DialogAnswer message(const QString &text, const QString &, DialogButtons) override;
    void endProgram(int status) override;
};

// The seams of a benchmark, in place while it lives, and a folder of its own that is
// both the shared base folder and the data folder.
struct BenchEnvironment {
    BenchClock clock;
    BenchDialogs dialogs;
    QTemporaryDir folder;
    BenchEnvironment();
};

// Attempts of the last days up to today (two months unless told), appended day by day
// as the PCs record them, spread over every pupil and the three levels, with the odd
// time-out.
QByteArray benchSchoolFile(int records = kBenchRecords, int days = 60);
// Writes it as the results file of dataFolder; false when it cannot.
bool writeBenchSchoolFile(int records = kBenchRecords);
// The criteria of the three levels: pass times 60, 90 and 120 s.
void setBenchCriteria();
// A roster of kBenchPupils listed pupils of every grade, in the roster tables.
void fillBenchRoster();

class LeastTimeReporter : public benchmark::ConsoleReporter
{
public:
    // Processor time in microseconds (the benchmarks run in that unit), by the
    // benchmark's name and arguments.
    std::map<std::string, double> leastUs;

    void ReportRuns(const std::vector<Run> &runs) override;
};
