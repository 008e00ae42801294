#include "core/environment.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "menu/result_lists.h"
#include "pupils/roster.h"
#include "system_errors.h"
#include "test_support.h"

#include <QFile>
#include <QTest>

#include <cmath>
#include <limits>

Q_DECLARE_METATYPE(RecordNumbers)

namespace
{
constexpr int kSchoolYear = 2026;

struct Pupil {
    int number;
    int grade;
    QString name;
};

// The shared state of a school whose roster lists the given pupils in this order, on
// levels 1..3 with pass times of 60, 90 and 120 seconds.
struct School {
    FakeEnvironment fakes;

    explicit School(const QList<Pupil> &pupils)
    {
        resetRosterTables();
        FillLevelCatalogue();
        Hensuu1 &h = hensuu1();
        for (int level = 1; level <= 3; ++level) {
            h.passTime[level] = 30 + 30 * level;
            for (int p = 0; p <= kMaxPupil; ++p)
                h.bestTime[level][p] = kTimedOut;
        }
        RosterTables &tables = rosterTables();
        tables.schoolYear = kSchoolYear;
        for (const Pupil &pupil : pupils) {
            tables.activePupilNumbers[++tables.activePupilCount] = static_cast<int16_t>(pupil.number);
            tables.pupilNames[pupil.number] = pupil.name.leftJustified(kRosterTextLength, u' ');
            tables.pupilBirthYears[pupil.number] = static_cast<int16_t>(kSchoolYear - 6 - pupil.grade);
        }
    }
};

RecordNumbers record(int pupil, int level, int32_t time, double date = 46000,
                     double seconds = 9 * 3600 + 5 * 60 + 3)
{
    return {date, seconds / 86400, static_cast<int16_t>(pupil), static_cast<int16_t>(level), time};
}

QByteArray fileOf(const QList<RecordNumbers> &records)
{
    QByteArray bytes;
    for (const RecordNumbers &r : records) {
        ResultRecord full;
        full.date = r.date;
        full.timeOfDay = r.timeOfDay;
        full.pupil = r.pupil;
        full.level = r.level;
        full.resultTime = r.resultTime;
        bytes += full.toBytes();
    }
    return bytes;
}

ListRequest requestOn(const QDate &today, int pupil = 0, const QString &filter = QStringLiteral("全学年"))
{
    ListRequest request;
    request.currentPupil = pupil;
    request.gradeFilter = filter;
    request.today = today;
    request.now = oleDateOf(today) + 0.75;
    return request;
}

const QDate kToday(2025, 12, 9); // OLE date 46000
} // namespace

class TestResultLists : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void gradeMarks_data();
    void gradeMarks();
    void recordLines_data();
    void recordLines();
    void periodDays_data();
    void periodDays();
    void todayAndPeriodLists();
    void recordWindows();
    void personalTimes();
    void brokenRecordsAreLeftOut();
    void timeRanking();
    void pointsRankings_data();
    void pointsRankings();
    void rankingOfAGradeAndAHundredPupils();
    void practiceLevelIsHidden();
    void heldFileIsWaitedFor();
    void unreadableFileEndsTheProgram();
};

void TestResultLists::gradeMarks_data()
{
    QTest::addColumn<int>("grade");
    QTest::addColumn<QString>("mark");
    const QString marks = QStringLiteral("①②③④⑤⑥ⅠⅡⅢ");
    for (int grade = 1; grade <= 9; ++grade)
        QTest::addRow("grade %d", grade) << grade << marks.mid(grade - 1, 1);
    for (int grade : {0, 10, -3, 2020})
        QTest::addRow("grade %d", grade) << grade << QStringLiteral("　");
}

void TestResultLists::gradeMarks()
{
    QFETCH(int, grade);
    QFETCH(QString, mark);
    QCOMPARE(GradeMark(grade), mark);
}

void TestResultLists::recordLines_data()
{
    QTest::addColumn<RecordNumbers>("record");
    QTest::addColumn<int>("stamp");
    QTest::addColumn<bool>("pointsFirst");
    QTest::addColumn<QString>("line");
    const int time = static_cast<int>(RecordStamp::TimeOfDay);
    const int date = static_cast<int>(RecordStamp::Date);
    // Pass time 60 on level 1: 45 s earns Int(0.25^3 x 50 + 5) = 5 points.
    QTest::newRow("today") << record(12, 1, 45) << time << false << "  45秒 09:05③島田　颯太③5";
    QTest::newRow("the current pupil") << record(7, 1, 30) << time << false << "  30秒 09:05●大野　陽菜●11";
    QTest::newRow("a long name") << record(21, 1, 60) << time << false << "  60秒 09:05⑤長谷川　優⑤5";
    QTest::newRow("a short name") << record(22, 1, 61) << time << false << "  61秒 09:05Ⅰ林　　　　Ⅰ4";
    QTest::newRow("not in the roster") << record(999, 1, 600) << time << false << " 600秒 09:05　　　　　　0";
    QTest::newRow("timed out") << record(12, 1, kTimedOut) << time << false << "　　× 09:05③島田　颯太③";
    QTest::newRow("failed from 90000") << record(12, 1, 90000) << date << true << "　　× 12/09③島田　颯太③";
    QTest::newRow("period, time first") << record(12, 2, 45) << date << false << "  45秒 12/09③島田　颯太③11";
    QTest::newRow("period, points first")
        << record(12, 1, 30) << date << true << "   11 12/09③島田　颯太③30秒";
    // Level 3's pass time is 120: 1234 s is beyond ten pass times; its text fills the column.
    QTest::newRow("a time of four digits")
        << record(12, 3, 1234) << date << false << "1234秒 12/09③島田　颯太③0";
    QTest::newRow("rounded to the minute's second")
        << record(12, 1, 45, 46000, 86399.7) << time << false << "  45秒 23:59③島田　颯太③5";
}

void TestResultLists::recordLines()
{
    QFETCH(RecordNumbers, record);
    QFETCH(int, stamp);
    QFETCH(bool, pointsFirst);
    QFETCH(QString, line);
    School school({{7, 1, "大野　陽菜"}, {12, 3, "島田　颯太"}, {21, 5, "長谷川　優太郎"}, {22, 7, "林"}});
    QCOMPARE(recordListLine(record, static_cast<RecordStamp>(stamp), pointsFirst, 7), line);
}

void TestResultLists::periodDays_data()
{
    QTest::addColumn<QDate>("today");
    QTest::addColumn<int>("choice");
    QTest::addColumn<int>("days");
    // 2026-12-07 is a Monday.
    const QDate monday(2026, 12, 7);
    for (int d = 0; d < 7; ++d) {
        const QDate day = monday.addDays(d);
        QTest::addRow("this week, %s", qPrintable(day.toString("ddd"))) << day << 1 << d + 1;
        QTest::addRow("since last week, %s", qPrintable(day.toString("ddd"))) << day << 2 << d + 8;
    }
    QTest::newRow("a month") << monday << 3 << 30;
    QTest::newRow("a year") << monday << 4 << 365;
    QTest::newRow("so far") << monday << 5 << 3650;
}

void TestResultLists::periodDays()
{
    QFETCH(QDate, today);
    QFETCH(int, choice);
    QFETCH(int, days);
    QCOMPARE(periodDaysFor(choice, today), days);
}

void TestResultLists::todayAndPeriodLists()
{
    School school({{7, 1, "大野　陽菜"}, {12, 3, "島田　颯太"}, {13, 3, "菅原　葵"}});
    const QByteArray bytes =
        fileOf({record(12, 1, 50), record(13, 1, kTimedOut), record(7, 1, 100), record(13, 1, 45, 45999),
                record(12, 2, 70, 45990), record(13, 1, 9, 45800)});
    const ListRequest request = requestOn(kToday, 7);

    const ListsView today = computeLists(ListKind::TodaysRecords, bytes, request);
    QCOMPARE(today.title, QStringLiteral("本日の成績"));
    QCOMPARE(today.listMode, 2);
    QCOMPARE(today.levels[1].lines, QStringList({"  50秒 09:05③島田　颯太③5", " 100秒 09:05●大野　陽菜●4",
                                                 "　　× 09:05③菅原　葵　③"}));
    QVERIFY(today.levels[2].lines.isEmpty());

    ListRequest month = request;
    month.periodChoice = 3;
    const ListsView period = computeLists(ListKind::PeriodRecords, bytes, month);
    QCOMPARE(period.title, QString());
    QCOMPARE(period.listMode, 3);
    QCOMPARE(period.periodDays, 30);
    QCOMPARE(period.levels[1].lines, QStringList({"  45秒 12/08③菅原　葵　③5", "  50秒 12/09③島田　颯太③5",
                                                  " 100秒 12/09●大野　陽菜●4", "　　× 12/09③菅原　葵　③"}));
    QCOMPARE(period.levels[2].lines, QStringList({"  70秒 11/29③島田　颯太③5"}));

    const ListsView points = computeLists(ListKind::PeriodPoints, bytes, month);
    QCOMPARE(points.levels[1].lines,
             QStringList({"    4 12/09●大野　陽菜●100秒", "    5 12/08③菅原　葵　③45秒",
                          "    5 12/09③島田　颯太③50秒", "　　× 12/09③菅原　葵　③"}));

    // The grade filter of the level menu narrows the lines, a text it does not know to none.
    ListRequest firstGrade = month;
    firstGrade.gradeFilter = QStringLiteral("小１");
    QCOMPARE(computeLists(ListKind::PeriodRecords, bytes, firstGrade).levels[1].lines,
             QStringList({" 100秒 12/09●大野　陽菜●4"}));
    firstGrade.gradeFilter = QStringLiteral("高１");
    QVERIFY(computeLists(ListKind::PeriodRecords, bytes, firstGrade).levels[1].lines.isEmpty());
}

void TestResultLists::recordWindows()
{
    School school({{12, 3, "島田　颯太"}, {13, 3, "菅原　葵"}});
    // The oldest record, of pupil 13, falls just outside each window.
    for (const auto &[kind, window] : {std::pair{ListKind::TodaysRecords, kTodayListRecords},
                                       std::pair{ListKind::PeriodRecords, kPeriodListRecords}}) {
        QList<RecordNumbers> records{record(13, 1, 30)};
        for (int i = 0; i < window; ++i)
            records << record(12, 1, 40);
        const QByteArray bytes = fileOf(records);
        const QStringList lines = computeLists(kind, bytes, requestOn(kToday)).levels[1].lines;
        QCOMPARE(lines.size(), window);
        QVERIFY(!lines.join("").contains(QStringLiteral("菅原")));
        QVERIFY(computeLists(kind, bytes.mid(kRecordSize), requestOn(kToday)).levels[1].lines.size() ==
                window);
    }
}

void TestResultLists::personalTimes()
{
    School school({{7, 1, "大野　陽菜"}, {12, 3, "島田　颯太"}});
    // 46000 is today; the evening before the morning in the file, a time-out, another
    // pupil, another level, and an attempt of eleven years ago.
    const QByteArray bytes = fileOf({record(12, 1, 95, 46000, 15 * 3600 + 36 * 60 + 21), record(12, 1, 45),
                                     record(12, 1, kTimedOut, 45999, 20 * 3600), record(7, 1, 30),
                                     record(12, 2, 1234, 45990), record(12, 1, 40, 46000 - 4018)});
    const ListsView view = computeLists(ListKind::PersonalTimes, bytes, requestOn(kToday, 12));
    QCOMPARE(view.title, QStringLiteral("個人別ﾀｲﾑ"));
    QCOMPARE(view.listMode, 3);
    QCOMPARE(view.periodDays, 3650);
    QCOMPARE(view.levels[1].lines, QStringList({"2025/12/08 20:00:00　　×", "2025/12/09 9:05:03  45秒",
                                                "2025/12/09 15:36:21  95秒"}));
    QCOMPARE(view.levels[2].lines, QStringList({"2025/11/29 9:05:031234秒"}));
    // The grade filter applies to the pupil's own grade.
    QVERIFY(computeLists(ListKind::PersonalTimes, bytes, requestOn(kToday, 12, QStringLiteral("小１")))
                .levels[1]
                .lines.isEmpty());
}

void TestResultLists::brokenRecordsAreLeftOut()
{
    School school({{12, 3, "島田　颯太"}});
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    const QByteArray bytes =
        fileOf({record(12, 36, 40), record(6000, 1, 40), record(-1, 1, 40), record(12, 0, 40),
                record(12, 4, 40), record(12, 1, 40, inf), record(12, 1, 40, 1e300), record(12, 1, 40, nan),
                record(12, 1, 40, 46000, nan), record(12, 1, 41)});
    for (ListKind kind : {ListKind::TodaysRecords, ListKind::PeriodRecords, ListKind::PeriodPoints,
                          ListKind::PersonalTimes}) {
        ListRequest request = requestOn(kToday, 12);
        request.periodChoice = 5;
        const ListsView view = computeLists(kind, bytes, request);
        QCOMPARE(view.levels[1].lines.size(), 1);
        for (int level = 2; level < kLevelSlots; ++level)
            QVERIFY(view.levels[level].lines.isEmpty());
    }
}

void TestResultLists::timeRanking()
{
    School school(
        {{1, 3, "青木"}, {2, 3, "石井"}, {3, 4, "上田"}, {4, 4, "遠藤"}, {5, 4, "大野"}, {6, 3, "加藤"}});
    auto best = hensuu1().bestTime[1];
    best[1] = 55;
    best[2] = 40;
    best[3] = 99998;
    best[4] = 40;
    best[6] = 99998;
    // Pupil 5 has no result (99999).
    const LevelList list = levelRanking(1, 1, 1, 4, QStringLiteral("全学年"));
    QCOMPARE(list.lines,
             QStringList({" 1③石井　　　    40 　", " 1●遠藤　　　    40 ●", " 3③青木　　　    55 　",
                          " 4④上田　　　*失敗* 　", " 4③加藤　　　*失敗* 　", "--④大野　　　------ 　"}));
    QCOMPARE(list.ownRow, 1);
    QCOMPARE(levelRanking(1, 1, 1, 2, QStringLiteral("全学年")).ownRow, 0);
    QCOMPARE(levelRanking(1, 1, 1, 4999, QStringLiteral("全学年")).ownRow, -1);

    // Best view of the menu: the same ranking on every level.
    const ListsView view = computeLists(ListKind::BestTimes, {}, requestOn(kToday, 4));
    QCOMPARE(view.title, QStringLiteral("ベスト成績"));
    QCOMPARE(view.listMode, 1);
    QCOMPARE(view.levels[1].lines, list.lines);
    QCOMPARE(view.levels[2].lines.size(), 6);
    QVERIFY(view.levels[2].lines.last().startsWith(QStringLiteral("--")));
}

void TestResultLists::pointsRankings_data()
{
    QTest::addColumn<int>("rankOrder");
    QTest::addColumn<QList<int>>("soFar"); // of 青木, 石井, 上田, 遠藤, 大野
    QTest::addColumn<QList<int>>("today");
    QTest::addColumn<QStringList>("lines");
    const QList<int> smallSoFar = {12, 12, 30, 5, 0};
    const QList<int> smallToday = {3, 0, 0, 5, 0};
    QTest::newRow("so far") << 1 << smallSoFar << smallToday
                            << QStringList{" 1④上田　　　  0/   30", " 2③青木　　　  3/   12",
                                           " 2③石井　　　  0/   12", " 4●遠藤　　　  5/    5",
                                           " 5④大野　　　  0/    0"};
    QTest::newRow("today") << 2 << smallSoFar << smallToday
                           << QStringList{" 1●遠藤　　　  5/    5", " 2③青木　　　  3/   12"};
    // A thousand points and more in either figure: each orders whole, the other only
    // among equals (the line keeps its columns, today's last three digits).
    const QList<int> bigSoFar = {1301, 5, 1500, 1501, 1301};
    const QList<int> bigToday = {1, 2, 1000, 0, 1};
    QTest::newRow("so far, above 1000")
        << 1 << bigSoFar << bigToday
        << QStringList{" 1●遠藤　　　  0/ 1501", " 2④上田　　　000/ 1500", " 3③青木　　　  1/ 1301",
                       " 3④大野　　　  1/ 1301", " 5③石井　　　  2/    5"};
    QTest::newRow("today, above 1000") << 2 << bigSoFar << bigToday
                                       << QStringList{" 1④上田　　　000/ 1500", " 2③石井　　　  2/    5",
                                                      " 3③青木　　　  1/ 1301", " 3④大野　　　  1/ 1301"};
}

void TestResultLists::pointsRankings()
{
    QFETCH(int, rankOrder);
    QFETCH(QList<int>, soFar);
    QFETCH(QList<int>, today);
    QFETCH(QStringList, lines);
    School school({{1, 3, "青木"}, {2, 3, "石井"}, {3, 4, "上田"}, {4, 4, "遠藤"}, {5, 4, "大野"}});
    Hensuu1 &h = hensuu1();
    for (int p = 1; p <= 5; ++p) {
        h.totalPoints[2][p] = soFar[p - 1];
        h.todayPoints[2][p] = today[p - 1];
    }
    const LevelList list = levelRanking(2, 2, rankOrder, 4, QStringLiteral("全学年"));
    QCOMPARE(list.lines, lines);
    const ListsView view = computeLists(rankOrder == 1 ? ListKind::PointsSoFar : ListKind::PointsToday, {},
                                        requestOn(kToday, 4));
    QCOMPARE(view.levels[2].lines, lines);
    QCOMPARE(view.listMode, 0);
}

void TestResultLists::rankingOfAGradeAndAHundredPupils()
{
    QList<Pupil> pupils;
    for (int p = 1; p <= 120; ++p)
        pupils << Pupil{p, p <= 2 ? 9 : 3, QStringLiteral("生徒%1").arg(p)};
    School school(pupils);
    for (int p = 1; p <= 120; ++p)
        hensuu1().bestTime[1][p] = 20 + p;

    // The two fastest are of another grade: the third grade's best stands at rank 3.
    const QStringList third = levelRanking(1, 1, 1, 0, QStringLiteral("小３")).lines;
    QCOMPARE(third.size(), 118);
    QCOMPARE(third.first(), QStringLiteral(" 3③生徒3　　    23 　"));
    QCOMPARE(third[96], QStringLiteral("99③生徒99　   119 　"));
    // Ranks of a hundred and more are shown whole and keep the ranking's order.
    QCOMPARE(third[97], QStringLiteral("100③生徒100   120 　"));
    QCOMPARE(third.last(), QStringLiteral("120③生徒120   140 　"));
}

void TestResultLists::practiceLevelIsHidden()
{
    School school({{12, 3, "島田　颯太"}});
    hensuu1().levelNames[2] = QStringLiteral("レベル３練習");
    const QByteArray bytes = fileOf({record(12, 2, 40)});
    for (ListKind kind : {ListKind::BestTimes, ListKind::TodaysRecords, ListKind::PeriodRecords,
                          ListKind::PointsSoFar, ListKind::PointsToday, ListKind::PeriodPoints}) {
        const ListsView view = computeLists(kind, bytes, requestOn(kToday));
        QVERIFY(view.levels[2].hidden);
        QVERIFY(!view.levels[1].hidden);
        QVERIFY(!view.levels[3].hidden);
    }
}

void TestResultLists::heldFileIsWaitedFor()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    hensuu1().dataFolder = classroom.dataFolder();
    const QByteArray records = fileOf({record(12, 1, 40), record(13, 1, 41)});
    classroom.writeBytes(resultsFilePath(), records);
    int reads = 0;
    fileFaultHook() = [&](FileStep step, const QString &) {
        return step == FileStep::Read && ++reads <= 2 ? kErrorLockHeld : 0;
    };
    QByteArray bytes;
    readResultsForLists(QStringLiteral("Command5"), bytes);
    fileFaultHook() = nullptr;
    QCOMPARE(bytes, records);
    QCOMPARE(fakes.dialogs.messages.size(), 2);
    QVERIFY(fakes.dialogs.messages[0].text.startsWith(QStringLiteral("先生を呼びなさい")));
    QVERIFY(fakes.dialogs.messages[0].text.endsWith(QStringLiteral("70")));

    // A file no PC has written yet holds no records.
    QFile::remove(resultsFilePath());
    readResultsForLists(QStringLiteral("Command5"), bytes);
    QVERIFY(bytes.isEmpty());
    QCOMPARE(fakes.dialogs.messages.size(), 2);
}

void TestResultLists::unreadableFileEndsTheProgram()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    hensuu1().dataFolder = classroom.dataFolder();
    classroom.writeBytes(resultsFilePath(), fileOf({record(12, 1, 40)}));
    fileFaultHook() = [](FileStep step, const QString &) { return step == FileStep::Read ? kErrorIo : 0; };
    QByteArray bytes;
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, readResultsForLists(QStringLiteral("Command7"), bytes));
    fileFaultHook() = nullptr;
    QCOMPARE(fakes.dialogs.endedWith, 1);
    QVERIFY(fakes.dialogs.messages.last().text.startsWith(QStringLiteral("Command7")));
    QVERIFY(fakes.dialogs.messages.last().text.endsWith(QString::number(kErrorIo)));
}

QTEST_GUILESS_MAIN(TestResultLists)
#include "test_result_lists.moc"
