#include "core/handoffs.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/screen_host.h"
#include "drill/sounds.h"
#include "results/FrmSyuuryou.h"
#include "results/end_screen_rules.h"
#include "results/results_file.h"
#include "test_support.h"

#include <QFileInfo>
#include <QTest>
#include <functional>

namespace
{
constexpr int kPupil = 7;

void appendToday(const FakeEnvironment &fakes, QByteArray &file, int level, int time, int count)
{
    for (int i = 0; i < count; ++i) {
        ResultRecord r;
        r.date = oleDateOf(fakes.clock.date);
        r.timeOfDay = 0.25;
        r.pupil = kPupil;
        r.level = static_cast<int16_t>(level);
        r.resultTime = time;
        file += r.toBytes();
    }
}

struct EndScreenClassroom {
    FakeEnvironment fakes;
    TestClassroom classroom;
    int menuShown = 0;
    int drillsStarted = 0;

    EndScreenClassroom()
    {
        // Level 1: pass 60 s, minimum 120 s, multiplier 1; level 2: 90, 150, 1.5;
        // level 3 (the goal): 120, 200, 2. Each clears with 300 points and 10 attempts
        // in 7 days; 30 attempts or 1500 points in a day are too many.
        classroom.loadConfiguration();
        Hensuu1 &h = hensuu1();
        h.currentPupil = kPupil;
        h.currentPupilName = QStringLiteral("  山田　花子　 ");
        fillSoundTable(QStringLiteral("自己最高音2,jikosaikou,*,不合格音1,fugoukaku,*"));
        handoffs().showLevelMenu = [this] { ++menuShown; };
        handoffs().startDrill = [this] { ++drillsStarted; };
        ScreenHost::instance().start(WindowMode::Windowed);
    }
    ~EndScreenClassroom() { ScreenHost::instance().closeBackdrop(); }
    Hensuu1 &hensuu() const { return hensuu1(); }

    FrmSyuuryou *show()
    {
        ScreenHost::instance().showBackdrop();
        auto *screen = new FrmSyuuryou;
        ScreenHost::instance().show(screen);
        return screen;
    }
};

QStringList soundsPlayed(const FakeSoundOutput &sound)
{
    QStringList names;
    for (const QString &file : sound.played)
        names << QFileInfo(file).completeBaseName();
    return names;
}
} // namespace

class TestEndScreen : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void texts_data();
    void texts();
    void messageAndSound_data();
    void messageAndSound();
    void buttonsAfterTheResult_data();
    void buttonsAfterTheResult();
    void screenShowsTheResult_data();
    void screenShowsTheResult();
    void buttonsWaitForALongSound();
    void onceMoreStartsTheSameLevel();
    void menuButtonAndEnterKey();
};

void TestEndScreen::texts_data()
{
    QTest::addColumn<int>("time");
    QTest::addColumn<int>("passTime");
    QTest::addColumn<float>("multiplier");
    QTest::addColumn<QString>("points");
    QTest::addColumn<QString>("result");

    QTest::newRow("half the pass time") << 50 << 100 << 1.5f << "獲得ポイント：11点×1.5→16点"
                                        << "今の成績：50秒";
    QTest::newRow("time 0, multiplier 2") << 0 << 100 << 2.0f << "獲得ポイント：55点×2→110点"
                                          << "今の成績：0秒";
    QTest::newRow("multiplier of one decimal") << 50 << 100 << 0.7f << "獲得ポイント：11点×0.7→7点"
                                               << "今の成績：50秒";
    QTest::newRow("last real time") << 99997 << 100 << 1.0f << "獲得ポイント：0点×1→0点"
                                    << "今の成績：99997秒";
    QTest::newRow("no time") << 99998 << 100 << 1.0f << "獲得ポイント：0点×1→0点"
                             << "記録なし";
    QTest::newRow("timed out") << 99999 << 100 << 1.5f << "獲得ポイント：0点×1.5→0点"
                               << "記録なし";
}

void TestEndScreen::texts()
{
    QFETCH(int, time);
    QFETCH(int, passTime);
    QFETCH(float, multiplier);
    QFETCH(QString, points);
    QFETCH(QString, result);
    FakeEnvironment fakes;
    hensuu1().passTime[4] = passTime;
    hensuu1().pointMultiplier[4] = multiplier;
    QCOMPARE(pointsCalculationText(time, 4), points);
    QCOMPARE(resultTimeText(time), result);
    QCOMPARE(levelCountText(3), QStringLiteral(" (このレベル　3回目)"));
    QCOMPARE(todayTotalText(12), QStringLiteral("（12回目)"));
    QCOMPARE(firstLevelCountText(0), QStringLiteral("1"));
}

void TestEndScreen::messageAndSound_data()
{
    QTest::addColumn<int>("timedOut");
    QTest::addColumn<int>("bestOfAll");
    QTest::addColumn<int>("personalBest");
    QTest::addColumn<int>("time");
    QTest::addColumn<int>("message");

    using M = EndMessage;
    QTest::newRow("time-out beats everything") << 1 << 1 << 1 << 99999 << int(M::TimedOut);
    QTest::newRow("best of all beats personal best") << 0 << 1 << 1 << 40 << int(M::BestOfAll);
    QTest::newRow("personal best") << 0 << 0 << 1 << 40 << int(M::PersonalBest);
    QTest::newRow("at the minimum line") << 0 << 0 << 0 << 150 << int(M::WithinMinimum);
    QTest::newRow("under the minimum line") << 0 << 0 << 0 << 149 << int(M::WithinMinimum);
    QTest::newRow("slower than the minimum line") << 0 << 0 << 0 << 151 << int(M::None);
}

void TestEndScreen::messageAndSound()
{
    QFETCH(int, timedOut);
    QFETCH(int, bestOfAll);
    QFETCH(int, personalBest);
    QFETCH(int, time);
    QFETCH(int, message);
    QCOMPARE(int(endMessageOf(int16_t(timedOut), int16_t(bestOfAll), int16_t(personalBest), time, 150)),
             message);
}

void TestEndScreen::buttonsAfterTheResult_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("overuseCount");
    QTest::addColumn<QString>("overusePoints");
    QTest::addColumn<int>("windowCount");
    QTest::addColumn<int>("windowPoints");
    QTest::addColumn<bool>("cleared");
    QTest::addColumn<int>("finalTargetCleared");
    QTest::addColumn<bool>("onceMore");
    QTest::addColumn<bool>("clearLabel2");
    QTest::addColumn<bool>("sendOn");

    QTest::newRow("not overused") << 1 << "30"
                                  << "1500" << 29 << 1499 << true << 0 << true << false << false;
    QTest::newRow("count limit reached, not cleared")
        << 1 << "30"
        << "1500" << 30 << 0 << false << 0 << true << false << false;
    QTest::newRow("count limit reached and cleared")
        << 1 << "30"
        << "1500" << 30 << 0 << true << 0 << false << false << true;
    QTest::newRow("points limit reached and cleared")
        << 1 << "30"
        << "1500" << 0 << 1500 << true << 0 << false << false << true;
    QTest::newRow("goal already cleared") << 1 << "30"
                                          << "1500" << 30 << 0 << true << 1 << true << false << false;
    QTest::newRow("overused on the goal level") << 3 << "30"
                                                << "1500" << 30 << 0 << true << 0 << true << true << false;
    QTest::newRow("no limits") << 1 << ""
                               << "" << 500 << 50000 << true << 0 << true << false << false;
    QTest::newRow("limits of 0") << 1 << "0"
                                 << "0" << 500 << 50000 << true << 0 << true << false << false;
}

void TestEndScreen::buttonsAfterTheResult()
{
    QFETCH(int, level);
    QFETCH(QString, overuseCount);
    QFETCH(QString, overusePoints);
    QFETCH(int, windowCount);
    QFETCH(int, windowPoints);
    QFETCH(bool, cleared);
    QFETCH(int, finalTargetCleared);
    QFETCH(bool, onceMore);
    QFETCH(bool, clearLabel2);
    QFETCH(bool, sendOn);

    FakeEnvironment fakes;
    FillLevelCatalogue();
    Hensuu1 &h = hensuu1();
    h.overuseCount[level] = LooseValue::fromField(overuseCount);
    h.overusePoints[level] = LooseValue::fromField(overusePoints);
    h.overuseWindowCount[level][kPupil] = int16_t(windowCount);
    h.overuseWindowPoints[level][kPupil] = windowPoints;
    h.targetPoints[level] = 300;
    h.targetCount[level] = 10;
    h.passWindowCount[level][kPupil] = cleared ? 10 : 9;
    h.passWindowPoints[level][kPupil] = 300;
    h.finalTargetCleared = int16_t(finalTargetCleared);

    QCOMPARE(levelClearedInPassWindow(level, kPupil), cleared);
    const ButtonsOutcome outcome = buttonsOutcome(level, kPupil);
    QCOMPARE(outcome.showOnceMore, onceMore);
    QCOMPARE(outcome.clearLabel2, clearLabel2);
    QCOMPARE(outcome.sendOn, sendOn);
}

void TestEndScreen::screenShowsTheResult_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("time");
    QTest::addColumn<int>("priorToday"); // attempts of 0 s on the level today before this one
    QTest::addColumn<int>("personalBest");
    QTest::addColumn<int>("bestOfAll");
    QTest::addColumn<int>("targetCleared");
    QTest::addColumn<int>("finalTargetCleared");
    QTest::addColumn<bool>("level2Asks9999");
    QTest::addColumn<QString>("resultText");
    QTest::addColumn<QString>("pointsText");
    QTest::addColumn<QString>("message"); // empty: Label20 stays hidden
    QTest::addColumn<QString>("levelCount");
    QTest::addColumn<QStringList>("sounds");
    QTest::addColumn<bool>("congratulation"); // Picture1 when the figures are shown
    QTest::addColumn<QString>("notice");      // Label2 once the buttons are there; empty: hidden
    QTest::addColumn<bool>("onceMore");

    const QString none;
    QTest::newRow("normal result") << 2 << 100 << 0 << 0 << 0 << 0 << 0 << false << "今の成績：100秒"
                                   << "獲得ポイント：4点×1.5→6点" << none << " (このレベル　1回目)"
                                   << QStringList{"fugoukaku"} << false << none << true;
    QTest::newRow("slower than the minimum line")
        << 2 << 160 << 0 << 0 << 0 << 0 << 0 << false << "今の成績：160秒"
        << "獲得ポイント：4点×1.5→6点" << none << " (このレベル　1回目)" << QStringList{} << false << none
        << true;
    QTest::newRow("personal best") << 2 << 60 << 2 << 1 << 0 << 0 << 0 << false << "今の成績：60秒"
                                   << "獲得ポイント：6点×1.5→9点"
                                   << "新記録おめでとう"
                                   << " (このレベル　3回目)" << QStringList{"jikosaikou"} << false << none
                                   << true;
    QTest::newRow("school best") << 2 << 60 << 0 << 1 << 1 << 0 << 0 << false << "今の成績：60秒"
                                 << "獲得ポイント：6点×1.5→9点"
                                 << "！！！最高新記録！！！"
                                 << " (このレベル　1回目)" << QStringList{"最高1"} << false << none << true;
    QTest::newRow("time-out") << 2 << 99999 << 2 << 0 << 0 << 0 << 0 << false << "記録なし"
                              << "獲得ポイント：0点×1.5→0点"
                              << "時間切れ"
                              << " (このレベル　2回目)" << QStringList{} << false << none << true;
    QTest::newRow("cleared level") << 1 << 0 << 12 << 0 << 0 << 0 << 0 << false << "今の成績：0秒"
                                   << "獲得ポイント：55点×1→55点" << none << " (このレベル　13回目)"
                                   << QStringList{"fugoukaku"} << false << "このレベルクリア" << true;
    QTest::newRow("goal level cleared")
        << 3 << 0 << 12 << 0 << 0 << 0 << 0 << false << "今の成績：0秒"
        << "獲得ポイント：55点×2→110点" << none << " (このレベル　13回目)" << QStringList{"fugoukaku", "合格"}
        << true << "このレベルクリア" << true;
    QTest::newRow("goal level cleared before")
        << 3 << 0 << 12 << 0 << 0 << 1 << 1 << false << "今の成績：0秒"
        << "獲得ポイント：55点×2→110点" << none << " (このレベル　13回目)" << QStringList{"fugoukaku"} << true
        << "このレベルクリア" << true;
    QTest::newRow("goal level while a level asks 9999")
        << 3 << 0 << 12 << 0 << 0 << 0 << 0 << true << "今の成績：0秒"
        << "獲得ポイント：55点×2→110点" << none << " (このレベル　13回目)" << QStringList{"fugoukaku", "合格"}
        << false << "このレベルクリア" << true;
    QTest::newRow("overused: on to the next level")
        << 1 << 0 << 30 << 0 << 0 << 1 << 0 << false << "今の成績：0秒"
        << "獲得ポイント：55点×1→55点" << none << " (このレベル　31回目)" << QStringList{"fugoukaku"} << false
        << "次のレベルへ進みましょう" << false;
    QTest::newRow("overused after the goal")
        << 1 << 0 << 30 << 0 << 0 << 1 << 1 << false << "今の成績：0秒"
        << "獲得ポイント：55点×1→55点" << none << " (このレベル　31回目)" << QStringList{"fugoukaku"} << false
        << "このレベルクリア" << true;
    QTest::newRow("overused on the goal level")
        << 3 << 0 << 30 << 0 << 0 << 1 << 0 << false << "今の成績：0秒"
        << "獲得ポイント：55点×2→110点" << none << " (このレベル　31回目)" << QStringList{"fugoukaku"} << true
        << none << true;
    QTest::newRow("overused, not cleared") << 2 << 200 << 30 << 0 << 0 << 0 << 0 << true << "今の成績：200秒"
                                           << "獲得ポイント：1点×1.5→1点" << none << " (このレベル　31回目)"
                                           << QStringList{} << false << none << true;
}

void TestEndScreen::screenShowsTheResult()
{
    QFETCH(int, level);
    QFETCH(int, time);
    QFETCH(int, priorToday);
    QFETCH(int, personalBest);
    QFETCH(int, bestOfAll);
    QFETCH(int, targetCleared);
    QFETCH(int, finalTargetCleared);
    QFETCH(bool, level2Asks9999);
    QFETCH(QString, resultText);
    QFETCH(QString, pointsText);
    QFETCH(QString, message);
    QFETCH(QString, levelCount);
    QFETCH(QStringList, sounds);
    QFETCH(bool, congratulation);
    QFETCH(QString, notice);
    QFETCH(bool, onceMore);

    EndScreenClassroom room;
    Hensuu1 &h = room.hensuu();
    h.currentLevel = int16_t(level);
    h.attemptTime = time;
    h.timedOut = time == 99999 ? 1 : 0;
    h.newRecordFlags = {int16_t(personalBest), int16_t(bestOfAll)};
    h.targetCleared = int16_t(targetCleared);
    h.finalTargetCleared = int16_t(finalTargetCleared);
    if (level2Asks9999)
        h.targetCount[2] = 9999;
    // The file as the recording left it: earlier attempts, an attempt on another
    // level, and this one.
    QByteArray file;
    appendToday(room.fakes, file, level, 0, priorToday);
    appendToday(room.fakes, file, level == 1 ? 2 : 1, 80, 1);
    appendToday(room.fakes, file, level, time, 1);
    room.classroom.writeBytes(resultsFilePath(), file);
    h.todayCount[level][kPupil] = float(priorToday); // as the last scan left it

    FrmSyuuryou *screen = room.show();
    QCOMPARE(screen->windowTitle(), QStringLiteral("終了"));
    QCOMPARE(screen->Label15->text(), QStringLiteral("Ranvex"));
    QCOMPARE(screen->Label16->text(), h.levelNames[level]);
    // Half-width spaces trimmed, as on every screen; a full-width one belongs to the name.
    QCOMPARE(screen->Label17->text(), QStringLiteral("山田　花子　"));
    QCOMPARE(screen->Label18->text(), resultText);
    QCOMPARE(screen->Label19->text(), pointsText);
    QCOMPARE(screen->Label20->isVisibleTo(screen), !message.isEmpty());
    if (!message.isEmpty())
        QCOMPARE(screen->Label20->text(), message);
    QCOMPARE(screen->Label13->text(), levelCount);
    const int finishedToday = priorToday + 1 + (time < 6000 ? 1 : 0);
    QCOMPARE(h.todayTotal, int16_t(finishedToday));
    QCOMPARE(screen->Label14->text(), "（" + QString::number(finishedToday) + "回目)");
    QCOMPARE(soundsPlayed(room.fakes.sound), sounds);
    QCOMPARE(screen->Picture1->isVisibleTo(screen), congratulation);
    QCOMPARE(h.newRecordFlags[0], int16_t(0));
    QCOMPARE(h.newRecordFlags[1], int16_t(0));
    QVERIFY(!screen->Command4->isVisibleTo(screen));
    QVERIFY(!screen->Command5->isVisibleTo(screen));
    QCOMPARE(ScreenHost::instance().backdropShown(), false);

    QTRY_VERIFY_WITH_TIMEOUT(screen->Command4->isVisibleTo(screen), 2000);
    QVERIFY(screen->Command4->hasFocus());
    QVERIFY(!screen->Picture1->isVisibleTo(screen));
    QVERIFY(!screen->Timer1->isActive());
    QCOMPARE(screen->Command5->isVisibleTo(screen), onceMore);
    QCOMPARE(screen->Label2->isVisibleTo(screen), !notice.isEmpty());
    if (!notice.isEmpty())
        QCOMPARE(screen->Label2->text(), notice);
}

// A sound that plays longer than the screen's half-second timer, the window repainting
// meanwhile.
class LongSound : public SoundOutput
{
public:
    std::function<void()> whilePlaying;
    SoundResult play(const QString &) override
    {
        waitResponsive(800);
        whilePlaying();
        return {};
    }
};

void TestEndScreen::buttonsWaitForALongSound()
{
    EndScreenClassroom room;
    LongSound sound;
    env().sound = &sound;
    room.hensuu().currentLevel = 2;
    room.hensuu().attemptTime = 60;
    room.hensuu().newRecordFlags = {1, 0};
    FrmSyuuryou *screen = nullptr;
    bool buttonsDuringSound = true;
    sound.whilePlaying = [&] {
        screen = static_cast<FrmSyuuryou *>(ScreenHost::instance().current());
        buttonsDuringSound = screen->Command4->isVisibleTo(screen);
    };
    room.show();
    QVERIFY(screen);
    QVERIFY(!buttonsDuringSound);
    // The tick that came during the sound is taken once the sound has ended.
    QVERIFY(screen->Command4->isVisibleTo(screen));
    QVERIFY(screen->Command5->isVisibleTo(screen));
}

void TestEndScreen::onceMoreStartsTheSameLevel()
{
    EndScreenClassroom room;
    room.hensuu().currentLevel = 1;
    room.hensuu().attemptTime = 70;
    FrmSyuuryou *screen = room.show();
    QTRY_VERIFY_WITH_TIMEOUT(screen->Command5->isVisibleTo(screen), 2000);
    QTest::mouseClick(screen->Command5, Qt::LeftButton);
    QCOMPARE(room.drillsStarted, 1);
    QCOMPARE(room.menuShown, 0);
    QVERIFY(!screen->Command4->isEnabled());
    QVERIFY(ScreenHost::instance().backdropShown());
    QCOMPARE(room.hensuu().currentLevel, int16_t(1));
}

void TestEndScreen::menuButtonAndEnterKey()
{
    EndScreenClassroom room;
    room.hensuu().currentLevel = 2;
    room.hensuu().attemptTime = 70;
    FrmSyuuryou *screen = room.show();
    QTRY_VERIFY_WITH_TIMEOUT(screen->Command4->hasFocus(), 2000);
    QTest::keyClick(screen->Command4, Qt::Key_Enter, Qt::KeypadModifier); // the round test presses Return
    QCOMPARE(room.menuShown, 1);
    QCOMPARE(room.drillsStarted, 0);
    QVERIFY(!screen->Command4->isEnabled());
}

QTEST_MAIN(TestEndScreen)
#include "test_end_screen.moc"
