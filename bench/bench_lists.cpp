// The level menu's six kinds of list on a school of 5000 listed pupils and 20000
// records: the lines of every level computed, and the same lines shown by the menu's
// option (read, computed, filled into the list boxes and painted), against the floor
// of reading the file and running the statistics scan. Each kind must be shown within
// 100 ms; exits non-zero when one is not.
#include "bench_support.h"
#include "core/hensuu1.h"
#include "menu/result_lists.h"
#include "menu/seisekitime1.h"
#include "results/results_file.h"
#include "results/statistics.h"

#include <QApplication>
#include <QTemporaryDir>

#include <cstdio>

namespace
{
constexpr double kShownWithinMs = 100;

struct KindCase {
    ListKind kind;
    const char *name;
    int viewMode;
    int option;
};
const KindCase kKinds[] = {
    {ListKind::BestTimes, "best", 1, 1},
    {ListKind::TodaysRecords, "today", 1, 2},
    {ListKind::PeriodRecords, "period", 1, 3},
    {ListKind::PointsSoFar, "points-so-far", 2, 1},
    {ListKind::PointsToday, "points-today", 2, 2},
    {ListKind::PeriodPoints, "period-points", 2, 3},
};

seisekitime1 *menu = nullptr;

ListRequest benchRequest()
{
    ListRequest request;
    request.currentPupil = hensuu1().currentPupil;
    request.gradeFilter = QStringLiteral("全学年");
    request.periodChoice = 3;
    request.today = kBenchToday;
    request.now = nowAsOleDate();
    return request;
}

void BM_Floor(benchmark::State &state)
{
    QByteArray bytes;
    for (auto _ : state) {
        if (!readResultsBytes(resultsFilePath(), bytes).ok())
            state.SkipWithError("cannot read the results file");
        ComputePupilStatistics();
        benchmark::DoNotOptimize(bytes.constData());
    }
}

void BM_Lines(benchmark::State &state)
{
    const KindCase &kind = kKinds[state.range(0)];
    QByteArray bytes;
    for (auto _ : state) {
        if (listsReadResultsFile(kind.kind))
            readResultsBytes(resultsFilePath(), bytes);
        const ListsView view = computeLists(kind.kind, bytes, benchRequest());
        benchmark::DoNotOptimize(view.levels[1].lines.size());
    }
}

void BM_Shown(benchmark::State &state)
{
    const KindCase &kind = kKinds[state.range(0)];
    for (auto _ : state) {
        menu->viewMode = static_cast<int16_t>(kind.viewMode);
        checkQuietly(menu->Option1[kind.option]);
        menu->Option1_Click(kind.option);
        QCoreApplication::processEvents(); // paints the lists
        benchmark::DoNotOptimize(menu->List5[1]->count());
    }
}

BENCHMARK(BM_Floor)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK(BM_Lines)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond)->Repetitions(5);
BENCHMARK(BM_Shown)->DenseRange(0, 5)->Unit(benchmark::kMicrosecond)->Repetitions(5);
} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const BenchEnvironment bench;
    if (!setUpBenchSchool() || !writeBenchSchoolFile())
        return 2;
    ComputePupilStatistics();
    menu = new seisekitime1;
    menu->show();
    QCoreApplication::processEvents();

    benchmark::Initialize(&argc, argv);
    LeastTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double floor = reporter.leastUs["BM_Floor"] / 1000;
    std::printf("\n%d records, %d listed pupils; floor (read the file, statistics scan) %.1f ms\n", kBenchRecords,
                kBenchPupils, floor);
    std::printf("%-14s %10s %10s %12s\n", "list", "lines ms", "shown ms", "shown/floor");
    bool ok = floor > 0;
    for (int i = 0; i < static_cast<int>(std::size(kKinds)); ++i) {
        const double lines = reporter.leastUs["BM_Lines/" + std::to_string(i)] / 1000;
        const double shown = reporter.leastUs["BM_Shown/" + std::to_string(i)] / 1000;
        const bool fast = shown > 0 && shown <= kShownWithinMs;
        ok &= fast;
        std::printf("%-14s %10.1f %10.1f %12.2f   %s\n", kKinds[i].name, lines, shown, shown / floor,
                    fast ? "ok (at most 100 ms)" : "MISSED (at most 100 ms)");
    }
    delete menu;
    return ok ? 0 : 1;
}
