// ranvex: the drill program of the classroom PCs.
#include "app/wiring.h"
#include "core/Firstfrm.h"
#include "core/environment.h"
#include "core/paths.h"
#include "core/real_environment.h"
#include "core/screen_host.h"
#include "drill/sound_output.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    QApplication::setFont(screenFont(9));

    SystemClock clock;
    SystemRandom random;
    WidgetDialogs dialogs;
    DetachedProcessLauncher launcher;
    SystemSoundOutput sound;
    Environment &environment = env();
    environment.clock = &clock;
    environment.random = &random;
    environment.sound = &sound;
    environment.dialogs = &dialogs;
    environment.launcher = &launcher;
    wireSubsystems();

    ScreenHost &host = ScreenHost::instance();
    host.start(windowModeFromEnvironment());
    auto *splash = new Firstfrm(executableFolder());
    host.show(splash);
    splash->start();
    // Closed from the window system (the last window closed): leave as the program's
    // own end does.
    const int status = app.exec();
    dialogs.endProgram(status);
    return status;
}
