#include "core/environment.h"

#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace {
const QDate kOleEpoch(1899, 12, 30);
}

Environment &env()
{
    static Environment environment;
    return environment;
}

void endWithMessage(const QString &text, const QString &title, int status)
{
    if (!env().dialogs->echoesToStandardError()) {
        std::fprintf(stderr, "%s: %s\n", qUtf8Printable(title), qUtf8Printable(text));
        std::fflush(stderr);
    }
    env().dialogs->message(text, title);
    env().dialogs->endProgram(status);
}

double oleDateOf(const QDate &date) { return static_cast<double>(kOleEpoch.daysTo(date)); }

QDate dateOfOle(double oleDate)
{
    if (!oleInCalendar(oleDate))
        return {};
    // Negative OLE dates count whole days back and the fraction forward; only the
    // whole-day part names the calendar date.
    return kOleEpoch.addDays(static_cast<qint64>(std::trunc(oleDate)));
}

int oleTimeSeconds(double oleDate)
{
    if (!std::isfinite(oleDate))
        return 0;
    const double fraction = oleDate - std::floor(oleDate);
    return std::clamp(static_cast<int>(std::lround(fraction * 86400)), 0, 86399);
}

double nowAsOleDate()
{
    return oleDateOf(env().clock->today()) + env().clock->timeOfDay() / 86400.0;
}

void waitResponsive(int milliseconds)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
}
