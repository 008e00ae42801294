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

    // RANVEX_WINDOWED=1 keeps the program in a 1024 x 768 window, for a developer's desktop.
    ScreenHost &host = ScreenHost::instance();
    host.start(qEnvironmentVariableIntValue("RANVEX_WINDOWED") == 0);
    auto *splash = new Firstfrm(executableFolder());
    host.show(splash);
    splash->start();
    return app.exec();
}
