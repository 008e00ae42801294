#include "core/login_clock.h"

#include <cmath>

int32_t wholeSecondsOfDay(double timeOfDay) { return static_cast<int32_t>(std::nearbyint(timeOfDay)); }

int minutesSinceLogin(int32_t loginTime, double timeOfDay)
{
    double elapsed = timeOfDay - loginTime;
    if (elapsed < 0)
        elapsed += 86400;
    return static_cast<int>(std::trunc(elapsed)) / 60;
}
