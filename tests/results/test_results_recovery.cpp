// Nothing lost, whatever fails: every file step of a rewrite or a delivery failing in
// turn, processes killed at random moments while others append, the copy an earlier
// version left, a drill finished with the share gone, the backups.
#include "core/hensuu1.h"
#include "results/backups.h"
#include "results/kept_results.h"
#include "results/results_file.h"
#include "results/results_journal.h"
#include "system_errors.h"
#include "test_support.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

#include <functional>
#include <map>

Q_DECLARE_METATYPE(Mend::Outcome)

namespace
{

ResultRecord sample(int n)
{
    ResultRecord record;
    record.date = 46000 + n;
    record.timeOfDay = n / 86400.0;
    record.pupil = static_cast<int16_t>(n);
    record.level = 1;
    record.resultTime = 100 + n;
    record.schoolCode = schoolCodeText(QStringLiteral("12345"));
    return record;
}

QByteArray samples(std::initializer_list<int> pupils)
{
    QByteArray bytes;
    for (int n : pupils)
        bytes += sample(n).toBytes();
    return bytes;
}

// One operation, the file before it and the file it makes.
struct Scenario {
    QByteArray before;
    QByteArray after;
    std::function<void()> run;
};

Scenario scenarioOf(const QString &name, const TestClassroom &classroom)
{
    const QString path = resultsFilePath();
    const QByteArray base = samples({1, 2, 3, 4, 5, 6});
    ResultRecord changed = sample(3);
    changed.pupil = 77;
    changed.resultTime = 61;
    const QByteArray changedBase = samples({1, 2}) + changed.toBytes() + samples({4, 5, 6});
    const QString copy = backupFolderFor(path) + "20261201-100000-削除前-成績累積データ.dat";
    if (name == "change")
        return {base, changedBase, [=] { rewriteResultRecord(path, 3, changed, sample(3).toBytes()); }};
    if (name == "delete the first")
        return {base, samples({2, 3, 4, 5, 6}), [=] { deleteResultRecord(path, 1, sample(1).toBytes()); }};
    if (name == "delete the last")
        return {base, samples({1, 2, 3, 4, 5}), [=] { deleteResultRecord(path, 6, sample(6).toBytes()); }};
    RestoreCounts counts;
    if (name == "restore after a deletion") {
        classroom.writeBytes(copy, base);
        return {samples({1, 3, 4, 5, 6, 101, 102}), base + samples({101, 102}),
                [=]() mutable { restoreResultRecords(path, copy, counts); }};
    }
    if (name == "restore after a change") {
        classroom.writeBytes(copy, base);
        return {changedBase, base, [=]() mutable { restoreResultRecords(path, copy, counts); }};
    }
    // The drills kept on this PC: they must arrive, each once.
    hensuu1().appFolder = classroom.programFolder() + pathSeparator();
    classroom.writeBytes(keptResultsPath(), samples({201, 202}));
    return {base, base + samples({201, 202}), [] { DeliverKeptResults(); }};
}

} // namespace

class TestResultsRecovery : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { fileFaultHook() = {}; }

    void faultAtEveryStep_data();
    void faultAtEveryStep();
    void killedAtRandomMomentsWhileOthersAppend();
    void copyLeftByAnEarlierVersion_data();
    void copyLeftByAnEarlierVersion();
    void drillFinishedWithTheShareGoneArrivesOnce();
    void dailyCopyOnceADay();
    void copiesBeyondTheLimitsGo();
};

void TestResultsRecovery::faultAtEveryStep_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<bool>("lasting");
    for (const char *operation : {"change", "delete the first", "delete the last", "restore after a deletion",
                                  "restore after a change", "deliver kept drills"}) {
        QTest::addRow("%s, one step fails", operation) << operation << false;
        // Every step from then on fails, as when the PC is switched off there.
        QTest::addRow("%s, dead from a step on", operation) << operation << true;
    }
}

// SQLite's way: the operation is run once per file step, that step failing. Then the
// next writer (an append) must find the file as before or as after, the append once
// after it, and nothing left behind.
void TestResultsRecovery::faultAtEveryStep()
{
    QFETCH(QString, operation);
    QFETCH(bool, lasting);
    int steps = 0;
    int finished = 0;
    int undone = 0;
    // failing 0 counts the steps, failing none of them.
    for (int failing = 0; failing <= steps; ++failing) {
        FakeEnvironment fakes;
        TestClassroom classroom;
        hensuu1().dataFolder = classroom.dataFolder();
        hensuu1().currentPupil = 999;
        const Scenario scenario = scenarioOf(operation, classroom);
        classroom.writeBytes(resultsFilePath(), scenario.before);
        int step = 0;
        fileFaultHook() = [&](FileStep, const QString &) {
            ++step;
            return failing > 0 && (step == failing || (lasting && step > failing)) ? kErrorIo : 0;
        };
        scenario.run();
        fileFaultHook() = {};
        if (failing == 0) {
            steps = step;
            continue;
        }

        QVERIFY(AppendResultRecord() > 0);
        const QByteArray bytes = classroom.readBytes(resultsFilePath());
        const QByteArray mended = bytes.chopped(kRecordSize);
        const QString where = QStringLiteral("step %1 of %2").arg(failing).arg(steps);
        QVERIFY2(recordAt(bytes, recordCountOf(bytes)).pupil == 999, qPrintable(where));
        QVERIFY2(mended == scenario.after || mended == scenario.before, qPrintable(where));
        finished += mended == scenario.after;
        undone += mended == scenario.before;
        QVERIFY2(!QFile::exists(journalPathFor(resultsFilePath())), qPrintable(where));
        if (!keptResultsPath().isEmpty()) {
            QVERIFY2(mended == scenario.after, qPrintable(where));
            QCOMPARE(keptResultsOnThisPc(), QByteArray());
        }
    }
    qInfo("%s: %d steps, each failed in turn: %d finished, %d undone", QTest::currentDataTag(), steps,
          finished, undone);
    QVERIFY(steps >= 3);
}

// Real processes, really killed: the teacher's editor at a random moment while three PCs
// append, one of them killed now and then too. After the next writer the teacher's
// records must be as before or as after the interrupted operation, every other record
// there once, in its PC's order.
void TestResultsRecovery::killedAtRandomMomentsWhileOthersAppend()
{
    const int kills =
        qEnvironmentVariableIsSet("RANVEX_KILL_RUNS") ? qEnvironmentVariableIntValue("RANVEX_KILL_RUNS") : 30;
    FakeEnvironment fakes;
    TestClassroom classroom;
    hensuu1().dataFolder = classroom.dataFolder();
    const QString path = resultsFilePath();
    std::vector<std::pair<int, int>> teacher; // pupil and time, in file order
    QByteArray bytes;
    for (int n = 0; n < 300; ++n) {
        ResultRecord record = sample(1);
        record.pupil = static_cast<int16_t>(1000 + n);
        teacher.emplace_back(record.pupil, record.resultTime);
        bytes += record.toBytes();
    }
    classroom.writeBytes(path, bytes);

    constexpr int kAppenders = 3;
    struct Appender {
        QProcess process;
        QList<int> recorded; // times it said were recorded or kept
        QSet<int> inFlight;  // a time it was appending when it was killed
        int next = 1;
        QString folder;
    } appenders[kAppenders];
    const auto start = [&](int a) {
        Appender &appender = appenders[a];
        startWithoutConsole(appender.process, QStringLiteral(RESULTS_FILE_HELPER),
                            {"appender", classroom.dataFolder(), appender.folder, QString::number(a + 1),
                             QString::number(appender.next), "100000", "15"});
        QVERIFY(appender.process.waitForStarted());
    };
    const auto collect = [&](Appender &appender) {
        for (const QByteArray &line : appender.process.readAllStandardOutput().split('\n')) {
            if (!line.isEmpty())
                appender.recorded << line.toInt();
        }
    };
    for (int a = 0; a < kAppenders; ++a) {
        appenders[a].folder =
            classroom.root() + pathSeparator() + QStringLiteral("pc%1").arg(a + 1) + pathSeparator();
        QDir().mkpath(appenders[a].folder);
        start(a);
    }

    QRandomGenerator random(20);
    QSet<QString> stepsHit;
    int finished = 0;
    int undone = 0;
    int between = 0;
    for (int run = 1; run <= kills; ++run) {
        QProcess editor;
        startWithoutConsole(editor, QStringLiteral(RESULTS_FILE_HELPER),
                            {"editor", classroom.dataFolder(), QString::number(run)});
        // Killed a while after it has begun: programs start slowly under load.
        QVERIFY(editor.waitForReadyRead(60'000));
        QTest::qWait(100 + random.bounded(400));
        editor.kill();
        QVERIFY(editor.waitForFinished());
        if (run % 5 == 0) {
            Appender &appender = appenders[run / 5 % kAppenders];
            appender.process.kill();
            appender.process.waitForFinished();
            collect(appender);
            appender.next = (appender.recorded.isEmpty() ? 0 : appender.recorded.last()) + 2;
            appender.inFlight << appender.next - 1;
            start(run / 5 % kAppenders);
        }

        // Every completed operation applied; the interrupted one either way.
        QList<QByteArray> begun;
        QByteArray lastStep = "before its first step";
        const auto apply = [](std::vector<std::pair<int, int>> &records, const QList<QByteArray> &words) {
            const int pupil = words[2].toInt();
            const auto at =
                std::find_if(records.begin(), records.end(), [&](auto &r) { return r.first == pupil; });
            if (at == records.end())
                return;
            if (words[1] == "delete")
                records.erase(at);
            else
                at->second = words[3].toInt();
        };
        for (const QByteArray &line : editor.readAllStandardOutput().split('\n')) {
            const QList<QByteArray> words = line.split(' ');
            if (words[0] == "begin") {
                begun = words;
                lastStep = "before its first step";
            } else if (words[0] == "step") {
                lastStep = line;
            } else if (words[0] == "end") {
                apply(teacher, begun);
                begun.clear();
            }
        }
        std::vector<std::pair<int, int>> done = teacher;
        if (!begun.isEmpty())
            apply(done, begun);

        mendResultsFile(path);
        QVERIFY(readResultsBytes(path, bytes).ok());
        std::vector<std::pair<int, int>> found;
        for (int n = 1; n <= recordCountOf(bytes); ++n) {
            const ResultRecord record = recordAt(bytes, n);
            if (record.pupil >= 1000)
                found.emplace_back(record.pupil, record.resultTime);
        }
        const QString where = QStringLiteral("kill %1, %2 %3").arg(run).arg(begun.join(' '), lastStep);
        QVERIFY2(found == teacher || found == done, qPrintable(where));
        QVERIFY2(!QFile::exists(journalPathFor(path)), qPrintable(where));
        if (begun.isEmpty()) {
            ++between;
        } else {
            stepsHit << begun[1] + ' ' + lastStep;
            finished += found == done && done != teacher;
            undone += found == teacher;
        }
        teacher = found;
    }
    for (Appender &appender : appenders) {
        appender.process.kill();
        appender.process.waitForFinished();
        collect(appender);
        appender.inFlight << appender.recorded.value(appender.recorded.size() - 1) + 1;
    }
    mendResultsFile(path);
    for (int a = 0; a < kAppenders; ++a) {
        // A drill kept on the PC when it was killed arrives with its next start.
        hensuu1().appFolder = appenders[a].folder;
        DeliverKeptResults();
    }
    QVERIFY(readResultsBytes(path, bytes).ok());
    std::map<int, QList<int>> times;
    for (int n = 1; n <= recordCountOf(bytes); ++n) {
        const ResultRecord record = recordAt(bytes, n);
        if (record.pupil < 1000)
            times[record.pupil] << record.resultTime;
    }
    for (int a = 0; a < kAppenders; ++a) {
        const QList<int> &found = times[a + 1];
        for (int n = 1; n < found.size(); ++n)
            QVERIFY2(found[n] > found[n - 1], "each PC's records once, in its order");
        QSet<int> missing(appenders[a].recorded.begin(), appenders[a].recorded.end());
        missing.subtract(QSet<int>(found.begin(), found.end()));
        QVERIFY2(missing.isEmpty(), "every recorded drill is in the file");
        for (const int time : found)
            QVERIFY(appenders[a].recorded.contains(time) || appenders[a].inFlight.contains(time));
    }
    qInfo(
        "%d kills of the editor: %d within an operation at %lld distinct steps (%d finished, %d undone), %d "
        "between operations; appenders killed %d times",
        kills, kills - between, stepsHit.size(), finished, undone, between, kills / 5);
}

void TestResultsRecovery::copyLeftByAnEarlierVersion_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QByteArray>("copy");
    QTest::addColumn<QByteArray>("mended");
    QTest::addColumn<Mend::Outcome>("outcome");
    const QByteArray five = samples({1, 2, 3, 4, 5});
    // Deleting record 2: the copy, then records 3..5 moved up one, then the cut.
    QTest::newRow("copied, nothing moved")
        << five + samples({50}) << five << five + samples({50}) << Mend::Outcome::Undone;
    QTest::newRow("moved in part") << samples({1, 3, 3, 4, 5, 50}) << five << five + samples({50})
                                   << Mend::Outcome::Undone;
    QTest::newRow("moved, not cut") << samples({1, 3, 4, 5, 5, 50}) << five << five + samples({50})
                                    << Mend::Outcome::Undone;
    QTest::newRow("cut") << samples({1, 3, 4, 5}) << five << samples({1, 3, 4, 5}) << Mend::Outcome::Finished;
    QTest::newRow("cut, then appended to")
        << samples({1, 3, 4, 5, 50}) << five << samples({1, 3, 4, 5, 50}) << Mend::Outcome::Finished;
    QTest::newRow("a copy of something else") << five << samples({7, 8}) << five << Mend::Outcome::Stuck;
}

void TestResultsRecovery::copyLeftByAnEarlierVersion()
{
    QFETCH(QByteArray, file);
    QFETCH(QByteArray, copy);
    QFETCH(QByteArray, mended);
    QFETCH(Mend::Outcome, outcome);
    FakeEnvironment fakes;
    TestClassroom classroom;
    const QString path = classroom.dataFolder() + kResultsFileName;
    const QString temp = classroom.dataFolder() + kResultsTempFileName;
    classroom.writeBytes(path, file);
    classroom.writeBytes(temp, copy);

    const Mend mend = mendResultsFile(path);
    QCOMPARE(mend.outcome, outcome);
    QCOMPARE(classroom.readBytes(path), mended);
    QCOMPARE(QFile::exists(temp), outcome == Mend::Outcome::Stuck);
    QCOMPARE(takeMendNotes(path).size(), outcome == Mend::Outcome::Stuck ? 0 : 1);
}

void TestResultsRecovery::drillFinishedWithTheShareGoneArrivesOnce()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    classroom.loadConfiguration();
    Hensuu1 &h = hensuu1();
    classroom.writeBytes(resultsFilePath(), samples({1, 2}));
    h.currentPupil = 12;
    h.currentLevel = 1;
    QVERIFY(QDir(classroom.sharedFolder()).rename("ranvex", "away"));
    for (const int time : {95, 80}) {
        h.attemptTime = time;
        QCOMPARE(AppendResultRecord(), 0);
    }
    QCOMPARE(fakes.dialogs.endedWith, -1); // the program goes on
    QCOMPARE(fakes.dialogs.messages.size(), 2);
    QVERIFY2(fakes.dialogs.messages[0].text.startsWith("先生を呼びなさい。\n") &&
                 fakes.dialogs.messages[0].text.contains("このPCに残しました") &&
                 fakes.dialogs.messages[0].text.contains(resultsFilePath()),
             qPrintable(fakes.dialogs.messages[0].text));
    QCOMPARE(pupilsOf(keptResultsOnThisPc()), (QList<int>{12, 12}));

    QVERIFY(QDir(classroom.sharedFolder()).rename("away", "ranvex"));
    DeliverKeptResults();
    DeliverKeptResults();
    const QByteArray bytes = classroom.readBytes(resultsFilePath());
    QCOMPARE(pupilsOf(bytes), (QList<int>{1, 2, 12, 12}));
    QCOMPARE(recordAt(bytes, 3).resultTime, 95);
    QCOMPARE(recordAt(bytes, 4).resultTime, 80);
    QCOMPARE(keptResultsOnThisPc(), QByteArray());
}

void TestResultsRecovery::dailyCopyOnceADay()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    hensuu1().dataFolder = classroom.dataFolder();
    classroom.writeBytes(resultsFilePath(), samples({1, 2, 3}));
    const QString folder = backupFolderFor(resultsFilePath());
    for (int day = 0; day < 2; ++day) {
        for (int append = 0; append < 3; ++append) {
            AppendResultRecord();
            fakes.clock.advance(60);
        }
        fakes.clock.advance(86400);
    }
    const QList<BackupCopy> copies = listBackups(folder);
    QCOMPARE(copies.size(), 2);
    // Each day's copy holds the file as it was before that day's first append.
    QCOMPARE(backupLine(copies[0]), copies[0].name + "  6件  2026/12/10 10:03:00  毎日");
    QCOMPARE(copies[0].name, QStringLiteral("20261210-100300-毎日-成績累積データ.dat"));
    QCOMPARE(backupLine(copies[1]), copies[1].name + "  3件  2026/12/09 10:00:00  毎日");
}

void TestResultsRecovery::copiesBeyondTheLimitsGo()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    const QString results = classroom.dataFolder() + kResultsFileName;
    const QString criteria = classroom.dataFolder() + "タイム回数データ.txt";
    for (int n = 1; n <= 25; ++n) {
        QVERIFY(keepBackup(results, samples({n}), BackupReason::BeforeDelete).ok());
        if (n <= 16)
            QVERIFY(keepBackup(results, samples({n}), BackupReason::Daily).ok());
        if (n <= 3)
            QVERIFY(keepBackup(criteria, "a,b\r\n", BackupReason::BeforeCriteriaSave).ok());
    }
    QMap<QString, int> kinds;
    QList<int> deleteCopies;
    for (const BackupCopy &copy : listBackups(backupFolderFor(results))) {
        ++kinds[copy.reason];
        if (copy.reason == "削除前")
            deleteCopies << pupilsOf(classroom.readBytes(copy.path));
    }
    QCOMPARE(kinds, (QMap<QString, int>{{"削除前", 20}, {"毎日", 14}, {"基準変更前", 3}}));
    // Taken within one second, told apart by their numbers, newest first.
    QCOMPARE(deleteCopies.first(), 25);
    QCOMPARE(deleteCopies.last(), 6);
}

QTEST_GUILESS_MAIN(TestResultsRecovery)
#include "test_results_recovery.moc"
