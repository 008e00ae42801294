// The level menu's lists on screen, option by option, against the lines ranvex-data
// prints for the same classroom and moment, and against lines written out by hand; the
// chart panel, and its printed pages read back from the PDF.
#include "app/data_tool.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/screen_host.h"
#include "menu/seisekitime1.h"
#include "pupils/roster.h"
#include "test_support.h"
#include <QRegularExpression>

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QTest>

#include <functional>

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

    // classmates: so many more pupils of 小３ (20, 21, ...), each with one result on level 1.
    explicit MenuFixture(int pupil = kPupil, const QString &name = QStringLiteral("島田　颯太"),
                         int classmates = 0)
    {
        classroom.loadConfiguration();
        // Grades in the school year 2026: born 2017 is 小３, 2013 中１.
        QString roster = QStringLiteral("11,2017,,,坂本　さくら,0,,\n"
                                        "12,2017,,,島田　颯太,0,,\n"
                                        "13,2013,,,松本　美咲,0,,\n"
                                        "14,2017,,,高橋　陸,0,,\n");
        for (int p = 20; p < 20 + classmates; ++p)
            roster += QString::number(p) + QStringLiteral(",2017,,,生徒,0,,\n");
        classroom.writeText(classroom.sharedFolder() + "新名簿.txt", roster);
        resetRosterTables();
        QVERIFY(readRosterFile(classroom.sharedFolder() + "新名簿.txt").fileRead());
        const QDate today = fakes.clock.date; // a Wednesday
        QByteArray bytes;
        for (const ResultRecord &r :
             {result(11, 1, 40, today.addDays(-40), 16), result(12, 1, 45, today.addDays(-3), 17),
              result(13, 1, 38, today.addDays(-1), 17), result(12, 1, 50, today, 9),
              result(14, 1, kTimedOut, today, 9), result(13, 2, 70, today, 9), result(11, 1, 44, today, 9)})
            bytes += r.toBytes();
        for (int p = 20; p < 20 + classmates; ++p)
            bytes += result(p, 1, 40, today.addDays(-1), 16).toBytes();
        classroom.writeBytes(classroom.dataFolder() + "成績累積データ.dat", bytes);

        Hensuu1 &h = hensuu1();
        h.currentPupil = static_cast<int16_t>(pupil);
        h.currentPupilName = name;
        h.selectedGradeFilter = QStringLiteral("全学年");
        FillLevelCatalogue();
        ScreenHost::instance().start(WindowMode::Windowed);
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
    // ranvex-data on the classroom at the fixture's moment: its output, or its status and messages.
    QString tool(const QStringList &arguments) const
    {
        QString out;
        QString err;
        QTextStream outStream(&out);
        QTextStream errStream(&err);
        const int status = runDataTool(QStringList{"--base", classroom.sharedFolder()} + arguments +
                                           QStringList{"--now", "2026/12/09 10:00:00"},
                                       outStream, errStream);
        outStream.flush();
        errStream.flush();
        if (status != 0)
            return "status " + QString::number(status) + ": " + err;
        return out;
    }
    QString toolText(const QString &view, int kind, int period) const
    {
        return tool({"lists", "--pupil", QString::number(kPupil), "--view", view, "--kind",
                     QString::number(kind), "--period", QString::number(period), "--grade",
                     menu->Combo1->currentText()});
    }
    // The first text of each chart shown (the pupil's name heads a page, the title
    // stands over every other chart), and the first line of its figures.
    QStringList shownCharts() const
    {
        QStringList shown;
        for (const ProgressChart &chart : menu->Picture12->charts())
            shown << QString::number(chart.level) + ": " + chart.texts[0].text + " " + chart.figures[0];
        return shown;
    }
};

void clickRow(QListWidget *list, int row)
{
    const QRect rect = list->visualItemRect(list->item(row));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, rect.center());
}

// The text of a PDF as pdftotext reads it, every blank taken out and in compatibility
// form: the font's shared glyphs come back as CJK radicals ("⾼" for "高").
#ifndef Q_OS_WIN
QString pdfText(const QString &path)
{
    QProcess pdftotext;
    pdftotext.start(QStringLiteral("pdftotext"), {path, QStringLiteral("-")});
    if (!pdftotext.waitForFinished(30000) || pdftotext.exitCode() != 0)
        return QStringLiteral("pdftotext failed on ") + path;
    QString text =
        QString::fromUtf8(pdftotext.readAllStandardOutput()).normalized(QString::NormalizationForm_KC);
    text.remove(QRegularExpression(QStringLiteral("\\s")));
    return text;
}
QString compact(const QString &text)
{
    QString compacted = text.normalized(QString::NormalizationForm_KC);
    return compacted.remove(QRegularExpression(QStringLiteral("\\s")));
}
#endif
} // namespace

class TestLevelMenuLists : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void opensOnThePointsRankingSoFar();
    void everyOptionShowsTheLinesOfTheTool();
    void ownLineIsScrolledIntoView();
    void optionsActOnceOnBeingCheckedAnyWay();
    void personalTimesShowTheLinesOfTheTool();
    void graphChartsTheChosenPupilsAndLevels();
    void teacherPrintsIntoAPdfWhereNoPrinterIs();
    void chartsCommandRefusesLevelsWithoutCharts();
};

void TestLevelMenuLists::opensOnThePointsRankingSoFar()
{
    MenuFixture fixture;
    seisekitime1 *menu = fixture.menu;
    QVERIFY(menu->Option2[1]->isChecked());
    QVERIFY(menu->Option1[1]->isChecked());
    QCOMPARE(menu->Option1[1]->text(), QStringLiteral("累計順"));
    QCOMPARE(menu->Option1[2]->text(), QStringLiteral("本日順"));
    QVERIFY(menu->Option2[2]->isEnabled());
    QVERIFY(!menu->Command17->isVisible() && !menu->Picture11->isVisible());
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

void TestLevelMenuLists::ownLineIsScrolledIntoView()
{
    // Pupil 14 has no points: the last of 34 lines, below the first screenful.
    MenuFixture fixture(14, QStringLiteral("高橋　陸"), 30);
    for (int view : {0, 1}) {
        fixture.menu->Option2[view]->click();
        QListWidget *list = fixture.menu->List5[1];
        const int own =
            static_cast<int>(fixture.shown(1).indexOf(QRegularExpression(QStringLiteral(".*●.*"))));
        QCOMPARE(own, 33);
        const QRect shown = list->viewport()->rect();
        QVERIFY(shown.contains(list->visualItemRect(list->item(own))));
        QVERIFY(shown.contains(list->visualItemRect(list->item(own - 1))));
        QVERIFY(list->selectedItems().isEmpty());
    }
}

void TestLevelMenuLists::optionsActOnceOnBeingCheckedAnyWay()
{
    MenuFixture fixture;
    seisekitime1 *menu = fixture.menu;
    // A screen reader chooses "ﾀｲﾑ表示": the best times replace the points ranking.
    chooseAccessibly(menu->Option2[0]);
    QVERIFY(menu->Option2[0]->isChecked());
    QCOMPARE(fixture.screenText(), fixture.toolText("time", 1, 3));

    // Each choice builds its lists once, chosen so or clicked (a period's records and
    // today's read the results file once a build); the checked option again is no choice.
    const auto opensFor = [](const std::function<void()> &choose) {
        const ResultsFileOpens opens;
        choose();
        return opens.count;
    };
    QCOMPARE(opensFor([&] { chooseAccessibly(menu->Option1[3]); }), 1);
    QCOMPARE(fixture.screenText(), fixture.toolText("time", 3, 3));
    QCOMPARE(opensFor([&] { menu->Option1[2]->click(); }), 1);
    QCOMPARE(fixture.screenText(), fixture.toolText("time", 2, 3));
    QCOMPARE(opensFor([&] { menu->Option1[2]->click(); }), 0);
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

void TestLevelMenuLists::personalTimesShowTheLinesOfTheTool()
{
    MenuFixture fixture;
    seisekitime1 *menu = fixture.menu;
    menu->Option2[2]->click();
    QCOMPARE(menu->Label5->text(), QStringLiteral("個人別ﾀｲﾑ"));
    QCOMPARE(fixture.shown(1), QStringList({"2026/12/06 17:00:00  45秒", "2026/12/09 9:00:00  50秒"}));
    QVERIFY(fixture.shown(2).isEmpty());
    QCOMPARE(fixture.screenText(), fixture.toolText("personal", 1, 3));
    QCOMPARE(listSettings().listMode, int16_t(3));
    QCOMPARE(listSettings().periodDays, int16_t(3650));
    QVERIFY(menu->Command17->isVisible() && !menu->Combo2->isVisible() && !menu->Picture1->isEnabled());
    QVERIFY(!menu->Picture6->isVisible() && menu->Command4[1]->isEnabled() && menu->Command1->isEnabled());
    QCOMPARE(menu->List3->count(), 3);
    QCOMPARE(menu->List2->count(), 4);

    // The grade filter rebuilds the personal times, not another view.
    for (const char *filter : {"中１", "小３"}) {
        menu->Combo1->setCurrentText(QString::fromUtf8(filter));
        Q_EMIT menu->Combo1->activated(menu->Combo1->currentIndex());
        QCOMPARE(menu->Label5->text(), QStringLiteral("個人別ﾀｲﾑ"));
        QCOMPARE(fixture.screenText(), fixture.toolText("personal", 1, 3));
    }
    QCOMPARE(fixture.shown(1).size(), 2);

    menu->Option2[1]->click();
    QVERIFY(!menu->Command17->isVisible());
    QVERIFY(menu->Picture1->isEnabled());
}

void TestLevelMenuLists::graphChartsTheChosenPupilsAndLevels()
{
    MenuFixture fixture;
    seisekitime1 *menu = fixture.menu;
    menu->Option2[2]->click();
    menu->Command17->click();
    QVERIFY(menu->Picture11->isVisible());
    QCOMPARE(menu->Picture11->geometry().topLeft(), QPoint(8, 116));
    QVERIFY(!menu->List2->isVisible() && menu->Command25->isVisible() && !menu->Command24[1]->isVisible());
    QCOMPARE(menu->chartPupil, kPupil);
    QCOMPARE(fixture.shownCharts(), QStringList({"1: 島田　颯太 回数　　　　　　　  2回",
                                                 "2: Ranvex レベル２ 回数　　　　　　　  0回",
                                                 "3: Ranvex レベル３ 回数　　　　　　　  0回"}));
    QCOMPARE(menu->Picture12->charts()[0].dots.size(), size_t(2));

    // A click on a level redraws at once: level 2 taken out, level 3 moves up.
    clickRow(menu->List3, 1);
    QCOMPARE(fixture.shownCharts().size(), 2);
    QCOMPARE(menu->Picture12->charts()[1].level, 3);
    QCOMPARE(menu->Picture12->charts()[1].top, 0.35 * menu->Picture12->height());

    // Another pupil, chosen by the number that ends the chooser's line.
    menu->Command25->click();
    QVERIFY(menu->List2->isVisible() && !menu->Command25->isVisible());
    QCOMPARE(menu->List2->item(0)->text(), QStringLiteral("中１ /  松本　美咲/13"));
    clickRow(menu->List2, 0);
    QCOMPARE(menu->chartPupil, 13);
    QCOMPARE(fixture.shownCharts(), QStringList({"1: 松本　美咲 回数　　　　　　　  1回",
                                                 "3: Ranvex レベル３ 回数　　　　　　　  0回"}));

    menu->Command18->click();
    QVERIFY(!menu->Picture11->isVisible());
    menu->Command17->click();
    QCOMPARE(menu->chartPupil, kPupil);
    QVERIFY(menu->List2->selectedItems().isEmpty());
    QVERIFY(menu->Picture11->isVisible());
    // A view switch hides the panel and the graph button.
    menu->Option2[0]->click();
    QVERIFY(!menu->Picture11->isVisible() && !menu->Command17->isVisible());
}

void TestLevelMenuLists::teacherPrintsIntoAPdfWhereNoPrinterIs()
{
    MenuFixture fixture(1000, QStringLiteral("講師"));
    seisekitime1 *menu = fixture.menu;
    menu->Option2[2]->click();
    menu->Command17->click();
    QVERIFY(menu->Command24[1]->isVisible());
    menu->Command25->click();
    for (int row = 0; row < menu->List2->count(); ++row) {
        if (menu->List2->item(row)->text().endsWith(QStringLiteral("/12")) ||
            menu->List2->item(row)->text().endsWith(QStringLiteral("/13")))
            menu->List2->item(row)->setSelected(true);
    }
    menu->Command24[1]->click();

    // Each pupil is a print job of its own, written where the message says.
    const QString folder = fixture.classroom.dataFolder() + "印刷/";
    QCOMPARE(fixture.fakes.dialogs.messages.size(), 1);
    QStringList said = {QStringLiteral("プリンターがないので、PDFファイルに書きました。")};
    for (int pupil : {13, 12}) {
        const QString path = folder + QStringLiteral("%1_20261209_100000.pdf").arg(pupil);
        QVERIFY2(QFileInfo::exists(path), qPrintable(path));
        said << QDir::toNativeSeparators(path);
    }
    QCOMPARE(fixture.fakes.dialogs.messages[0].text, said.join(u'\n'));
    // ranvex-data draws the same pages.
    const QString toolPdf = fixture.classroom.root() + pathSeparator() + "charts.pdf";
    QCOMPARE(fixture.tool({"charts", "--pupil", "12", "--levels", "1,2,3", "--pdf", toolPdf}),
             toolPdf + "\n");
#ifndef Q_OS_WIN
    // pdftotext is a Linux program; the Windows build's pages are read with it by the
    // comparison of the two builds' data tools.
    const QString printed = pdfText(folder + "12_20261209_100000.pdf");
    for (const char *line :
         {"島田　颯太", "Ranvex レベル１", "回数　　　　　　　  2回", "タイム  　　 　    本人 / 塾全体",
          "　　順位　　　　    3位", "　　最高　　　　   45秒 /   38秒", "　　平均　　　　   47秒 /   43秒",
          "ポイント  　　　", "　　獲得ポイント   10点", "(塾平均)", "Ranvex レベル３"})
        QVERIFY2(printed.contains(compact(QString::fromUtf8(line))), line);
    QCOMPARE(pdfText(toolPdf), printed);
#endif
    // A print that fails says why, and the panel stays as it was.
    QVERIFY(QDir(folder).removeRecursively());
    fixture.classroom.writeBytes(fixture.classroom.dataFolder() + "印刷", "not a folder");
    const QList<ProgressChart> shown = menu->Picture12->charts();
    menu->Command24[1]->click();
    QVERIFY(fixture.fakes.dialogs.messages.last().text.startsWith(QStringLiteral("印刷できませんでした。")));
    QVERIFY(menu->Picture11->isVisible());
    QCOMPARE(menu->Picture12->charts().size(), shown.size());
    // Without a level chosen nothing is printed.
    for (int row = 0; row < 3; ++row)
        menu->List3->item(row)->setSelected(false);
    menu->Command24[1]->click();
    QCOMPARE(fixture.fakes.dialogs.messages.last().text, QStringLiteral("印刷するレベルを選んでください"));
}

void TestLevelMenuLists::chartsCommandRefusesLevelsWithoutCharts()
{
    MenuFixture fixture;
    const QString pdf = fixture.classroom.root() + "/refused.pdf";
    const QString refused = fixture.tool({"charts", "--pupil", "12", "--levels", "1,4", "--pdf", pdf});
    QVERIFY2(refused.startsWith("status 1: ") && refused.contains(QStringLiteral("レベル4")),
             qPrintable(refused));
    QVERIFY(!QFileInfo::exists(pdf));
    QVERIFY(
        fixture.tool({"charts", "--pupil", "12", "--levels", "1,x", "--pdf", pdf}).startsWith("status 2: "));
    QVERIFY(fixture.tool({"charts", "--pupil", "12", "--levels", "1"}).startsWith("status 2: "));
    QVERIFY(!QFileInfo::exists(pdf));
    // A file that cannot be written says so and leaves nothing behind.
    const QString nowhere = fixture.classroom.root() + "/no/such/folder/c.pdf";
    QVERIFY(fixture.tool({"charts", "--pupil", "12", "--levels", "1", "--pdf", nowhere})
                .startsWith("status 2: "));
}

QTEST_MAIN(TestLevelMenuLists)
#include "test_level_menu_lists.moc"
