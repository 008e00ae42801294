// ranvex-screenshots CLASSROOM_PROGRAM_FOLDER OUTPUT_FOLDER: writes a PNG of every
// screen, drawn offscreen on the given classroom's configuration.
#include "app/screen_gallery.h"
#include "core/screen_host.h"

#include <QApplication>
#include <QDir>

#include <cstdio>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: ranvex-screenshots PROGRAM_FOLDER OUTPUT_FOLDER\n");
        return 2;
    }
    QApplication::setFont(screenFont(9));
    const QString programFolder = QCoreApplication::arguments().at(1);
    const QString output = QCoreApplication::arguments().at(2);
    QDir().mkpath(output);

    const QString problem = visitScreens(programFolder, [&](QWidget *screen, const QString &name) {
        const QString path = output + "/" + name + ".png";
        if (!screen->grab().save(path)) {
            std::fprintf(stderr, "cannot write %s\n", qUtf8Printable(path));
            return false;
        }
        std::printf("%s\n", qUtf8Printable(path));
        return true;
    });
    if (!problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(problem));
        return 1;
    }
    return 0;
}
