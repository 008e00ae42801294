// A big school of 5000 pupils: the name screen's list rebuilt and shown in each of its
// four views at 20000 records, the level menu's activation at 20000 and at 100000
// records, and "ranvex-data check" at 100000 records. Each against its floor, reading
// the files it reads and clearing the tables the screens fill; exits non-zero when a
// time is over its limit.
#include "app/data_tool.h"
#include "app/demo_classroom.h"
#include "bench_support.h"
#include "core/hensuu1.h"
#include "core/real_environment.h"
#include "menu/seisekitime1.h"
#include "pupils/namesel.h"
#include "pupils/roster.h"
#include "results/results_file.h"
#include "results/statistics.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextStream>

#include <cstdio>

namespace
{
constexpr int kViews = 4;
constexpr int kNameListRecords = 20000;
constexpr double kNameListLimitMs = 100;
constexpr int kCheckRecords = 100000;
constexpr double kCheckLimitMs = 1000;

int g_recordsWritten = 0;
// Made once, on first use, and deleted before the application.
namesel *g_names = nullptr;
seisekitime1 *g_menu = nullptr;

// The results file holds this many records, written anew only when that changes.
bool holdRecords(benchmark::State &state, int records)
{
    if (records != g_recordsWritten) {
        if (!writeBenchSchoolFile(records)) {
            state.SkipWithError("cannot write the results file");
            return false;
        }
        g_recordsWritten = records;
    }
    return true;
}

// Reading every file the screen reads, once each, and clearing the tables it fills.
void BM_Floor(benchmark::State &state)
{
    if (!holdRecords(state, int(state.range(0))))
        return;
    QByteArray results;
    QByteArray roster;
    const QString resultsPath = resultsFilePath();
    const bool withRoster = state.range(1) != 0;
    const QString rosterPath = hensuu1().dataPathSetting + QString::fromUtf8(kRosterFileName);
    for (auto _ : state) {
        if (!readResultsBytes(resultsPath, results).ok())
            state.SkipWithError("cannot read the results file");
        if (withRoster) {
            QFile file(rosterPath);
            if (!file.open(QIODevice::ReadOnly))
                state.SkipWithError("cannot read the roster");
            roster = file.readAll();
        }
        clearPupilFigures();
        benchmark::DoNotOptimize(results.constData());
        benchmark::DoNotOptimize(roster.constData());
    }
}

void BM_NameList(benchmark::State &state)
{
    if (!holdRecords(state, kNameListRecords))
        return;
    if (!g_names) {
        g_names = new namesel;
        g_names->show();
    }
    const int view = int(state.range(0));
    for (auto _ : state) {
        // The view is chosen afresh each time: choosing the checked one again is no choice.
        checkQuietly(g_names->Option1[(view + 1) % 4]);
        g_names->Option1[view]->click();
        g_names->repaint();
        benchmark::DoNotOptimize(g_names->List1->count());
    }
}

void BM_LevelMenu(benchmark::State &state)
{
    if (!holdRecords(state, int(state.range(0))))
        return;
    if (!g_menu) {
        g_menu = new seisekitime1;
        g_menu->show();
    }
    for (auto _ : state) {
        g_menu->activate();
        benchmark::DoNotOptimize(g_menu->menuReady);
    }
}

void BM_Check(benchmark::State &state)
{
    if (!holdRecords(state, kCheckRecords))
        return;
    const QStringList arguments{QStringLiteral("--base"), hensuu1().dataPathSetting, QStringLiteral("check")};
    for (auto _ : state) {
        QString output;
        QTextStream out(&output);
        QTextStream err(&output);
        if (runDataTool(arguments, out, err) != kToolOk)
            state.SkipWithError(qUtf8Printable(output));
        benchmark::DoNotOptimize(output.constData());
    }
}

BENCHMARK(BM_Floor)->Args({kNameListRecords, 1})->Unit(benchmark::kMillisecond)->Repetitions(9);
BENCHMARK(BM_NameList)->DenseRange(0, kViews - 1)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_Floor)->Args({20000, 0})->Unit(benchmark::kMillisecond)->Repetitions(9);
BENCHMARK(BM_LevelMenu)->Arg(20000)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_Floor)->Args({100000, 0})->Unit(benchmark::kMillisecond)->Repetitions(9);
BENCHMARK(BM_LevelMenu)->Arg(100000)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_Floor)->Args({kCheckRecords, 1})->Unit(benchmark::kMillisecond)->Repetitions(9);
BENCHMARK(BM_Check)->Unit(benchmark::kMillisecond)->Repetitions(3);

std::string key(const char *name, long a)
{
    return std::string(name) + "/" + std::to_string(a);
}
} // namespace

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    BenchClock clock;
    SystemRandom random;
    BenchDialogs dialogs;
    env() = {&clock, &random, nullptr, &dialogs, nullptr};

    // The demo classroom's configuration and sounds, with the big school's roster and
    // results in place of its own.
    QTemporaryDir folder;
    if (const QString problem = writeDemoClassroom(folder.path(), QStringLiteral("ranvex"));
        !problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(problem));
        return 2;
    }
    Hensuu1 &h = hensuu1();
    h.dataPathSetting = folder.path() + "/shared/";
    h.dataFolder = h.dataPathSetting + "ranvex/";
    if (!setUpBenchSchool())
        return 2;
    h.currentPupilName = rosterTables().pupilNames[1];

    benchmark::Initialize(&argc, argv);
    LeastTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    delete g_names;
    delete g_menu;

    std::printf("\n%d pupils\n", kBenchPupils);
    bool within = true;
    const double nameFloor = reporter.leastUs[key("BM_Floor", kNameListRecords) + "/1"];
    for (int view = 0; view < kViews; ++view) {
        within &= reportAgainstLimit("name list, view " + std::to_string(view) + ", " +
                                         std::to_string(kNameListRecords) + " records",
                                     reporter.leastUs[key("BM_NameList", view)], nameFloor, kNameListLimitMs);
    }
    for (const auto &[records, limitMs] : {std::pair{20000, 150.0}, std::pair{100000, 300.0}}) {
        within &= reportAgainstLimit("level menu, " + std::to_string(records) + " records",
                                     reporter.leastUs[key("BM_LevelMenu", records)],
                                     reporter.leastUs[key("BM_Floor", records) + "/0"], limitMs);
    }
    within &= reportAgainstLimit("ranvex-data check, " + std::to_string(kCheckRecords) + " records",
                                 reporter.leastUs["BM_Check"],
                                 reporter.leastUs[key("BM_Floor", kCheckRecords) + "/1"], kCheckLimitMs);
    return within ? 0 : 1;
}
