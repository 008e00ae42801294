// The benchmarks' console reporter: prints the summaries of the repetitions and keeps
// the least processor time of each benchmark. On a shared machine the other programs
// only ever add to a run, so the least disturbed run is the truest.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

class LeastTimeReporter : public benchmark::ConsoleReporter
{
public:
    // By benchmark name, with "/" and the arguments when it has any: "BM_Scan", "BM_Floor/20000".
    std::map<std::string, double> leastUs;

    void ReportRuns(const std::vector<Run> &runs) override
    {
        std::vector<Run> summaries;
        for (const Run &run : runs) {
            if (run.run_type == Run::RT_Aggregate) {
                summaries.push_back(run);
                continue;
            }
            std::string name = run.run_name.function_name;
            if (!run.run_name.args.empty())
                name += "/" + run.run_name.args;
            const double us = run.GetAdjustedCPUTime();
            if (!leastUs.count(name) || us < leastUs[name])
                leastUs[name] = us;
        }
        if (!summaries.empty())
            ConsoleReporter::ReportRuns(summaries);
    }
};
