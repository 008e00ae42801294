#include "core/BASEFRM.h"
#include "core/Firstfrm.h"
#include "core/frmver.h"
#include "core/handoffs.h"
#include "core/hensuu1.h"
#include "core/screen_host.h"
#include "core/splash_picture.h"
#include "results/criteria_table.h"
#include "test_support.h"

#include <QSignalSpy>
#include <QTest>

class TestStartScreens : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void splashStartsThenHandsOverToNameScreen();
    void splashPictureIsPaintedLandscape();
    void versionScreen();
    void backdropCoversScreenChanges();
};

void TestStartScreens::splashStartsThenHandsOverToNameScreen()
{
    FakeEnvironment fakes;
    TestClassroom classroom;
    classroom.writeConfiguration();
    fakes.clock.date = QDate(2026, 7, 20);
    fakes.clock.seconds = 8 * 3600 + 30;
    handoffs().loadCriteriaTable = LoadCriteriaTable;
    bool nameScreenShown = false;
    handoffs().showNameSelection = [&] { nameScreenShown = true; };

    ScreenHost &host = ScreenHost::instance();
    host.start(false);
    auto *splash = new Firstfrm(classroom.programFolder());
    host.show(splash);
    splash->start();

    QCOMPARE(fakes.random.seededWith, 8.0 * 3600 + 30);
    QCOMPARE(hensuu1().seasonColor, QColor(0, 192, 192));
    QCOMPARE(splash->Label5->text(), QStringLiteral("令和8年 7月 20日（月）"));
    QCOMPARE(splash->Label1->text(), QStringLiteral("Just a moment, please."));
    QVERIFY(splash->Timer1->isActive());
    QVERIFY(!nameScreenShown);
    QTRY_VERIFY(nameScreenShown);
    QVERIFY(!splash->Timer1->isActive());
    QCOMPARE(hensuu1().schoolName, QStringLiteral("本町教室"));
}

void TestStartScreens::splashPictureIsPaintedLandscape()
{
    const QImage picture = paintSplashPicture();
    QCOMPARE(picture.size(), QSize(640, 480));
    const QColor sky = picture.pixelColor(20, 20);
    QVERIFY(sky.blue() > sky.red() && sky.blue() > 150);
    int yellow = 0;
    for (int x = 0; x < 640; x += 4) {
        const QColor c = picture.pixelColor(x, 440);
        yellow += c.red() > 180 && c.green() > 150 && c.blue() < 120;
    }
    QVERIFY2(yellow > 40, "the foreground is a yellow flower field");
}

void TestStartScreens::versionScreen()
{
    FakeEnvironment fakes;
    hensuu1().programTitle = "Ranvex";
    frmver version;
    version.show();
    QCOMPARE(version.windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報"));
    QCOMPARE(version.Label1->text(), QStringLiteral("Ranvex"));
    QCOMPARE(version.Label2->text(), QStringLiteral("Version1.0.15"));
    QCOMPARE(version.Label4->text(), QStringLiteral("Mathora"));
    QCOMPARE(version.Command1->text(), QStringLiteral("O.K."));
    QSignalSpy accepted(&version, &QDialog::accepted);
    QTest::keyClick(&version, Qt::Key_Return);
    QCOMPARE(accepted.count(), 1);
}

void TestStartScreens::backdropCoversScreenChanges()
{
    ScreenHost &host = ScreenHost::instance();
    host.start(false);
    auto *first = new Screen;
    host.show(first);
    host.showBackdrop();
    QVERIFY(host.backdropShown());
    QPointer<Screen> replaced = first;
    host.show(new Screen);
    QVERIFY(host.backdropShown()); // still on top of the new screen
    host.closeBackdrop();
    QVERIFY(!host.backdropShown());
    QTRY_VERIFY(replaced.isNull());
}

QTEST_MAIN(TestStartScreens)
#include "test_start_screens.moc"
