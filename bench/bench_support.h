// What the benchmarks share: a school day that stands still, message boxes on standard
// error, a school of 5000 pupils with its roster and the results file of its last
// days, and a reporter that keeps each benchmark's least time.
//
// Each time is the least processor time of the repetitions: on a shared machine the
// other programs only ever add to a run, so the least disturbed run is the truest.
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

// Writes every message to standard error; a benchmark that ends the program fails.
class BenchDialogs : public Dialogs
{
public:
    DialogAnswer message(const QString &text, const QString &, DialogButtons) override;
    void endProgram(int status) override;
    bool echoesToStandardError() const override { return true; } // message() prints it already
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
// as the PCs record them, spread over pupils 1..kBenchPupils and the three levels, with
// the odd time-out.
QByteArray benchSchoolFile(int records = kBenchRecords, int days = 60);
// The roster of such a school, in code page 932: pupils 1..pupils from the first
// kindergarten year to the last of high school.
QByteArray benchSchoolRoster(int pupils = kBenchPupils);
// Writes bytes as the file at path; false, with a message, when it cannot.
bool writeBenchFile(const QString &path, const QByteArray &bytes);
// benchSchoolFile as the results file of dataFolder.
bool writeBenchSchoolFile(int records = kBenchRecords, int days = 60);
// The criteria of the three levels in the shared state: pass times 60, 90 and 120 s.
void setBenchCriteria();
// The school in the shared state, on the data folders set there: the program's identity,
// its levels and setBenchCriteria, a school year from April, benchSchoolRoster written
// and read, pupil 1 chosen and every grade shown. False, with a message, when the roster
// cannot be written.
bool setUpBenchSchool();

class LeastTimeReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> leastUs; // by name and arguments, without "/repeats:n" and the like; in µs
    void ReportRuns(const std::vector<Run> &runs) override;
};

// Prints "name  time ms  floor ms  at most limit ms  ok|OVER" and tells whether the
// time is within its limit.
bool reportAgainstLimit(const std::string &name, double us, double floorUs, double limitMs);
