// A second program on the same results file, for the tests that need another PC:
//   results_file_helper append DATA_FOLDER PUPIL COUNT PAUSE_MS
//     prints "ready", appends COUNT records of PUPIL (times 1..COUNT), pausing between
//     them, and prints how often it had to wait for the file;
//   results_file_helper crash-delete DATA_FOLDER K
//     deletes record K and dies after moving the records, before the file is cut;
//   results_file_helper appender DATA_FOLDER PROGRAM_FOLDER PUPIL FIRST COUNT PAUSE_MS
//     a classroom PC with its own program folder: delivers what it kept, then appends
//     the times FIRST.. of PUPIL, printing each once it is recorded or kept;
//   results_file_helper editor DATA_FOLDER SEED
//     the teacher, until killed: prints "ready", then changes and deletes random records
//     of pupils 1000 and above, printing "begin delete P" or "begin change P T" before
//     each, "step N" before each file step of it and "end" once it is done.
#include "core/environment.h"
#include "core/hensuu1.h"
#include "core/real_environment.h"
#include "results/results_file.h"

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QThread>

#include <cstdio>
#include <unistd.h>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace
{

void say(const QByteArray &line)
{
    // Unbuffered, so that a line written before a kill is read.
    [[maybe_unused]] const ssize_t written = ::write(1, (line + '\n').constData(), line.size() + 1);
}

// Changes and deletes the teacher's records (pupils 1000 and above) at random, forever.
int edit(quint32 seed)
{
    QRandomGenerator random(seed);
    say("ready");
    int step = 0;
    fileFaultHook() = [&](FileStep, const QString &) {
        say("step " + QByteArray::number(++step));
        return 0;
    };
    for (;;) {
        QByteArray bytes;
        readResultsBytes(resultsFilePath(), bytes);
        QList<int> teachers;
        for (int n = 1; n <= recordCountOf(bytes); ++n) {
            if (recordAt(bytes, n).pupil >= 1000)
                teachers << n;
        }
        if (teachers.isEmpty())
            return 0;
        const int k = teachers[random.bounded(int(teachers.size()))];
        ResultRecord record = recordAt(bytes, k);
        const QByteArray read = bytes.mid(qsizetype(k - 1) * kRecordSize, kRecordSize);
        step = 0;
        IoStatus status;
        if (teachers.size() > 20 && random.bounded(2) == 0) {
            say("begin delete " + QByteArray::number(record.pupil));
            status = deleteResultRecord(resultsFilePath(), k, read);
        } else {
            record.resultTime += 1000;
            say("begin change " + QByteArray::number(record.pupil) + ' ' +
                QByteArray::number(record.resultTime));
            status = rewriteResultRecord(resultsFilePath(), k, record, read);
        }
        if (!status.ok())
            return 1;
        say("end");
    }
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
#ifdef _WIN32
    _setmode(1, _O_BINARY); // lines end in "\n" alone, as the tests read them
#endif
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
        say("ready");
        for (int i = 1; i <= count; ++i) {
            h.attemptTime = i;
            AppendResultRecord();
            if (pauseMs > 0)
                QThread::msleep(pauseMs);
        }
        std::printf("%d\n", appendRetryCount());
        return 0;
    }
    if (args[1] == "appender" && args.size() == 8) {
        h.appFolder = args[3];
        h.currentPupil = static_cast<int16_t>(args[4].toInt());
        h.currentLevel = 1;
        DeliverKeptResults();
        const int first = args[5].toInt();
        for (int t = first; t < first + args[6].toInt(); ++t) {
            h.attemptTime = t;
            AppendResultRecord();
            say(QByteArray::number(t));
            QThread::msleep(args[7].toInt());
        }
        return 0;
    }
    if (args[1] == "editor" && args.size() == 4)
        return edit(args[3].toUInt());
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
