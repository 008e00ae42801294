#include "bench_support.h"

#include "core/environment.h"
#include "results/results_file.h"

QByteArray benchSchoolFile(int records)
{
    const double today = oleDateOf(kBenchToday);
    QByteArray bytes;
    bytes.reserve(records * kRecordSize);
    uint32_t state = 1;
    auto next = [&state](uint32_t range) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % range;
    };
    for (int i = 0; i < records; ++i) {
        ResultRecord r;
        r.date = today - 59 + (i * 60) / records;
        r.timeOfDay = (9 * 3600 + (i % 60) * 500) / 86400.0;
        r.pupil = static_cast<int16_t>(1 + next(kBenchPupils));
        r.level = static_cast<int16_t>(1 + next(3));
        r.resultTime = next(20) == 0 ? kTimedOut : static_cast<int32_t>(30 + next(400));
        bytes += r.toBytes();
    }
    return bytes;
}

void LeastTimeReporter::ReportRuns(const std::vector<Run> &runs)
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
