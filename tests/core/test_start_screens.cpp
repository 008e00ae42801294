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
    void designPlacement_data();
    void designPlacement();
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
    host.start(WindowMode::Windowed);
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
    host.start(WindowMode::Windowed);
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

void TestStartScreens::designPlacement_data()
{
    QTest::addColumn<QSize>("display");
    QTest::addColumn<bool>("scaled");
    QTest::addColumn<double>("scale");
    QTest::addColumn<QPoint>("offset");
    QTest::newRow("its own size") << QSize(1024, 768) << true << 1.0 << QPoint(0, 0);
    QTest::newRow("wide: bands left and right") << QSize(1920, 1080) << true << 1.40625 << QPoint(240, 0);
    QTest::newRow("5:4: bands above and below") << QSize(1280, 1024) << true << 1.25 << QPoint(0, 32);
    QTest::newRow("smaller") << QSize(800, 600) << true << 0.78125 << QPoint(0, 0);
    QTest::newRow("1440p") << QSize(2560, 1440) << true << 1.875 << QPoint(320, 0);
    QTest::newRow("portrait") << QSize(1080, 1920) << true << 1080.0 / 1024 << QPoint(0, 555);
    QTest::newRow("unscaled, centred") << QSize(1920, 1080) << false << 1.0 << QPoint(448, 156);
    QTest::newRow("unscaled on a smaller display: from the top left")
        << QSize(800, 600) << false << 1.0 << QPoint(0, 0);
    QTest::newRow("no display yet") << QSize(0, 0) << true << 1.0 << QPoint(0, 0);
}

void TestStartScreens::designPlacement()
{
    QFETCH(QSize, display);
    QFETCH(bool, scaled);
    const DesignPlacement placement = ::designPlacement(display, scaled);
    QTEST(placement.scale, "scale");
    QTEST(placement.offset, "offset");
}

QTEST_MAIN(TestStartScreens)
#include "test_start_screens.moc"
