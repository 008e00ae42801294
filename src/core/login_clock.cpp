#include "core/login_clock.h"

#include <cmath>

namespace
{
constexpr double kDay = 86400;
}

int32_t wholeSecondsOfDay(double timeOfDay)
{
    return static_cast<int32_t>(std::nearbyint(timeOfDay));
}

int minutesSinceLogin(int32_t loginTime, double timeOfDay)
{
    double elapsed = timeOfDay - loginTime;
    // Only a day that has changed takes the time of day back by more than half a day;
    // a login rounded up to the next second lies a fraction ahead of the clock.
    if (elapsed < -kDay / 2)
        elapsed += kDay;
    else if (elapsed < 0)
        elapsed = 0;
    return static_cast<int>(std::trunc(elapsed)) / 60;
}
