// The level menu's lists on screen, option by option, against the lines ranvex-data
// prints for the same classroom and moment, and against lines written out by hand.
#include "app/data_tool.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/screen_host.h"
#include "menu/seisekitime1.h"
#include "pupils/roster.h"
#include "test_support.h"

#include <QTest>

namespace
{
constexpr int kPupil = 12;

ResultRecord result(int pupil, int level, int32_t time, const QDate &date, int hour)
{
    ResultRecord r;
    r.date = oleDateOf(date);
    r.timeOfDay = hour / 24.0;
    r.pupil = static_cast<int16_t>(pupil);
    r.level = static_cast<int16_t>(level);
    r.resultTime = time;
    return r;
}

struct MenuFixture {
    FakeEnvironment fakes;
    TestClassroom classroom;
    seisekitime1 *menu = nullptr;

    MenuFixture()
    {
        classroom.loadConfiguration();
        // Grades in the school year 2026: born 2017 is 小３, 2013 中１.
        classroom.writeText(classroom.sharedFolder() + "新名簿.txt", "11,2017,,,坂本　さくら,0,,\n"
                                                                     "12,2017,,,島田　颯太,0,,\n"
                                                                     "13,2013,,,松本　美咲,0,,\n"
                                                                     "14,2017,,,高橋　陸,0,,\n");
        resetRosterTables();
        QVERIFY(readRosterFile(classroom.sharedFolder() + "新名簿.txt").fileRead());
        const QDate today = fakes.clock.date; // a Wednesday
        QByteArray bytes;
        for (const ResultRecord &r :
             {result(11, 1, 40, today.addDays(-40), 16), result(12, 1, 45, today.addDays(-3), 17),
              result(13, 1, 38, today.addDays(-1), 17), result(12, 1, 50, today, 9),
              result(14, 1, kTimedOut, today, 9), result(13, 2, 70, today, 9), result(11, 1, 44, today, 9)})
            bytes += r.toBytes();
        classroom.writeBytes(classroom.dataFolder() + "成績累積データ.dat", bytes);

        Hensuu1 &h = hensuu1();
        h.currentPupil = kPupil;
        h.currentPupilName = QStringLiteral("島田　颯太");
        h.selectedGradeFilter = QStringLiteral("全学年");
        FillLevelCatalogue();
        ScreenHost::instance().start(false);
        menu = new seisekitime1;
        ScreenHost::instance().show(menu);
    }

    QStringList shown(int level) const
    {
        QStringList lines;
        for (int row = 0; row < menu->List5[level]->count(); ++row)
            lines << menu->List5[level]->item(row)->text();
        return lines;
    }
    // The screen as ranvex-data prints it: the title, then each level and its lines.
    QString screenText() const
    {
        QString text = "title: " + menu->Label5->text() + "\n";
        for (int level = 1; level <= 3; ++level) {
            text += QStringLiteral("# level %1\n").arg(level);
            for (const QString &line : shown(level))
                text += line + "\n";
        }
        return text;
    }
    QString toolText(const QString &view, int kind, int period) const
    {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const int status =
            runDataTool({"--base", classroom.sharedFolder(), "lists", "--pupil", QString::number(kPupil),
                         "--view", view, "--kind", QString::number(kind), "--period", QString::number(period),
                         "--grade", menu->Combo1->currentText(), "--now", "2026/12/09 10:00:00"},
                        outStream, errStream);
        outStream.flush();
        errStream.flush();
        if (status != 0)
            return "status " + QString::number(status) + ": " + err;
        return out;
    }
};
} // namespace

class TestLevelMenuLists : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void opensOnThePointsRankingSoFar();
    void everyOptionShowsTheLinesOfTheTool();
};

void TestLevelMenuLists::opensOnThePointsRankingSoFar()
{
    MenuFixture fixture;
    seisekitime1 *menu = fixture.menu;
    QVERIFY(menu->Option2[1]->isChecked());
    QVERIFY(menu->Option1[1]->isChecked());
    QCOMPARE(menu->Option1[1]->text(), QStringLiteral("累計順"));
    QCOMPARE(menu->Option1[2]->text(), QStringLiteral("本日順"));
    QVERIFY(!menu->Option2[2]->isEnabled());
    QCOMPARE(menu->viewMode, int16_t(2));
    QCOMPARE(listSettings().listMode, int16_t(1));
    QCOMPARE(listSettings().periodChoice, int16_t(3));
    QCOMPARE(menu->Label5->text(), QStringLiteral("獲得ポイント（今まで順位）"));
    // Pass time 60: 38 s earns 7, 40 s 6, 44 s 5, 45 s 5, 50 s 5; today's points first after "/"'s left.
    QCOMPARE(fixture.shown(1), QStringList({" 1③坂本　さく  5/   11", " 2●島田　颯太  5/   10",
                                            " 3Ⅰ松本　美咲  0/    7", " 4③高橋　陸　  0/    0"}));
    QVERIFY(menu->List5[1]->selectedItems().isEmpty());
    QVERIFY(!menu->Picture6->isVisible());
    QVERIFY(!menu->Combo2->isVisible());
    QVERIFY(menu->Command4[1]->isEnabled() && menu->Command1->isEnabled());
    QCOMPARE(menu->menuReady, int16_t(1));
}

void TestLevelMenuLists::everyOptionShowsTheLinesOfTheTool()
{
    MenuFixture fixture;
    seisekitime1 *menu = fixture.menu;
    struct Step {
        QAbstractButton *click;
        QString view;
        int kind;
        bool periodBox;
    };
    const QList<Step> steps = {
        {menu->Option1[2], "points", 2, false}, {menu->Option1[3], "points", 3, true},
        {menu->Option2[0], "time", 3, true},    {menu->Option1[1], "time", 1, false},
        {menu->Option1[2], "time", 2, false},   {menu->Option2[1], "points", 2, false},
        {menu->Option1[1], "points", 1, false},
    };
    for (const Step &step : steps) {
        step.click->click();
        const QString what = step.view + " " + QString::number(step.kind);
        QCOMPARE(fixture.screenText(), fixture.toolText(step.view, step.kind, 3));
        QVERIFY2(menu->Combo2->isVisible() == step.periodBox, qPrintable(what));
        QVERIFY2(!menu->Picture6->isVisible() && menu->Command4[1]->isEnabled(), qPrintable(what));
    }

    // Today's records in the time view, written out.
    menu->Option2[0]->click();
    menu->Option1[2]->click();
    QCOMPARE(menu->Label5->text(), QStringLiteral("本日の成績"));
    QCOMPARE(fixture.shown(1), QStringList({"  44秒 09:00③坂本　さく③5", "  50秒 09:00●島田　颯太●5",
                                            "　　× 09:00③高橋　陸　③"}));
    QCOMPARE(fixture.shown(2), QStringList({"  70秒 09:00Ⅰ松本　美咲Ⅰ5"}));

    // The period box: this week, Monday to today's Wednesday.
    menu->Option1[3]->click();
    QCOMPARE(fixture.shown(1).size(), 5);
    menu->Combo2->setCurrentIndex(0);
    Q_EMIT menu->Combo2->activated(0);
    QCOMPARE(listSettings().periodChoice, int16_t(1));
    QCOMPARE(listSettings().periodDays, int16_t(3));
    QCOMPARE(fixture.screenText(), fixture.toolText("time", 3, 1));
    QCOMPARE(fixture.shown(1).size(), 4);

    // The grade filter rebuilds the view shown and gives the first start button the focus.
    menu->Combo1->setCurrentText(QStringLiteral("中１"));
    Q_EMIT menu->Combo1->activated(menu->Combo1->currentIndex());
    QCOMPARE(fixture.screenText(), fixture.toolText("time", 3, 1));
    QCOMPARE(fixture.shown(1), QStringList({"  38秒 12/08Ⅰ松本　美咲Ⅰ7"}));
    QVERIFY(menu->Command4[1]->hasFocus());
}

QTEST_MAIN(TestLevelMenuLists)
#include "test_level_menu_lists.moc"
