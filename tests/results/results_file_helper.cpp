// A second program on the same results file, for the tests that need another PC:
//   results_file_helper append DATA_FOLDER PUPIL COUNT PAUSE_MS
//     appends COUNT records of PUPIL (times 1..COUNT), pausing between them, and
//     prints how often it had to wait for the file;
//   results_file_helper crash-delete DATA_FOLDER K
//     deletes record K and dies after moving the records, before the file is cut.
#include "core/environment.h"
#include "core/hensuu1.h"
#include "core/real_environment.h"
#include "results/results_file.h"

#include <QCoreApplication>
#include <QThread>

#include <cstdio>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() < 4)
        return 2;
    SystemClock clock;
    ConsoleDialogs dialogs;
    env().clock = &clock;
    env().dialogs = &dialogs;
    Hensuu1 &h = hensuu1();
    h.dataFolder = args[2];
    h.schoolCode = QStringLiteral("12345");

    if (args[1] == "append" && args.size() == 6) {
        const int count = args[4].toInt();
        const int pauseMs = args[5].toInt();
        h.currentPupil = static_cast<int16_t>(args[3].toInt());
        h.currentLevel = 1;
        for (int i = 1; i <= count; ++i) {
            h.attemptTime = i;
            AppendResultRecord();
            if (pauseMs > 0)
                QThread::msleep(pauseMs);
        }
        std::printf("%d\n", appendRetryCount());
        return 0;
    }
    if (args[1] == "crash-delete") {
        fileFaultHook() = [](FileStep step, const QString &path) {
            if (step == FileStep::Truncate && path == resultsFilePath())
                _exit(3);
            return 0;
        };
        deleteResultRecord(resultsFilePath(), args[3].toInt());
        return 0;
    }
    return 2;
}
