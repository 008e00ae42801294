#include "core/handoffs.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/login_clock.h"
#include "core/screen_host.h"
#include "menu/level_menu_rules.h"
#include "menu/seisekitime1.h"
#include "test_support.h"

#include <QTest>
#include <QTimer>

namespace {
constexpr int kPupil = 7;

// Levels 1..3 of a typical school: targets of 10 attempts and 300 points in the pass
// period, overuse from 5 attempts or 1000 points.
void setUpLevels()
{
    Hensuu1 &h = hensuu1();
    SetProgramIdentity();
    FillLevelCatalogue();
    for (int level = 1; level <= 3; ++level) {
        h.passTime[level] = 60 * level;
        h.targetCount[level] = 10;
        h.targetPoints[level] = 300;
        h.pointMultiplier[level] = 1.5f;
        h.overuseCount[level] = LooseValue::fromField("5");
        h.overusePoints[level] = LooseValue::fromField("1000");
        h.passPeriodDays[level] = LooseValue::fromField("7");
    }
}
} // namespace

class TestLevelMenu : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void columnTexts();
    void headers_data();
    void headers();
    void accessPass_data();
    void accessPass();
    void keys_data();
    void keys();
    void screenStartsLevelsByKeyOnlyWhenAllowed();
};

void TestLevelMenu::columnTexts()
{
    FakeEnvironment fakes;
    setUpLevels();
    Hensuu1 &h = hensuu1();
    QCOMPARE(targetLine(1), QStringLiteral("目標=60秒 10回/300点(×1.5)"));
    h.pointMultiplier[1] = 2.0f;
    QCOMPARE(targetLine(1), QStringLiteral("目標=60秒 10回/300点(×2)"));
    h.pointMultiplier[1] = 1.1f; // not exact in single precision
    QCOMPARE(targetLine(1), QStringLiteral("目標=60秒 10回/300点(×1.1)"));
    h.targetPoints[2] = 9999;
    QCOMPARE(targetLine(2), QStringLiteral("目標=120秒 --------"));
    h.levelKind[3] = 0;
    QCOMPARE(targetLine(3), QStringLiteral("◎=180点以上"));
    QCOMPARE(recentPeriodLine(3, kPupil), QString());

    h.passWindowCount[1][kPupil] = 4;
    h.passWindowPoints[1][kPupil] = 120;
    QCOMPARE(recentPeriodLine(1, kPupil), QStringLiteral("最近7日=4回 / 120点"));
    h.passPeriodDays[1] = LooseValue::fromField("");
    QCOMPARE(recentPeriodLine(1, kPupil), QStringLiteral("最近日=4回 / 120点"));

    QCOMPARE(todayValue(1, kPupil), QStringLiteral("-----"));
    QCOMPARE(soFarValue(1, kPupil), QStringLiteral("------"));
    h.todayCount[1][kPupil] = 2;
    h.todayPoints[1][kPupil] = 75;
    h.totalCount[1][kPupil] = 31;
    h.totalPoints[1][kPupil] = 1234;
    QCOMPARE(todayValue(1, kPupil), QStringLiteral("2回/75点"));
    QCOMPARE(soFarValue(1, kPupil), QStringLiteral("31回/1234点"));
    h.todayCount[2][kPupil] = 3;
    h.todayCount[30][kPupil] = 1;
    QCOMPARE(menuTodayTotal(kPupil), 6);

    // Names are padded with full-width spaces, which stay; only half-width ones go.
    QCOMPARE(pupilHeader("小５", "山田　花子　　  "), QStringLiteral("小５ 山田　花子　　"));
    QCOMPARE(schoolHeader("本町教室", 12), QStringLiteral("本町教室:12"));
    QCOMPARE(todayTotalHeader(3), QStringLiteral("本日総回数＝3回"));
    QCOMPARE(menuTitlePointSize("Ranvex"), 24);
    QCOMPARE(menuTitlePointSize("0123456789"), 20);
    QVERIFY(isTeacherAccount(" 講師 "));
    QVERIFY(!isTeacherAccount("講師補佐"));
}

void TestLevelMenu::headers_data()
{
    QTest::addColumn<int>("loginTime");
    QTest::addColumn<double>("now");
    QTest::addColumn<QString>("header");
    QTest::newRow("59 seconds") << 36000 << 36059.9 << "起動後0分";
    QTest::newRow("60 seconds") << 36000 << 36060.0 << "起動後1分";
    QTest::newRow("an hour") << 36000 << 39600.5 << "起動後60分";
    QTest::newRow("across midnight") << 86340 << 30.0 << "起動後1分";
}

void TestLevelMenu::headers()
{
    QFETCH(int, loginTime);
    QFETCH(double, now);
    QFETCH(QString, header);
    QCOMPARE(minutesHeader(minutesSinceLogin(loginTime, now)), header);
}

void TestLevelMenu::accessPass_data()
{
    // Statistics per level 1..3: overuse-window count and points, pass-window count and points.
    QTest::addColumn<QList<int>>("overuseCounts");
    QTest::addColumn<QList<int>>("overusePoints");
    QTest::addColumn<QList<int>>("passCounts");
    QTest::addColumn<QList<int>>("passPoints");
    QTest::addColumn<bool>("teacher");
    QTest::addColumn<int>("allLevelsOpen");
    QTest::addColumn<QString>("enabled"); // one character per level: E enabled, - disabled, B banned
    QTest::newRow("fresh pupil") << QList<int>{0, 0, 0} << QList<int>{0, 0, 0} << QList<int>{0, 0, 0}
                                 << QList<int>{0, 0, 0} << false << 1 << "EEE";
    QTest::newRow("one below the overuse count") << QList<int>{4, 0, 0} << QList<int>{0, 0, 0}
                                                 << QList<int>{0, 0, 0} << QList<int>{0, 0, 0} << false << 1
                                                 << "EEE";
    QTest::newRow("exactly the overuse count") << QList<int>{5, 0, 0} << QList<int>{0, 0, 0}
                                               << QList<int>{0, 0, 0} << QList<int>{0, 0, 0} << false << 1
                                               << "BEE";
    QTest::newRow("overuse points") << QList<int>{0, 1000, 0} << QList<int>{0, 1000, 0} << QList<int>{0, 0, 0}
                                    << QList<int>{0, 0, 0} << false << 1 << "EBE";
    QTest::newRow("last level never banned") << QList<int>{9, 9, 9} << QList<int>{0, 0, 0}
                                             << QList<int>{0, 0, 0} << QList<int>{0, 0, 0} << false << 1
                                             << "BBE";
    QTest::newRow("goal level cleared lifts every ban") << QList<int>{9, 9, 9} << QList<int>{0, 0, 0}
                                                        << QList<int>{0, 0, 10} << QList<int>{0, 0, 300} << false
                                                        << 1 << "EEE";
    QTest::newRow("closed levels: nothing passed") << QList<int>{0, 0, 0} << QList<int>{0, 0, 0}
                                                   << QList<int>{0, 0, 0} << QList<int>{0, 0, 0} << false << 0
                                                   << "E--";
    QTest::newRow("closed levels: level 1 passed") << QList<int>{0, 0, 0} << QList<int>{0, 0, 0}
                                                   << QList<int>{10, 0, 0} << QList<int>{300, 0, 0} << false << 0
                                                   << "EE-";
    QTest::newRow("closed levels: teacher") << QList<int>{0, 0, 0} << QList<int>{0, 0, 0} << QList<int>{0, 0, 0}
                                            << QList<int>{0, 0, 0} << true << 0 << "EEE";
    QTest::newRow("teacher is banned like anyone") << QList<int>{5, 0, 0} << QList<int>{0, 0, 0}
                                                   << QList<int>{0, 0, 0} << QList<int>{0, 0, 0} << true << 1
                                                   << "BEE";
}

void TestLevelMenu::accessPass()
{
    QFETCH(QList<int>, overuseCounts);
    QFETCH(QList<int>, overusePoints);
    QFETCH(QList<int>, passCounts);
    QFETCH(QList<int>, passPoints);
    QFETCH(bool, teacher);
    QFETCH(int, allLevelsOpen);
    QFETCH(QString, enabled);
    FakeEnvironment fakes;
    setUpLevels();
    Hensuu1 &h = hensuu1();
    h.allLevelsOpen = static_cast<int16_t>(allLevelsOpen);
    for (int level = 1; level <= 3; ++level) {
        h.overuseWindowCount[level][kPupil] = static_cast<int16_t>(overuseCounts[level - 1]);
        h.overuseWindowPoints[level][kPupil] = overusePoints[level - 1];
        h.passWindowCount[level][kPupil] = static_cast<int16_t>(passCounts[level - 1]);
        h.passWindowPoints[level][kPupil] = passPoints[level - 1];
    }
    const LevelAccess access = LevelAccessPass(kPupil, teacher);
    QString seen;
    for (int level = 1; level <= 3; ++level)
        seen += access.banned[level] ? 'B' : access.enabled[level] ? 'E' : '-';
    QCOMPARE(seen, enabled);
    QCOMPARE(access.finalTargetCleared, int16_t(passCounts[2] >= 10 && passPoints[2] >= 300));
}

void TestLevelMenu::keys_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<int>("levelCount");
    QTest::addColumn<int>("level");
    QTest::newRow("1") << "1" << 3 << 1;
    QTest::newRow("3") << "3" << 3 << 3;
    QTest::newRow("4 beyond three levels") << "4" << 3 << 0;
    QTest::newRow("a is level 10") << "a" << 13 << 10;
    QTest::newRow("d is level 13") << "d" << 13 << 13;
    QTest::newRow("capital A starts nothing") << "A" << 13 << 0;
    QTest::newRow("e starts nothing") << "e" << 13 << 0;
    QTest::newRow("full-width digit") << "１" << 3 << 0;
}

void TestLevelMenu::keys()
{
    QFETCH(QString, key);
    QFETCH(int, levelCount);
    QFETCH(int, level);
    QCOMPARE(levelForKey(key, levelCount), level);
}

void TestLevelMenu::screenStartsLevelsByKeyOnlyWhenAllowed()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    classroom.loadConfiguration();
    classroom.writeBytes(classroom.dataFolder() + "成績累積データ.dat", {});
    hensuu1().currentPupil = kPupil;
    hensuu1().currentPupilName = "山田　花子";
    hensuu1().loginTime = 36000;
    fakes.clock.seconds = 36000 + 125;
    int drills = 0;
    int nameScreens = 0;
    handoffs().startDrill = [&] { ++drills; };
    handoffs().showNameSelection = [&] { ++nameScreens; };
    OpenLevelMenu(); // no level menu wired: fills the catalogue only

    ScreenHost &host = ScreenHost::instance();
    host.start(WindowMode::Windowed);
    auto *menu = new seisekitime1;
    host.show(menu);
    QCOMPARE(menu->menuReady, int16_t(1));
    QCOMPARE(menu->Label17->text(), QStringLiteral("起動後2分"));
    QCOMPARE(menu->Label9[1]->text(), QStringLiteral("今日"));
    QCOMPARE(menu->Label14[1]->text(), QStringLiteral("-----"));
    QVERIFY(!menu->Command8->isVisible());
    QCOMPARE(menu->Command4[2]->text(), QStringLiteral("ｽﾀｰﾄ(&2)"));
    QCOMPARE(menu->Label3[3]->x() - menu->Label3[1]->x(), 2 * twips(4864));

    QTest::keyClick(menu, Qt::Key_4);
    QTest::keyClick(menu, Qt::Key_A, Qt::ShiftModifier);
    QCOMPARE(drills, 0);

    menu->Command4[2]->setEnabled(false);
    QTest::keyClick(menu, Qt::Key_2);
    QCOMPARE(drills, 0);
    QTest::keyClick(menu, Qt::Key_3);
    QCOMPARE(drills, 1);
    QCOMPARE(hensuu1().currentLevel, int16_t(3));
    QCOMPARE(menu->menuReady, int16_t(0));
    QTest::keyClick(menu, Qt::Key_1); // not ready once a level has been started
    QCOMPARE(drills, 1);

    // Presses queued behind a start (key repeat, a double press) start nothing more.
    menu->menuReady = 1;
    QTimer::singleShot(0, menu, [menu] { // runs while the start lets events run
        QTest::keyClick(menu, Qt::Key_3);
        QTest::keyClick(menu, Qt::Key_0);
    });
    QTest::keyClick(menu, Qt::Key_3);
    QCOMPARE(drills, 2);
    QCOMPARE(nameScreens, 0);

    menu->menuReady = 1;
    QTest::keyClick(menu, Qt::Key_0);
    QCOMPARE(nameScreens, 1);
}

QTEST_MAIN(TestLevelMenu)
#include "test_level_menu.moc"
