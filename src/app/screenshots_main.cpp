// ranvex-screenshots [--display WIDTHxHEIGHT | --full-screen] CLASSROOM_PROGRAM_FOLDER OUTPUT_FOLDER:
// writes a PNG of every screen, drawn on the given classroom's configuration: in the
// 1024 x 768 window; with --display as the whole display of a classroom PC of that size
// shows it, full screen and scaled, drawn offscreen; with --full-screen so on the
// display the program runs at, through the system's own window platform.
#include "app/screen_gallery.h"
#include "core/screen_host.h"

#include <QApplication>
#include <QDir>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    WindowMode mode = WindowMode::Windowed;
    if (argc == 5 && std::strcmp(argv[1], "--display") == 0) {
        const QSize display = displaySize(QString::fromLocal8Bit(argv[2]));
        if (!display.isValid() || !useOffscreenDisplay(display))
            return 2;
        mode = WindowMode::FullScreen;
        argv += 2;
        argc -= 2;
    } else if (argc == 4 && std::strcmp(argv[1], "--full-screen") == 0) {
        mode = WindowMode::FullScreen;
        argv += 1;
        argc -= 1;
    }
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr,
                     "usage: ranvex-screenshots [--display WIDTHxHEIGHT | --full-screen] PROGRAM_FOLDER "
                     "OUTPUT_FOLDER\n");
        return 2;
    }
    QApplication::setFont(screenFont(9));
    const QString programFolder = QCoreApplication::arguments().at(1);
    const QString output = QCoreApplication::arguments().at(2);
    QDir().mkpath(output);

    const auto save = [&](QWidget *screen, const QString &name) {
        const QString path = output + "/" + name + ".png";
        // The whole window: on a display, the design with the bands around it.
        ScreenHost &host = ScreenHost::instance();
        if (!(host.holds(screen) ? &host : screen->window())->grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qUtf8Printable(path));
            return false;
        }
        std::printf("%s\n", qUtf8Printable(path));
        return true;
    };
    const QString problem = visitScreens(programFolder, save, mode);
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(problem));
        return 1;
    }
    return 0;
}
