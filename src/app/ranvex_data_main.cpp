// ranvex-data: the data tool of a classroom's shared folder (ranvex-data --help).
#include "app/data_tool.h"
#include "core/environment.h"
#include "core/real_environment.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    SystemClock clock;
    SystemRandom random;
    ConsoleDialogs dialogs;
    env() = {&clock, &random, nullptr, &dialogs, nullptr};

    QTextStream out(stdout);
    QTextStream err(stderr);
    out.setEncoding(QStringConverter::Utf8);
    err.setEncoding(QStringConverter::Utf8);
    const int status = runDataTool(app.arguments().mid(1), out, err);
    out.flush();
    err.flush();
    return status;
}
