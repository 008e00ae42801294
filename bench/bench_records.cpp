// The results editor opening on 100000 records and a roster of 5000 pupils: the screen
// reads both files, computes every line and shows the list. Against the floor (the
// two file reads alone) and the naive way (one item per line inserted into a sorted
// list widget). Prints the three times; exits non-zero when the screen takes more than
// 300 ms.
#include "core/environment.h"
#include "core/hensuu1.h"
#include "maintenance/FrmData.h"
#include "pupils/roster.h"
#include "results/results_file.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QListWidget>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace
{
constexpr int kRecords = 100000;
constexpr double kBoundMs = 300;

// A year and a half of a busy school, with the odd record of another school.
QByteArray resultsFile()
{
    QByteArray bytes = benchSchoolFile(kRecords, 550);
    for (int n = 50; n <= kRecords; n += 50) {
        ResultRecord record = recordAt(bytes, n);
        record.schoolCode = schoolCodeText(QStringLiteral("99999"));
        record.toBytes(bytes.data() + qsizetype(n - 1) * kRecordSize);
    }
    return bytes;
}

void BM_Screen(benchmark::State &state)
{
    for (auto _ : state) {
        FrmData screen;
        screen.show();
        screen.activate();
        // Ready once painted, with the first page of lines.
        screen.repaint();
        benchmark::DoNotOptimize(screen.listModel->rowCount());
    }
}

void BM_Floor(benchmark::State &state)
{
    QByteArray buffer;
    const QString roster = hensuu1().dataPathSetting + QString::fromUtf8(kRosterFileName);
    for (auto _ : state) {
        benchmark::DoNotOptimize(readRosterFile(roster).records.size());
        if (!readResultsBytes(resultsFilePath(), buffer).ok())
            state.SkipWithError("cannot read the results file");
        benchmark::DoNotOptimize(buffer.constData());
    }
}

void BM_Naive(benchmark::State &state)
{
    for (auto _ : state) {
        QListWidget list;
        list.setSortingEnabled(true);
        for (const RecordLine &line : recordListLines(readRecordListSource()))
            list.addItem(line.text);
        list.show();
        list.repaint();
        benchmark::DoNotOptimize(list.count());
    }
}

BENCHMARK(BM_Screen)->Unit(benchmark::kMicrosecond)->Repetitions(7);
BENCHMARK(BM_Floor)->Unit(benchmark::kMicrosecond)->Repetitions(7);
BENCHMARK(BM_Naive)->Unit(benchmark::kMicrosecond)->Iterations(1)->Repetitions(2);
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const BenchEnvironment bench;
    Hensuu1 &h = hensuu1();
    h.schoolYearStartMonth = 4;
    h.schoolCode = QStringLiteral("12345");
    h.schoolName = QStringLiteral("本町教室");
    if (!writeBenchFile(h.dataPathSetting + QString::fromUtf8(kRosterFileName), benchSchoolRoster()) ||
        !writeBenchFile(resultsFilePath(), resultsFile()))
        return 2;

    benchmark::Initialize(&argc, argv);
    LeastTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double screen = reporter.leastUs["BM_Screen"] / 1000;
    const double floor = reporter.leastUs["BM_Floor"] / 1000;
    const double naive = reporter.leastUs["BM_Naive"] / 1000;
    if (screen <= 0 || floor <= 0 || naive <= 0) {
        std::fprintf(stderr, "a benchmark did not run\n");
        return 2;
    }
    std::printf("\n%d records, %d pupils\n", kRecords, kBenchPupils);
    std::printf("screen %10.1f ms (at most %.0f) %s\n", screen, kBoundMs,
                screen <= kBoundMs ? "ok" : "MISSED");
    std::printf("floor  %10.1f ms\nnaive  %10.1f ms\n", floor, naive);
    return screen <= kBoundMs ? 0 : 1;
}
