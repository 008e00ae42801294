// The level menu and the drill as a pupil sees them appear, made afresh, filled and
// painted whole, on a school of 5000 pupils and 20000 records: in the 1024 x 768
// window, and full screen on a 1920 x 1080 display, scaled. The scale is a program's
// for its whole run, so the scaled case runs in a process of its own (this program,
// started with --display) and is reported beside the unscaled one. Each screen must
// appear within 150 ms; exits non-zero when one does not.
#include "app/screen_gallery.h"
#include "app/wiring.h"
#include "bench_support.h"
#include "core/hensuu1.h"
#include "core/real_environment.h"
#include "core/screen_host.h"
#include "drill/MainFrm.h"
#include "menu/seisekitime1.h"
#include "pupils/roster.h"
#include "results/statistics.h"

#include <QApplication>
#include <QProcess>

#include <cstdio>
#include <cstring>

namespace
{
constexpr double kShownWithinMs = 150;
const char *const kScaledDisplay = "1920x1080";

class Silence : public SoundOutput
{
public:
    SoundResult play(const QString &) override { return {}; }
};

// Shows the screen that show() puts up, paints the whole window at once, and lets the
// screen it replaced go.
template <typename Show> void measureShown(benchmark::State &state, Show show)
{
    ScreenHost &host = ScreenHost::instance();
    for (auto _ : state) {
        show();
        host.repaint();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        benchmark::DoNotOptimize(host.current());
    }
}

void BM_LevelMenu(benchmark::State &state)
{
    measureShown(state, [] { ScreenHost::instance().show(new seisekitime1); });
}

void BM_Drill(benchmark::State &state)
{
    measureShown(state, [] { StartDrill(); });
}

BENCHMARK(BM_LevelMenu)->Unit(benchmark::kMillisecond)->Repetitions(5);
BENCHMARK(BM_Drill)->Unit(benchmark::kMillisecond)->Repetitions(5);

bool report(const char *screen, const std::string &where, double us, double unscaledUs)
{
    const bool within = us > 0 && us <= kShownWithinMs * 1000;
    std::printf("%-12s %-20s %8.1f ms", screen, where.c_str(), us / 1000);
    if (unscaledUs > 0)
        std::printf("   %4.2f x unscaled", us / unscaledUs);
    std::printf("   at most %3.0f ms   %s\n", kShownWithinMs, within ? "ok" : "OVER");
    return within;
}
} // namespace

// bench_screens [--display WIDTHxHEIGHT --unscaled MENU_US,DRILL_US] [benchmark options]
int main(int argc, char **argv)
{
    QSize display;
    double unscaledUs[2] = {0, 0};
    if (argc >= 5 && std::strcmp(argv[1], "--display") == 0 && std::strcmp(argv[3], "--unscaled") == 0) {
        display = displaySize(QString::fromLatin1(argv[2]));
        if (!display.isValid() || !useOffscreenDisplay(display) ||
            std::sscanf(argv[4], "%lf,%lf", &unscaledUs[0], &unscaledUs[1]) != 2)
            return 2;
        argv[4] = argv[0];
        argv += 4;
        argc -= 4;
    } else {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    const BenchEnvironment bench;
    SystemRandom random;
    Silence silence;
    env().random = &random;
    env().sound = &silence;
    wireSubsystems();
    if (!setUpBenchSchool() || !writeBenchSchoolFile())
        return 2;
    Hensuu1 &h = hensuu1();
    h.currentPupilName = rosterTables().pupilNames[1];
    h.currentLevel = 1;
    ComputePupilStatistics();
    ScreenHost::instance().start(display.isValid() ? WindowMode::FullScreen : WindowMode::Windowed);

    benchmark::Initialize(&argc, argv);
    LeastTimeReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();

    const double menuUs = reporter.leastUs["BM_LevelMenu"];
    const double drillUs = reporter.leastUs["BM_Drill"];
    const std::string where =
        display.isValid() ? std::string(kScaledDisplay) + ", scaled" : "1024 x 768 window";
    if (!display.isValid())
        std::printf("\n%d pupils, %d records: each screen made, filled and painted\n", kBenchPupils,
                    kBenchRecords);
    bool ok = report("level menu", where, menuUs, unscaledUs[0]);
    ok &= report("drill", where, drillUs, unscaledUs[1]);
    if (display.isValid())
        return ok ? 0 : 1;

    // The scaled case, its figures printed after these.
    std::fflush(stdout);
    QProcess scaled;
    scaled.setProcessChannelMode(QProcess::ForwardedChannels);
    scaled.start(QCoreApplication::applicationFilePath(),
                 {QStringLiteral("--display"), QString::fromLatin1(kScaledDisplay),
                  QStringLiteral("--unscaled"), QStringLiteral("%1,%2").arg(menuUs).arg(drillUs)});
    if (!scaled.waitForFinished(-1) || scaled.exitStatus() != QProcess::NormalExit)
        return 2;
    return ok && scaled.exitCode() == 0 ? 0 : 1;
}
