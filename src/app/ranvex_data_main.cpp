// ranvex-data: the data tool of a classroom's shared folder (ranvex-data --help).
#include "app/data_tool.h"
#include "core/environment.h"
#include "core/real_environment.h"
#include "platform/platform.h"

#include <QGuiApplication>
#include <QTextStream>

#include <algorithm>
#include <cstring>
#include <memory>

namespace
{
// The charts are drawn with the screens' fonts, which need the GUI application; a PC
// without a display draws them offscreen.
std::unique_ptr<QCoreApplication> applicationFor(int &argc, char *argv[])
{
    const bool drawing =
        std::any_of(argv + 1, argv + argc, [](const char *arg) { return std::strcmp(arg, "charts") == 0; });
    if (!drawing)
        return std::make_unique<QCoreApplication>(argc, argv);
#if !defined(Q_OS_WIN) && !defined(Q_OS_MACOS)
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
        qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
#endif
    return std::make_unique<QGuiApplication>(argc, argv);
}
} // namespace

int main(int argc, char *argv[])
{
    const std::unique_ptr<QCoreApplication> app = applicationFor(argc, argv);
    SystemClock clock;
    SystemRandom random;
    ConsoleDialogs dialogs;
    env() = {&clock, &random, nullptr, &dialogs, nullptr};

    platform::useUtf8Console();
    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    const int status = runDataTool(app->arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}
