#include "core/hensuu1.h"
#include "results/criteria_table.h"
#include "test_support.h"

#include <QTest>

#include <limits>

namespace {
const QString kCaptions = QStringLiteral("目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,");

QString criteriaPath(const TestClassroom &classroom) { return classroom.dataFolder() + "タイム回数データ.txt"; }

CriteriaGrid gridOf(const QStringList &lines)
{
    CriteriaGrid rows;
    for (int i = 0; i < lines.size(); ++i)
        rows << (QStringList{QString::number(i)} + lines[i].split(','));
    return rows;
}
} // namespace

class TestCriteriaTable : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void readsGoldenFile();
    void saveWritesExactBytesAndReadsBack();
    void roundTripKeepsEveryField_data();
    void roundTripKeepsEveryField();
    void cellsKeptWhole_data();
    void cellsKeptWhole();
    void cellThatCannotBeKeptIsRefused();
    void multiplierKeptToWhatASingleHolds_data();
    void multiplierKeptToWhatASingleHolds();
    void ignoresLinesAfter35();
    void truncatedLastLineKeepsRestOfLevel();
};

void TestCriteriaTable::readsGoldenFile()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    // Bytes as the editor writes them: code page 932, CR LF, no quotes.
    QByteArray golden = encodeCp932(kCaptions) + "\r\n"
                        "60,120,300,10,1.5,30,,7,0.5,x,,9\r\n"
                        "90,150,abc,9999,2,,1500,,,,,\r\n"
                        "120,200,300,10,1,0,0,7,1,,,\r\n";
    classroom.writeBytes(criteriaPath(classroom), golden);

    QCOMPARE(LoadCriteriaTable(criteriaPath(classroom)), QString());
    const Hensuu1 &h = hensuu1();
    // The caption line gives zeros in the typed fields and texts in the untyped ones.
    QCOMPARE(h.passTime[0], 0);
    QCOMPARE(h.pointMultiplier[0], 0.0f);
    QCOMPARE(h.overuseCount[0], LooseValue::fromField("禁回"));
    QCOMPARE(h.overusePeriodDays[0].text, QStringLiteral("禁期間"));
    QVERIFY(h.criteriaExtra1[0].isEmpty());

    QCOMPARE(h.passTime[1], 60);
    QCOMPARE(h.minimumTime[1], 120);
    QCOMPARE(h.targetPoints[1], 300);
    QCOMPARE(h.targetCount[1], int16_t(10));
    QCOMPARE(h.pointMultiplier[1], 1.5f);
    QCOMPARE(h.overuseCount[1].kind, LooseValue::Kind::Number);
    QCOMPARE(h.overuseCount[1].number(), 30.0);
    QVERIFY(h.overusePoints[1].isEmpty());
    QCOMPARE(h.overusePeriodDays[1].number(), 0.5);
    QCOMPARE(h.criteriaExtra1[1].kind, LooseValue::Kind::Text);
    QCOMPARE(h.criteriaExtra3[1].text, QStringLiteral("9"));

    QCOMPARE(h.targetPoints[2], 0); // not a number in a typed field
    QCOMPARE(h.targetCount[2], int16_t(9999));
    QVERIFY(h.passPeriodDays[2].isEmpty());
    QCOMPARE(h.passTime[3], 120);
}

void TestCriteriaTable::saveWritesExactBytesAndReadsBack()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    const QStringList lines{kCaptions, "60,120,300,10,1.5,30,1500,7,1,,,", "90,150,300,10,2,,,,,a,b,c",
                            "1,2,3,4,5,6,7,8,9,10,11,12"};
    QCOMPARE(SaveCriteriaTable(criteriaPath(classroom), gridOf(lines)), QString());
    QCOMPARE(classroom.readBytes(criteriaPath(classroom)),
             encodeCp932(kCaptions) +
                 "\r\n60,120,300,10,1.5,30,1500,7,1,,,\r\n90,150,300,10,2,,,,,a,b,c\r\n1,2,3,4,5,6,7,8,9,10,11,12\r\n");
    // Saving reloads the table the running program uses.
    QCOMPARE(hensuu1().pointMultiplier[2], 2.0f);
    QCOMPARE(hensuu1().criteriaExtra3[2].text, QStringLiteral("c"));
}

void TestCriteriaTable::roundTripKeepsEveryField_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("whole numbers") << "60,120,300,10,1,30,1500,7,1,,,";
    QTest::newRow("fractions") << "45,90,250,5,1.2,10,500,0.5,2.25,,,";
    QTest::newRow("empty untyped") << "60,120,300,10,1,,,,,,,";
    QTest::newRow("extra columns") << "60,120,300,10,1,0,0,7,1,memo,12,x y";
    QTest::newRow("negative and large") << "-5,99999,2147483647,9999,0.1,-1,0,0,0,,,";
}

void TestCriteriaTable::roundTripKeepsEveryField()
{
    QFETCH(QString, line);
    FakeEnvironment fakes;
    TestClassroom classroom;
    QCOMPARE(SaveCriteriaTable(criteriaPath(classroom), gridOf({kCaptions, line, line, line})), QString());
    for (int level = 1; level <= 3; ++level)
        QCOMPARE(criteriaFieldTexts(level).join(','), line);
}

void TestCriteriaTable::cellsKeptWhole_data()
{
    QTest::addColumn<QString>("cell");
    QTest::addColumn<QByteArray>("written");
    QTest::newRow("plain") << "memo" << QByteArray("memo");
    QTest::newRow("a comma") << "a,b" << QByteArray("\"a,b\"");
    QTest::newRow("a line end") << "a\r\nb" << QByteArray("\"a\r\nb\"");
    QTest::newRow("spaces at the ends") << " 7 " << QByteArray("\" 7 \"");
    QTest::newRow("a quote inside") << "5\"x" << QByteArray("5\"x");
}

void TestCriteriaTable::cellsKeptWhole()
{
    QFETCH(QString, cell);
    QFETCH(QByteArray, written);
    FakeEnvironment fakes;
    TestClassroom classroom;
    const QString line = "60,120,300,10,1,30,1500,7,1,,,";
    CriteriaGrid rows = gridOf({kCaptions, line, line, line});
    rows[2][10] = cell;
    QCOMPARE(SaveCriteriaTable(criteriaPath(classroom), rows), QString());
    QVERIFY(classroom.readBytes(criteriaPath(classroom))
                .contains("\r\n60,120,300,10,1,30,1500,7,1," + written + ",,\r\n"));
    // The cell comes back as it was, and the levels after it keep their values.
    QCOMPARE(hensuu1().criteriaExtra1[2].text, cell);
    QCOMPARE(hensuu1().criteriaExtra2[2].text, QString());
    QCOMPARE(criteriaFieldTexts(3).join(','), line);
}

void TestCriteriaTable::cellThatCannotBeKeptIsRefused()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    const QString line = "60,120,300,10,1,30,1500,7,1,,,";
    QCOMPARE(SaveCriteriaTable(criteriaPath(classroom), gridOf({kCaptions, line, line, line})), QString());
    const QByteArray before = classroom.readBytes(criteriaPath(classroom));
    CriteriaGrid rows = gridOf({kCaptions, line, line, line});
    rows[1][12] = "\"a\",b";
    const QString problem = SaveCriteriaTable(criteriaPath(classroom), rows);
    QVERIFY2(problem.startsWith(QStringLiteral("2行目の12番目の値「\"a\",b」は書けません")),
             qPrintable(problem));
    QCOMPARE(classroom.readBytes(criteriaPath(classroom)), before);
}

void TestCriteriaTable::multiplierKeptToWhatASingleHolds_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<float>("multiplier");
    QTest::addColumn<QString>("savedAs");
    QTest::newRow("1.1") << "1.1" << 1.1f << "1.1";
    QTest::newRow("eight digits") << "1.0000001" << 1.0000001f << "1.0000001";
    QTest::newRow("1e300") << "1e300" << std::numeric_limits<float>::max() << "3.4028235e+38";
    QTest::newRow("-1e300") << "-1e300" << -std::numeric_limits<float>::max() << "-3.4028235e+38";
}

void TestCriteriaTable::multiplierKeptToWhatASingleHolds()
{
    QFETCH(QString, field);
    QFETCH(float, multiplier);
    QFETCH(QString, savedAs);
    FakeEnvironment fakes;
    TestClassroom classroom;
    const QString line = "60,120,300,10," + field + ",30,1500,7,1,,,";
    classroom.writeText(criteriaPath(classroom), kCaptions + "\n" + line + "\n" + line + "\n" + line + "\n");
    QCOMPARE(LoadCriteriaTable(criteriaPath(classroom)), QString());
    QCOMPARE(hensuu1().pointMultiplier[2], multiplier);
    QCOMPARE(criteriaFieldTexts(2)[4], savedAs);
}

void TestCriteriaTable::ignoresLinesAfter35()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    QString text = kCaptions + "\n";
    for (int level = 1; level <= 40; ++level)
        text += QStringLiteral("%1,200,300,10,1,0,0,7,1,,,\n").arg(level);
    classroom.writeText(criteriaPath(classroom), text);
    QCOMPARE(LoadCriteriaTable(criteriaPath(classroom)), QString());
    QCOMPARE(hensuu1().passTime[35], 35);
    QCOMPARE(hensuu1().passTime[34], 34);
}

void TestCriteriaTable::truncatedLastLineKeepsRestOfLevel()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    hensuu1().targetPoints[5] = 777;
    hensuu1().overuseCount[5] = LooseValue::fromField("3");
    classroom.writeText(criteriaPath(classroom), kCaptions + "\n60,120,300,10,1,0,0,7,1,,,\n"
                                                             "60,120,300,10,1,0,0,7,1,,,\n"
                                                             "60,120,300,10,1,0,0,7,1,,,\n"
                                                             "60,120,300,10,1,0,0,7,1,,,\n"
                                                             "45,99");
    QCOMPARE(LoadCriteriaTable(criteriaPath(classroom)), QString());
    QCOMPARE(hensuu1().passTime[5], 45);
    QCOMPARE(hensuu1().minimumTime[5], 99);
    QCOMPARE(hensuu1().targetPoints[5], 777);
    QCOMPARE(hensuu1().overuseCount[5].text, QStringLiteral("3"));
}

QTEST_APPLESS_MAIN(TestCriteriaTable)
#include "test_criteria_table.moc"
