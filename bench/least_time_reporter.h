// The benchmarks' reporter. Each time is the least processor time of the repetitions:
// on a shared machine the other programs only ever add to a run, so the least
// disturbed run is the truest.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

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
