#include "core/handoffs.h"
#include "core/hensuu1.h"
#include "core/screen_host.h"
#include "pupils/name_list.h"
#include "pupils/namesel.h"
#include "pupils/roster.h"
#include "test_support.h"

#include <QApplication>
#include <QTest>

namespace {
const QString kTwoPupils = QStringLiteral("1,2014,0,0,\"青木　ひなた\",0,\"\",\"\"\n"
                                          "2,2012,0,0,\"石田　蓮\",0,\"\",\"\"\n"
                                          "3,2022,0,0,\"小林　陽\",0,\"\",\"\"\n");
}

class TestNamesel : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void emptyListConfirmsNothing();
    void chosenNameBlinksIn();
    void confirmSetsThePupil();
    void gradeFilterAndSecondActivation();
    void programMenuHandOff_data();
    void programMenuHandOff();

private:
    namesel *open(const QString &roster);

    FakeEnvironment *m_fakes = nullptr;
    TestClassroom *m_classroom = nullptr;
    int m_menus = 0;
};

void TestNamesel::init()
{
    m_fakes = new FakeEnvironment;
    m_classroom = new TestClassroom;
    m_menus = 0;
    Hensuu1 &h = hensuu1();
    h.dataPathSetting = m_classroom->sharedFolder();
    h.dataFolder = m_classroom->dataFolder();
    h.soundFolder = m_classroom->sharedFolder() + "音フォルダ/";
    h.appFolder = m_classroom->programFolder() + pathSeparator();
    h.schoolYearStartMonth = 4;
    h.programTitle = "Ranvex";
    h.soundTable[4][1] = "bubu";
    h.soundTable[4][21] = "1";
    m_classroom->writeBytes(h.dataFolder + "成績累積データ.dat", {});
    handoffs().showLevelMenu = [this] { ++m_menus; };
}

void TestNamesel::cleanup()
{
    delete m_classroom;
    delete m_fakes;
}

namesel *TestNamesel::open(const QString &roster)
{
    m_classroom->writeText(hensuu1().dataPathSetting + "新名簿.txt", roster);
    ScreenHost &host = ScreenHost::instance();
    host.start(WindowMode::Windowed);
    host.activateWindow();
    if (!QTest::qWaitForWindowActive(&host))
        qWarning("the window did not become active");
    auto *screen = new namesel;
    host.show(screen);
    return screen;
}

void TestNamesel::emptyListConfirmsNothing()
{
    namesel *screen = open({});
    QCOMPARE(screen->List1->count(), 1);
    QCOMPARE(screen->List1->item(0)->text(), QStringLiteral("－－－－－－"));
    QCOMPARE(screen->Label1->text(), QStringLiteral("名前を選びなさい"));
    QTest::keyClick(screen->List1, Qt::Key_1);
    QTest::keyClick(screen->List1, Qt::Key_Space);
    QCOMPARE(m_fakes->sound.played.size(), 2);
    QVERIFY(m_fakes->sound.played[0].endsWith("bubu.wav"));
    QCOMPARE(m_menus, 0);
}

void TestNamesel::chosenNameBlinksIn()
{
    namesel *screen = open(kTwoPupils);
    QCOMPARE(screen->Label1->text(), QStringLiteral("名前を選びなさい"));
    QVERIFY(!screen->Label1->isVisible());
    QTest::qWait(40);
    QVERIFY(!screen->Label1->isVisible()); // out of sight long enough to be seen blinking
    QTRY_VERIFY_WITH_TIMEOUT(screen->Label1->isVisible(), 1000);
}

void TestNamesel::confirmSetsThePupil()
{
    m_fakes->clock.seconds = 16 * 3600 + 30.6;
    namesel *screen = open(kTwoPupils);
    // Oldest first: 石田 (2012), 青木 (2014), 小林 (2022, kindergarten).
    QCOMPARE(screen->List1->count(), 4);
    screen->List1->setCurrentRow(2);
    QCOMPARE(screen->Label1->text(), QStringLiteral("小6 青木　ひなた"));
    // A second Enter queued behind the first opens no second menu.
    for (int press = 0; press < 2; ++press)
        QCoreApplication::postEvent(screen->List1, new QKeyEvent(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier));
    QCoreApplication::processEvents();
    QCOMPARE(m_menus, 1);
    const Hensuu1 &h = hensuu1();
    QCOMPARE(h.currentPupil, int16_t(1));
    QCOMPARE(h.currentPupilName.trimmed(), QStringLiteral("青木　ひなた"));
    QCOMPARE(h.currentPupilGradeLabel, QStringLiteral("小６"));
    QCOMPARE(h.loginTime, 16 * 3600 + 31);
    QVERIFY(!screen->Command14->isVisible());
}

void TestNamesel::gradeFilterAndSecondActivation()
{
    namesel *screen = open(kTwoPupils);
    QCOMPARE(screen->Combo1->count(), 12);
    QCOMPARE(screen->Combo1->itemText(2), QStringLiteral("小学生全体"));
    screen->Combo1->setCurrentIndex(2);
    Q_EMIT screen->Combo1->activated(2);
    QCOMPARE(hensuu1().selectedGradeFilter, QStringLiteral("小学生全体"));
    QCOMPARE(screen->List1->count(), 2); // 中2 and the kindergarten pupil are not elementary
    QVERIFY(screen->List1->item(1)->text().startsWith(QStringLiteral("小6 青木")));

    // A view chosen through its accessible action rebuilds the list once.
    {
        const ResultsFileOpens opens;
        chooseAccessibly(screen->Option1[3]);
        QCOMPARE(opens.count, 1);
    }
    const QList<NameListLine> soFar =
        buildNameList(nameListPupils(rosterTables(), hensuu1()), NameListView::SoFar,
                      QStringLiteral("小学生全体"), rosterTables().schoolYear);
    QCOMPARE(screen->List1->item(1)->text(), soFar[1].text);

    // As after the version dialog: the screen becomes active again without being made
    // anew, and setting view 1 again itself rebuilds the list only the once it means to.
    const ResultsFileOpens opens;
    screen->activate();
    QCOMPARE(opens.count, 1);
    QCOMPARE(screen->Combo1->count(), 12);
    QVERIFY(screen->Option1[1]->isChecked());
    QCOMPARE(hensuu1().selectedGradeFilter, QStringLiteral("全学年"));
}

void TestNamesel::programMenuHandOff_data()
{
    QTest::addColumn<bool>("starts");
    QTest::newRow("menu starts") << true;
    QTest::newRow("menu missing") << false;
}

void TestNamesel::programMenuHandOff()
{
    QFETCH(bool, starts);
    m_fakes->launcher.succeeds = starts;
    namesel *screen = open(kTwoPupils);
    QVERIFY(screen->List1->hasFocus());
    // The key goes straight to the screen's key preview, as Qt would hand it on: ending
    // the program throws, and an exception thrown through Qt's event delivery would
    // leave Qt's own bookkeeping behind.
    QKeyEvent zero(QEvent::KeyPress, Qt::Key_0, Qt::NoModifier, QStringLiteral("0"));
    QObject *keyPreview = screen;
    QVERIFY_THROWS_EXCEPTION(ProgramEnded, keyPreview->eventFilter(screen->List1, &zero));
    const QString program =
        m_classroom->programFolder() + QDir::toNativeSeparators("/../起動/プログラムメニューc.exe");
    QCOMPARE(m_fakes->launcher.program, program);
    QCOMPARE(m_fakes->launcher.arguments, QStringList{"001"});
    QCOMPARE(m_fakes->dialogs.endedWith, starts ? 0 : 1);
    QCOMPARE(m_fakes->dialogs.messages.size(), starts ? 0 : 1);
    if (!starts)
        QVERIFY(m_fakes->dialogs.messages[0].text.contains(program));
}

QTEST_MAIN(TestNamesel)
#include "test_namesel.moc"
