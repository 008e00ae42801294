#include "core/hensuu1.h"
#include "core/levels.h"
#include "drill/drill_run.h"
#include "test_support.h"

#include <QTest>

class TestDrillRun : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void clockKeepsItsTime_data();
    void clockKeepsItsTime();
    void lampRow_data();
    void lampRow();
    void lampsOfTheThreeRows();
    void gauge_data();
    void gauge();
    void statusTexts_data();
    void statusTexts();
    void minutesSinceLogin_data();
    void minutesSinceLogin();
    void timeOut_data();
    void timeOut();
};

void TestDrillRun::clockKeepsItsTime_data()
{
    QTest::addColumn<double>("startOfDay");
    QTest::addColumn<double>("runFor");
    QTest::addColumn<int>("wrongAnswers");
    QTest::addColumn<int>("elapsed");

    QTest::newRow("plain") << 10.0 * 3600 << 95.0 << 0 << 95;
    QTest::newRow("rounded down") << 10.0 * 3600 << 95.4 << 0 << 95;
    QTest::newRow("rounded up") << 10.0 * 3600 << 95.6 << 0 << 96;
    QTest::newRow("one wrong answer") << 10.0 * 3600 << 95.0 << 1 << 125;
    QTest::newRow("three wrong answers") << 10.0 * 3600 << 12.0 << 3 << 102;
    QTest::newRow("across midnight") << 86400.0 - 20 << 50.0 << 0 << 50;
    QTest::newRow("across midnight with a wrong answer") << 86400.0 - 5 << 10.0 << 1 << 40;
    QTest::newRow("a whole day") << 3600.0 << 86400.0 << 0 << 86400;
}

void TestDrillRun::clockKeepsItsTime()
{
    QFETCH(double, startOfDay);
    QFETCH(double, runFor);
    QFETCH(int, wrongAnswers);
    QFETCH(int, elapsed);

    FakeEnvironment fakes;
    fakes.clock.seconds = startOfDay;
    DrillClock clock;
    clock.start(fakes.clock.monotonicMs());
    for (int i = 0; i < wrongAnswers; ++i)
        clock.addPenalty(kWrongAnswerPenaltySeconds);
    fakes.clock.advance(runFor);
    QCOMPARE(clock.elapsedSeconds(fakes.clock.monotonicMs()), elapsed);
}

void TestDrillRun::lampRow_data()
{
    QTest::addColumn<int>("threshold");
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<QList<int>>("out");

    QTest::newRow("far from the threshold") << 60 << 10 << QList<int>{};
    QTest::newRow("eleven seconds before") << 60 << 49 << QList<int>{};
    QTest::newRow("ten seconds before") << 60 << 50 << QList<int>{};
    QTest::newRow("nine seconds before: the first lamp") << 60 << 51 << QList<int>{30};
    QTest::newRow("five seconds before") << 60 << 55 << QList<int>{30, 31, 32, 33, 34};
    QTest::newRow("at the threshold: all ten")
        << 60 << 60 << QList<int>{30, 31, 32, 33, 34, 35, 36, 37, 38, 39};
    QTest::newRow("past the threshold all stay out")
        << 60 << 61 << QList<int>{30, 31, 32, 33, 34, 35, 36, 37, 38, 39};
    QTest::newRow("a jump over the last ten seconds")
        << 60 << 75 << QList<int>{30, 31, 32, 33, 34, 35, 36, 37, 38, 39};
    QTest::newRow("threshold 0 keeps the row lit") << 0 << 1 << QList<int>{};
    QTest::newRow("threshold 0 at the start") << 0 << 0 << QList<int>{};
    QTest::newRow("no record keeps the row lit") << 99999 << 600 << QList<int>{};
}

void TestDrillRun::lampRow()
{
    QFETCH(int, threshold);
    QFETCH(int, elapsed);
    QFETCH(QList<int>, out);
    QCOMPARE(rowLampsOut(threshold, kPassLamps, elapsed), out);
}

void TestDrillRun::lampsOfTheThreeRows()
{
    const LampThresholds thresholds{40, 50, 60};
    QCOMPARE(lampsOutAt(thresholds, 120, 35), (QList<int>{10, 11, 12, 13, 14}));
    QCOMPARE(lampsOutAt({0, 0, 60}, 120, 45), (QList<int>{}));
    QCOMPARE(lampsOutAt({0, 50, 60}, 120, 45), (QList<int>{20, 21, 22, 23, 24}));
    // Ten seconds before the minimum time the "Pass" row goes out from the right too.
    QCOMPARE(lampsOutAt({0, 0, 200}, 120, 110), (QList<int>{}));
    QCOMPARE(lampsOutAt({0, 0, 200}, 120, 111), (QList<int>{30}));
    QCOMPARE(lampsOutAt({0, 0, 200}, 120, 119), (QList<int>{38}));
    QCOMPARE(lampsOutAt({0, 0, 200}, 120, 120), (QList<int>{39}));
    QCOMPARE(lampsOutAt({0, 0, 200}, 120, 121), (QList<int>{}));
    QCOMPARE(lampsOutAt({0, 0, 200}, 0, 0), (QList<int>{39}));

    FakeEnvironment fakes;
    Hensuu1 &h = hensuu1();
    h.currentLevel = 2;
    h.currentPupil = 17;
    h.bestTimeAll[2] = 70;
    h.bestTime[2][17] = 80;
    h.passTime[2] = 90;
    const LampThresholds fromState = lampThresholdsOf(h);
    QCOMPARE(fromState.best, 70);
    QCOMPARE(fromState.yourBest, 80);
    QCOMPARE(fromState.pass, 90);
}

void TestDrillRun::gauge_data()
{
    QTest::addColumn<int>("timeLimit");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<int>("width");

    QTest::newRow("start") << 600 << 0 << 0;
    QTest::newRow("a third") << 600 << 200 << 5035;
    QTest::newRow("at the limit") << 600 << 600 << kGaugeWidth;
    QTest::newRow("past the limit stays in the frame") << 600 << 900 << kGaugeWidth;
    QTest::newRow("no time limit") << 0 << 60 << 0;
}

void TestDrillRun::gauge()
{
    QFETCH(int, timeLimit);
    QFETCH(int, seconds);
    QFETCH(int, width);
    QCOMPARE(gaugeWidthOf(seconds, gaugeScaleFor(timeLimit)), width);
}

void TestDrillRun::statusTexts_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QList<float>>("todayCounts"); // levels 1.. of the pupil
    QTest::addColumn<QString>("today");
    QTest::addColumn<QString>("thisLevel");

    QTest::newRow("first attempt of the day") << 1 << QList<float>{} << "1"
                                              << "1";
    QTest::newRow("later attempts") << 2 << QList<float>{3, 2, 1} << "7"
                                    << "3";
    QTest::newRow("levels past 15 do not count")
        << 1 << QList<float>{1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 5} << "2"
        << "2";
    QTest::newRow("practice level") << 7 << QList<float>{3, 2} << "－"
                                    << "－";
}

void TestDrillRun::statusTexts()
{
    QFETCH(int, level);
    QFETCH(QList<float>, todayCounts);
    QFETCH(QString, today);
    QFETCH(QString, thisLevel);

    FakeEnvironment fakes;
    FillLevelCatalogue();
    SetProgramIdentity();
    Hensuu1 &h = hensuu1();
    h.currentLevel = static_cast<int16_t>(level);
    h.currentPupil = 42;
    h.currentPupilName = QStringLiteral("　山田　花子　　　  ");
    h.schoolName = QStringLiteral("本町教室");
    for (int i = 0; i < todayCounts.size(); ++i)
        h.todayCount[i + 1][42] = todayCounts[i];
    h.todayTotal = todayTotalOf(h);
    const StatusTexts texts = statusTextsOf(h, 10 * 3600);
    QCOMPARE(texts.todayAttempt, today);
    QCOMPARE(texts.thisLevelAttempt, thisLevel);
    QCOMPARE(texts.levelName, h.levelNames[level]);
    QCOMPARE(texts.pupilName, QStringLiteral("　山田　花子　　　"));
    QCOMPARE(texts.schoolName, QStringLiteral("本町教室"));
    QCOMPARE(texts.title, QStringLiteral("Ranvex"));
    QCOMPARE(texts.titlePointSize, 16.8);
    QCOMPARE(titlePointSize(QStringLiteral("1234567890")), 14.0);
    QCOMPARE(titlePointSize(QStringLiteral("123456789")), 16.8);
}

void TestDrillRun::minutesSinceLogin_data()
{
    QTest::addColumn<int>("loginTime");
    QTest::addColumn<double>("timeOfDay");
    QTest::addColumn<QString>("minutes");

    QTest::newRow("first minute") << 36000 << 36059.9 << "0";
    QTest::newRow("one minute") << 36000 << 36060.0 << "1";
    QTest::newRow("an hour") << 36000 << 39600.5 << "60";
    QTest::newRow("across midnight") << 86340 << 120.0 << "3";
    QTest::newRow("just after midnight") << 86399 << 0.4 << "0";
    QTest::newRow("login rounded up, a fraction ahead") << 36001 << 36000.6 << "0";
    QTest::newRow("clock set back a little") << 36000 << 35700.0 << "0";
}

void TestDrillRun::minutesSinceLogin()
{
    QFETCH(int, loginTime);
    QFETCH(double, timeOfDay);
    QFETCH(QString, minutes);
    FakeEnvironment fakes;
    hensuu1().loginTime = loginTime;
    QCOMPARE(minutesSinceLoginText(hensuu1(), timeOfDay), minutes);
}

void TestDrillRun::timeOut_data()
{
    QTest::addColumn<int>("elapsed");
    QTest::addColumn<int>("judgingBusy");
    QTest::addColumn<int>("setCompleted");
    QTest::addColumn<int>("finishing");
    QTest::addColumn<bool>("due");

    QTest::newRow("before the limit") << 599 << 0 << 0 << 0 << false;
    QTest::newRow("at the limit") << 600 << 0 << 0 << 0 << true;
    QTest::newRow("past the limit") << 640 << 0 << 0 << 0 << true;
    QTest::newRow("held back while judging") << 600 << 1 << 0 << 0 << false;
    QTest::newRow("set already completed") << 600 << 0 << 1 << 0 << false;
    QTest::newRow("end of the drill already begun") << 600 << 0 << 0 << 1 << false;
}

void TestDrillRun::timeOut()
{
    QFETCH(int, elapsed);
    QFETCH(int, judgingBusy);
    QFETCH(int, setCompleted);
    QFETCH(int, finishing);
    QFETCH(bool, due);

    FakeEnvironment fakes;
    Hensuu1 &h = hensuu1();
    h.timeLimit = 600;
    h.elapsedSeconds = elapsed;
    h.judgingBusy = static_cast<int16_t>(judgingBusy);
    h.drillEndState = {static_cast<int16_t>(setCompleted), static_cast<int16_t>(finishing)};
    QCOMPARE(timeOutDue(h), due);
    QCOMPARE(mayMakeProblem(h), setCompleted == 0 && judgingBusy == 0);
}

QTEST_GUILESS_MAIN(TestDrillRun)
#include "test_drill_run.moc"
