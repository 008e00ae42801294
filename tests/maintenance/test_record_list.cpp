#include "maintenance/record_list.h"
#include "test_support.h"

#include <QTest>

Q_DECLARE_METATYPE(ResultRecord)

namespace
{

const QDate kToday(2026, 12, 9);

RosterRecord rosterLine(int number, int birthYear, const QString &name)
{
    RosterRecord record;
    record.number = static_cast<int16_t>(number);
    record.birthYear = static_cast<int16_t>(birthYear);
    record.name = name.leftJustified(kRosterTextLength, u' ');
    return record;
}

RecordListSource source()
{
    RecordListSource source;
    source.roster = recordListRoster({rosterLine(7, 2017, "山田"), rosterLine(9, 2015, "長谷川由紀子様"),
                                      rosterLine(12, 2014, "石田　蓮")},
                                     kToday, 4);
    source.schoolCode = schoolCodeText("12345");
    source.schoolName = "本町教室";
    return source;
}

ResultRecord record(int pupil, int level, int time, const QString &school = "12345")
{
    ResultRecord r;
    r.date = oleDateOf(QDate(2026, 12, 8));
    r.timeOfDay = (7 * 3600 + 6 * 60 + 29) / 86400.0;
    r.pupil = static_cast<int16_t>(pupil);
    r.level = static_cast<int16_t>(level);
    r.resultTime = time;
    r.schoolCode = schoolCodeText(school);
    return r;
}

} // namespace

class TestRecordList : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void lineLayout_data();
    void lineLayout();
    void gradeLabelOfThisScreen_data();
    void gradeLabelOfThisScreen();
    void listSkipsLevelZeroInRecordOrder();
    void change_data();
    void change();
    void rowToSelectAfterAnEdit_data();
    void rowToSelectAfterAnEdit();
    void panelTexts();
};

void TestRecordList::lineLayout_data()
{
    QTest::addColumn<int>("n");
    QTest::addColumn<ResultRecord>("record");
    QTest::addColumn<QString>("line");
    const QString day = "2026/12/08　  7:06:29";
    QTest::newRow("the example") << 12 << record(7, 3, 45)
                                 << "  12 " + day + "ﾚﾍﾞﾙ3　   45秒 　   7 山田　　　　 小３++本町教室";
    QTest::newRow("another school") << 12 << record(7, 3, 45, "999")
                                    << "  12 " + day + "ﾚﾍﾞﾙ3　   45秒 　   7 山田　　　　 小３++他塾";
    QTest::newRow("pupil not in the roster")
        << 3 << record(4321, 1, 130) << "   3 " + day + "ﾚﾍﾞﾙ1　  130秒 　4321 　　　　　 ++本町教室";
    QTest::newRow("name cut to six") << 3 << record(9, 2, 61)
                                     << "   3 " + day + "ﾚﾍﾞﾙ2　   61秒 　   9 長谷川由紀子 小５++本町教室";
    QTest::newRow("record above 9999 shown whole")
        << 10000 << record(12, 1, 5) << "10000 " + day + "ﾚﾍﾞﾙ1　    5秒 　  12 石田　蓮　　 小６++本町教室";
    QTest::newRow("timed out, pupil outside the tables")
        << 4 << record(-3, 1, kTimedOut) << "   4 " + day + "ﾚﾍﾞﾙ1　99999秒 　  -3 　　　　　 ++本町教室";
}

void TestRecordList::lineLayout()
{
    QFETCH(int, n);
    QFETCH(ResultRecord, record);
    QFETCH(QString, line);
    QCOMPARE(recordListLine(n, record, source()), line);
}

void TestRecordList::gradeLabelOfThisScreen_data()
{
    QTest::addColumn<int>("birthYear");
    QTest::addColumn<QDate>("today");
    QTest::addColumn<QString>("label");
    // The name screen shows 小２ on 31 March and 小３ on 1 April; this screen one lower before April.
    QTest::newRow("before the start month") << 2018 << QDate(2027, 3, 31) << "小１";
    QTest::newRow("from the start month") << 2018 << QDate(2027, 4, 1) << "小３";
    QTest::newRow("last kindergarten year") << 2020 << QDate(2026, 12, 9) << "幼３";
    QTest::newRow("high school first year") << 2010 << QDate(2026, 12, 9) << "高１";
    QTest::newRow("high school second year") << 2009 << QDate(2026, 12, 9) << "";
    QTest::newRow("shifted below kindergarten") << 2020 << QDate(2027, 1, 9) << "";
    QTest::newRow("birth year without a grade, before the start month") << 1850 << QDate(2027, 1, 9) << "";
}

void TestRecordList::gradeLabelOfThisScreen()
{
    QFETCH(int, birthYear);
    QFETCH(QDate, today);
    QFETCH(QString, label);
    const RecordListRoster roster = recordListRoster({rosterLine(5, birthYear, "森")}, today, 4);
    QCOMPARE(roster.gradeLabels[5], label);
    QCOMPARE(roster.comboItems, QStringList{"5 /  森"});
}

void TestRecordList::listSkipsLevelZeroInRecordOrder()
{
    RecordListSource s = source();
    for (int n = 1; n <= 10001; ++n)
        s.bytes += record(7, n == 2 ? 0 : 1, n).toBytes();
    s.bytes += "torn";
    const QList<RecordLine> lines = recordListLines(s);
    QCOMPARE(lines.size(), 10000);
    QCOMPARE(lines[1].record, 3);
    QCOMPARE(lines[9997].record, 9999);
    QCOMPARE(lines[9998].record, 10000);
    QVERIFY(lines[9998].text.startsWith("10000 "));
    QCOMPARE(lines.last().record, 10001);
}

void TestRecordList::change_data()
{
    QTest::addColumn<QString>("combo");
    QTest::addColumn<QString>("time");
    QTest::addColumn<int>("pupil"); // -1: refused
    QTest::addColumn<int>("stored");
    QTest::newRow("44.5 stores 44") << "12 /  石田　蓮"
                                    << "44.5" << 12 << 44;
    QTest::newRow("45.5 stores 46") << "12 /  石田　蓮"
                                    << "45.5" << 12 << 46;
    QTest::newRow("pupil rounded half to even") << "12.5 /"
                                                << " 7 " << 12 << 7;
    QTest::newRow("full-width digits") << "９ / "
                                       << "１２０" << 9 << 120;
    QTest::newRow("timed out") << "7 /  山田"
                               << "99999" << 7 << 99999;
    QTest::newRow("no slash") << "12"
                              << "44" << -1 << 0;
    QTest::newRow("pupil not a number") << "abc / x"
                                        << "44" << -1 << 0;
    QTest::newRow("pupil not on the roster") << "8 /  山田"
                                             << "44" << -1 << 0;
    QTest::newRow("pupil beyond 5000") << "70000 /"
                                       << "44" << -1 << 0;
    QTest::newRow("time not a number") << "7 /"
                                       << "4x" << -1 << 0;
    QTest::newRow("time empty") << "7 /"
                                << "" << -1 << 0;
    QTest::newRow("time negative") << "7 /"
                                   << "-1" << -1 << 0;
    QTest::newRow("time beyond 99999") << "7 /"
                                       << "100000" << -1 << 0;
    QTest::newRow("time beyond any integer") << "7 /"
                                             << "1e300" << -1 << 0;
}

void TestRecordList::change()
{
    QFETCH(QString, combo);
    QFETCH(QString, time);
    QFETCH(int, pupil);
    QFETCH(int, stored);
    ResultRecord read = record(7, 3, 45, "999");
    read.points = pointsText(12);
    read.spare2 = {1, 2, 3, 4, 5};
    const RecordChange change = changedRecord(read, pupilNumberOfCombo(combo), time, source().roster);
    if (pupil < 0) {
        QVERIFY(!change.refusal.isEmpty());
        return;
    }
    QCOMPARE(change.refusal, QString());
    QCOMPARE(int(change.record.pupil), pupil);
    QCOMPARE(change.record.resultTime, stored);
    ResultRecord rest = change.record;
    rest.pupil = read.pupil;
    rest.resultTime = read.resultTime;
    QCOMPARE(rest.toBytes(), read.toBytes());
}

void TestRecordList::rowToSelectAfterAnEdit_data()
{
    QTest::addColumn<QList<int>>("records");
    QTest::addColumn<int>("n");
    QTest::addColumn<int>("row");
    const QList<int> records{1, 2, 4, 5};
    QTest::newRow("the record itself") << records << 2 << 1;
    QTest::newRow("the one after, past an unlisted record") << records << 3 << 2;
    QTest::newRow("the last record was deleted") << records << 6 << 3;
    QTest::newRow("the only record was deleted") << QList<int>{} << 1 << -1;
}

void TestRecordList::rowToSelectAfterAnEdit()
{
    QFETCH(QList<int>, records);
    QFETCH(int, n);
    QFETCH(int, row);
    QList<RecordLine> lines;
    for (int record : records)
        lines.append(RecordLine{record, {}});
    QCOMPARE(rowToSelect(lines, n), row);
}

void TestRecordList::panelTexts()
{
    RecordListSource s = source();
    s.bytes = record(7, 3, 45).toBytes() + record(12, 2, kTimedOut).toBytes() + record(9, 1, -5).toBytes();
    QString refusal;
    EditPanelTexts texts = editPanelTexts(*listedRecord(s, 1, &refusal), s.roster);
    QCOMPARE(texts.record, "1");
    QCOMPARE(texts.level, "ﾚﾍﾞﾙ3");
    QCOMPARE(texts.date, "2026/12/08");
    QCOMPARE(texts.gradeLabel, "小３");
    QCOMPARE(texts.pupil, "7 /  山田");
    QCOMPARE(texts.spinner, 45);
    texts = editPanelTexts(*listedRecord(s, 2, &refusal), s.roster);
    QCOMPARE(texts.time, "99999");
    QCOMPARE(texts.spinner, kSpinnerTop);
    QCOMPARE(editPanelTexts(*listedRecord(s, 3, &refusal), s.roster).spinner, 0);
    QCOMPARE(gradeLabelOfItem("12 /  石田　蓮", s.roster), "小６");
    QVERIFY(!listedRecord(s, 4, &refusal));
    QVERIFY(refusal.contains("3件"));
}

QTEST_GUILESS_MAIN(TestRecordList)
#include "test_record_list.moc"
