// One pupil's round through the whole program, driven by keys alone: start-up, the
// name, level 1, ten problems, the end screen, the menu and back to the names.
#include "app/wiring.h"
#include "core/Firstfrm.h"
#include "core/hensuu1.h"
#include "core/screen_host.h"
#include "drill/MainFrm.h"
#include "drill/answer_entry.h"
#include "menu/seisekitime1.h"
#include "pupils/name_list.h"
#include "pupils/namesel.h"
#include "results/FrmSyuuryou.h"
#include "results/results_file.h"
#include "test_support.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>

namespace {
// A clock on a fixed school day whose seconds run with real time, so that the
// program's own timers and waits behave as in a classroom.
class RunningClock : public Clock {
public:
    RunningClock() { m_timer.start(); }
    QDate today() const override { return {2026, 12, 9}; }
    double timeOfDay() const override { return 15 * 3600 + m_timer.elapsed() / 1000.0; }
    int64_t monotonicMs() const override { return m_timer.elapsed(); }

private:
    QElapsedTimer m_timer;
};

template <typename T> T *shown() { return qobject_cast<T *>(ScreenHost::instance().current()); }

void press(const QString &keys)
{
    for (QChar key : keys) {
        QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : ScreenHost::instance().current();
        QTest::keyClick(target, key.toLatin1());
    }
}

void pressKey(Qt::Key key)
{
    QWidget *target = QApplication::focusWidget() ? QApplication::focusWidget() : ScreenHost::instance().current();
    QTest::keyClick(target, key);
}
} // namespace

class TestRound : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void pupilDrillsLevelOneAndSeesTheNewCounts();
    void minutesSinceLogin_data();
    void minutesSinceLogin();
};

void TestRound::pupilDrillsLevelOneAndSeesTheNewCounts()
{
    FakeEnvironment fakes;
    RunningClock clock;
    env().clock = &clock;
    TestClassroom classroom;
    classroom.writeConfiguration();
    classroom.writeText(classroom.sharedFolder() + "新名簿.txt",
                        "1,2014,0,0,\"青木　ひなた\",0,\"\",\"\"\n"
                        "2,2012,0,0,\"石田　蓮\",0,\"\",\"\"\n");
    classroom.writeText(classroom.sharedFolder() + "音フォルダ/新音ファイル.txt",
                        "正解音2,pinpon,*\n間違い音2,bubu,*\n自己最高音2,yatta,*\n不合格音1,zannen,*\n");
    wireSubsystems();

    ScreenHost &host = ScreenHost::instance();
    host.start(WindowMode::Windowed);
    host.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&host));
    auto *splash = new Firstfrm(classroom.programFolder());
    host.show(splash);
    QCOMPARE(host.windowTitle(), QStringLiteral("Ranvex"));
    splash->start();
    QTRY_VERIFY(shown<namesel>());
    // The taskbar names the form on screen.
    QCOMPARE(host.windowTitle(), QStringLiteral("kelvane"));

    // The name list has the focus: Down picks the oldest pupil, Enter confirms.
    namesel *names = shown<namesel>();
    QVERIFY(names->List1->hasFocus());
    pressKey(Qt::Key_Down);
    QCOMPARE(names->Label1->text(), QStringLiteral("中2 石田　蓮　　"));
    pressKey(Qt::Key_Return);
    QTRY_VERIFY(shown<seisekitime1>());
    seisekitime1 *menu = shown<seisekitime1>();
    QCOMPARE(hensuu1().currentPupil, int16_t(2));
    QCOMPARE(menu->Label14[1]->text(), QStringLiteral("-----"));

    press("1");
    QTRY_VERIFY(shown<MainFrm>());
    QCOMPARE(host.windowTitle(), QStringLiteral("Kelvane"));
    for (int problem = 1; problem <= 10; ++problem) {
        MainFrm *drill = shown<MainFrm>();
        QVERIFY2(drill, qPrintable(QStringLiteral("problem %1").arg(problem)));
        for (int position = 2; position <= drill->sheet().stepCount(); ++position)
            press(keysTyping(drill->sheet().stepText(position)) + ' ');
    }

    QTRY_VERIFY_WITH_TIMEOUT(shown<FrmSyuuryou>(), 10000);
    QCOMPARE(host.windowTitle(), QStringLiteral("終了"));
    QByteArray bytes;
    QVERIFY(readResultsBytes(classroom.dataFolder() + "成績累積データ.dat", bytes).ok());
    QCOMPARE(recordCountOf(bytes), 1);
    const ResultRecord record = recordAt(bytes, 1);
    QCOMPARE(record.pupil, int16_t(2));
    QCOMPARE(record.level, int16_t(1));
    QVERIFY(record.resultTime < 60);

    // Enter presses "メニューへ", which has the focus once the end screen is ready.
    FrmSyuuryou *end = shown<FrmSyuuryou>();
    QTRY_VERIFY(end->Command4->isVisible() && end->Command4->isEnabled() && end->Command4->hasFocus());
    pressKey(Qt::Key_Return);
    QTRY_VERIFY(shown<seisekitime1>());
    menu = shown<seisekitime1>();
    QTRY_COMPARE(menu->menuReady, int16_t(1));
    const int points = hensuu1().todayPoints[1][2];
    QVERIFY(points > 0);
    QCOMPARE(menu->Label14[1]->text(), QStringLiteral("1回/%1点").arg(points));
    QCOMPARE(menu->Label18->text(), QStringLiteral("本日総回数＝1回"));
    QCOMPARE(host.windowTitle(), QStringLiteral("kelvane"));

    press("0");
    QTRY_VERIFY(shown<namesel>());
    names = shown<namesel>();
    QCOMPARE(names->List1->item(1)->text(),
             QStringLiteral("中2 石田　蓮　　") + todayPointsText(points) + "/" + pointsSoFarText(points));
    QCOMPARE(fakes.dialogs.messages.size(), 0);
}

void TestRound::minutesSinceLogin_data()
{
    QTest::addColumn<double>("loginAt");
    QTest::addColumn<double>("drillAt");
    QTest::addColumn<QString>("drillMinutes");
    // The name is confirmed at loginAt and the menu opens in that same moment.
    QTest::newRow("menu within the second the login was rounded up to") << 36000.6 << 36059.0 << "0";
    QTest::newRow("menu in the rounded-down half") << 36000.4 << 36120.0 << "2";
    QTest::newRow("drill after midnight") << 86390.6 << 86400.0 + 290 << "4";
}

// What the level menu and the drill screen show of the time since the name was confirmed.
void TestRound::minutesSinceLogin()
{
    QFETCH(double, loginAt);
    QFETCH(double, drillAt);
    QFETCH(QString, drillMinutes);
    FakeEnvironment fakes;
    TestClassroom classroom;
    classroom.loadConfiguration();
    classroom.writeBytes(classroom.dataFolder() + "成績累積データ.dat", {});
    classroom.writeText(classroom.sharedFolder() + "新名簿.txt", "1,2014,0,0,\"青木　ひなた\",0,\"\",\"\"\n");
    wireSubsystems();
    ScreenHost &host = ScreenHost::instance();
    host.start(WindowMode::Windowed);
    fakes.clock.seconds = loginAt;

    auto *names = new namesel;
    host.show(names);
    names->List1->setCurrentRow(1);
    names->confirm();
    QTRY_VERIFY(shown<seisekitime1>());
    QTRY_COMPARE(shown<seisekitime1>()->menuReady, int16_t(1));
    QCOMPARE(shown<seisekitime1>()->Label17->text(), QStringLiteral("起動後0分"));

    fakes.clock.advance(drillAt - loginAt);
    press("1");
    QTRY_VERIFY(shown<MainFrm>());
    QCOMPARE(shown<MainFrm>()->sLabel13->text(), drillMinutes);
    shown<MainFrm>()->sTimer1->stop();
}

QTEST_MAIN(TestRound)
#include "test_round.moc"
