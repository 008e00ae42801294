// Time since the pupil confirmed their name, as the screens' headers show it.
#pragma once

#include <cstdint>

// Seconds since midnight rounded to whole seconds, as loginTime keeps it.
int32_t wholeSecondsOfDay(double timeOfDay);

// Whole minutes from loginTime to timeOfDay. A time of day more than half a day below
// the login time has wrapped past midnight, so a day is added rather than showing a
// negative count; one a little below it (the login was rounded up) is no time at all.
int minutesSinceLogin(int32_t loginTime, double timeOfDay);
