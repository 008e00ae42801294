#include "pupils/name_list.h"
#include "pupils/roster.h"
#include "test_support.h"

#include <QTest>

namespace {
const QString F = QStringLiteral("　"); // the full-width space names are padded with

NameListPupil pupil(int number, int birthYear, const QString &label, int gradeInSchool, const QString &name)
{
    NameListPupil p;
    p.number = static_cast<int16_t>(number);
    p.birthYear = static_cast<int16_t>(birthYear);
    p.displayLabel = label;
    p.gradeInSchool = gradeInSchool;
    p.name = name + QString(20 - name.size(), ' ');
    return p;
}
} // namespace

class TestNameList : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void figureTexts_data();
    void figureTexts();
    void sortLines_data();
    void sortLines();
    void listIsSortedAndFiltered_data();
    void listIsSortedAndFiltered();
    void chosenName();
    void figuresAreSummedOverTheLevels();
};

void TestNameList::figureTexts_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("today's attempts") << todayAttemptsText(3) << "  3回";
    QTest::newRow("today's attempts, two digits") << todayAttemptsText(12) << " 12回";
    QTest::newRow("today's attempts, none") << todayAttemptsText(0) << "     ";
    QTest::newRow("attempts so far") << attemptsSoFarText(123) << "  123回";
    QTest::newRow("attempts so far, none") << attemptsSoFarText(0) << "     " + F;
    QTest::newRow("attempts so far, six digits keep the last five") << attemptsSoFarText(123456) << "23456回";
    QTest::newRow("today's points") << todayPointsText(55) << "  55";
    QTest::newRow("today's points, none") << todayPointsText(0) << "  " + F;
    QTest::newRow("points so far") << pointsSoFarText(1234) << "   1234";
    QTest::newRow("points so far, none") << pointsSoFarText(0) << "       ";
    QTest::newRow("points so far beyond seven digits") << pointsSoFarText(123456789) << "3456789";
}

void TestNameList::figureTexts()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(text, expected);
}

void TestNameList::sortLines_data()
{
    QTest::addColumn<int>("view");
    QTest::addColumn<int>("gradeInSchool");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("line");
    // Figures of every row: 2 attempts and 90 points today, 40 attempts and 1500 points so far.
    QTest::newRow("view 0") << 0 << 5 << "小5" << "山田" << "2010小5 山田" + F.repeated(4) + "  2回/   40回*12";
    QTest::newRow("view 1") << 1 << 5 << "小5" << "山田" << "2010小5 山田" + F.repeated(4) + "  90/   1500*12";
    QTest::newRow("view 2") << 2 << 5 << "小5" << "山田" << "2010小5 山田" + F.repeated(4) + "  90/  2回*12";
    QTest::newRow("view 3") << 3 << 5 << "小5" << "山田" << "2010小5 山田" + F.repeated(4) + "   1500/   40回*12";
    QTest::newRow("kindergarten pads to 11") << 0 << -6 << "幼3" << "山田" << "2010幼3 山田" + F.repeated(6) +
                                                                               "  2回/   40回*12";
    QTest::newRow("view 1 always pads to 9") << 1 << -6 << "幼3" << "山田" << "2010幼3 山田" + F.repeated(4) +
                                                                                "  90/   1500*12";
    QTest::newRow("name already filling the width") << 1 << 5 << "小5" << "長谷川太郎丸" << "2010小5 長谷川太郎丸"
                                                                                              "  90/   1500*12";
    QTest::newRow("longer name is not cut") << 1 << 5 << "小5" << "長谷川太郎丸子"
                                            << "2010小5 長谷川太郎丸子  90/   1500*12";
    // Blank where the label stands, as wide, and after the youngest pupils.
    QTest::newRow("no grade") << 0 << kNoGrade << ""
                              << "山田"
                              << "9999　  山田" + F.repeated(4) + "  2回/   40回*12";
}

void TestNameList::sortLines()
{
    QFETCH(int, view);
    QFETCH(int, gradeInSchool);
    QFETCH(QString, label);
    QFETCH(QString, name);
    QFETCH(QString, line);
    NameListPupil p = pupil(12, 2010, label, gradeInSchool, name);
    p.todayCount = 2;
    p.todayPoints = 90;
    p.totalCount = 40;
    p.totalPoints = 1500;
    QCOMPARE(nameListSortLine(p, static_cast<NameListView>(view)), line);
}

void TestNameList::listIsSortedAndFiltered_data()
{
    QTest::addColumn<QString>("filter");
    QTest::addColumn<QList<int>>("pupils"); // in list order, after the header line
    // Pupil 7's birth year 20150 gives no grade: listed last, under "全学年" only.
    QTest::newRow("all grades, oldest first") << "全学年" << QList<int>{5, 3, 1, 2, 4, 6, 7};
    QTest::newRow("elementary") << "小学生全体" << QList<int>{1, 2, 4};
    QTest::newRow("junior high") << "中学生全体" << QList<int>{3};
    QTest::newRow("one grade") << "小５" << QList<int>{1, 2};
    QTest::newRow("no match") << "中１" << QList<int>{};
    QTest::newRow("family is everyone with a grade") << "家族" << QList<int>{5, 3, 1, 2, 4, 6};
}

void TestNameList::listIsSortedAndFiltered()
{
    QFETCH(QString, filter);
    QFETCH(QList<int>, pupils);
    // In school year 2021 the grade number is 2021 - birth year - 6.
    const QList<NameListPupil> roster{
        pupil(1, 2010, "小5", 5, "佐藤"),      pupil(2, 2010, "小5", 5, "鈴木"),
        pupil(3, 2007, "中2", 2, "高橋"),      pupil(4, 2013, "小2", 2, "田中"),
        pupil(5, 2003, "高3", 3, "伊藤"),      pupil(6, 2021, "幼-", -12, "渡辺"),
        pupil(7, 20150, "", kNoGrade, "小林"),
    };
    const QList<NameListLine> lines = buildNameList(roster, NameListView::Points, filter, 2021);
    QCOMPARE(lines.first().text, QStringLiteral("－－－－－－"));
    QCOMPARE(lines.first().pupil, 0);
    QList<int> listed;
    for (int i = 1; i < lines.size(); ++i) {
        listed << lines[i].pupil;
        QVERIFY(!lines[i].text.contains('*'));
        QVERIFY(!lines[i].text.startsWith("20"));
    }
    QCOMPARE(listed, pupils);
}

void TestNameList::chosenName()
{
    const QString line = "小5 山田" + F.repeated(3) + "  90/   1500";
    QCOMPARE(chosenNameOfSelected(line), "小5 山田" + F.repeated(3));
    QCOMPARE(chosenNameOfDoubleClicked(line), "小5 山田" + F.repeated(3) + "  90");
}

void TestNameList::figuresAreSummedOverTheLevels()
{
    FakeEnvironment fakes;
    resetRosterTables();
    RosterTables &roster = rosterTables();
    roster.activePupilCount = 1;
    roster.rosterRecords[1].number = 7;
    roster.rosterRecords[1].birthYear = 2010;
    roster.schoolYear = 2021;
    Hensuu1 &h = hensuu1();
    h.todayCount[1][7] = 2;
    h.todayCount[35][7] = 1;
    h.totalCount[2][7] = 30;
    h.todayPoints[1][7] = 40;
    // Each level's sum fits 32 bits, the pupil's sum over the levels does not.
    h.totalPoints[1][7] = INT32_MAX;
    h.totalPoints[2][7] = INT32_MAX;
    const QList<NameListPupil> pupils = nameListPupils(roster, h);
    QCOMPARE(pupils.size(), 1);
    QCOMPARE(pupils[0].displayLabel, QStringLiteral("小5"));
    QCOMPARE(pupils[0].todayCount, 3.0);
    QCOMPARE(pupils[0].totalCount, 30);
    QCOMPARE(pupils[0].todayPoints, 40);
    QCOMPARE(pupils[0].totalPoints, INT32_MAX);
}

QTEST_APPLESS_MAIN(TestNameList)
#include "test_name_list.moc"
