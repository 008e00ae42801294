// What the benchmarks share: a school day that stands still, a school's results file
// and roster, and a reporter that keeps each benchmark's least time.
//
// Each time is the least processor time of the repetitions: on a shared machine the
// other programs only ever add to a run, so the least disturbed run is the truest.
#pragma once

#include "core/environment.h"

#include <benchmark/benchmark.h>

#include <QByteArray>
#include <QString>

#include <map>
#include <string>

class BenchClock : public Clock
{
public:
    QDate today() const override { return QDate(2026, 12, 9); }
    double timeOfDay() const override { return 15 * 3600; }
    int64_t monotonicMs() const override { return 0; }
};

// Writes every message to standard error; a benchmark that ends the program fails.
class BenchDialogs : public Dialogs
{
public:
    DialogAnswer message(const QString &text, const QString &, DialogButtons) override;
    void endProgram(int status) override;
};

// Attempts of the last two months, appended day by day as the PCs record them, spread
// over pupils 1..pupils and the three levels, with the odd time-out.
QByteArray schoolFile(int records, int pupils);
// The roster of such a school, in code page 932: pupils 1..pupils from the first
// kindergarten year to the last of high school.
QByteArray schoolRoster(int pupils);
// The criteria of the three levels in the shared state.
void setBenchCriteria();
// Writes bytes as the file at path; false, with a message, when it cannot.
bool writeBenchFile(const QString &path, const QByteArray &bytes);

class LeastTimeReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> leastUs; // by name without "/repeats:n", in microseconds
    void ReportRuns(const std::vector<Run> &runs) override;
};

// Prints "name  time ms  floor ms  at most limit ms  ok|OVER" and tells whether the
// time is within its limit.
bool reportAgainstLimit(const std::string &name, double us, double floorUs, double limitMs);
