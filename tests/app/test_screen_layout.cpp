#include "app/demo_classroom.h"
#include "app/screen_gallery.h"
#include "core/environment.h"
#include "core/frmver.h"
#include "core/hensuu1.h"
#include "core/real_environment.h"
#include "core/screen_host.h"
#include "core/startup.h"
#include "layout_check.h"
#include "pupils/namesel.h"
#include "test_support.h"

#include <QApplication>
#include <QMap>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cmath>

// Every screen state that make screenshots draws, on the demo classroom: no text a
// pupil or teacher needs is hidden behind another control or cut off. Run with
// RANVEX_LAYOUT_DISPLAY=1920x1080 (or another size), the screens are shown full screen
// and scaled on an offscreen display of that size, as a classroom PC shows them.
class TestScreenLayout : public QObject
{
    Q_OBJECT
public:
    explicit TestScreenLayout(QSize display) : m_display(display) {}

private Q_SLOTS:
    void initTestCase();
    void noTextIsHidden();
    void nameScreenFillsTheDisplay();

private:
    QString programFolder() const { return m_classroom.path() + "/ranvex"; }

    QSize m_display;
    QTemporaryDir m_classroom;
};

void TestScreenLayout::initTestCase()
{
    SystemClock clock;
    env().clock = &clock;
    QCOMPARE(writeDemoClassroom(m_classroom.path(), QStringLiteral("ranvex")), QString());
    env() = {};
}

void TestScreenLayout::noTextIsHidden()
{
    // The panels that stand in front of the others by design, by screen.
    const QMap<QString, QStringList> designedOverlays{
        // The drill's end notice, "時間切れ" or "成績記録中", over the status bar.
        {QStringLiteral("MainFrm"), {QStringLiteral("sPicture2")}},
        // The teacher's maintenance panel and the progress charts, in front of the level columns.
        {QStringLiteral("seisekitime1"), {QStringLiteral("Picture7"), QStringLiteral("Picture11")}},
    };

    resetHensuu1();

    const ScreenHost &host = ScreenHost::instance();
    QStringList problems;
    int states = 0;
    const auto check = [&](QWidget *screen, const QString &name) {
        ++states;
        for (const QString &problem : hiddenTextsOf(screen, designedOverlays.value(screen->objectName())))
            problems << name + ": " + problem;
        if (m_display.isValid() && host.holds(screen) &&
            !QRect(QPoint(), m_display).contains(host.onDisplay(screen)))
            problems << name + ": reaches past the display";
        return true;
    };
    const QString failure = visitScreens(programFolder(), check,
                                         m_display.isValid() ? WindowMode::FullScreen : WindowMode::Windowed);
    QCOMPARE(failure, QString());
    QVERIFY(states >= 15);
    for (const QString &problem : problems)
        qWarning("%s", qUtf8Printable(problem));
    QCOMPARE(problems.size(), 0);
}

void TestScreenLayout::nameScreenFillsTheDisplay()
{
    if (!m_display.isValid())
        QSKIP("shown on a display with RANVEX_LAYOUT_DISPLAY");
    FakeEnvironment fakes;
    QVERIFY(!LoadStartupConfiguration(programFolder()));
    hensuu1().seasonColor = QColor(192, 64, 0);
    ScreenHost &host = ScreenHost::instance();
    host.start(WindowMode::FullScreen);
    auto *names = new namesel;
    host.show(names);

    // The window covers the display, to the pixel that the scale allows.
    const DesignPlacement placement = designPlacement(m_display, true);
    const double ratio = host.devicePixelRatioF();
    QVERIFY2(std::abs(host.width() * ratio - m_display.width()) <= 1 &&
                 std::abs(host.height() * ratio - m_display.height()) <= 1,
             qPrintable(QStringLiteral("%1 x %2").arg(host.width() * ratio).arg(host.height() * ratio)));
    // The O.K. button, at 640, 420 and 200 x 60 in the design, is where the scaled and
    // centred design puts it, and as large.
    const QRect expected = QRectF(QPointF(placement.offset) + QPointF(640, 420) * placement.scale,
                                  QSizeF(200, 60) * placement.scale)
                               .toRect();
    const QRect shown = host.onDisplay(names->Command14);
    QVERIFY2((shown.topLeft() - expected.topLeft()).manhattanLength() <= 2 &&
                 (shown.bottomRight() - expected.bottomRight()).manhattanLength() <= 2,
             qPrintable(QStringLiteral("%1, %2 %3 x %4")
                            .arg(shown.x())
                            .arg(shown.y())
                            .arg(shown.width())
                            .arg(shown.height())));
    // A key pressed on the keyboard reaches the screen's key preview: "1" without a
    // chosen name sounds the wrong answer.
    host.activateWindow();
    QTRY_VERIFY(host.isActiveWindow());
    QTest::keyClick(host.windowHandle(), Qt::Key_1);
    QCOMPARE(fakes.sound.played.size(), 1);
    // A click on the title, where the display shows it, opens the version screen.
    bool versionShown = false;
    QTimer closer;
    connect(&closer, &QTimer::timeout, [&] {
        // Closed once it has filled its labels: before, it is still being shown.
        if (auto *version = names->findChild<frmver *>(); version && !version->Label2->text().isEmpty()) {
            versionShown = true;
            version->close();
        }
    });
    closer.start(20);
    QTest::mouseClick(host.windowHandle(), Qt::LeftButton, {},
                      (QPointF(host.onDisplay(names->Label4).center()) / ratio).toPoint());
    QTRY_VERIFY(versionShown);
    // The bands beside or above the design show the screen's season colour.
    if (!placement.offset.isNull()) {
        const QImage shot = host.grab().toImage();
        QCOMPARE(shot.pixelColor(1, 1), QColor(192, 64, 0));
        QCOMPARE(shot.pixelColor(shot.width() - 2, shot.height() - 2), QColor(192, 64, 0));
    }
}

int main(int argc, char *argv[])
{
    const QSize display = displaySize(qEnvironmentVariable("RANVEX_LAYOUT_DISPLAY"));
    if (display.isValid() && !useOffscreenDisplay(display))
        return 2;
    QApplication app(argc, argv);
    TestScreenLayout test(display);
    return QTest::qExec(&test, argc, argv);
}

#include "test_screen_layout.moc"
