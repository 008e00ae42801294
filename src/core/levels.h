// The program's identity and the fixed catalogue of levels.
#pragma once

#include <QString>

inline constexpr auto kProgramTitle = "Ranvex";
inline constexpr auto kTeacherName = "講師";

void SetProgramIdentity();

// Fills the level catalogue and opens the level menu.
void OpenLevelMenu();

// Fills levelCount, goalLevel, levelNames and levelKind; the same values every time.
void FillLevelCatalogue();

// A level whose name contains "練" is a practice level: shown without attempt counters
// and never recorded.
bool isPracticeLevel(int level);
