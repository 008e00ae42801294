#include "core/handoffs.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/screen_host.h"
#include "drill/MainFrm.h"
#include "results/FrmSyuuryou.h"
#include "results/finish_drill.h"
#include "results/results_file.h"
#include "test_support.h"

#include <QPointer>
#include <QTest>

namespace
{
constexpr int kPupil = 12;

// A monotonic counter that moves on by a fixed step at every look, as the real one
// does while the program waits, and once by a long stall (a sound, a busy disk).
class SteppingClock : public FakeClock
{
public:
    int64_t step = 3;
    int stallAtLook = -1;
    int64_t stallMs = 0;
    mutable int looks = 0;
    mutable int64_t monotonic_ = 5'000'000;

    int64_t monotonicMs() const override
    {
        monotonic_ += ++looks == stallAtLook ? stallMs : step;
        return monotonic_;
    }
};

struct DrillEnd {
    FakeEnvironment fakes;
    SteppingClock clock;
    TestClassroom classroom;
    int menuShown = 0;

    DrillEnd()
    {
        env().clock = &clock;
        classroom.loadConfiguration();
        Hensuu1 &h = hensuu1();
        h.currentPupil = kPupil;
        h.currentLevel = 1;
        h.bestTime[1][kPupil] = 99999;
        h.bestTimeAll[1] = 99999;
        handoffs().showLevelMenu = [this] { ++menuShown; };
        ScreenHost::instance().start(WindowMode::Windowed);
    }
    // The drill screen of a run of the current level, as the end finds it.
    MainFrm *startDrill()
    {
        auto *drill = new MainFrm;
        ScreenHost::instance().show(drill);
        return drill;
    }
    ~DrillEnd() { ScreenHost::instance().closeBackdrop(); }

    QList<ResultRecord> records() const
    {
        const QByteArray bytes = classroom.readBytes(resultsFilePath());
        QList<ResultRecord> list;
        for (int n = 1; n <= recordCountOf(bytes); ++n)
            list << recordAt(bytes, n);
        return list;
    }
};
} // namespace

class TestFinishDrill : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void recordsAndJudgesTheAttempt_data();
    void recordsAndJudgesTheAttempt();
    void targetClearedFromTheLastScan_data();
    void targetClearedFromTheLastScan();
    void waitsInStepsThatDoNotDrift_data();
    void waitsInStepsThatDoNotDrift();
    void finishesOnceAndShowsTheEndScreen();
    void timeOutIsRecordedAsNoTime();
    void practiceLevelIsNotRecorded();
    void levelOfAnotherKindIsLeftOnTheNotice();
};

void TestFinishDrill::recordsAndJudgesTheAttempt_data()
{
    QTest::addColumn<int>("pupil");
    QTest::addColumn<int>("bestBefore");
    QTest::addColumn<int>("bestAllBefore");
    QTest::addColumn<int>("time");
    QTest::addColumn<int>("personalBest");
    QTest::addColumn<int>("bestOfAll");

    QTest::newRow("first attempt") << kPupil << 99999 << 99999 << 80 << 1 << 1;
    QTest::newRow("first attempt, school has a better one") << kPupil << 99999 << 50 << 80 << 1 << 0;
    QTest::newRow("equal to the personal best") << kPupil << 80 << 50 << 80 << 0 << 0;
    QTest::newRow("one second better") << kPupil << 81 << 50 << 80 << 1 << 0;
    QTest::newRow("equal to the school's best") << kPupil << 81 << 80 << 80 << 1 << 0;
    QTest::newRow("better than the school's best") << kPupil << 81 << 81 << 80 << 1 << 1;
    QTest::newRow("time-out on a first attempt") << kPupil << 99999 << 99999 << 99999 << 0 << 0;
    QTest::newRow("slower") << kPupil << 60 << 50 << 80 << 0 << 0;
    // A pupil above 1000 is not in the school's best of the last scan, but an attempt
    // made since is compared with it.
    QTest::newRow("pupil above 1000") << 1500 << 40 << 60 << 50 << 0 << 1;
}

void TestFinishDrill::recordsAndJudgesTheAttempt()
{
    QFETCH(int, pupil);
    QFETCH(int, bestBefore);
    QFETCH(int, bestAllBefore);
    QFETCH(int, time);
    QFETCH(int, personalBest);
    QFETCH(int, bestOfAll);

    DrillEnd end;
    Hensuu1 &h = hensuu1();
    h.currentPupil = int16_t(pupil);
    h.currentLevel = 2;
    h.bestTime[2][pupil] = bestBefore;
    h.bestTimeAll[2] = bestAllBefore;
    h.attemptTime = time;
    RecordAndJudgeAttempt(2);

    QCOMPARE(h.newRecordFlags[0], int16_t(personalBest));
    QCOMPARE(h.newRecordFlags[1], int16_t(bestOfAll));
    QCOMPARE(h.bestTime[2][pupil], std::min(bestBefore, time));
    QCOMPARE(h.bestTimeAll[2], std::min(bestAllBefore, time));
    const QList<ResultRecord> records = end.records();
    QCOMPARE(records.size(), 1);
    QCOMPARE(records[0].pupil, int16_t(pupil));
    QCOMPARE(records[0].level, int16_t(2));
    QCOMPARE(records[0].resultTime, time);
    QCOMPARE(records[0].date, oleDateOf(end.clock.date));
    QCOMPARE(pointsValue(records[0]), 0);
}

void TestFinishDrill::targetClearedFromTheLastScan_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("points");
    QTest::addColumn<int>("cleared");
    // Level 1 asks 300 points and 10 attempts.
    QTest::newRow("both reached") << 10 << 300 << 1;
    QTest::newRow("one attempt short") << 9 << 3000 << 0;
    QTest::newRow("one point short") << 100 << 299 << 0;
}

void TestFinishDrill::targetClearedFromTheLastScan()
{
    QFETCH(int, count);
    QFETCH(int, points);
    QFETCH(int, cleared);
    DrillEnd end;
    Hensuu1 &h = hensuu1();
    h.totalCount[1][kPupil] = int16_t(count);
    h.totalPoints[1][kPupil] = points;
    h.targetCleared = int16_t(1 - cleared);
    h.attemptTime = 30;
    RecordAndJudgeAttempt(1);
    QCOMPARE(h.targetCleared, int16_t(cleared));
}

void TestFinishDrill::waitsInStepsThatDoNotDrift_data()
{
    QTest::addColumn<int>("msPerLook");
    QTest::addColumn<int>("stallMs");
    QTest::newRow("fine ticks") << 1 << 0;
    QTest::newRow("odd ticks") << 7 << 0;
    QTest::newRow("a long stall") << 1 << 500;
    QTest::newRow("a stall past the whole wait") << 2 << 1500;
}

void TestFinishDrill::waitsInStepsThatDoNotDrift()
{
    QFETCH(int, msPerLook);
    QFETCH(int, stallMs);
    DrillEnd end;
    end.clock.step = msPerLook;
    end.clock.stallAtLook = stallMs > 0 ? 3 : -1;
    end.clock.stallMs = stallMs;
    const int64_t start = end.clock.monotonic_ + msPerLook;
    WaitThenShowResult(1);
    const int64_t waited = end.clock.monotonic_ - start;
    // A hundred steps of 10 ms, the last one complete: never less than the second
    // asked for, late by no more than one look, and after a stall one step a look
    // until the count is full.
    const int64_t latest = std::max<int64_t>(1010 + msPerLook, stallMs + 100 * msPerLook + 20);
    QVERIFY2(waited > 1000 && waited <= latest, qPrintable(QString::number(waited)));
    QVERIFY(qobject_cast<FrmSyuuryou *>(ScreenHost::instance().current()));
}

void TestFinishDrill::finishesOnceAndShowsTheEndScreen()
{
    DrillEnd end;
    Hensuu1 &h = hensuu1();
    QPointer<MainFrm> drill = end.startDrill();
    h.elapsedSeconds = 45;
    int nested = 0;
    // The drill clock's time-out may arrive while the first call is under way.
    QTimer::singleShot(0, [&] {
        ++nested;
        FinishDrill();
    });
    FinishDrill();
    // The drill screen showed "成績記録中" and its clock stopped; it goes once the
    // event loop runs again.
    QVERIFY(drill);
    QVERIFY(drill->sPicture2->isVisibleTo(drill));
    QVERIFY(drill->lblsss1->isVisibleTo(drill));
    QVERIFY(!drill->lblsss2->isVisibleTo(drill));
    QVERIFY(!drill->sTimer1->isActive());
    FinishDrill();
    QCOMPARE(h.drillEndState[1], int16_t(1));
    QCOMPARE(h.attemptTime, 45);
    QCOMPARE(end.records().size(), 1);
    QCOMPARE(end.records()[0].resultTime, 45);
    QCOMPARE(nested, 1);
    auto *screen = qobject_cast<FrmSyuuryou *>(ScreenHost::instance().current());
    QVERIFY(screen);
    QCOMPARE(screen->Label18->text(), QStringLiteral("今の成績：45秒"));
    QCOMPARE(h.totalCount[1][kPupil], int16_t(1)); // the end screen's scan sees the new record
    QCOMPARE(h.bestTime[1][kPupil], 45);
}

void TestFinishDrill::timeOutIsRecordedAsNoTime()
{
    DrillEnd end;
    Hensuu1 &h = hensuu1();
    QPointer<MainFrm> drill = end.startDrill();
    h.elapsedSeconds = 600;
    h.timedOut = 1;
    FinishDrill();
    QVERIFY(drill);
    QVERIFY(drill->lblsss2->isVisibleTo(drill));
    QVERIFY(!drill->lblsss1->isVisibleTo(drill));
    QCOMPARE(h.attemptTime, 99999);
    QCOMPARE(end.records().size(), 1);
    QCOMPARE(end.records()[0].resultTime, 99999);
    auto *screen = qobject_cast<FrmSyuuryou *>(ScreenHost::instance().current());
    QVERIFY(screen);
    QCOMPARE(screen->Label18->text(), QStringLiteral("記録なし"));
}

void TestFinishDrill::practiceLevelIsNotRecorded()
{
    DrillEnd end;
    Hensuu1 &h = hensuu1();
    h.currentLevel = 7;
    QVERIFY(isPracticeLevel(7));
    QPointer<MainFrm> drill = end.startDrill();
    h.elapsedSeconds = 45;
    FinishDrill();
    QVERIFY(drill && drill->sPicture2->isVisibleTo(drill));
    QVERIFY(!ScreenHost::instance().backdropShown());
    QVERIFY(end.records().isEmpty());
    QCOMPARE(end.menuShown, 1);
    QCOMPARE(h.newRecordFlags[0], int16_t(0));
}

void TestFinishDrill::levelOfAnotherKindIsLeftOnTheNotice()
{
    DrillEnd end;
    QPointer<MainFrm> drill = end.startDrill();
    hensuu1().levelKind[1] = 2;
    hensuu1().elapsedSeconds = 45;
    FinishDrill();
    QCOMPARE(ScreenHost::instance().current(), drill.data());
    QVERIFY(drill->sPicture2->isVisibleTo(drill));
    QVERIFY(end.records().isEmpty());
    QCOMPARE(end.menuShown, 0);
}

QTEST_MAIN(TestFinishDrill)
#include "test_finish_drill.moc"
