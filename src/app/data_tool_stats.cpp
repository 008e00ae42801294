// ranvex-data stats: the per-pupil statistics exactly as the screens compute them,
// as CSV, so that a teacher can check a figure the screens show.
#include "app/data_tool.h"
#include "core/environment.h"
#include "core/hensuu1.h"
#include "results/criteria_table.h"
#include "results/statistics.h"

namespace
{
QString countText(double value)
{
    return QString::number(value, 'f', 0);
}

void writeStatistics(QTextStream &out)
{
    const Hensuu1 &h = hensuu1();
    out << "level,pupil,totalCount,totalPoints,passWindowCount,passWindowPoints,overuseWindowCount,"
           "overuseWindowPoints,todayCount,todayPoints,bestTime\n";
    for (int level = 1; level <= kMaxLevel; ++level) {
        for (int pupil = 1; pupil <= kMaxPupil; ++pupil) {
            const double figures[] = {
                double(h.totalCount[level][pupil]),         double(h.totalPoints[level][pupil]),
                double(h.passWindowCount[level][pupil]),    double(h.passWindowPoints[level][pupil]),
                double(h.overuseWindowCount[level][pupil]), double(h.overuseWindowPoints[level][pupil]),
                double(h.todayCount[level][pupil]),         double(h.todayPoints[level][pupil])};
            const int32_t best = h.bestTime[level][pupil];
            bool empty = best == kTimedOut;
            for (double figure : figures)
                empty = empty && figure == 0;
            if (empty)
                continue;
            out << level << ',' << pupil;
            for (double figure : figures)
                out << ',' << countText(figure);
            out << ',' << best << '\n';
        }
    }
    out << "\nlevel,bestTimeAll\n";
    for (int level = 1; level <= kMaxLevel; ++level)
        out << level << ',' << h.bestTimeAll[level] << '\n';
}
} // namespace

int runStats(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err)
{
    const std::optional<QDateTime> now = momentOption(invocation.arguments, err);
    if (!now)
        return kToolCannotRun;
    if (!prepareTool(invocation, ToolNeeds::ConfigurationAndCriteria, err))
        return kToolCannotRun;
    const FixedMoment moment(*now);
    ComputePupilStatistics();
    writeStatistics(out);
    return kToolOk;
}
