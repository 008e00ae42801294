#include "bench_support.h"

#include "core/hensuu1.h"
#include "pupils/roster.h"
#include "results/results_file.h"

#include <QFile>

#include <cstdio>
#include <cstdlib>

DialogAnswer BenchDialogs::message(const QString &text, const QString &, DialogButtons)
{
    std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    return DialogAnswer::Ok;
}

void BenchDialogs::endProgram(int status)
{
    std::exit(status);
}

BenchEnvironment::BenchEnvironment()
{
    env() = {&clock, nullptr, nullptr, &dialogs, nullptr};
    Hensuu1 &h = hensuu1();
    h.dataPathSetting = folder.path() + "/";
    h.dataFolder = h.dataPathSetting;
}

QByteArray benchSchoolFile(int records, int days)
{
    const double firstDay = oleDateOf(kBenchToday) - (days - 1);
    QByteArray bytes;
    bytes.reserve(records * kRecordSize);
    uint32_t state = 1;
    auto next = [&state](uint32_t range) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % range;
    };
    for (int i = 0; i < records; ++i) {
        ResultRecord r;
        r.date = firstDay + (qint64(i) * days) / records;
        r.timeOfDay = (9 * 3600 + (i % 60) * 500) / 86400.0;
        r.pupil = static_cast<int16_t>(1 + next(kBenchPupils));
        r.level = static_cast<int16_t>(1 + next(3));
        r.resultTime = next(20) == 0 ? kTimedOut : static_cast<int32_t>(30 + next(400));
        bytes += r.toBytes();
    }
    return bytes;
}

bool writeBenchSchoolFile(int records)
{
    QFile file(resultsFilePath());
    const QByteArray bytes = benchSchoolFile(records);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "cannot write %s\n", qUtf8Printable(resultsFilePath()));
        return false;
    }
    return true;
}

void setBenchCriteria()
{
    Hensuu1 &h = hensuu1();
    const int passTimes[] = {0, 60, 90, 120};
    for (int level = 1; level <= 3; ++level) {
        h.passTime[level] = passTimes[level];
        h.minimumTime[level] = passTimes[level] * 2;
        h.pointMultiplier[level] = 1.5f;
        h.passPeriodDays[level] = LooseValue::fromField(QStringLiteral("7"));
        h.overusePeriodDays[level] = LooseValue::fromField(QStringLiteral("1"));
    }
}

void fillBenchRoster()
{
    RosterTables &tables = rosterTables();
    tables.schoolYear = 2026;
    tables.activePupilCount = kBenchPupils;
    for (int p = 1; p <= kBenchPupils; ++p) {
        tables.activePupilNumbers[p] = static_cast<int16_t>(p);
        tables.pupilNames[p] = QStringLiteral("生徒　%1").arg(p).leftJustified(kRosterTextLength, u' ');
        tables.pupilBirthYears[p] = static_cast<int16_t>(2026 - 7 - p % 9);
    }
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
