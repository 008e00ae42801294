// The criteria editor's distribution view, rebuilt on every key press from the whole
// results file, on files of 20000 and 100000 records, against the floor (the one read
// of the file and nothing else). Prints each size's two times and their ratio; exits
// non-zero when the rebuild at 100000 records takes more than twice the floor or more
// than 30 ms. (At 20000 records the file is read from memory in some 30 us, and the
// tallies and the lines, about as long, are shown beside it.) Each time is the least
// of the repetitions (bench_support.h).
#include "maintenance/time_distribution.h"
#include "results/results_file.h"

#include "bench_support.h"

#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cstdio>
#include <map>
#include <string>

namespace
{
constexpr int kSizes[] = {20000, 100000};
constexpr int kJudgedSize = 100000;
constexpr double kMostMsAt100000 = 30;
constexpr int kLevel = 2;

std::map<int64_t, QString> filesBySize;

void BM_Rebuild(benchmark::State &state)
{
    QByteArray buffer;
    const QString &path = filesBySize[state.range(0)];
    for (auto _ : state) {
        const DistributionLines lines = readDistribution(path, buffer, kLevel);
        benchmark::DoNotOptimize(lines.all.constData());
    }
}

void BM_Floor(benchmark::State &state)
{
    QByteArray buffer;
    const QString &path = filesBySize[state.range(0)];
    for (auto _ : state) {
        if (!readResultsBytes(path, buffer).ok())
            state.SkipWithError("cannot read the results file");
        benchmark::DoNotOptimize(buffer.constData());
    }
}

BENCHMARK(BM_Rebuild)->Arg(kSizes[0])->Arg(kSizes[1])->Unit(benchmark::kMicrosecond)->Repetitions(9);
BENCHMARK(BM_Floor)->Arg(kSizes[0])->Arg(kSizes[1])->Unit(benchmark::kMicrosecond)->Repetitions(9);

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir folder;
    for (const int size : kSizes) {
        const QString path = folder.path() + QStringLiteral("/%1-").arg(size) + kResultsFileName;
        if (!writeBenchFile(path, benchSchoolFile(size)))
            return 2;
        filesBySize[size] = path;
    }

    benchmark::Initialize(&argc, argv);
    LeastTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    bool ok = true;
    std::printf("\n");
    for (const int size : kSizes) {
        const double rebuild = reporter.leastUs["BM_Rebuild/" + std::to_string(size)];
        const double floor = reporter.leastUs["BM_Floor/" + std::to_string(size)];
        if (rebuild <= 0 || floor <= 0) {
            std::fprintf(stderr, "a benchmark did not run\n");
            return 2;
        }
        const double ratio = rebuild / floor;
        std::printf("%6d records (%.1f MB): rebuild %8.1f us, floor %8.1f us, rebuild / floor = %5.2f", size,
                    size * kRecordSize / 1e6, rebuild, floor, ratio);
        if (size != kJudgedSize) {
            std::printf("\n");
            continue;
        }
        const bool fastEnough = ratio <= 2 && rebuild <= kMostMsAt100000 * 1000;
        std::printf(" (at most 2), at most 30 ms   %s\n", fastEnough ? "ok" : "MISSED");
        ok = ok && fastEnough;
    }
    return ok ? 0 : 1;
}
