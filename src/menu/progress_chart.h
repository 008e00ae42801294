// A pupil's progress on one level as a chart: every attempt a dot over the run of
// attempts, the personal bests joined by a line, and a block of figures comparing the
// pupil with the whole school. Computed as data (lines, dots and texts at their
// places on a surface of a given size) so that one routine draws them on the screen
// and on paper, and a test reads them without a painter.
#pragma once

#include "core/hensuu1.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QPointF>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <vector>

inline constexpr int kChartFontSize = 6;       // points; the title, heading and figures are multiples of it
inline constexpr int kChartedTimeBelow = 1800; // longer attempts are plotted but not counted
inline constexpr int32_t kTimeScaleCap = 1000;
inline constexpr int kChartsPerPage = 3;

// The surface drawn on, in its own pixels: the screen's chart panel or a printed page.
struct ChartSurface {
    double width = 0;
    double height = 0;
    bool printer = false;
};

enum class ChartInk { Black, Red, Blue };

struct ChartLine {
    QPointF from;
    QPointF to;
    int width = 1; // in pixels of the surface (for paper: of a 600 dpi printer)
    ChartInk ink = ChartInk::Black;
};
struct ChartDot {
    QPointF at;
    int width = 1;
    ChartInk ink = ChartInk::Blue;
};
// Text whose top left corner stands at `at`.
struct ChartText {
    QPointF at;
    QString text;
    double pointSize = kChartFontSize;
};

struct PersonalBest {
    QPointF at; // the dot, on the surface
    int32_t time = 0;
    QString timeText; // "40秒"
    QString date;     // "2026/11/18"
};

// The pupil's place in the school on one level, read from the rankings the charts
// build: the rank texts as the rankings show them ("  3", "---"), the sum and number of
// the shown pupils' points above 0; and the pupil's own points so far.
struct ChartFigures {
    QString timeRank; // "3", "---" without a result, empty when the pupil is not ranked
    QString pointsRank;
    int32_t pupilPoints = 0;
    int64_t schoolPointsSum = 0;
    int schoolPointsCount = 0;
};
// From the statistics tables and the roster: the time ranking and the ranking by
// points so far of the level, narrowed to the grade filter (a pupil it leaves out has
// no rank).
ChartFigures chartFigures(int level, int pupil, const QString &gradeFilter);

struct ChartRequest {
    int pupil = 0;
    QString gradeFilter;
    double now = 0; // OLE date and time
};

struct ProgressChart {
    int level = 0;
    double top = 0; // of the chart on its surface
    // The pupil's attempts under kChartedTimeBelow: count, sum and largest time.
    int attemptCount = 0;
    int64_t timeSum = 0;
    int32_t timeMax = 0;
    int32_t timeScaleMax = 0;
    // Every pupil's attempts on the level: best time, and count and sum of those counted.
    int32_t schoolBest = 0;
    int64_t schoolTimeSum = 0;
    int schoolCount = 0;
    std::vector<PersonalBest> bests; // personal bests 1..k in the order they were set
    std::vector<ChartDot> dots;      // every attempt of the pupil, in file order
    QStringList figures;             // the figures block, line by line as shown

    std::vector<ChartLine> lines;
    std::vector<ChartText> texts;
};

// The chart of one level at `top` of the surface. bytes: the results file; the
// figures come from chartFigures() over the statistics tables as they stand.
ProgressChart progressChart(const QByteArray &bytes, const ChartRequest &request, int level, double top,
                            const ChartSurface &surface);

// The charts of the given levels, three a page at 0.05, 0.35 and 0.65 of the height.
// Only levels 1..levelCount are charted: the pages stop before the first other one.
QList<QList<ProgressChart>> chartPages(const QByteArray &bytes, const ChartRequest &request,
                                       const QList<int> &levels, const ChartSurface &surface);

// The pupil chooser of the charts: one line per listed pupil, "小３ /  島田　颯太/12",
// sorted. Before the month the school year starts in, grades are one lower than the
// name screen shows.
QStringList pupilChooserLines(const QDate &today, double schoolYearStartMonth);
// The pupil number a chooser line ends with, after its last "/"; -1 for none.
int pupilOfChooserLine(const QString &line);
