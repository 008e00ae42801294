#include "bench_support.h"

#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/text_values.h"
#include "pupils/roster.h"
#include "results/results_file.h"

#include <QFile>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

DialogAnswer BenchDialogs::message(const QString &text, const QString &, DialogButtons)
{
    std::fprintf(stderr, "%s\n", qUtf8Printable(text));
    return DialogAnswer::Ok;
}

void BenchDialogs::endProgram(int status)
{
    std::exit(status == 0 ? 2 : status);
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
        r.pupil = static_cast<int16_t>(1 + next(kBenchPupils));
        r.level = static_cast<int16_t>(1 + next(3));
        r.resultTime = next(20) == 0 ? kTimedOut : static_cast<int32_t>(30 + next(400));
        bytes += r.toBytes();
    }
    return bytes;
}

QByteArray benchSchoolRoster(int pupils)
{
    const char *const family[] = {"青木", "石井", "上田", "遠藤", "大野",
                                  "加藤", "川村", "木下", "小松", "斉藤"};
    const char *const given[] = {"ひなた", "蓮",   "ゆい", "はると", "陽菜",
                                 "湊",     "結衣", "悠真", "さくら", "葵"};
    QString text;
    for (int n = 1; n <= pupils; ++n) {
        // School year 2026 from April: birth years 2021 (kindergarten) to 2008 (last year of high school).
        text += QStringLiteral("%1,%2,0,0,\"%3　%4\",0,\"\",\"\"\r\n")
                    .arg(n)
                    .arg(2008 + n % 14)
                    .arg(QString::fromUtf8(family[n % 10]), QString::fromUtf8(given[n / 10 % 10]));
    }
    return encodeCp932(text);
}

bool writeBenchFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size())
        return true;
    std::fprintf(stderr, "cannot write %s\n", qUtf8Printable(path));
    return false;
}

bool writeBenchSchoolFile(int records, int days)
{
    return writeBenchFile(resultsFilePath(), benchSchoolFile(records, days));
}

void setBenchCriteria()
{
    Hensuu1 &h = hensuu1();
    const int passTimes[] = {0, 60, 90, 120};
    for (int level = 1; level <= 3; ++level) {
        h.passTime[level] = passTimes[level];
        h.minimumTime[level] = passTimes[level] * 2;
        h.targetPoints[level] = 300;
        h.targetCount[level] = 10;
        h.pointMultiplier[level] = 1.5f;
        h.passPeriodDays[level] = LooseValue::fromField(QStringLiteral("7"));
        h.overusePeriodDays[level] = LooseValue::fromField(QStringLiteral("1"));
    }
}

bool setUpBenchSchool()
{
    SetProgramIdentity();
    FillLevelCatalogue();
    setBenchCriteria();
    Hensuu1 &h = hensuu1();
    h.schoolYearStartMonth = 4;
    if (!writeBenchFile(h.dataPathSetting + QString::fromUtf8(kRosterFileName), benchSchoolRoster()))
        return false;
    ReadRoster();
    h.currentPupil = 1;
    h.selectedGradeFilter = QStringLiteral("全学年");
    return true;
}

namespace
{
// "BM_Naive/iterations:1/repeats:2" as "BM_Naive", "BM_Floor/20000/repeats:9" as
// "BM_Floor/20000": the name and its arguments, without the run options.
std::string nameWithoutOptions(const std::string &full)
{
    std::string name;
    size_t start = 0;
    while (start <= full.size()) {
        const size_t end = std::min(full.find('/', start), full.size());
        const std::string part = full.substr(start, end - start);
        if (part.find(':') == std::string::npos)
            name += (name.empty() ? "" : "/") + part;
        start = end + 1;
    }
    return name;
}
} // namespace

void LeastTimeReporter::ReportRuns(const std::vector<Run> &runs)
{
    std::vector<Run> summaries;
    for (const Run &run : runs) {
        if (run.run_type == Run::RT_Aggregate) {
            summaries.push_back(run);
            continue;
        }
        const std::string name = nameWithoutOptions(run.benchmark_name());
        const double us = run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) * 1e6;
        if (!leastUs.count(name) || us < leastUs[name])
            leastUs[name] = us;
    }
    if (!summaries.empty())
        ConsoleReporter::ReportRuns(summaries);
}

bool reportAgainstLimit(const std::string &name, double us, double floorUs, double limitMs)
{
    const bool within = us > 0 && us <= limitMs * 1000;
    std::printf("%-36s %9.1f ms   floor %8.1f ms   at most %5.0f ms   %s\n", name.c_str(), us / 1000,
                floorUs / 1000, limitMs, within ? "ok" : "OVER");
    return within;
}
