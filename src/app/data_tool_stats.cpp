// ranvex-data stats: the per-pupil statistics exactly as the screens compute them,
// as CSV, so that a teacher can check a figure the screens show.
#include "app/data_tool.h"
#include "core/environment.h"
#include "core/hensuu1.h"
#include "results/criteria_table.h"
#include "results/statistics.h"

#include <QDateTime>

namespace
{
// "Now" fixed at the moment given on the command line, for a scan as it was or will
// be seen then.
class FixedClock : public Clock
{
public:
    explicit FixedClock(const QDateTime &moment) : m_moment(moment) {}
    QDate today() const override { return m_moment.date(); }
    double timeOfDay() const override { return m_moment.time().msecsSinceStartOfDay() / 1000.0; }
    int64_t monotonicMs() const override { return 0; }

private:
    QDateTime m_moment;
};

// Puts a clock in place for as long as the scan runs.
class ClockInPlace
{
public:
    explicit ClockInPlace(Clock *clock) : m_previous(env().clock) { env().clock = clock; }
    ~ClockInPlace() { env().clock = m_previous; }

private:
    Clock *m_previous;
};

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
    QDateTime now = QDateTime::currentDateTime();
    const qsizetype at = invocation.arguments.indexOf(QStringLiteral("--now"));
    if (at >= 0) {
        const QString text = optionValue(invocation.arguments, QStringLiteral("--now"));
        now = QDateTime::fromString(text, QStringLiteral("yyyy/M/d H:m:s"));
        if (!now.isValid()) {
            err << QStringLiteral(
                       "--now には「yyyy/mm/dd hh:mm:ss」の形で日時を書きます（「%1」は読めません）")
                       .arg(text)
                << '\n';
            return kToolCannotRun;
        }
    }
    if (auto problem = loadToolConfiguration(invocation)) {
        err << problem->message() << '\n';
        return kToolCannotRun;
    }
    const QString criteria = hensuu1().dataFolder + QString::fromUtf8(kCriteriaFileName);
    if (const QString problem = LoadCriteriaTable(criteria); !problem.isEmpty()) {
        err << problem << '\n';
        return kToolCannotRun;
    }
    FixedClock clock(now);
    const ClockInPlace inPlace(&clock);
    ComputePupilStatistics();
    writeStatistics(out);
    return kToolOk;
}
