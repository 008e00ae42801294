// What the level menu shows and allows, computed from the shared state.
#pragma once

#include "core/hensuu1.h"

#include <QString>

#include <array>

int menuTitlePointSize(const QString &title); // 20 points above 9 characters, else 24
QString pupilHeader(const QString &gradeLabel, const QString &name);
QString schoolHeader(const QString &schoolName, int pupil);
QString minutesHeader(int minutes);       // "起動後N分"
QString todayTotalHeader(int todayTotal); // "本日総回数＝N回"

// The pupil whose trimmed name is exactly "講師".
bool isTeacherAccount(const QString &pupilName);

// Column texts of level L for pupil P.
QString targetLine(int level);
QString recentPeriodLine(int level, int pupil);
QString todayValue(int level, int pupil);
QString soFarValue(int level, int pupil);

// Sum of today's attempts of the pupil over levels 1..35.
int menuTodayTotal(int pupil);

// Which start buttons are enabled and which levels carry "やりすぎ禁止".
struct LevelAccess {
    std::array<bool, kLevelSlots> enabled{};
    std::array<bool, kLevelSlots> banned{};
    int16_t finalTargetCleared = 0;
};

LevelAccess LevelAccessPass(int pupil, bool teacher);

// The level a key starts ("1".."9", "a".."d", exact characters), 0 for none; keys for
// levels beyond levelCount start nothing.
int levelForKey(const QString &keyText, int levelCount);
