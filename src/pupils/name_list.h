// The lines of the name screen's list: each pupil's grade label, name and two of the
// day's and all-time figures in fixed columns, oldest pupils first.
#pragma once

#include "core/hensuu1.h"

#include <QList>
#include <QString>

#include <cstdint>

struct RosterTables;

inline constexpr auto kNameListHeader = "－－－－－－";
inline constexpr auto kChooseYourName = "名前を選びなさい";

// The four views of the two value columns, by option index.
enum class NameListView { Attempts = 0, Points = 1, Today = 2, SoFar = 3 };
QString nameListViewCaption(int view);

// Fixed-width texts of the four figures (blank when zero).
QString todayAttemptsText(double count);
QString attemptsSoFarText(int count);
QString todayPointsText(int points);
QString pointsSoFarText(int points);

struct NameListPupil {
    int16_t number = 0;
    int16_t birthYear = 0;
    QString displayLabel; // "小5", "幼3", ...
    int gradeInSchool = 0;
    QString name; // as the roster holds it, padded
    double todayCount = 0;
    int todayPoints = 0;
    int totalCount = 0;
    int totalPoints = 0;
};

// The listed pupils of a roster reading in roster order, each with its figures summed
// over the levels from the statistics tables.
QList<NameListPupil> nameListPupils(const RosterTables &roster, const Hensuu1 &h);

// Birth year, display label, name, padding, the view's two values, "*" and the number.
QString nameListSortLine(const NameListPupil &pupil, NameListView view);

struct NameListLine {
    QString text;
    int pupil = 0; // 0 for the header line
};

// The header line, then the pupils sorted by their sort lines and narrowed to the grade
// filter, each line without its birth year and hidden number.
QList<NameListLine> buildNameList(const QList<NameListPupil> &pupils, NameListView view, const QString &gradeFilter,
                                  int schoolYear);

// What Label1 shows for a chosen line: the first ten characters of a selected line, the
// part before "/" of a double-clicked one.
QString chosenNameOfSelected(const QString &line);
QString chosenNameOfDoubleClicked(const QString &line);
