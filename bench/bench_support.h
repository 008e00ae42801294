// What the benchmarks share: the seams they run with and their reporter. Each time is
// the least processor time of the repetitions: on a shared machine the other programs
// only ever add to a run, so the least disturbed run is the truest.
#pragma once

#include "core/environment.h"
#include "results/results_file.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

// A school day's afternoon, 9 December 2026.
class BenchClock : public Clock
{
public:
    QDate today() const override { return QDate(2026, 12, 9); }
    double timeOfDay() const override { return 15 * 3600; }
    int64_t monotonicMs() const override { return 0; }
};

class BenchDialogs : public Dialogs
{
public:
    DialogAnswer message(const QString &text, const QString &, DialogButtons) override
    {
        std::fprintf(stderr, "%s\n", qUtf8Printable(text));
        return DialogAnswer::Ok;
    }
    void endProgram(int status) override { std::exit(status); }
};

// Attempts of a school over its last days up to lastDay, appended day by day as the
// PCs record them, spread over pupils 1..pupils and the three levels, with the odd
// time-out.
inline QByteArray schoolResults(int records, int pupils, const QDate &lastDay, int days)
{
    const double firstDay = oleDateOf(lastDay) - (days - 1);
    QByteArray bytes;
    bytes.reserve(qsizetype(records) * kRecordSize);
    uint32_t state = 1;
    auto next = [&state](uint32_t range) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % range;
    };
    for (int i = 0; i < records; ++i) {
        ResultRecord r;
        r.date = firstDay + (qint64(i) * days) / records;
        r.timeOfDay = (9 * 3600 + (i % 60) * 500) / 86400.0;
        r.pupil = static_cast<int16_t>(1 + next(pupils));
        r.level = static_cast<int16_t>(1 + next(3));
        r.resultTime = next(20) == 0 ? kTimedOut : static_cast<int32_t>(30 + next(400));
        bytes += r.toBytes();
    }
    return bytes;
}

// Keeps the least time of each benchmark's repetitions, in the benchmark's unit (the
// benchmarks here run in microseconds), and prints the summaries.
class LeastTimeReporter : public benchmark::ConsoleReporter
{
public:
    std::map<std::string, double> leastUs;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        std::vector<Run> summaries;
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate) {
                summaries.push_back(run);
                continue;
            }
            const std::string &name = run.run_name.function_name;
            const double us = run.GetAdjustedCPUTime();
            if (!leastUs.count(name) || us < leastUs[name])
                leastUs[name] = us;
        }
        if (!summaries.empty())
            ConsoleReporter::ReportRuns(summaries);
    }
};
