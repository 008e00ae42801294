#include "core/handoffs.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/screen_host.h"
#include "drill/MainFrm.h"
#include "drill/sounds.h"
#include "test_support.h"

#include <QEventLoop>
#include <QKeyEvent>
#include <QPointer>
#include <QTest>
#include <QTimer>

#include <functional>

namespace {

// A sound output that can let something happen while a sound plays, as timer ticks
// and keys do while the real one waits for the end of the sound.
class SoundWithEvents : public FakeSoundOutput {
public:
    std::function<void(const QString &)> whilePlaying;
    SoundResult play(const QString &waveFile) override
    {
        if (whilePlaying)
            whilePlaying(waveFile);
        return FakeSoundOutput::play(waveFile);
    }
};

QColor background(const QWidget *widget) { return widget->palette().color(QPalette::Window); }

} // namespace

class TestMainFrm : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();

    void opensWithAFreshProblem();
    void tenRightAnswersEndTheSetOnce();
    void wrongAnswerMarksRowsAndNeedsPlusTwice();
    void wrongAnswerOnTheLastProblemDoesNotEndTheSet();
    void arrowKeysWalkTheRows();
    void fullFieldRefusesKeysWithTheWarningSound();
    void timeOutWhileTheWarningSoundPlays();
    void lastAnswerTypedWhileTheClockTicks();
    void timeOutEndsTheDrillOnce();
    void hugeMinimumTimeKeepsTheDrillGoing_data();
    void hugeMinimumTimeKeepsTheDrillGoing();
    void tenthAnswerAndTimeOutOnTheSameTick();
    void lampsGoOutAtTheirThresholds();
    void penaltyShowsAtTheNextTick();
    void clockAndMinutesAcrossMidnight();
    void hintsComeByThemselves();

private:
    MainFrm *start(int level);
    void tick();
    void type(const QString &keys);
    void answer(const QStringList &rows); // rows 2.. of the problem, Space after each
    void answerRight();

    FakeEnvironment *m_fakes = nullptr;
    SoundWithEvents m_sound;
    QPointer<MainFrm> m_form;
    int m_finished = 0;
};

void TestMainFrm::init()
{
    m_fakes = new FakeEnvironment;
    m_sound = {};
    env().sound = &m_sound;
    m_finished = 0;
    FillLevelCatalogue();
    SetProgramIdentity();
    Hensuu1 &h = hensuu1();
    h.currentPupil = 12;
    h.currentPupilName = QStringLiteral(" 山田　花子　 ");
    h.schoolName = QStringLiteral("本町教室");
    h.loginTime = 10 * 3600 - 150;
    for (int level = 1; level <= 3; ++level) {
        h.passTime[level] = 60;
        h.minimumTime[level] = 120;
        h.bestTimeAll[level] = 99999;
        h.bestTime[level][12] = 99999;
    }
    h.soundFolder = QStringLiteral("/school/音フォルダ/");
    fillSoundTable(QStringLiteral("正解音2,pinpon,*,間違い音2,buu,*"));
    // As the end of the drill does: it runs once, and from then on the screen is still.
    handoffs().finishDrill = [this] {
        ++m_finished;
        hensuu1().drillEndState[1] = 1;
    };
    ScreenHost::instance().start(WindowMode::Windowed);
}

void TestMainFrm::cleanup()
{
    delete m_form;
    m_form = nullptr;
    delete m_fakes;
    m_fakes = nullptr;
}

MainFrm *TestMainFrm::start(int level)
{
    hensuu1().currentLevel = static_cast<int16_t>(level);
    StartDrill();
    m_form = MainFrm::shown();
    return m_form;
}

void TestMainFrm::tick() { QMetaObject::invokeMethod(m_form->sTimer1, "timeout"); }

void TestMainFrm::type(const QString &keys)
{
    for (QChar key : keys) {
        if (key == u'\b')
            QTest::keyClick(m_form, Qt::Key_Backspace);
        else
            QTest::keyClick(m_form, key.toLatin1());
    }
}

void TestMainFrm::answer(const QStringList &rows)
{
    for (const QString &row : rows)
        type(keysTyping(row) + u' ');
}

void TestMainFrm::answerRight()
{
    QStringList rows;
    for (int position = 2; position <= m_form->sheet().stepCount(); ++position)
        rows << m_form->sheet().stepText(position);
    answer(rows);
}

void TestMainFrm::opensWithAFreshProblem()
{
    hensuu1().todayCount[1][12] = 2;
    hensuu1().todayCount[2][12] = 1;
    m_fakes->random.values = {0.0, 0.0, 0.3, 0.6}; // pattern 1: 2＋3×4
    MainFrm *form = start(1);
    QVERIFY(form);
    QCOMPARE(form->windowTitle(), QStringLiteral("Kelvane"));
    QCOMPARE(form->InputLabel2[1]->text(), QStringLiteral("2＋3×4"));
    QVERIFY(form->InputLabel2[1]->isVisible());
    QCOMPARE(background(form->InputLabel2[1]), form->colorGiven);
    QCOMPARE(background(form->InputLabel2[2]), form->colorCursor);
    QCOMPARE(background(form->InputLabel2[3]), form->colorField);
    QVERIFY(form->InputLabel2[3]->isVisible());
    QVERIFY(!form->InputLabel2[4]->isVisible());
    QVERIFY(form->Label1[2]->isVisible() && form->Label1[3]->isVisible() && !form->Label1[4]->isVisible());
    for (int row = 2; row <= 5; ++row) {
        QVERIFY(!form->HyoujiLabel[row]->isVisible());
        QVERIFY(!form->HintoLabel[row]->isVisible());
    }
    QVERIFY(!form->seikaihyoujiLabel->isVisible());
    QVERIFY(!form->sPicture2->isVisible());
    QVERIFY(!form->Label4->isVisible());
    QVERIFY(!form->Commandkakunin->isVisible());
    QCOMPARE(form->Label2->text(),
             QStringLiteral("*=\"×\"　/=\"÷\"  z=\"(\" 　x=\")\"   スペース=移動、決定   \"←→\"=移動"));
    QCOMPARE(form->Label3->text(), QStringLiteral("順に計算しなさい"));
    QCOMPARE(form->Label5->text(), QStringLiteral("間違うと３０秒追加"));

    QCOMPARE(form->sLabel2->text(), QStringLiteral("Ranvex"));
    QCOMPARE(form->sLabel2->font().pointSizeF(), 16.8);
    QCOMPARE(form->sLabel13->text(), QStringLiteral("2"));
    QCOMPARE(form->sLabel12->text(), QStringLiteral("4"));
    QCOMPARE(form->sLabel11->text(), QStringLiteral("3"));
    QCOMPARE(form->sLabel8->text(), QStringLiteral("レベル１"));
    QCOMPARE(form->sLabel14->text(), QStringLiteral("本町教室"));
    QCOMPARE(form->sLabel7->text(), QStringLiteral("山田　花子　"));
    QCOMPARE(form->sLabel9->text(), QStringLiteral("10"));
    QCOMPARE(form->sLabel10->text(), QStringLiteral("0"));
    QCOMPARE(hensuu1().timeLimit, 600);
    QCOMPARE(hensuu1().problemCount, 10);
    QCOMPARE(form->sShape2->width(), 0);
    QCOMPARE(form->sShape3->width(), twips(kGaugeWidth / 10)); // 60 s of 600
    QCOMPARE(form->sShape4->width(), twips(kGaugeWidth / 5));
    QVERIFY(form->sTimer1->isActive());
    QVERIFY(form->sTimer2->isActive());
    for (int lamp = kFirstLamp; lamp <= kLastLamp; ++lamp)
        QVERIFY(form->sPicture3[lamp]->isVisible());
}

void TestMainFrm::tenRightAnswersEndTheSetOnce()
{
    MainFrm *form = start(3);
    for (int problem = 1; problem <= 10; ++problem) {
        QCOMPARE(m_finished, 0);
        QVERIFY(form->sheet().pattern() >= 7 && form->sheet().pattern() <= 12);
        answerRight();
        QCOMPARE(hensuu1().correctCount, problem);
        QCOMPARE(form->sLabel9->text(), QString::number(10 - problem));
        QCOMPARE(hensuu1().judgingBusy, 0);
    }
    QCOMPARE(m_finished, 1);
    QCOMPARE(hensuu1().drillEndState[0], 1);
    QCOMPARE(hensuu1().timedOut, 0);
    QVERIFY(!form->sTimer1->isActive());
    QCOMPARE(m_sound.played, QStringList(10, QStringLiteral("/school/音フォルダ/pinpon.wav")));

    // The screen takes no more answers.
    const QString before = form->InputLabel2[2]->text();
    type("12 34 ");
    QCOMPARE(form->InputLabel2[2]->text(), before);
    QCOMPARE(m_finished, 1);
    tick();
    QCOMPARE(m_finished, 1);
}

void TestMainFrm::wrongAnswerMarksRowsAndNeedsPlusTwice()
{
    MainFrm *form = start(2);
    const AnswerSheet &sheet = form->sheet();
    QCOMPARE(sheet.stepCount(), 4);
    const QString row2 = sheet.stepText(2), row3 = sheet.stepText(3), answerRow = sheet.stepText(4);
    m_fakes->clock.advance(3);
    answer({row2, row3 + "1", answerRow});

    QCOMPARE(hensuu1().judgeResult, 2);
    QCOMPARE(hensuu1().wrongAnswerState, 1);
    QCOMPARE(background(form->InputLabel2[1]), form->colorGiven);
    QCOMPARE(background(form->InputLabel2[2]), form->colorField);
    QCOMPARE(background(form->InputLabel2[3]), form->colorWrong);
    QCOMPARE(background(form->InputLabel2[4]), form->colorField);
    QVERIFY(!form->HyoujiLabel[2]->isVisible());
    QVERIFY(form->HyoujiLabel[3]->isVisible());
    QCOMPARE(form->HyoujiLabel[3]->text(), row3);
    QVERIFY(!form->HyoujiLabel[4]->isVisible());
    // Both hints at once, although their time had not come.
    QVERIFY(form->HintoLabel[2]->isVisible());
    QVERIFY(form->HintoLabel[3]->isVisible());
    QCOMPARE(form->HintoLabel[3]->text(), QStringLiteral("かっこの中を先に"));
    QVERIFY(!form->HintoTimer1[2]->isActive());
    QVERIFY(form->seikaihyoujiLabel->isVisible());
    QCOMPARE(m_sound.played, QStringList{QStringLiteral("/school/音フォルダ/buu.wav")});
    QCOMPARE(hensuu1().correctCount, 0);
    QCOMPARE(form->sLabel9->text(), QStringLiteral("10"));
    QCOMPARE(hensuu1().judgingBusy, 0);

    // The 30 seconds show at the next tick.
    m_fakes->clock.advance(1);
    tick();
    QCOMPARE(hensuu1().elapsedSeconds, 34);
    QCOMPARE(form->sLabel10->text(), QStringLiteral("34"));

    // Typing does nothing now; "+" must come twice in a row.
    type("+5+");
    QCOMPARE(hensuu1().wrongAnswerState, 2);
    QCOMPARE(form->InputLabel2[3]->text(), row3 + "1");
    QVERIFY(form->seikaihyoujiLabel->isVisible());
    type(" ");
    QCOMPARE(hensuu1().wrongAnswerState, 1);
    m_fakes->random.values = {0.0, 0.0, 0.0, 0.0, 0.0}; // pattern 4: 2＋(2＋2×2)
    type("++");
    QCOMPARE(hensuu1().wrongAnswerState, 0);
    QVERIFY(!form->seikaihyoujiLabel->isVisible());
    QCOMPARE(form->InputLabel2[1]->text(), QStringLiteral("2＋(2＋2×2)"));
    for (int row = 2; row <= 4; ++row) {
        QVERIFY(form->InputLabel2[row]->text().isEmpty());
        QVERIFY(!form->HyoujiLabel[row]->isVisible());
        QVERIFY(!form->HintoLabel[row]->isVisible());
        QCOMPARE(background(form->InputLabel2[row]), row == 2 ? form->colorCursor : form->colorField);
    }
    QVERIFY(form->HintoTimer1[2]->isActive());
    QCOMPARE(form->HintoTimer1[2]->interval(), 5000);
    QCOMPARE(form->HintoTimer1[3]->interval(), 10000);
    answerRight();
    QCOMPARE(hensuu1().correctCount, 1);
    QCOMPARE(m_finished, 0);
}

void TestMainFrm::wrongAnswerOnTheLastProblemDoesNotEndTheSet()
{
    MainFrm *form = start(1);
    for (int problem = 1; problem <= 9; ++problem)
        answerRight();
    answer({"1", "2"});
    QCOMPARE(hensuu1().judgeResult, 2);
    QCOMPARE(m_finished, 0);
    QCOMPARE(form->sLabel9->text(), QStringLiteral("1"));
    type("++");
    answerRight();
    QCOMPARE(m_finished, 1);
    QCOMPARE(hensuu1().correctCount, 10);
}

void TestMainFrm::arrowKeysWalkTheRows()
{
    MainFrm *form = start(2);
    type("12");
    QTest::keyClick(form, Qt::Key_Left);
    QCOMPARE(form->sheet().cursorPos(), 4);
    QCOMPARE(background(form->InputLabel2[4]), form->colorCursor);
    QCOMPARE(background(form->InputLabel2[2]), form->colorField);
    type("7");
    QTest::keyClick(form, Qt::Key_Right);
    QCOMPARE(form->sheet().cursorPos(), 2);
    type("3");
    QCOMPARE(form->InputLabel2[2]->text(), QStringLiteral("123"));
    QCOMPARE(form->InputLabel2[4]->text(), QStringLiteral("7"));
    QTest::keyClick(form, Qt::Key_Down);
    QVERIFY(form->InputLabel2[2]->text().isEmpty());
    QCOMPARE(form->InputLabel2[4]->text(), QStringLiteral("7"));
    type("5 6");
    QTest::keyClick(form, Qt::Key_Up);
    for (int row = 2; row <= 4; ++row)
        QVERIFY(form->InputLabel2[row]->text().isEmpty());
    QCOMPARE(form->sheet().cursorPos(), 2);
    QCOMPARE(form->InputLabel2[1]->text(), form->sheet().stepText(1));
    // The Space on a row before the answer row moves on without judging.
    type(" ");
    QCOMPARE(form->sheet().cursorPos(), 3);
    QCOMPARE(hensuu1().judgeResult, 0);
    QVERIFY(m_sound.played.isEmpty());
}

void TestMainFrm::fullFieldRefusesKeysWithTheWarningSound()
{
    MainFrm *form = start(1);
    type(QString(20, u'9'));
    QVERIFY(m_sound.played.isEmpty());
    type("9+");
    QCOMPARE(form->InputLabel2[2]->text(), QString(20, u'9'));
    QCOMPARE(m_sound.played, QStringList(2, QStringLiteral("/school/音フォルダ/警告1.wav")));
    type("\b\b1");
    QCOMPARE(form->InputLabel2[2]->text(), QString(18, u'9') + u'1');
    QCOMPARE(m_sound.played.size(), 2);
}

void TestMainFrm::timeOutWhileTheWarningSoundPlays()
{
    start(1);
    type(QString(20, u'9'));
    // The end of the drill replaces the screen; the sound's own event loop lets the
    // old screen go before the key that played the sound has returned.
    handoffs().finishDrill = [this] {
        ++m_finished;
        hensuu1().drillEndState[1] = 1;
        ScreenHost::instance().show(new Screen);
    };
    m_sound.whilePlaying = [this](const QString &) {
        m_fakes->clock.advance(600);
        QEventLoop loop;
        QTimer::singleShot(0, &loop, [this] { tick(); });
        QTimer::singleShot(20, &loop, &QEventLoop::quit);
        loop.exec();
    };
    // The key comes from the program's event loop, as a pupil's key does.
    QEventLoop program;
    QTimer::singleShot(0, &program, [&] {
        type("9");
        program.quit();
    });
    program.exec();
    QCOMPARE(m_finished, 1);
    QVERIFY(!MainFrm::shown());
}

void TestMainFrm::lastAnswerTypedWhileTheClockTicks()
{
    start(1);
    for (int problem = 1; problem <= 9; ++problem)
        answerRight();
    handoffs().finishDrill = [this] {
        ++m_finished;
        hensuu1().drillEndState[1] = 1;
        ScreenHost::instance().show(new Screen);
    };
    // The last Space waits in the queue; the tick lets it run in the middle of its work.
    const QString keys =
        keysTyping(m_form->sheet().stepText(2)) + u' ' + keysTyping(m_form->sheet().stepText(3));
    type(keys);
    QEventLoop program;
    QTimer::singleShot(0, &program, [&] {
        QCoreApplication::postEvent(m_form,
                                    new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, " "));
        m_fakes->clock.advance(1);
        tick();
        program.quit();
    });
    program.exec();
    QCOMPARE(m_finished, 1);
    QCOMPARE(hensuu1().correctCount, 10);
    QVERIFY(!MainFrm::shown());
}

void TestMainFrm::timeOutEndsTheDrillOnce()
{
    MainFrm *form = start(1);
    m_fakes->clock.advance(599);
    tick();
    QCOMPARE(m_finished, 0);
    QCOMPARE(form->sShape2->width(), twips(gaugeWidthOf(599, hensuu1().gaugeScale)));
    m_fakes->clock.advance(1);
    tick();
    QCOMPARE(m_finished, 1);
    QCOMPARE(hensuu1().timedOut, 1);
    QCOMPARE(hensuu1().elapsedSeconds, 600);
    QVERIFY(!form->sTimer1->isActive());
    QCOMPARE(form->sShape2->width(), form->sShape5->width());
    tick();
    QCOMPARE(m_finished, 1);
    // Nothing more is typed or judged.
    answerRight();
    QCOMPARE(hensuu1().correctCount, 0);
    QVERIFY(form->InputLabel2[2]->text().isEmpty());
    QVERIFY(m_sound.played.isEmpty());
}

void TestMainFrm::hugeMinimumTimeKeepsTheDrillGoing_data()
{
    QTest::addColumn<int>("minimumTime");
    QTest::addColumn<int>("timeLimit");
    QTest::newRow("five times fits") << 429496729 << 2147483645;
    QTest::newRow("five times does not fit") << 429496730 << INT32_MAX;
    QTest::newRow("1e10 in the table, read as the largest") << INT32_MAX << INT32_MAX;
}

void TestMainFrm::hugeMinimumTimeKeepsTheDrillGoing()
{
    QFETCH(int, minimumTime);
    QFETCH(int, timeLimit);
    hensuu1().minimumTime[1] = minimumTime;
    MainFrm *form = start(1);
    QCOMPARE(hensuu1().timeLimit, timeLimit);
    m_fakes->clock.advance(1);
    tick();
    QCOMPARE(m_finished, 0);
    QVERIFY(form->sTimer1->isActive());
    QCOMPARE(form->sShape2->width(), 0);
}

void TestMainFrm::tenthAnswerAndTimeOutOnTheSameTick()
{
    MainFrm *form = start(1);
    for (int problem = 1; problem <= 9; ++problem)
        answerRight();
    // The time runs out while the tenth right answer's sound plays.
    m_sound.whilePlaying = [&](const QString &) {
        m_fakes->clock.advance(600);
        tick();
        QCOMPARE(m_finished, 0); // held back while the answer is judged
    };
    answerRight();
    QCOMPARE(m_finished, 1);
    QCOMPARE(hensuu1().timedOut, 0);
    QCOMPARE(hensuu1().drillEndState[0], 1);
    m_sound.whilePlaying = nullptr;
    tick();
    QCOMPARE(m_finished, 1);
    QCOMPARE(hensuu1().timedOut, 0);
    Q_UNUSED(form);
}

void TestMainFrm::lampsGoOutAtTheirThresholds()
{
    Hensuu1 &h = hensuu1();
    h.bestTimeAll[1] = 20;
    h.bestTime[1][12] = 40;
    MainFrm *form = start(1);
    const auto litIn = [form](int first) {
        int lit = 0;
        for (int lamp = first; lamp < first + 10; ++lamp)
            lit += form->sPicture3[lamp]->isVisible();
        return lit;
    };
    const struct {
        int second, best, yourBest, pass;
    } steps[] = {{10, 10, 10, 10}, {11, 9, 10, 10}, {15, 5, 10, 10}, {20, 0, 10, 10}, {35, 0, 5, 10},
                 {40, 0, 0, 10},   {51, 0, 0, 9},   {60, 0, 0, 0},   {111, 0, 0, 0}};
    for (const auto &step : steps) {
        m_fakes->clock.advance(step.second - h.elapsedSeconds);
        tick();
        QCOMPARE(h.elapsedSeconds, step.second);
        QCOMPARE(litIn(kBestLamps), step.best);
        QCOMPARE(litIn(kYourBestLamps), step.yourBest);
        QCOMPARE(litIn(kPassLamps), step.pass);
    }
}

void TestMainFrm::penaltyShowsAtTheNextTick()
{
    MainFrm *form = start(1);
    m_fakes->clock.advance(25);
    tick();
    answer({"1", "2"}); // wrong
    m_fakes->clock.advance(1);
    tick();
    QCOMPARE(hensuu1().elapsedSeconds, 56);
    int passLit = 0;
    for (int lamp = kPassLamps; lamp < kPassLamps + 10; ++lamp)
        passLit += form->sPicture3[lamp]->isVisible();
    QCOMPARE(passLit, 4); // six went out together

    // A wrong answer that jumps over the pass time puts the whole row out.
    m_fakes->clock.advance(1);
    tick();
    type("++");
    answer({"1", "2"});
    m_fakes->clock.advance(1);
    tick();
    QCOMPARE(hensuu1().elapsedSeconds, 88);
    for (int lamp = kPassLamps; lamp < kPassLamps + 10; ++lamp)
        QVERIFY(!form->sPicture3[lamp]->isVisible());
    // Wrong answers enough to pass the time limit end the drill at the next tick.
    for (int i = 0; i < 17; ++i) {
        type("++");
        answer({"1", "2"});
    }
    m_fakes->clock.advance(1);
    tick();
    QCOMPARE(hensuu1().elapsedSeconds, 29 + 19 * 30);
    QCOMPARE(m_finished, 0);
    type("++");
    answer({"1", "2"});
    m_fakes->clock.advance(1);
    tick();
    QCOMPARE(m_finished, 1);
    QCOMPARE(hensuu1().timedOut, 1);
}

void TestMainFrm::clockAndMinutesAcrossMidnight()
{
    m_fakes->clock.seconds = 86400 - 30;
    hensuu1().loginTime = 86400 - 90;
    MainFrm *form = start(1);
    QCOMPARE(form->sLabel13->text(), QStringLiteral("1"));
    m_fakes->clock.advance(100);
    QVERIFY(m_fakes->clock.seconds < 100); // past midnight
    tick();
    QCOMPARE(hensuu1().elapsedSeconds, 100);
    QCOMPARE(form->sLabel10->text(), QStringLiteral("100"));
    QMetaObject::invokeMethod(form->sTimer2, "timeout");
    QCOMPARE(form->sLabel13->text(), QStringLiteral("2"));
    m_fakes->clock.advance(500);
    tick();
    QCOMPARE(m_finished, 1); // the time limit holds across midnight too
}

void TestMainFrm::hintsComeByThemselves()
{
    m_fakes->random.values = {0.0}; // pattern 1: only row 2 has a hint
    MainFrm *form = start(1);
    QCOMPARE(form->HintoTimer1[2]->interval(), 5000);
    QCOMPARE(form->HintoTimer1[3]->interval(), 10000);
    QVERIFY(form->HintoTimer1[3]->isActive());
    QVERIFY(!form->HintoTimer1[4]->isActive());
    QMetaObject::invokeMethod(form->HintoTimer1[2], "timeout");
    QVERIFY(form->HintoLabel[2]->isVisible());
    QCOMPARE(form->HintoLabel[2]->text(), QStringLiteral("かけ算を先に"));
    QVERIFY(!form->HintoTimer1[2]->isActive());
    QMetaObject::invokeMethod(form->HintoTimer1[3], "timeout");
    QVERIFY(!form->HintoLabel[3]->isVisible()); // no hint on row 3 of level 1

    // The next problem starts without hints, and its timers afresh.
    m_fakes->random.values = {0.0, 0.5}; // the right answer's sound, then pattern 2
    answerRight();
    QVERIFY(!form->HintoLabel[2]->isVisible());
    QVERIFY(form->HintoTimer1[2]->isActive());
    QTRY_VERIFY_WITH_TIMEOUT(form->HintoLabel[2]->isVisible(), 7000);
    QCOMPARE(form->HintoLabel[2]->text(), QStringLiteral("かっこの中を先に"));
    // On level 1 the cursor's hint goes to the hidden label.
    QTest::keyClick(form, Qt::Key_Left);
    QTest::keyClick(form, Qt::Key_Left);
    QCOMPARE(form->Label4->text(), QStringLiteral("かけ算を先に"));
    QVERIFY(!form->Label4->isVisible());
}

QTEST_MAIN(TestMainFrm)
#include "test_mainfrm.moc"
