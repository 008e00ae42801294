// ranvex-screenshots CLASSROOM_PROGRAM_FOLDER OUTPUT_FOLDER: writes a PNG of every
// screen, drawn offscreen on the given classroom's configuration.
#include "app/wiring.h"
#include "core/BASEFRM.h"
#include "core/Firstfrm.h"
#include "core/environment.h"
#include "core/frmver.h"
#include "core/hensuu1.h"
#include "core/real_environment.h"
#include "core/screen_host.h"
#include "core/startup.h"

#include <QApplication>
#include <QDir>
#include <QTextStream>

#include <cstdio>

namespace {
bool save(QWidget *widget, const QString &folder, const QString &name)
{
    widget->ensurePolished();
    QCoreApplication::processEvents();
    const QString path = folder + "/" + name + ".png";
    if (!widget->grab().save(path)) {
        std::fprintf(stderr, "cannot write %s\n", qUtf8Printable(path));
        return false;
    }
    std::printf("%s\n", qUtf8Printable(path));
    return true;
}
} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: ranvex-screenshots PROGRAM_FOLDER OUTPUT_FOLDER\n");
        return 2;
    }
    QApplication::setFont(screenFont(9));
    const QString programFolder = QString::fromLocal8Bit(argv[1]);
    const QString output = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(output);

    SystemClock clock;
    SystemRandom random;
    ConsoleDialogs dialogs;
    env() = {&clock, &random, nullptr, &dialogs, nullptr};
    wireSubsystems();

    ScreenHost &host = ScreenHost::instance();
    host.start(false);
    bool ok = true;

    auto *splash = new Firstfrm(programFolder);
    host.show(splash);
    splash->Label5->setText(eraDateCaption(clock.today()));
    ok &= save(splash, output, "Firstfrm");

    if (auto problem = LoadStartupConfiguration(programFolder)) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(problem->message()));
        return 1;
    }
    const QDate today = clock.today();
    hensuu1().seasonColor = seasonColorForMonth(today.month());

    BASEFRM backdrop;
    ok &= save(&backdrop, output, "BASEFRM");

    frmver version;
    version.show();
    ok &= save(&version, output, "frmver");
    version.close();

    return ok ? 0 : 1;
}
