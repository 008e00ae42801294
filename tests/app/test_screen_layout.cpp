#include "app/demo_classroom.h"
#include "app/screen_gallery.h"
#include "core/environment.h"
#include "core/hensuu1.h"
#include "core/real_environment.h"
#include "layout_check.h"

#include <QMap>
#include <QTemporaryDir>
#include <QTest>

// Every screen state that make screenshots draws, on the demo classroom: no text a
// pupil or teacher needs is hidden behind another control or cut off.
class TestScreenLayout : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void noTextIsHidden();
};

void TestScreenLayout::noTextIsHidden()
{
    // The panels that stand in front of the others by design, by screen.
    const QMap<QString, QStringList> designedOverlays{
        // The drill's end notice, "時間切れ" or "成績記録中", over the status bar.
        {QStringLiteral("MainFrm"), {QStringLiteral("sPicture2")}},
        // The teacher's maintenance panel and the progress charts, in front of the level columns.
        {QStringLiteral("seisekitime1"), {QStringLiteral("Picture7"), QStringLiteral("Picture11")}},
    };

    QTemporaryDir dir;
    {
        SystemClock clock;
        env().clock = &clock;
        QCOMPARE(writeDemoClassroom(dir.path(), QStringLiteral("ranvex")), QString());
        env() = {};
    }
    resetHensuu1();

    QStringList problems;
    int states = 0;
    const QString failure = visitScreens(dir.path() + "/ranvex", [&](QWidget *screen, const QString &name) {
        ++states;
        for (const QString &problem : hiddenTextsOf(screen, designedOverlays.value(screen->objectName())))
            problems << name + ": " + problem;
        return true;
    });
    QCOMPARE(failure, QString());
    QVERIFY(states >= 15);
    for (const QString &problem : problems)
        qWarning("%s", qUtf8Printable(problem));
    QCOMPARE(problems.size(), 0);
}

QTEST_MAIN(TestScreenLayout)
#include "test_screen_layout.moc"
