// The progress charts as data: dots, personal bests, labels, the figures block and the
// pages, computed without a painter on a surface of 1000 x 900 (W 500, T 300).
#include "core/environment.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "menu/progress_chart.h"
#include "pupils/roster.h"
#include "results/results_file.h"
#include "test_support.h"

#include <QTest>

namespace
{
constexpr int kSchoolYear = 2026;
constexpr int kPupil = 12;
constexpr double W = 500;
constexpr double T = 300;
const ChartSurface kScreen{2 * W, 3 * T, false};
const QDate kFirstDay(2026, 11, 2);

struct Attempt {
    int pupil;
    int32_t time;
    QDate date;
    int level = 1;
};

// Pupils 7 (小１), 12 (小３), 13 (中１) and 21 (小５, a name of seven characters).
struct School {
    FakeEnvironment fakes;

    School()
    {
        resetRosterTables();
        SetProgramIdentity();
        FillLevelCatalogue();
        Hensuu1 &h = hensuu1();
        for (int level = 0; level < kLevelSlots; ++level) {
            for (int pupil = 0; pupil < kPupilSlots; ++pupil)
                h.bestTime[level][pupil] = kTimedOut;
        }
        RosterTables &tables = rosterTables();
        tables.schoolYear = kSchoolYear;
        const QList<std::tuple<int, int, QString>> pupils = {
            {7, 1, "大野　陽菜"}, {12, 3, "島田　颯太"}, {13, 7, "松本　美咲"}, {21, 5, "長谷川　優太郎"}};
        for (const auto &[number, grade, name] : pupils) {
            tables.activePupilNumbers[++tables.activePupilCount] = static_cast<int16_t>(number);
            tables.rosterRecords[tables.activePupilCount].number = static_cast<int16_t>(number);
            tables.rosterRecords[tables.activePupilCount].birthYear =
                static_cast<int16_t>(kSchoolYear - 6 - grade);
            tables.rosterRecords[tables.activePupilCount].name = name.leftJustified(kRosterTextLength, u' ');
            tables.pupilNames[number] = name.leftJustified(kRosterTextLength, u' ');
            tables.pupilBirthYears[number] = static_cast<int16_t>(kSchoolYear - 6 - grade);
        }
    }
};

QByteArray fileOf(const QList<Attempt> &attempts)
{
    QByteArray bytes;
    for (const Attempt &a : attempts) {
        ResultRecord r;
        r.date = oleDateOf(a.date);
        r.timeOfDay = 0.7;
        r.pupil = static_cast<int16_t>(a.pupil);
        r.level = static_cast<int16_t>(a.level);
        r.resultTime = a.time;
        bytes += r.toBytes();
    }
    return bytes;
}

// The pupil's attempts on level 1, one a day from kFirstDay.
QByteArray attemptsOf(const QList<int32_t> &times, int pupil = kPupil)
{
    QList<Attempt> attempts;
    for (int i = 0; i < times.size(); ++i)
        attempts << Attempt{pupil, times[i], kFirstDay.addDays(i)};
    return fileOf(attempts);
}

ChartRequest requestFor(int pupil, const QString &filter = QStringLiteral("全学年"))
{
    return {pupil, filter, oleDateOf(QDate(2026, 12, 9)) + 0.75};
}

ProgressChart chartOf(const QByteArray &bytes, int pupil = kPupil,
                      const QString &filter = QStringLiteral("全学年"))
{
    return progressChart(bytes, requestFor(pupil, filter), 1, 0, kScreen);
}

QStringList textsOf(const ProgressChart &chart)
{
    QStringList texts;
    for (const ChartText &text : chart.texts)
        texts << text.text;
    return texts;
}
} // namespace

class TestProgressChart : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void dots_data();
    void dots();
    void figuresBlock();
    void figuresAtABigSchool();
    void figuresOfAPupilWithoutAttempts();
    void labels_data();
    void labels();
    void threeChartsAPage();
    void pupilChooser();
};

void TestProgressChart::dots_data()
{
    QTest::addColumn<QList<int32_t>>("times");
    QTest::addColumn<QString>("inks");     // R red, B blue
    QTest::addColumn<QList<double>>("xs"); // in W
    QTest::addColumn<QList<double>>("ys"); // in T below the chart's top
    QTest::addColumn<int>("scaleMax");
    QTest::addColumn<int>("count");

    QTest::newRow("new bests red") << QList<int32_t>{60, 50, 55, 40} << "RRBR"
                                   << QList<double>{0.375, 0.55, 0.725, 0.9}
                                   << QList<double>{0.2, 0.3, 0.25, 0.4} << 70 << 4;
    QTest::newRow("995 s") << QList<int32_t>{995} << "R" << QList<double>{0.9} << QList<double>{0.1035}
                           << 1000 << 1;
    // Beyond the capped axis the dot stays on its plot's top edge.
    QTest::newRow("1200 s") << QList<int32_t>{1200} << "R" << QList<double>{0.9} << QList<double>{0.1} << 1000
                            << 1;
    // Left out of the count: plotted at the previous attempt's place, or the plot's left end.
    QTest::newRow("only time-outs") << QList<int32_t>{kTimedOut, kTimedOut} << "BB" << QList<double>{0.2, 0.2}
                                    << QList<double>{0.1, 0.1} << 10 << 0;
    QTest::newRow("a time-out first") << QList<int32_t>{kTimedOut, 40} << "BR" << QList<double>{0.2, 0.9}
                                      << QList<double>{0.1, 0.8 - 0.7 * 40 / 50.0} << 50 << 1;
    QTest::newRow("1800 s and over") << QList<int32_t>{40, 1800, 30} << "RBR"
                                     << QList<double>{0.55, 0.55, 0.9}
                                     << QList<double>{0.24, 0.1, 0.8 - 0.7 * 30 / 50.0} << 50 << 2;
    QTest::newRow("an equal time is no new best")
        << QList<int32_t>{40, 40} << "RB" << QList<double>{0.55, 0.9} << QList<double>{0.24, 0.24} << 50 << 2;
}

void TestProgressChart::dots()
{
    QFETCH(QList<int32_t>, times);
    QFETCH(QString, inks);
    QFETCH(QList<double>, xs);
    QFETCH(QList<double>, ys);
    QFETCH(int, scaleMax);
    QFETCH(int, count);
    School school;
    // Another pupil's attempts and another level's do not move the dots.
    QByteArray bytes = fileOf({{7, 20, kFirstDay}, {kPupil, 10, kFirstDay, 2}}) + attemptsOf(times);
    const ProgressChart chart = chartOf(bytes);
    QCOMPARE(chart.timeScaleMax, scaleMax);
    QCOMPARE(chart.attemptCount, count);
    QCOMPARE(static_cast<qsizetype>(chart.dots.size()), inks.size());
    int reds = 0;
    for (qsizetype i = 0; i < inks.size(); ++i) {
        const ChartDot &dot = chart.dots[i];
        QCOMPARE(dot.ink, inks[i] == u'R' ? ChartInk::Red : ChartInk::Blue);
        QCOMPARE(dot.width, 5);
        QVERIFY2(qAbs(dot.at.x() - xs[i] * W) < 0.01, qPrintable(QString::number(dot.at.x() / W)));
        QVERIFY2(qAbs(dot.at.y() - ys[i] * T) < 0.01, qPrintable(QString::number(dot.at.y() / T)));
        reds += inks[i] == u'R';
    }
    // The black line joins the personal bests in turn.
    QCOMPARE(static_cast<int>(chart.bests.size()), reds);
    int bestLines = 0;
    for (const ChartLine &line : chart.lines)
        bestLines += line.width == 3;
    QCOMPARE(bestLines, std::max(reds - 1, 0));
}

void TestProgressChart::figuresBlock()
{
    School school;
    Hensuu1 &h = hensuu1();
    // The statistics the rankings read: best times 38 (pupil 7), 40 (12), none (13),
    // 45 (21); points so far 14, 22, 0, 30.
    h.bestTime[1][7] = 38;
    h.bestTime[1][kPupil] = 40;
    h.bestTime[1][21] = 45;
    h.totalPoints[1][7] = 14;
    h.totalPoints[1][kPupil] = 22;
    h.totalPoints[1][21] = 30;
    const QByteArray bytes =
        attemptsOf({60, 50, 55, 40}) + fileOf({{7, 38, kFirstDay}, {7, 45, kFirstDay}, {21, 45, kFirstDay}});
    const QStringList expected = {
        "回数　　　　　　　  4回",
        "タイム  　　 　    本人 / 塾全体",
        "　　順位　　　　    2位",
        "　　最高　　　　   40秒 /   38秒",
        "　　平均　　　　   51秒 /   48秒", // 205 / 4; 333 / 7 rounded
        "ポイント  　　　",
        "　　順位　　　　    2位",
        "　　獲得ポイント   22点",
        "　　　　　　　　　　　　/   22点", // (14 + 22 + 30) / 3 of the points ranking
        "　　　　　　　　　　　　 (塾平均)",
    };
    QCOMPARE(chartOf(bytes).figures, expected);

    // The pupil's lines are found by number: a name longer than the ranking's five
    // characters has its ranks and points too.
    const QStringList long21 = chartOf(bytes, 21).figures;
    QCOMPARE(long21[2], QStringLiteral("　　順位　　　　    3位"));
    QCOMPARE(long21[6], QStringLiteral("　　順位　　　　    1位"));
    QCOMPARE(long21[7], QStringLiteral("　　獲得ポイント   30点"));

    // The grade filter narrows the school's points to the pupils shown (小１: pupil 7).
    const QStringList first = chartOf(bytes, 7, QStringLiteral("小１")).figures;
    QCOMPARE(first[8], QStringLiteral("　　　　　　　　　　　　/   14点"));
    // A chosen pupil the filter leaves out has no line in the rankings, but the chart is
    // the pupil's own: the dots, the bests and their line, the best and the points.
    const ProgressChart hidden = chartOf(bytes, kPupil, QStringLiteral("中１"));
    const ProgressChart all = chartOf(bytes);
    QCOMPARE(hidden.dots.size(), size_t(4));
    QCOMPARE(hidden.bests.size(), size_t(3));
    QCOMPARE(hidden.lines.size(), all.lines.size());
    QCOMPARE(hidden.figures[2], QStringLiteral("　　順位　　　　     位"));
    for (int row : {0, 3, 4, 7})
        QCOMPARE(hidden.figures[row], expected[row]);
}

void TestProgressChart::figuresAtABigSchool()
{
    // 1100 more pupils of 小３, each faster and with more points than pupil 12.
    School school;
    Hensuu1 &h = hensuu1();
    RosterTables &tables = rosterTables();
    for (int number = 100; number < 1200; ++number) {
        tables.activePupilNumbers[++tables.activePupilCount] = static_cast<int16_t>(number);
        tables.pupilBirthYears[number] = static_cast<int16_t>(kSchoolYear - 9);
        h.bestTime[1][number] = 30;
        h.totalPoints[1][number] = 90;
    }
    h.bestTime[1][kPupil] = 40;
    h.totalPoints[1][kPupil] = 35;
    const QStringList figures = chartOf(attemptsOf({40})).figures;
    QCOMPARE(figures[2], QStringLiteral("　　順位　　　　 1101位"));
    QCOMPARE(figures[6], QStringLiteral("　　順位　　　　 1101位"));
    QCOMPARE(figures[7], QStringLiteral("　　獲得ポイント   35点"));
    QCOMPARE(figures[8], QStringLiteral("　　　　　　　　　　　　/   90点")); // (1100 x 90 + 35) / 1101
}

void TestProgressChart::figuresOfAPupilWithoutAttempts()
{
    School school;
    const ProgressChart chart = chartOf(fileOf({{7, 38, kFirstDay}, {7, kTimedOut, kFirstDay}}), 13);
    QVERIFY(chart.dots.empty());
    QVERIFY(chart.bests.empty());
    QCOMPARE(chart.figures, QStringList({"回数　　　　　　　  0回", "タイム  　　 　    本人 / 塾全体",
                                         "　　順位　　　　  ---位", "　　最高　　　　       /   38秒",
                                         "ポイント  　　　", "　　順位　　　　    1位",
                                         "　　獲得ポイント    0点", "　　　　　　　　　　　　 (塾平均)"}));
    // Axes, title and figures, nothing else: no labels.
    const QStringList texts = textsOf(chart);
    QCOMPARE(texts.size(), 1 + 1 + chart.figures.size());
    QCOMPARE(texts[0], QStringLiteral("松本　美咲"));
    QCOMPARE(texts[1], QStringLiteral("Ranvex レベル１"));
    QCOMPARE(chart.lines.size(), size_t(4)); // two rules, two axes

    // Nobody's record: the school has no best either.
    QCOMPARE(chartOf({}, 13).figures[3], QStringLiteral("　　最高　　　　       / 記録なし"));
}

void TestProgressChart::labels_data()
{
    QTest::addColumn<QList<int32_t>>("times");
    QTest::addColumn<QStringList>("labels"); // every text below the title and outside the figures
    // Attempts one a day from 2026/11/02; best 1 is dated in full, a later one of the same
    // year as the best before it as mm/dd, the last attempt under the axis.
    QTest::newRow("three bests") << QList<int32_t>{60, 50, 55, 40}
                                 << QStringList{"11/05",      "0秒",  "70秒", "60秒",
                                                "2026/11/02", "40秒", "11/05"};
    QTest::newRow("one best, the last attempt beside it")
        << QList<int32_t>{40} << QStringList{"0秒", "50秒", "40秒", "2026/11/02", "40秒", "2026/11/02"};
    // A run of seven bests labels the third, and the last.
    QTest::newRow("seven bests") << QList<int32_t>{70, 60, 50, 40, 30, 20, 10}
                                 << QStringList{"11/08", "0秒",   "80秒", "70秒", "2026/11/02",
                                                "50秒",  "11/04", "10秒", "11/08"};
}

void TestProgressChart::labels()
{
    QFETCH(QList<int32_t>, times);
    QFETCH(QStringList, labels);
    School school;
    const ProgressChart chart = chartOf(attemptsOf(times));
    const QStringList texts = textsOf(chart);
    const qsizetype first = 2 + chart.figures.size(); // after heading, title and figures
    QCOMPARE(texts.mid(first), labels);
    // The last best's time stands below its dot, the first's beside the time axis.
    const ChartText &lastTime = chart.texts[texts.size() - 2];
    QCOMPARE(lastTime.at.y(), chart.bests.back().at.y() + 0.04 * T);
    QCOMPARE(lastTime.at.x(), chart.bests.back().at.x() - 0.025 * W);
    const ChartText &zero = chart.texts[first + labels.indexOf(QStringLiteral("0秒"))];
    QCOMPARE(zero.at, QPointF(0.12 * W, 0.79 * T));
    QCOMPARE(zero.pointSize, double(kChartFontSize));
}

void TestProgressChart::threeChartsAPage()
{
    School school;
    const QByteArray bytes = attemptsOf({kTimedOut, 900, 30, 5000, -20});
    const double H = kScreen.height;
    // A fourth level starts a page; a level without a chart ends the pages.
    const QList<QList<ProgressChart>> pages =
        chartPages(bytes, requestFor(kPupil), {1, 2, 3, 1, 4, 2}, kScreen);
    QCOMPARE(pages.size(), 2);
    QCOMPARE(pages[0].size(), 3);
    QCOMPARE(pages[1].size(), 1);
    for (const QList<ProgressChart> &page : pages) {
        for (qsizetype slot = 0; slot < page.size(); ++slot) {
            const ProgressChart &chart = page[slot];
            QCOMPARE(chart.top, (0.05 + 0.3 * slot) * H);
            // Everything of a chart stands in its own third, short of the next chart's top.
            const auto inside = [&](const QPointF &p) {
                return p.y() >= chart.top - (slot == 0 ? 0.05 * H : 0) && p.y() < chart.top + 0.3 * H &&
                       p.x() >= 0 && p.x() <= kScreen.width;
            };
            for (const ChartLine &line : chart.lines)
                QVERIFY(inside(line.from) && inside(line.to));
            for (const ChartDot &dot : chart.dots)
                QVERIFY(inside(dot.at));
            for (const ChartText &text : chart.texts)
                QVERIFY2(inside(text.at), qPrintable(text.text));
            // The pupil's name heads the first chart of a page only.
            QCOMPARE(textsOf(chart).contains(QStringLiteral("島田　颯太")), slot == 0);
        }
    }
    QCOMPARE(pages[0][0].dots.size(), size_t(5));
    QCOMPARE(pages[0][1].dots.size(), size_t(0));

    // Paper: dots of the printer's width, the title in three times the size.
    const ChartSurface paper{4792, 6851, true};
    const ProgressChart printed = chartPages(bytes, requestFor(kPupil), {1}, paper)[0][0];
    QCOMPARE(printed.dots[0].width, 30);
    QCOMPARE(printed.texts[1].pointSize, 3.0 * kChartFontSize);
    QCOMPARE(printed.texts[0].pointSize, 3.0 * kChartFontSize);
}

void TestProgressChart::pupilChooser()
{
    School school;
    // From the school year's start month on, the grades of the name screen; before it one lower.
    QCOMPARE(pupilChooserLines(QDate(2026, 4, 1), 4),
             QStringList({"中１ /  松本　美咲/13", "小１ /  大野　陽菜/7", "小３ /  島田　颯太/12",
                          "小５ /  長谷川　優太郎/21"}));
    QCOMPARE(pupilChooserLines(QDate(2027, 3, 31), 4),
             QStringList({"小２ /  島田　颯太/12", "小４ /  長谷川　優太郎/21", "小６ /  松本　美咲/13",
                          "幼３ /  大野　陽菜/7"}));

    const QList<std::pair<QString, int>> lines = {
        {"小３ /  島田　颯太/12", 12}, {" /  名前/5000", 5000}, {"小３ /  島田　颯太/", -1},
        {"小３ /  島田", -1},          {"/5001", -1},           {"/-3", -1}};
    for (const auto &[line, pupil] : lines)
        QCOMPARE(pupilOfChooserLine(line), pupil);
}

QTEST_GUILESS_MAIN(TestProgressChart)
#include "test_progress_chart.moc"
