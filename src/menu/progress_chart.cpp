#include "menu/progress_chart.h"

#include "core/text_values.h"
#include "menu/result_lists.h"
#include "pupils/roster.h"
#include "results/attempt_points.h"

#include <algorithm>
#include <cmath>

namespace
{
constexpr int kRuleWidth = 2;
constexpr int kBestLineWidth = 3;
constexpr int kScreenDotWidth = 5;
constexpr int kPaperDotWidth = 30;
constexpr int kRankWidth = 3;

// An attempt the chart counts: a finished one, and not one a broken PC wrote below zero.
bool isChartedTime(int32_t time)
{
    return time >= 0 && time < kChartedTimeBelow;
}

// A pupil's rank as the figures write it: "3", "---" on a line without a rank, and
// nothing for a pupil the ranking does not show.
QString rankFigure(const LevelList &ranking, int pupil)
{
    const qsizetype at = ranking.pupils.indexOf(pupil);
    if (at < 0)
        return {};
    const int rank = ranking.ranks[at];
    return rank > 0 ? QString::number(rank) : QString(kRankWidth, u'-');
}

QString rounded(double value)
{
    return QString::number(std::llround(value));
}

// A date written in full, or as mm/dd when the year is that of the date before it.
QString dateLabel(const QString &date, const QString &previous)
{
    return date.left(5) == previous.left(5) ? date.right(5) : date;
}

QString pupilName(int pupil)
{
    return trimHalfWidth(rosterTables().pupilNames[pupil]);
}

class ChartBuilder
{
public:
    ChartBuilder(ProgressChart &chart, const ChartSurface &surface)
        : m_chart(chart), W(surface.width / 2), T(surface.height / 3), m_surface(surface)
    {
    }

    void text(double x, double y, const QString &text, double pointSize = kChartFontSize)
    {
        m_chart.texts.push_back({{x, y}, text, pointSize});
    }
    void line(QPointF from, QPointF to, int width)
    {
        m_chart.lines.push_back({from, to, width, ChartInk::Black});
    }

    void frame(int pupil, int level)
    {
        const double top = m_chart.top;
        const bool paper = m_surface.printer;
        if (top < 0.08 * m_surface.height)
            text(0.01 * W, 0.02 * T, pupilName(pupil), 3 * kChartFontSize);
        line({0, top}, {m_surface.width, top}, kRuleWidth);
        line({0, top + 0.09 * T}, {m_surface.width, top + 0.09 * T}, kRuleWidth);
        text(0.7 * W, top + 0.01 * T, hensuu1().programTitle + u' ' + hensuu1().levelNames[level],
             (paper ? 3 : 2) * kChartFontSize);
        line({0.2 * W, top + 0.8 * T}, {0.9 * W, top + 0.8 * T}, kRuleWidth);
        line({0.2 * W, top + 0.8 * T}, {0.2 * W, top + 0.1 * T}, kRuleWidth);
    }

    // Dots above the time axis's top (a time-out, or a time beyond the capped axis)
    // stay at the top edge of their own plot.
    QPointF dotAt(int attempt, int32_t time) const
    {
        const ProgressChart &c = m_chart;
        const double across = c.attemptCount == 0 ? 0.2 : 0.7 * attempt / c.attemptCount + 0.2;
        const double up = std::clamp(0.8 - 0.7 * time / c.timeScaleMax, 0.1, 0.8);
        return {across * W, c.top + up * T};
    }

    void figures(const ChartFigures &figures)
    {
        const ProgressChart &c = m_chart;
        const QString best = c.bests.empty() ? QString() : c.bests.back().timeText;
        const QString schoolBest = c.schoolBest > kNoTimeAbove
                                       ? rightAligned(QStringLiteral("記録なし"), 5)
                                       : rightAligned(QString::number(c.schoolBest), 5) + u'秒';
        // Each line keeps its row, so that the blocks of every chart line up.
        const QStringList rows = {
            QStringLiteral("回数　　　　　　　") + rightAligned(QString::number(c.attemptCount), 3) + u'回',
            QStringLiteral("タイム  　　 　    本人 / 塾全体"),
            QStringLiteral("　　順位　　　　") + rightAligned(figures.timeRank, 5) + u'位',
            QStringLiteral("　　最高　　　　") + rightAligned(best, 6) + QStringLiteral(" /") + schoolBest,
            c.attemptCount == 0
                ? QString()
                : QStringLiteral("　　平均　　　　") +
                      rightAligned(QString::number(c.timeSum / c.attemptCount), 5) + QStringLiteral("秒 /") +
                      rightAligned(rounded(static_cast<double>(c.schoolTimeSum) / std::max(c.schoolCount, 1)),
                                   5) +
                      u'秒',
            QStringLiteral("ポイント  　　　"),
            QStringLiteral("　　順位　　　　") + rightAligned(figures.pointsRank, 5) + u'位',
            QStringLiteral("　　獲得ポイント") + rightAligned(QString::number(figures.pupilPoints), 5) +
                u'点',
            figures.schoolPointsCount == 0
                ? QString()
                : QStringLiteral("　　　　　　　　　　　　/") +
                      rightAligned(
                          rounded(static_cast<double>(figures.schoolPointsSum) / figures.schoolPointsCount),
                          5) +
                      u'点',
        };
        // The block starts under the title band, which the title, in its larger font,
        // fills up to the rule; on the screen, whose charts are a third of the paper's
        // height in fonts of the same size, its lines are a little closer set.
        const double step = (m_surface.printer ? 0.06 : 0.075) * T;
        const double size = 1.5 * kChartFontSize;
        const double top = c.top + 0.1 * T;
        for (qsizetype row = 0; row < rows.size(); ++row) {
            if (rows[row].isEmpty())
                continue;
            text(1.05 * W, top + row * step, rows[row], size);
            m_chart.figures << rows[row];
        }
        const QString caption = QStringLiteral("　　　　　　　　　　　　 (塾平均)");
        text(1.05 * W, top + (rows.size() + 0.5) * step, caption, size);
        m_chart.figures << caption;
    }

    void labels(const QPointF &lastDot, const QString &lastDate)
    {
        const ProgressChart &c = m_chart;
        const std::vector<PersonalBest> &bests = c.bests;
        if (bests.empty())
            return;
        const double under = c.top + 0.815 * T;
        const PersonalBest &first = bests.front();
        if (lastDot.x() != first.at.x())
            text(lastDot.x() - 0.025 * W, under, dateLabel(lastDate, first.date));
        for (size_t j = 1; j < bests.size(); ++j)
            line(bests[j - 1].at, bests[j].at, kBestLineWidth);
        text(0.12 * W, c.top + 0.79 * T, QStringLiteral("0秒"));
        text(0.12 * W, c.top + 0.1 * T, QString::number(c.timeScaleMax) + u'秒');
        text(0.12 * W, first.at.y() - 0.01 * T, first.timeText);
        text(first.at.x() - 0.025 * W, under, first.date);
        const auto beside = [&](size_t j, double timeBelow, double dateBelow) {
            const PersonalBest &best = bests[j];
            const double x = best.at.x() - 0.025 * W;
            text(x, best.at.y() + timeBelow * T, best.timeText);
            text(x, best.at.y() + dateBelow * T, dateLabel(best.date, j > 0 ? bests[j - 1].date : QString()));
        };
        // Every third best is labelled on a long run, short of the last two.
        const size_t k = bests.size();
        if (k > 5) {
            for (size_t j = 3; j + 2 <= k; j += 3)
                beside(j - 1, 0.01, 0.03);
        }
        beside(k - 1, 0.04, 0.07);
    }

private:
    ProgressChart &m_chart;
    const double W;
    const double T;
    const ChartSurface &m_surface;
};
} // namespace

ChartFigures chartFigures(int level, int pupil, const QString &gradeFilter)
{
    ChartFigures figures;
    // Ranks and points are taken from the rankings' numbers, not read back from their
    // lines, whose columns hold ranks below 1000 and points below 100000.
    figures.timeRank = rankFigure(levelRanking(level, 1, 1, pupil, gradeFilter, kRankWidth), pupil);
    const LevelList points = levelRanking(level, 2, 1, pupil, gradeFilter, kRankWidth);
    const Hensuu1 &h = hensuu1();
    for (const int p : points.pupils) {
        const int32_t soFar = h.totalPoints[level][p];
        if (soFar > 0) {
            ++figures.schoolPointsCount;
            figures.schoolPointsSum += soFar;
        }
    }
    figures.pointsRank = rankFigure(points, pupil);
    // The pupil's own points, like the pupil's dots, shown whatever the filter.
    figures.pupilPoints = h.totalPoints[level][pupil];
    return figures;
}

ProgressChart progressChart(const QByteArray &bytes, const ChartRequest &request, int level, double top,
                            const ChartSurface &surface)
{
    ProgressChart chart;
    chart.level = level;
    chart.top = top;
    ChartBuilder builder(chart, surface);
    builder.frame(request.pupil, level);

    const double from = request.now - kPersonalTimesDays;
    forEachRecordSince(bytes, from, [&](const RecordNumbers &record) {
        if (record.level == level && record.pupil == request.pupil && isChartedTime(record.resultTime)) {
            ++chart.attemptCount;
            chart.timeSum += record.resultTime;
            chart.timeMax = std::max(chart.timeMax, record.resultTime);
        }
    });
    chart.timeScaleMax = std::min((chart.timeMax / 10 + 1) * 10, kTimeScaleCap);

    // The chart is the chosen pupil's own, whatever the grade filter lets the rankings
    // show: every attempt a dot.
    const int dotWidth = surface.printer ? kPaperDotWidth : kScreenDotWidth;
    chart.schoolBest = kTimedOut;
    int attempt = 0;
    QPointF lastDot;
    QString lastDate;
    forEachRecordSince(bytes, from, [&](const RecordNumbers &record) {
        if (record.level != level)
            return;
        const int32_t time = record.resultTime;
        if (isChartedTime(time)) {
            chart.schoolTimeSum += time;
            ++chart.schoolCount;
        }
        if (time >= 0)
            chart.schoolBest = std::min(chart.schoolBest, time);
        if (record.pupil != request.pupil)
            return;
        // An attempt left out of the count stands at the place of the one before it.
        if (isChartedTime(time))
            ++attempt;
        const QPointF at = builder.dotAt(attempt, time);
        const bool personalBest =
            isChartedTime(time) && (chart.bests.empty() || time < chart.bests.back().time);
        if (personalBest)
            chart.bests.push_back({at, time, listTimeText(time), recordDateText(record.date)});
        chart.dots.push_back({at, dotWidth, personalBest ? ChartInk::Red : ChartInk::Blue});
        lastDot = at;
        lastDate = recordDateText(record.date);
    });

    builder.figures(chartFigures(level, request.pupil, request.gradeFilter));
    builder.labels(lastDot, lastDate);
    return chart;
}

QList<QList<ProgressChart>> chartPages(const QByteArray &bytes, const ChartRequest &request,
                                       const QList<int> &levels, const ChartSurface &surface)
{
    const double H = surface.height;
    QList<QList<ProgressChart>> pages;
    for (int level : levels) {
        if (level < 1 || level > hensuu1().levelCount)
            break;
        if (pages.isEmpty() || pages.last().size() == kChartsPerPage)
            pages.append(QList<ProgressChart>());
        const auto slot = static_cast<double>(pages.last().size());
        pages.last().append(progressChart(bytes, request, level, (0.05 + 0.3 * slot) * H, surface));
    }
    return pages;
}

QStringList pupilChooserLines(const QDate &today, double schoolYearStartMonth)
{
    const RosterTables &tables = rosterTables();
    QStringList lines;
    for (int position = 1; position <= tables.activePupilCount; ++position) {
        const RosterRecord &record = tables.rosterRecords[position];
        const int grade =
            gradeNumberWithMonthShift(record.birthYear, tables.schoolYear, today, schoolYearStartMonth);
        lines << pupilGradeLabel(grade) + QStringLiteral(" /  ") + trimHalfWidth(record.name) + u'/' +
                     QString::number(record.number);
    }
    std::sort(lines.begin(), lines.end());
    return lines;
}

int pupilOfChooserLine(const QString &line)
{
    const qsizetype slash = line.lastIndexOf(u'/');
    bool whole = false;
    const int pupil = slash < 0 ? -1 : line.mid(slash + 1).toInt(&whole);
    return whole && pupil >= 0 && pupil <= kMaxPupil ? pupil : -1;
}
