#include "app/data_tool.h"
#include "core/hensuu1.h"
#include "results/criteria_table.h"
#include "results/results_file.h"
#include "results/statistics.h"
#include "test_support.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <limits>

namespace
{
double todayOle(const FakeEnvironment &fakes)
{
    return oleDateOf(fakes.clock.date);
}

ResultRecord record(double date, int pupil, int level, int time)
{
    ResultRecord r;
    r.date = date;
    r.timeOfDay = 0.5;
    r.pupil = static_cast<int16_t>(pupil);
    r.level = static_cast<int16_t>(level);
    r.resultTime = time;
    return r;
}

QByteArray fileOf(const QList<ResultRecord> &records)
{
    QByteArray bytes;
    for (const ResultRecord &r : records)
        bytes += r.toBytes();
    return bytes;
}

// Level 1: pass time 100, multiplier 1; level 2: pass time 2000 (times of four digits
// stay on the curve); level 3: multiplier 1.5.
void setCriteria(const QString &passDays = QStringLiteral("7"),
                 const QString &overuseDays = QStringLiteral("1"))
{
    Hensuu1 &h = hensuu1();
    const int passTimes[] = {0, 100, 2000, 100};
    const float multipliers[] = {0, 1, 1, 1.5f};
    for (int level = 1; level <= 3; ++level) {
        h.passTime[level] = passTimes[level];
        h.pointMultiplier[level] = multipliers[level];
        h.passPeriodDays[level] = LooseValue::fromField(passDays);
        h.overusePeriodDays[level] = LooseValue::fromField(overuseDays);
    }
}

struct Scan {
    FakeEnvironment fakes;
    TestClassroom classroom;
    Scan()
    {
        hensuu1().dataFolder = classroom.dataFolder();
        setCriteria();
    }
    void write(const QList<ResultRecord> &records) const
    {
        classroom.writeBytes(resultsFilePath(), fileOf(records));
    }
};
} // namespace

class TestStatistics : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void oneRecordInTheTables_data();
    void oneRecordInTheTables();
    void tablesAreClearedBeforeEachScan();
    void emptyAndMissingFile();
    void keepsTheLast20000Records();
    void droppedAndSkippedRecords_data();
    void droppedAndSkippedRecords();
    void bestTimes();
    void largePointsThatFitAreAdded();
    void pointsTooLargeToAddEndTheProgram_data();
    void pointsTooLargeToAddEndTheProgram();
    void missingFolderRetriedThenReported();
    void folderAppearingDuringTheWaitIsRead();
    void dataToolPrintsWhatTheScreensCompute();
};

void TestStatistics::oneRecordInTheTables_data()
{
    QTest::addColumn<double>("dayOffset"); // the record's date, in days from today
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("time");
    QTest::addColumn<QString>("passDays");
    QTest::addColumn<QString>("overuseDays");
    // Count and points of all time, pass period, overuse period, today.
    QTest::addColumn<QList<int>>("figures");

    QTest::newRow("today") << 0.0 << 1 << 50 << "7"
                           << "1" << QList<int>{1, 11, 1, 11, 1, 11, 1, 11};
    QTest::newRow("yesterday") << -1.0 << 1 << 50 << "7"
                               << "1" << QList<int>{1, 11, 1, 11, 0, 0, 0, 0};
    QTest::newRow("tomorrow") << 1.0 << 1 << 50 << "7"
                              << "1" << QList<int>{1, 11, 1, 11, 1, 11, 0, 0};
    QTest::newRow("sixth day back, 7 days") << -6.0 << 1 << 50 << "7"
                                            << "1" << QList<int>{1, 11, 1, 11, 0, 0, 0, 0};
    QTest::newRow("seventh day back, 7 days") << -7.0 << 1 << 50 << "7"
                                              << "1" << QList<int>{1, 11, 0, 0, 0, 0, 0, 0};
    QTest::newRow("timed out today") << 0.0 << 1 << 99999 << "7"
                                     << "1" << QList<int>{0, 0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("5999 s is finished") << 0.0 << 1 << 5999 << "7"
                                        << "1" << QList<int>{1, 0, 1, 0, 1, 0, 1, 0};
    QTest::newRow("6000 s is not") << 0.0 << 1 << 6000 << "7"
                                   << "1" << QList<int>{0, 0, 0, 0, 0, 0, 0, 0};
    QTest::newRow("6000 s still earns points") << 0.0 << 2 << 6000 << "7"
                                               << "1" << QList<int>{0, 1, 0, 1, 0, 1, 0, 1};
    QTest::newRow("empty days: nothing up to now") << 0.0 << 1 << 50 << ""
                                                   << "" << QList<int>{1, 11, 0, 0, 0, 0, 1, 11};
    QTest::newRow("empty days: a date ahead") << 1.0 << 1 << 50 << ""
                                              << "" << QList<int>{1, 11, 1, 11, 1, 11, 0, 0};
    // Now is 10:00, 0.4167 of a day: half a day back reaches this midnight, 0.4 does not.
    QTest::newRow("half a day") << 0.0 << 1 << 50 << "0.5"
                                << "0.4" << QList<int>{1, 11, 1, 11, 0, 0, 1, 11};
    QTest::newRow("today with a fraction") << 0.9 << 1 << 50 << "7"
                                           << "1" << QList<int>{1, 11, 1, 11, 1, 11, 1, 11};
    QTest::newRow("four digits, three-character time") << 0.0 << 2 << 1234 << "7"
                                                       << "1" << QList<int>{1, 46, 1, 46, 1, 46, 1, 46};
    QTest::newRow("multiplier") << 0.0 << 3 << 50 << "7"
                                << "1" << QList<int>{1, 16, 1, 16, 1, 16, 1, 16};
}

void TestStatistics::oneRecordInTheTables()
{
    QFETCH(double, dayOffset);
    QFETCH(int, level);
    QFETCH(int, time);
    QFETCH(QString, passDays);
    QFETCH(QString, overuseDays);
    QFETCH(QList<int>, figures);

    Scan scan;
    setCriteria(passDays, overuseDays);
    const int pupil = 4321;
    scan.write({record(todayOle(scan.fakes) + dayOffset, pupil, level, time)});
    ComputePupilStatistics();

    const Hensuu1 &h = hensuu1();
    const QList<int> actual{h.totalCount[level][pupil],
                            h.totalPoints[level][pupil],
                            h.passWindowCount[level][pupil],
                            h.passWindowPoints[level][pupil],
                            h.overuseWindowCount[level][pupil],
                            h.overuseWindowPoints[level][pupil],
                            static_cast<int>(h.todayCount[level][pupil]),
                            h.todayPoints[level][pupil]};
    QCOMPARE(actual, figures);
    QCOMPARE(h.recordCount, int16_t(1));
    QCOMPARE(h.bestTime[level][pupil], std::min(time, 99999));
}

void TestStatistics::tablesAreClearedBeforeEachScan()
{
    Scan scan;
    const double today = todayOle(scan.fakes);
    scan.write({record(today, 3, 1, 50), record(today, 3, 1, 50), record(today, 9, 2, 40)});
    ComputePupilStatistics();
    QCOMPARE(hensuu1().totalCount[1][3], int16_t(2));

    scan.write({record(today, 3, 1, 100)});
    // A figure set between scans in a row no record names is cleared as well.
    hensuu1().todayPoints[20][7] = 3;
    ComputePupilStatistics();
    const Hensuu1 &h = hensuu1();
    QCOMPARE(h.todayPoints[20][7], 0);
    QCOMPARE(h.totalCount[1][3], int16_t(1));
    QCOMPARE(h.todayPoints[1][3], 5);
    QCOMPARE(h.totalCount[2][9], int16_t(0));
    QCOMPARE(h.bestTime[2][9], 99999);
    QCOMPARE(h.bestTime[1][3], 100);
    QCOMPARE(h.recordCount, int16_t(1));
}

void TestStatistics::emptyAndMissingFile()
{
    Scan scan;
    hensuu1().totalCount[1][1] = 5;
    hensuu1().bestTime[1][1] = 30;
    QVERIFY(!QFile::exists(resultsFilePath()));
    ComputePupilStatistics();
    // The first scan of a classroom finds no file and starts it, empty.
    QVERIFY(QFile::exists(resultsFilePath()));
    const Hensuu1 &h = hensuu1();
    QCOMPARE(h.recordCount, int16_t(0));
    QCOMPARE(h.totalCount[1][1], int16_t(0));
    QCOMPARE(h.bestTime[1][1], 99999);
    QCOMPARE(h.bestTime[35][5000], 99999);
    QCOMPARE(h.bestTimeAll[35], 99999);

    // A torn last record is no record.
    scan.classroom.writeBytes(resultsFilePath(), record(todayOle(scan.fakes), 1, 1, 40).toBytes().left(43));
    ComputePupilStatistics();
    QCOMPARE(h.recordCount, int16_t(0));
    QVERIFY(scan.fakes.dialogs.messages.isEmpty());
}

void TestStatistics::keepsTheLast20000Records()
{
    Scan scan;
    const double today = todayOle(scan.fakes);
    QList<ResultRecord> records{record(today - 3, 7, 1, 10)};
    for (int i = 0; i < 20000; ++i)
        records << record(today - (i % 10), 8 + i % 3, 1 + i % 3, 60 + i % 50);
    records.last() = record(today, 12, 2, 33);
    scan.write(records);
    ComputePupilStatistics();

    const Hensuu1 &h = hensuu1();
    QCOMPARE(h.recordCount, int16_t(20000));
    QCOMPARE(h.totalCount[1][7], int16_t(0));
    QCOMPARE(h.bestTime[1][7], 99999);
    QCOMPARE(h.recPupil[1], int16_t(8));
    QCOMPARE(h.recTime[1], 60);
    QCOMPARE(h.recPupil[20000], int16_t(12));
    QCOMPARE(h.recTime[20000], 33);
    const int counted = h.totalCount[1][8] + h.totalCount[2][9] + h.totalCount[3][10] + h.totalCount[2][12];
    QCOMPARE(counted, 20000);
}

void TestStatistics::droppedAndSkippedRecords_data()
{
    QTest::addColumn<double>("dayOffset");
    QTest::addColumn<double>("timeOfDay");
    QTest::addColumn<int>("pupil");
    QTest::addColumn<int>("level");
    QTest::addColumn<bool>("lowersItsBestTime"); // bestTime[level][pupil] becomes 30

    QTest::newRow("pupil 0 is dropped") << 0.0 << 0.5 << 0 << 1 << false;
    QTest::newRow("level 0 is dropped") << 0.0 << 0.5 << 5 << 0 << false;
    QTest::newRow("negative date is dropped, best time kept") << -50000.0 << 0.5 << 5 << 1 << true;
    QTest::newRow("pupil above 5000 is skipped") << 0.0 << 0.5 << 5001 << 1 << false;
    QTest::newRow("negative pupil is skipped") << 0.0 << 0.5 << -1 << 1 << false;
    QTest::newRow("level above 35 is skipped") << 0.0 << 0.5 << 5 << 36 << false;
    QTest::newRow("negative level is skipped") << 0.0 << 0.5 << 5 << -1 << false;
    // Left out of every figure, the best times too: a date of +Inf would otherwise lie
    // in every period for good.
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double pastTheCalendar = 2958466 - oleDateOf(QDate(2026, 12, 9));
    QTest::newRow("date +Inf is skipped") << inf << 0.5 << 5 << 1 << false;
    QTest::newRow("date 1e300 is skipped") << 1e300 << 0.5 << 5 << 1 << false;
    QTest::newRow("date past 9999-12-31 is skipped") << pastTheCalendar << 0.5 << 5 << 1 << false;
    QTest::newRow("date NaN is skipped") << nan << 0.5 << 5 << 1 << false;
    QTest::newRow("time of day NaN is skipped") << 0.0 << nan << 5 << 1 << false;
    QTest::newRow("time of day -Inf is skipped") << 0.0 << -inf << 5 << 1 << false;
}

void TestStatistics::droppedAndSkippedRecords()
{
    QFETCH(double, dayOffset);
    QFETCH(double, timeOfDay);
    QFETCH(int, pupil);
    QFETCH(int, level);
    QFETCH(bool, lowersItsBestTime);

    Scan scan;
    const double today = todayOle(scan.fakes);
    ResultRecord odd = record(today + dayOffset, pupil, level, 30);
    odd.timeOfDay = timeOfDay;
    scan.write({record(today, 3, 1, 45), odd, record(today, 4, 1, 55)});
    ComputePupilStatistics();

    const Hensuu1 &h = hensuu1();
    QVERIFY(h.recDate[1] >= 0);
    QCOMPARE(h.recordCount, int16_t(2));
    QCOMPARE(h.recPupil[1], int16_t(3));
    QCOMPARE(h.recPupil[2], int16_t(4)); // the dropped record's slot went to the next one
    QCOMPARE(h.totalCount[1][3] + h.totalCount[1][4], 2);
    if (lowersItsBestTime)
        QCOMPARE(h.bestTime[level][pupil], 30);
    QCOMPARE(h.totalCount[1][5], int16_t(0));
    // A dropped record still counts for the school's best.
    QCOMPARE(h.bestTimeAll[1], lowersItsBestTime ? 30 : 45);
    QVERIFY(scan.fakes.dialogs.messages.isEmpty());
}

void TestStatistics::bestTimes()
{
    Scan scan;
    const double today = todayOle(scan.fakes);
    scan.write({record(today, 1001, 1, 20), record(today, 1000, 1, 30), record(today, 5, 1, 40),
                record(today, 5, 1, 35), record(today, 5, 1, 99999), record(today, 6, 1, 99999),
                record(today, 6, 2, 7000)});
    ComputePupilStatistics();
    const Hensuu1 &h = hensuu1();
    QCOMPARE(h.bestTime[1][1001], 20);
    QCOMPARE(h.bestTimeAll[1], 30); // pupils above 1000 do not set the school's best
    QCOMPARE(h.bestTime[1][5], 35);
    QCOMPARE(h.bestTime[1][6], 99999);
    QCOMPARE(h.bestTime[2][6], 7000);
    QCOMPARE(h.bestTimeAll[2], 7000);
    QCOMPARE(h.bestTimeAll[3], 99999);
}

void TestStatistics::largePointsThatFitAreAdded()
{
    Scan scan;
    // 55 000 000 points a record: too many to add unchecked, few enough to fit.
    hensuu1().pointMultiplier[1] = 1e6f;
    const double today = todayOle(scan.fakes);
    scan.write(
        {record(today, 1, 1, 0), record(today, 1, 1, 0), record(today - 3, 1, 1, 0), record(today, 2, 2, 0)});
    ComputePupilStatistics();
    const Hensuu1 &h = hensuu1();
    QCOMPARE(h.totalPoints[1][1], 165'000'000);
    QCOMPARE(h.todayPoints[1][1], 110'000'000);
    QCOMPARE(h.passWindowPoints[1][1], 165'000'000);
    QCOMPARE(h.totalCount[1][1], int16_t(3));
    QCOMPARE(h.totalPoints[2][2], 55);
    QVERIFY(scan.fakes.dialogs.messages.isEmpty());
}

void TestStatistics::pointsTooLargeToAddEndTheProgram_data()
{
    QTest::addColumn<float>("multiplier");
    QTest::addColumn<double>("secondDate"); // in days from today
    QTest::newRow("1e9") << 1e9f << 0.0;
    // The points are held to the 32-bit range; the record dated 1e300 is no record.
    QTest::newRow("1e30, a record dated 1e300 between") << 1e30f << 1e300;
}

void TestStatistics::pointsTooLargeToAddEndTheProgram()
{
    QFETCH(float, multiplier);
    QFETCH(double, secondDate);
    Scan scan;
    hensuu1().pointMultiplier[1] = multiplier;
    const double today = todayOle(scan.fakes);
    scan.write({record(today, 1, 1, 0), record(today + secondDate, 1, 1, 0), record(today, 1, 1, 0)});
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, ComputePupilStatistics());
    QCOMPARE(scan.fakes.dialogs.messages.size(), 1);
    QCOMPARE(scan.fakes.dialogs.messages[0].text,
             QStringLiteral(
                 "回数求7オーバーフローしました。6/date2026/12/09/i=2/time=12:00:00/name=/Bangou=1/level=1/"
                 "time=0errline7"));
}

void TestStatistics::missingFolderRetriedThenReported()
{
    Scan scan;
    hensuu1().dataFolder = scan.classroom.root() + "/gone/";
    QElapsedTimer waited;
    waited.start();
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, ComputePupilStatistics());
    QVERIFY(waited.elapsed() >= 4 * 5000 - 100);
    QCOMPARE(scan.fakes.dialogs.messages.size(), 1);
    QVERIFY(scan.fakes.dialogs.messages[0].text.startsWith(QStringLiteral("ファイルがありません3")));
    QVERIFY(scan.fakes.dialogs.messages[0].text.endsWith(QStringLiteral("53")));
}

void TestStatistics::folderAppearingDuringTheWaitIsRead()
{
    Scan scan;
    const QString folder = scan.classroom.root() + "/late/";
    hensuu1().dataFolder = folder;
    const QByteArray bytes = fileOf({record(todayOle(scan.fakes), 2, 1, 50)});
    // The share comes back while the scan waits, as when a PC's network starts late.
    QTimer::singleShot(1000, [&] { scan.classroom.writeBytes(folder + kResultsFileName, bytes); });
    ComputePupilStatistics();
    QCOMPARE(hensuu1().totalCount[1][2], int16_t(1));
    QVERIFY(scan.fakes.dialogs.messages.isEmpty());
}

void TestStatistics::dataToolPrintsWhatTheScreensCompute()
{
    Scan scan;
    scan.classroom.writeConfiguration();
    const double today = todayOle(scan.fakes);
    scan.write({record(today, 3, 1, 30), record(today - 1, 3, 1, 60), record(today, 3, 1, 99999),
                record(today - 10, 1500, 2, 100), record(today + 1, 7, 3, 120)});
    const QStringList base{"--base", scan.classroom.sharedFolder(), "stats"};

    QString output, errors;
    QTextStream out(&output), err(&errors);
    QCOMPARE(runDataTool(base + QStringList{"--now", "2026/12/09 10:00:00"}, out, err,
                         scan.classroom.programFolder()),
             0);
    QCOMPARE(errors, QString());
    QString expected =
        "level,pupil,totalCount,totalPoints,passWindowCount,passWindowPoints,overuseWindowCount,"
        "overuseWindowPoints,todayCount,todayPoints,bestTime\n"
        "1,3,2,16,2,16,1,11,1,11,30\n"
        "2,1500,1,6,0,0,0,0,0,0,100\n"
        "3,7,1,10,1,10,1,10,0,0,120\n"
        "\nlevel,bestTimeAll\n1,30\n2,99999\n3,120\n";
    for (int level = 4; level <= 35; ++level)
        expected += QString::number(level) + ",99999\n";
    QCOMPARE(output, expected);

    // The screens at the same moment see the same figures.
    resetHensuu1();
    hensuu1().dataFolder = scan.classroom.dataFolder();
    QVERIFY(LoadCriteriaTable(scan.classroom.dataFolder() + "タイム回数データ.txt").isEmpty());
    ComputePupilStatistics();
    QCOMPARE(hensuu1().totalPoints[1][3], 16);
    QCOMPARE(hensuu1().overuseWindowPoints[3][7], 10);

    // Another moment: yesterday's record has left the seven days, today's attempt is
    // no longer today.
    output.clear();
    QCOMPARE(runDataTool(base + QStringList{"--now", "2026/12/15 9:00:00"}, out, err,
                         scan.classroom.programFolder()),
             0);
    QVERIFY2(output.contains("\n1,3,2,16,1,11,0,0,0,0,30\n"), qPrintable(output));

    QCOMPARE(runDataTool(base + QStringList{"--now", "yesterday"}, out, err, scan.classroom.programFolder()),
             2);
    QVERIFY(errors.contains("yesterday"));
}

QTEST_MAIN(TestStatistics)
#include "test_statistics.moc"
