#include "core/hensuu1.h"
#include "results/results_file.h"
#include "results/results_journal.h"
#include "results/statistics.h"
#include "system_errors.h"
#include "test_support.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <climits>
#include <map>

Q_DECLARE_METATYPE(FileStep)
Q_DECLARE_METATYPE(ResultRecord)

namespace {

QByteArray hex(const char *text)
{
    return QByteArray::fromHex(QByteArray(text).replace(' ', ""));
}

// A record with every field telling, so that a shifted or torn record shows.
ResultRecord sample(int n)
{
    ResultRecord record;
    record.date = 45000 + n;
    record.timeOfDay = (n % 86400) / 86400.0;
    record.pupil = static_cast<int16_t>(n);
    record.level = static_cast<int16_t>(1 + n % 3);
    record.resultTime = 100 + n;
    record.schoolCode = schoolCodeText(QStringLiteral("12345"));
    return record;
}

QByteArray recordsBytes(int first, int last)
{
    QByteArray bytes;
    for (int n = first; n <= last; ++n)
        bytes += sample(n).toBytes();
    return bytes;
}

// A second program appending to the same file, as another classroom PC does.
struct Writer {
    QProcess process;
    void start(const QString &dataFolder, int pupil, int count, int pauseMs)
    {
        process.start(
            QStringLiteral(RESULTS_FILE_HELPER),
            {"append", dataFolder, QString::number(pupil), QString::number(count), QString::number(pauseMs)});
    }
    // Until the writer is about to append: programs start slowly under load.
    bool ready() { return process.waitForReadyRead(60'000) && process.readLine().trimmed() == "ready"; }
    // The number of waits the writer reported; -1 when it failed.
    int finish()
    {
        // waitForFinished() is false for a process that has already ended.
        if (process.state() != QProcess::NotRunning)
            process.waitForFinished(240'000);
        if (process.state() != QProcess::NotRunning || process.exitStatus() != QProcess::NormalExit ||
            process.exitCode() != 0) {
            qWarning() << process.readAllStandardError();
            return -1;
        }
        return process.readAllStandardOutput().trimmed().split('\n').last().toInt();
    }
};

} // namespace

class TestResultsFile : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void cleanup() { fileFaultHook() = {}; }

    void recordGoldenBytes_data();
    void recordGoldenBytes();
    void pointsTextAndValue_data();
    void pointsTextAndValue();
    void pointsFieldOfAnotherProgram_data();
    void pointsFieldOfAnotherProgram();
    void schoolCodeFieldText_data();
    void schoolCodeFieldText();

    void missingFileIsNotCreatedByReading();
    void firstAppendCreatesRecordOne();
    void appendOverTrailingFragment();
    void appendWaitsWhileAnotherHoldsTheLock();
    void appendRetriesTheBusyStep_data();
    void appendRetriesTheBusyStep();
    void appendFailureEndsTheProgram_data();
    void appendFailureEndsTheProgram();
    void fileThatMayNotBeOpenedCallsTheTeacher_data();
    void fileThatMayNotBeOpenedCallsTheTeacher();
    void appendsFromManyProcessesAreNeverLostOrTorn();

    void rewriteInPlaceKeepsTheOtherRecords();
    void rewriteOfMissingRecordChangesNothing_data();
    void rewriteOfMissingRecordChangesNothing();

    void deleteRecord_data();
    void deleteRecord();
    void deleteHoldsTheLockAgainstAnotherWriter();
    void deleteFailureMidRewrite_data();
    void deleteFailureMidRewrite();
    void deleteFailureWhileWritingTheJournalChangesNothing();
    void deleteWaitingForTheLockMendsWhatWasLeftMeanwhile();
    void crashMidRewriteIsFinishedByTheNextWriter();
};

void TestResultsFile::recordGoldenBytes_data()
{
    QTest::addColumn<ResultRecord>("record");
    QTest::addColumn<QByteArray>("bytes");

    ResultRecord written;
    written.date = 45000;
    written.timeOfDay = 0.5;
    written.pupil = 12;
    written.level = 3;
    written.resultTime = 99999;
    written.schoolCode = schoolCodeText(QStringLiteral("12345"));
    QTest::newRow("as appended")
        << written
        << hex("00 00 00 00 00 f9 e5 40  00 00 00 00 00 00 e0 3f  0c 00 03 00  9f 86 01 00"
               "31 32 33 34 35  20 20 20 20 20  30 20 20 20 20  00 00 00 00 00");

    ResultRecord negative;
    negative.date = 45678;
    negative.timeOfDay = 0.75;
    negative.pupil = -2;
    negative.level = 35;
    negative.resultTime = -1;
    negative.schoolCode = schoolCodeText(QString());
    negative.points = pointsText(-12345);
    QTest::newRow("negative numbers, no school code")
        << negative
        << hex("00 00 00 00 c0 4d e6 40  00 00 00 00 00 00 e8 3f  fe ff 23 00  ff ff ff ff"
               "20 20 20 20 20  20 20 20 20 20  2d 31 32 33 34  00 00 00 00 00");
}

void TestResultsFile::recordGoldenBytes()
{
    QFETCH(ResultRecord, record);
    QFETCH(QByteArray, bytes);
    QCOMPARE(record.toBytes(), bytes);
    QCOMPARE(ResultRecord::fromBytes(bytes.constData()), record);
}

void TestResultsFile::pointsTextAndValue_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("readBack");
    QTest::newRow("12") << 12 << hex("31 32 20 20 20") << 12;
    QTest::newRow("0") << 0 << hex("30 20 20 20 20") << 0;
    QTest::newRow("-12345 loses its last digit") << -12345 << hex("2d 31 32 33 34") << -1234;
    QTest::newRow("-10000") << -10000 << QByteArray("-1000") << -1000;
    QTest::newRow("-9999 fits") << -9999 << QByteArray("-9999") << -9999;
    QTest::newRow("32767 fits") << 32767 << QByteArray("32767") << 32767;
    QTest::newRow("-32768") << -32768 << QByteArray("-3276") << -3276;
}

void TestResultsFile::pointsTextAndValue()
{
    QFETCH(int, value);
    QFETCH(QByteArray, bytes);
    QFETCH(int, readBack);
    ResultRecord record;
    record.points = pointsText(static_cast<int16_t>(value));
    QCOMPARE(QByteArray(record.points.data(), 5), bytes);
    QCOMPARE(pointsValue(record), readBack);
}

void TestResultsFile::pointsFieldOfAnotherProgram_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("value");
    QTest::newRow("spaces") << QByteArray("     ") << 0;
    QTest::newRow("spaces around") << QByteArray(" 7   ") << 7;
    QTest::newRow("an exponent") << QByteArray("1e5  ") << 100000;
    QTest::newRow("9e99 is held to the range") << QByteArray("9e99 ") << INT_MAX;
    QTest::newRow("-9e99 as well") << QByteArray("-9e99") << INT_MIN;
}

void TestResultsFile::pointsFieldOfAnotherProgram()
{
    QFETCH(QByteArray, bytes);
    QFETCH(int, value);
    ResultRecord record;
    std::copy(bytes.begin(), bytes.end(), record.points.begin());
    QCOMPARE(pointsValue(record), value);
}

void TestResultsFile::schoolCodeFieldText_data()
{
    QTest::addColumn<QString>("code");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("readBack");
    QTest::newRow("five digits") << "12345" << QByteArray("12345") << "12345";
    QTest::newRow("short, padded") << "123" << QByteArray("123  ") << "123";
    QTest::newRow("none") << "" << QByteArray("     ") << "";
    QTest::newRow("long, cut") << "1234567" << QByteArray("12345") << "12345";
    // A double-byte character that would not fit whole is left out.
    QTest::newRow("not cut through a character") << "1234本" << QByteArray("1234 ") << "1234";
}

void TestResultsFile::schoolCodeFieldText()
{
    QFETCH(QString, code);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, readBack);
    ResultRecord record;
    record.schoolCode = schoolCodeText(code);
    QCOMPARE(QByteArray(record.schoolCode.data(), 5), bytes);
    QCOMPARE(schoolCodeOf(record), readBack);
}

void TestResultsFile::missingFileIsNotCreatedByReading()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    const QString path = classroom.dataFolder() + kResultsFileName;
    QByteArray buffer("stale");
    QCOMPARE(readResultsBytes(path, buffer).outcome, IoOutcome::Missing);
    QCOMPARE(recordCountOf(buffer), 0);
    QVERIFY(!QFile::exists(path));

    QVERIFY(OpenResultsFile(path).ok());
    QVERIFY(QFile::exists(path));
    QVERIFY(readResultsBytes(path, buffer).ok());
    QCOMPARE(buffer.size(), 0);
}

void TestResultsFile::firstAppendCreatesRecordOne()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    Hensuu1 &h = hensuu1();
    h.dataFolder = classroom.dataFolder();
    h.schoolCode = QStringLiteral("12345");
    h.currentPupil = 42;
    h.currentLevel = 2;
    h.attemptTime = 87;
    fakes.clock.seconds = 15 * 3600 + 30 * 60 + 7.6; // the record keeps whole seconds

    QCOMPARE(AppendResultRecord(), 1);

    QByteArray bytes;
    QVERIFY(readResultsBytes(resultsFilePath(), bytes).ok());
    QCOMPARE(bytes.size(), kRecordSize);
    ResultRecord expected;
    expected.date = oleDateOf(QDate(2026, 12, 9));
    expected.timeOfDay = (15 * 3600 + 30 * 60 + 7) / 86400.0;
    expected.pupil = 42;
    expected.level = 2;
    expected.resultTime = 87;
    expected.schoolCode = schoolCodeText(QStringLiteral("12345"));
    QCOMPARE(recordAt(bytes, 1), expected);
    QCOMPARE(fakes.dialogs.messages.size(), 0);
}

void TestResultsFile::appendOverTrailingFragment()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    hensuu1().dataFolder = classroom.dataFolder();
    hensuu1().currentPupil = 7;
    const QByteArray two = recordsBytes(1, 2);
    classroom.writeBytes(resultsFilePath(), two + QByteArray(17, 'x'));

    QByteArray bytes;
    QVERIFY(readResultsBytes(resultsFilePath(), bytes).ok());
    QCOMPARE(recordCountOf(bytes), 2);

    QCOMPARE(AppendResultRecord(), 3);
    QVERIFY(readResultsBytes(resultsFilePath(), bytes).ok());
    QCOMPARE(bytes.size(), 3 * kRecordSize);
    QCOMPARE(bytes.left(2 * kRecordSize), two);
    QCOMPARE(recordAt(bytes, 3).pupil, int16_t(7));
}

void TestResultsFile::appendWaitsWhileAnotherHoldsTheLock()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    hensuu1().dataFolder = classroom.dataFolder();
    classroom.writeBytes(resultsFilePath(), recordsBytes(1, 1));

    SharedFile other;
    QVERIFY(other.open(resultsFilePath(), SharedFile::Mode::ReadWrite).ok());
    QVERIFY(other.tryLock().ok());
    bool repainted = false;
    QTimer::singleShot(300, [&] { repainted = true; });
    QTimer::singleShot(1300, [&] { other.close(); });

    const int retriesBefore = appendRetryCount();
    QElapsedTimer waited;
    waited.start();
    QCOMPARE(AppendResultRecord(), 2);
    QVERIFY(appendRetryCount() > retriesBefore);
    QVERIFY(waited.elapsed() >= 1000);
    QVERIFY(repainted); // events ran while it waited
    QCOMPARE(fakes.dialogs.messages.size(), 0);
}

void TestResultsFile::appendRetriesTheBusyStep_data()
{
    QTest::addColumn<FileStep>("step");
    QTest::addColumn<int>("error");
    QTest::newRow("lock held") << FileStep::Lock << kErrorLockHeld;
    QTest::newRow("lock held, as record locks answer") << FileStep::Lock << kErrorAccessDenied;
    QTest::newRow("open, sharing refused") << FileStep::Open << kErrorSharing;
    QTest::newRow("write, busy") << FileStep::Write << kErrorSharing;
    QTest::newRow("flush, busy") << FileStep::Flush << kErrorLockHeld;
}

void TestResultsFile::appendRetriesTheBusyStep()
{
    QFETCH(FileStep, step);
    QFETCH(int, error);
    FakeEnvironment fakes;
    TestClassroom classroom;
    hensuu1().dataFolder = classroom.dataFolder();
    hensuu1().currentPupil = 9;
    classroom.writeBytes(resultsFilePath(), recordsBytes(1, 2));
    int failures = 1;
    fileFaultHook() = [&](FileStep at, const QString &file) {
        return at == step && file == resultsFilePath() && failures-- > 0 ? error : 0;
    };

    const int retriesBefore = appendRetryCount();
    QCOMPARE(AppendResultRecord(), 3);
    QCOMPARE(appendRetryCount(), retriesBefore + 1);
    QByteArray bytes;
    QVERIFY(readResultsBytes(resultsFilePath(), bytes).ok());
    QCOMPARE(pupilsOf(bytes), (QList<int>{1, 2, 9}));
    QCOMPARE(fakes.dialogs.messages.size(), 0);
}

void TestResultsFile::appendFailureEndsTheProgram_data()
{
    QTest::addColumn<FileStep>("step");
    QTest::addColumn<int>("error");
    QTest::addColumn<QList<int>>("afterNextAppend");
    QTest::newRow("disk full while writing") << FileStep::Write << kErrorDiskFull << QList<int>{1, 2, 3};
    // The record was written whole before the flush failed: it stays.
    QTest::newRow("disk error while flushing") << FileStep::Flush << kErrorIo << QList<int>{1, 2, 0, 3};
    QTest::newRow("read-only share") << FileStep::Open << kErrorReadOnlyPlace << QList<int>{1, 2, 3};
}

// With no program folder to keep the record in (kept records: test_results_recovery).
void TestResultsFile::appendFailureEndsTheProgram()
{
    QFETCH(FileStep, step);
    QFETCH(int, error);
    QFETCH(QList<int>, afterNextAppend);
    FakeEnvironment fakes;
    TestClassroom classroom;
    hensuu1().dataFolder = classroom.dataFolder();
    classroom.writeBytes(resultsFilePath(), recordsBytes(1, 2));
    fileFaultHook() = [&](FileStep at, const QString &file) {
        return at == step && file == resultsFilePath() ? error : 0;
    };

    QVERIFY_THROWS_EXCEPTION(ProgramEnded, AppendResultRecord());
    QCOMPARE(fakes.dialogs.messages.size(), 1);
    QCOMPARE(fakes.dialogs.messages[0].text,
             "成績ランダムファイル記録" + systemErrorText(error) + "（" + resultsFilePath() + "）");
    QCOMPARE(fakes.dialogs.messages[0].buttons, DialogButtons::Ok);
    QCOMPARE(fakes.dialogs.endedWith, 1);

    // Whatever the failed write left is a fragment that the next append writes over,
    // and the lock went with the closed file.
    fileFaultHook() = {};
    hensuu1().currentPupil = 3;
    QCOMPARE(AppendResultRecord(), afterNextAppend.size());
    QByteArray bytes;
    QVERIFY(readResultsBytes(resultsFilePath(), bytes).ok());
    QCOMPARE(bytes.size(), afterNextAppend.size() * kRecordSize);
    QCOMPARE(pupilsOf(bytes), afterNextAppend);
}

void TestResultsFile::fileThatMayNotBeOpenedCallsTheTeacher_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<int>("error");
    QTest::addColumn<bool>("fixed");
    for (const char *operation : {"append", "scan", "delete"}) {
        QTest::addRow("%s, read-only file, fixed by the teacher", operation)
            << operation << kErrorAccessDenied << true;
        QTest::addRow("%s, no permission, ended by the teacher", operation)
            << operation << kErrorNotPermitted << false;
    }
}

// A permission problem is no lock of another PC: no silent waiting, a message that
// names the file, a new try only once it is answered.
void TestResultsFile::fileThatMayNotBeOpenedCallsTheTeacher()
{
    QFETCH(QString, operation);
    QFETCH(int, error);
    QFETCH(bool, fixed);
    FakeEnvironment fakes;
    TestClassroom classroom;
    hensuu1().dataFolder = classroom.dataFolder();
    hensuu1().currentPupil = 9;
    const QByteArray before = recordsBytes(1, 2);
    classroom.writeBytes(resultsFilePath(), before);
    int refusals = fixed ? 1 : 1000;
    fileFaultHook() = [&](FileStep at, const QString &) {
        return at == FileStep::Open && refusals-- > 0 ? error : 0;
    };
    fakes.dialogs.answers = {fixed ? DialogAnswer::Ok : DialogAnswer::Cancel};

    const auto run = [&] {
        if (operation == "append")
            AppendResultRecord();
        else if (operation == "scan")
            ComputePupilStatistics();
        else
            QVERIFY(deleteResultRecord(resultsFilePath(), 1).ok());
    };
    const int retriesBefore = appendRetryCount();
    if (fixed)
        run();
    else
        QVERIFY_THROWS_EXCEPTION(ProgramEnded, run());

    QCOMPARE(fakes.dialogs.messages.size(), 1);
    const FakeDialogs::Message &message = fakes.dialogs.messages[0];
    QVERIFY2(message.text.startsWith("先生を呼びなさい。") && message.text.contains(resultsFilePath()),
             qPrintable(message.text));
    QCOMPARE(message.buttons, DialogButtons::OkCancel);
    QCOMPARE(fakes.dialogs.endedWith, fixed ? -1 : 1);
    QCOMPARE(appendRetryCount(), retriesBefore); // never taken for another PC's lock
    const QByteArray after = classroom.readBytes(resultsFilePath());
    if (!fixed)
        QCOMPARE(after, before);
    else if (operation == "append")
        QCOMPARE(pupilsOf(after), (QList<int>{1, 2, 9}));
    else if (operation == "scan")
        QCOMPARE(hensuu1().recordCount, int16_t(2));
    else
        QCOMPARE(pupilsOf(after), QList<int>{2});
}

void TestResultsFile::appendsFromManyProcessesAreNeverLostOrTorn()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    hensuu1().dataFolder = classroom.dataFolder();
    QVERIFY(OpenResultsFile(resultsFilePath()).ok());
    constexpr int kWriters = 8;
    constexpr int kEach = 200;

    // Every writer starts while the file is locked, so each must wait at least once.
    SharedFile holder;
    QVERIFY(holder.open(resultsFilePath(), SharedFile::Mode::ReadWrite).ok());
    QVERIFY(holder.tryLock().ok());
    Writer writers[kWriters];
    for (int w = 0; w < kWriters; ++w)
        writers[w].start(classroom.dataFolder(), w + 1, kEach, 0);
    for (Writer &writer : writers)
        QVERIFY(writer.ready());
    QTest::qWait(500);
    holder.close();

    for (Writer &writer : writers)
        QVERIFY(writer.finish() >= 1);

    QByteArray bytes;
    QVERIFY(readResultsBytes(resultsFilePath(), bytes).ok());
    QCOMPARE(bytes.size(), kWriters * kEach * kRecordSize);
    std::map<int, int> lastTimeOf;
    for (int n = 1; n <= recordCountOf(bytes); ++n) {
        const ResultRecord record = recordAt(bytes, n);
        QVERIFY(record.pupil >= 1 && record.pupil <= kWriters);
        QCOMPARE(record.level, int16_t(1));
        QCOMPARE(schoolCodeOf(record), QStringLiteral("12345"));
        QCOMPARE(QByteArray(record.spare1.data(), 5), QByteArray("     "));
        QCOMPARE(QByteArray(record.points.data(), 5), QByteArray("0    "));
        QCOMPARE(QByteArray(record.spare2.data(), 5), QByteArray(5, '\0'));
        QVERIFY(record.date > 40000);
        // Each writer's records arrive in its own order, none missing.
        QCOMPARE(record.resultTime, lastTimeOf[record.pupil] + 1);
        lastTimeOf[record.pupil] = record.resultTime;
    }
    for (int w = 1; w <= kWriters; ++w)
        QCOMPARE(lastTimeOf[w], kEach);
}

void TestResultsFile::rewriteInPlaceKeepsTheOtherRecords()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    const QString path = classroom.dataFolder() + kResultsFileName;
    classroom.writeBytes(path, recordsBytes(1, 4) + "frag");

    ResultRecord corrected = sample(3);
    corrected.pupil = 99;
    corrected.resultTime = 61;
    QVERIFY(rewriteResultRecord(path, 3, corrected).ok());

    const QByteArray bytes = classroom.readBytes(path);
    QCOMPARE(bytes, recordsBytes(1, 2) + corrected.toBytes() + recordsBytes(4, 4) + "frag");
}

void TestResultsFile::rewriteOfMissingRecordChangesNothing_data()
{
    QTest::addColumn<int>("k");
    QTest::newRow("0") << 0;
    QTest::newRow("after the last") << 5;
    QTest::newRow("the fragment") << 6;
}

void TestResultsFile::rewriteOfMissingRecordChangesNothing()
{
    QFETCH(int, k);
    FakeEnvironment fakes;
    TestClassroom classroom;
    const QString path = classroom.dataFolder() + kResultsFileName;
    const QByteArray before = recordsBytes(1, 4) + "frag";
    classroom.writeBytes(path, before);

    const IoStatus status = rewriteResultRecord(path, k, sample(9));
    QCOMPARE(status.outcome, IoOutcome::Failed);
    QVERIFY(status.description.contains(QString::number(k)));
    QCOMPARE(classroom.readBytes(path), before);
}

void TestResultsFile::deleteRecord_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QByteArray>("fragment");
    QTest::addColumn<int>("k");
    QTest::addColumn<QList<int>>("remaining");
    QTest::newRow("first") << 4 << QByteArray() << 1 << QList<int>{2, 3, 4};
    QTest::newRow("middle") << 4 << QByteArray() << 3 << QList<int>{1, 2, 4};
    QTest::newRow("last") << 4 << QByteArray() << 4 << QList<int>{1, 2, 3};
    QTest::newRow("only") << 1 << QByteArray() << 1 << QList<int>{};
    QTest::newRow("fragment is dropped") << 3 << QByteArray("torn") << 2 << QList<int>{1, 3};
}

void TestResultsFile::deleteRecord()
{
    QFETCH(int, count);
    QFETCH(QByteArray, fragment);
    QFETCH(int, k);
    QFETCH(QList<int>, remaining);
    FakeEnvironment fakes;
    TestClassroom classroom;
    const QString path = classroom.dataFolder() + kResultsFileName;
    classroom.writeBytes(path, recordsBytes(1, count) + fragment);

    QVERIFY(deleteResultRecord(path, k).ok());

    QByteArray expected;
    for (int n : remaining)
        expected += sample(n).toBytes();
    QCOMPARE(classroom.readBytes(path), expected);
    QVERIFY(!QFile::exists(journalPathFor(path)));
}

void TestResultsFile::deleteHoldsTheLockAgainstAnotherWriter()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    hensuu1().dataFolder = classroom.dataFolder();
    const QString path = resultsFilePath();
    classroom.writeBytes(path, recordsBytes(1001, 1010));
    // Each rewrite lingers between moving the records and cutting the file, the moment
    // at which a record appended by another PC would be lost.
    fileFaultHook() = [&](FileStep step, const QString &at) {
        if (step == FileStep::Truncate && at == path)
            QThread::msleep(150);
        return 0;
    };

    // The writer goes on for some seconds, long after a deletion that had to wait for
    // it has run.
    Writer writer;
    writer.start(classroom.dataFolder(), 7, 100, 30);
    QVERIFY(writer.process.waitForStarted());
    QByteArray bytes;
    int deleted = 0;
    for (int attempt = 0; attempt < 500 && deleted < 5; ++attempt) {
        QVERIFY(readResultsBytes(path, bytes).ok());
        if (pupilsOf(bytes).contains(7)) {
            QVERIFY(deleteResultRecord(path, 1).ok());
            ++deleted;
        }
        QTest::qWait(20);
    }
    QCOMPARE(deleted, 5);
    QVERIFY(writer.finish() >= 1);

    QVERIFY(readResultsBytes(path, bytes).ok());
    QList<int> expected{1006, 1007, 1008, 1009, 1010};
    expected += QList<int>(100, 7);
    QCOMPARE(pupilsOf(bytes), expected);
    for (int n = 1; n <= 100; ++n)
        QCOMPARE(recordAt(bytes, 5 + n).resultTime, n);
}

void TestResultsFile::deleteFailureMidRewrite_data()
{
    QTest::addColumn<FileStep>("step");
    QTest::addColumn<bool>("lasting");
    QTest::addColumn<QList<int>>("after");
    QTest::addColumn<QString>("ending");
    const QList<int> before{1, 2, 3, 4, 5, 6};
    const QList<int> deleted{1, 3, 4, 5, 6};
    const QString inPlace = QStringLiteral("記録は元のままです");
    QTest::newRow("moving the records, once") << FileStep::Write << false << before << inPlace;
    QTest::newRow("flushing, once") << FileStep::Flush << false << before << inPlace;
    // The records had moved: the deletion is finished with the lock still held.
    QTest::newRow("cutting the file, once") << FileStep::Truncate << false << deleted << QString();
    // Nothing can be put right now: the next writer does it from the journal.
    QTest::newRow("moving the records, disk stays full") << FileStep::Write << true << before << "直します";
    QTest::newRow("cutting the file, lasting") << FileStep::Truncate << true << deleted << "直します";
}

void TestResultsFile::deleteFailureMidRewrite()
{
    QFETCH(FileStep, step);
    QFETCH(bool, lasting);
    QFETCH(QList<int>, after);
    QFETCH(QString, ending);
    FakeEnvironment fakes;
    TestClassroom classroom;
    hensuu1().dataFolder = classroom.dataFolder();
    const QString path = resultsFilePath();
    classroom.writeBytes(path, recordsBytes(1, 6));
    int failures = lasting ? 1000 : 1;
    fileFaultHook() = [&](FileStep at, const QString &file) {
        return at == step && file == path && failures-- > 0 ? kErrorDiskFull : 0;
    };

    const IoStatus status = deleteResultRecord(path, 2);
    fileFaultHook() = {};
    QCOMPARE(status.ok(), ending.isEmpty());
    if (!status.ok())
        QVERIFY2(status.description.startsWith(systemErrorText(kErrorDiskFull)) &&
                     status.description.endsWith(ending),
                 qPrintable(status.description));
    QCOMPARE(QFile::exists(journalPathFor(path)), lasting);

    // The next writer finds the file as before or as after, and its own record after it.
    hensuu1().currentPupil = 9;
    AppendResultRecord();
    QCOMPARE(pupilsOf(classroom.readBytes(path)), after + QList<int>{9});
    QVERIFY(!QFile::exists(journalPathFor(path)));
    QCOMPARE(takeMendNotes(path).size(), lasting ? 1 : 0);
}

void TestResultsFile::deleteWaitingForTheLockMendsWhatWasLeftMeanwhile()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    const QString path = classroom.dataFolder() + kResultsFileName;
    const QString temp = classroom.dataFolder() + kResultsTempFileName;
    classroom.writeBytes(path, recordsBytes(1, 3));
    // An earlier version's deletion on another PC holds the lock and ends, leaving its
    // copy: it had deleted record 4.
    SharedFile other;
    QVERIFY(other.open(path, SharedFile::Mode::ReadWrite).ok());
    QVERIFY(other.tryLock().ok());
    QTimer::singleShot(300, [&] {
        classroom.writeBytes(temp, recordsBytes(1, 4));
        other.close();
    });

    QVERIFY(deleteResultRecord(path, 1).ok());
    QCOMPARE(classroom.readBytes(path), recordsBytes(2, 3));
    QVERIFY(!QFile::exists(temp));
}

void TestResultsFile::deleteFailureWhileWritingTheJournalChangesNothing()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    const QString path = classroom.dataFolder() + kResultsFileName;
    const QString journal = journalPathFor(path);
    const QByteArray before = recordsBytes(1, 3);
    classroom.writeBytes(path, before);
    fileFaultHook() = [&](FileStep at, const QString &file) {
        return at == FileStep::Write && file == journal ? kErrorDiskFull : 0;
    };

    QCOMPARE(deleteResultRecord(path, 2).outcome, IoOutcome::Failed);
    QCOMPARE(classroom.readBytes(path), before);
    QVERIFY(!QFile::exists(journal));
    // The lock went with the failed deletion.
    fileFaultHook() = {};
    QVERIFY(deleteResultRecord(path, 2).ok());
    QCOMPARE(pupilsOf(classroom.readBytes(path)), (QList<int>{1, 3}));
}

void TestResultsFile::crashMidRewriteIsFinishedByTheNextWriter()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    hensuu1().dataFolder = classroom.dataFolder();
    const QString path = resultsFilePath();
    classroom.writeBytes(path, recordsBytes(1, 5));

    QProcess crashing;
    crashing.start(QStringLiteral(RESULTS_FILE_HELPER), {"crash-delete", classroom.dataFolder(), "2"});
    QVERIFY(crashing.waitForFinished(60'000));
    QCOMPARE(crashing.exitCode(), 3);
    QVERIFY(QFile::exists(journalPathFor(path)));

    hensuu1().currentPupil = 9;
    QCOMPARE(AppendResultRecord(), 5);
    QCOMPARE(pupilsOf(classroom.readBytes(path)), (QList<int>{1, 3, 4, 5, 9}));
    QVERIFY(!QFile::exists(journalPathFor(path)));
    const QStringList notes = takeMendNotes(path);
    QCOMPARE(notes.size(), 1);
    QVERIFY2(notes[0].contains("記録2の消去") && notes[0].contains("最後まで済ませました"),
             qPrintable(notes[0]));
}

QTEST_GUILESS_MAIN(TestResultsFile)
#include "test_results_file.moc"
