#include "core/hensuu1.h"
#include "results/attempt_points.h"
#include "test_support.h"

#include <QTest>

class TestAttemptPoints : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void basePointsFollowTheCurveAndSteps_data();
    void basePointsFollowTheCurveAndSteps();
    void threeCharacterTime_data();
    void threeCharacterTime();
    void multiplierAtSinglePrecision_data();
    void multiplierAtSinglePrecision();
    void pointsOfALevelUseItsCriteria();
    void lookedUpPointsAgreeWithTheRule_data();
    void lookedUpPointsAgreeWithTheRule();
};

void TestAttemptPoints::basePointsFollowTheCurveAndSteps_data()
{
    QTest::addColumn<int>("time");
    QTest::addColumn<int>("passTime");
    QTest::addColumn<bool>("threeCharacter");
    QTest::addColumn<int>("base");

    QTest::newRow("time 0 tops the curve") << 0 << 100 << false << 55;
    QTest::newRow("half the pass time: 11.25") << 50 << 100 << false << 11;
    QTest::newRow("at the pass time") << 100 << 100 << false << 5;
    QTest::newRow("just over the pass time") << 101 << 100 << false << 4;
    QTest::newRow("one and a half pass times") << 150 << 100 << false << 4;
    QTest::newRow("just under twice") << 199 << 100 << false << 4;
    QTest::newRow("twice the pass time") << 200 << 100 << false << 1;
    QTest::newRow("just under ten times") << 999 << 100 << false << 1;
    QTest::newRow("ten times the pass time") << 1000 << 100 << false << 0;
    QTest::newRow("timed out") << 99999 << 100 << false << 0;
    QTest::newRow("one second in") << 1 << 60 << false << 52;
    QTest::newRow("one second before the pass time") << 59 << 60 << false << 5;
    QTest::newRow("last real time on a long level") << 99997 << 200000 << false << 11;
    QTest::newRow("first no-time value on a long level") << 99998 << 200000 << false << 0;
    QTest::newRow("pass time 0, time 0") << 0 << 0 << false << 0;
    QTest::newRow("pass time 0, time above 0") << 5 << 0 << false << 0;
    QTest::newRow("negative pass time") << 5 << -10 << false << 0;
    QTest::newRow("four digits on the curve") << 1234 << 2000 << false << 7;
    QTest::newRow("four digits, three-character time") << 1234 << 2000 << true << 46;
    QTest::newRow("three digits are the same either way") << 500 << 2000 << true << 26;
    QTest::newRow("three-character time only on the curve") << 2500 << 2000 << true << 4;
}

void TestAttemptPoints::basePointsFollowTheCurveAndSteps()
{
    QFETCH(int, time);
    QFETCH(int, passTime);
    QFETCH(bool, threeCharacter);
    QFETCH(int, base);
    QCOMPARE(basePoints(time, passTime, threeCharacter), base);
}

void TestAttemptPoints::threeCharacterTime_data()
{
    QTest::addColumn<int>("time");
    QTest::addColumn<int>("expected");
    QTest::newRow("0") << 0 << 0;
    QTest::newRow("999") << 999 << 999;
    QTest::newRow("1000") << 1000 << 100;
    QTest::newRow("1234") << 1234 << 123;
    QTest::newRow("99999") << 99999 << 999;
    QTest::newRow("-5") << -5 << -5;
    QTest::newRow("-12") << -12 << -12;
    QTest::newRow("-123") << -123 << -12;
    QTest::newRow("-99999") << -99999 << -99;
}

void TestAttemptPoints::threeCharacterTime()
{
    QFETCH(int, time);
    QFETCH(int, expected);
    QCOMPARE(threeCharacterTimeOf(time), expected);
}

void TestAttemptPoints::multiplierAtSinglePrecision_data()
{
    QTest::addColumn<float>("multiplier");
    QTest::addColumn<int>("base");
    QTest::addColumn<int>("points");
    QTest::newRow("1.5 x 11") << 1.5f << 11 << 16;
    QTest::newRow("1 x 55") << 1.0f << 55 << 55;
    QTest::newRow("2 x 0") << 2.0f << 0 << 0;
    // 0.7 as a single is 0.699999988..., so ten times it stays below 7.
    QTest::newRow("0.7 x 10") << 0.7f << 10 << 6;
    QTest::newRow("1.1 x 10") << 1.1f << 10 << 11;
    QTest::newRow("0.5 x 5") << 0.5f << 5 << 2;
    QTest::newRow("absurd multiplier is held at the largest sum") << 1e30f << 55 << 2147483647;
}

void TestAttemptPoints::multiplierAtSinglePrecision()
{
    QFETCH(float, multiplier);
    QFETCH(int, base);
    QFETCH(int, points);
    QCOMPARE(scaledPoints(multiplier, base), points);
}

void TestAttemptPoints::pointsOfALevelUseItsCriteria()
{
    FakeEnvironment fakes;
    Hensuu1 &h = hensuu1();
    h.passTime[2] = 100;
    h.pointMultiplier[2] = 1.5f;
    h.passTime[3] = 2000;
    h.pointMultiplier[3] = 1;
    QCOMPARE(AttemptPoints(50, 2), 16);
    QCOMPARE(AttemptPoints(99999, 2), 0);
    QCOMPARE(AttemptPoints(1234, 3), 7);
    QCOMPARE(recordPoints(1234, 3), 46);
    QCOMPARE(recordPoints(50, 2), 16);
    QCOMPARE(AttemptPoints(50, 36), 0);
    QCOMPARE(AttemptPoints(50, -1), 0);
}

void TestAttemptPoints::lookedUpPointsAgreeWithTheRule_data()
{
    QTest::addColumn<int>("passTime");
    QTest::addColumn<float>("multiplier");
    QTest::newRow("a usual level") << 90 << 1.5f;
    QTest::newRow("pass time 0") << 0 << 1.0f;
    QTest::newRow("negative pass time") << -20 << 1.0f;
    QTest::newRow("ten pass times beyond the table") << 500 << 0.7f;
    QTest::newRow("pass time beyond the table") << 5000 << 2.0f;
}

void TestAttemptPoints::lookedUpPointsAgreeWithTheRule()
{
    QFETCH(int, passTime);
    QFETCH(float, multiplier);
    FakeEnvironment fakes;
    Hensuu1 &h = hensuu1();
    // A first set of criteria, looked up once, then changed as the editor would.
    h.passTime[5] = 60;
    h.pointMultiplier[5] = 3;
    QCOMPARE(recordPoints(30, 5), scaledPoints(3, basePoints(30, 60, true)));
    h.passTime[5] = passTime;
    h.pointMultiplier[5] = multiplier;

    const RecordPointsOfLevel lookUp(5);
    for (int time = -1500; time <= 12000; ++time) {
        const int expected = scaledPoints(multiplier, basePoints(time, passTime, true));
        if (recordPoints(time, 5) != expected || lookUp(time) != expected)
            QFAIL(qPrintable(QStringLiteral("time %1: %2 and %3, not %4")
                                 .arg(time)
                                 .arg(recordPoints(time, 5))
                                 .arg(lookUp(time))
                                 .arg(expected)));
    }
    for (int time : {99997, 99998, 99999, 2147483647, -2147483647})
        QCOMPARE(lookUp(time), scaledPoints(multiplier, basePoints(time, passTime, true)));
}

QTEST_GUILESS_MAIN(TestAttemptPoints)
#include "test_attempt_points.moc"
