// The lists beside each level's start button on the level menu: the school's rankings
// and the records of today or of a period, as fixed-column lines for a fixed-pitch
// font. Computed from the results file, the statistics and the roster; the menu only
// shows them.
#pragma once

#include "core/hensuu1.h"
#include "results/results_file.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>
#include <vector>

// What the lists were last built as, shared with the charts: the kind (1 best ranking,
// 2 today's records, 3 a period's records), the period box's item and its days.
struct ListSettings {
    int16_t listMode = 0;
    int16_t periodChoice = 0;
    int16_t periodDays = 0;
};
ListSettings &listSettings();

inline constexpr int kTodayListRecords = 1000;   // today's lists look at the file's last records only
inline constexpr int kPeriodListRecords = 20000; // and the period lists at these
inline constexpr int kPeriodChoices = 5;

// The period box's items, for periodChoice 1..5.
QStringList periodChoiceTexts();
// The days a period list reaches back, today included: this week from Monday, since
// last week's Monday, a month, a year, ten years.
int periodDaysFor(int periodChoice, const QDate &today);

// ---- fields of a record's line ----------------------------------------------------

QString listTimeText(int32_t time);           // "45秒"
bool isFailedListTime(int32_t time);          // a time-out, shown without time and points
QString hourMinuteStamp(double oleTimeOfDay); // "09:05"
QString monthDayStamp(double oleDate);        // "11/18"
// The points a list shows for a record: the base points of its time, without the
// level's multiplier, the curve fed the time's first three digits.
int32_t listedRecordPoints(int32_t time, int32_t passTime);

enum class RecordStamp { TimeOfDay, Date };
// One record's line: time first (today's and a period's lists in the time view) or
// points first (a period's list in the points view); a failed record shows neither.
QString recordListLine(const RecordNumbers &record, RecordStamp stamp, bool pointsFirst, int currentPupil);
// A line of the pupil's own times: date, time of day and the time, "　　×" for a time-out.
QString personalTimeLine(const RecordNumbers &record);

// A record the lists and charts can show: its level one of the menu's, its pupil one
// the tables hold, its date and time of day on the calendar. Anything else was written
// by a broken PC and is left out rather than used as an index.
bool isListableRecord(const RecordNumbers &record, int levelCount);
// The first record number of the file's last `window` records.
inline int firstRecordInWindow(int count, int window)
{
    return std::max(count - window, 0) + 1;
}
// Visits, in file order, the listable records among the file's last kPeriodListRecords
// that are dated later than `from` (an OLE date and time).
template <typename Visit> void forEachRecordSince(const QByteArray &bytes, double from, Visit &&visit)
{
    const int levelCount = hensuu1().levelCount;
    const int count = recordCountOf(bytes);
    for (int n = firstRecordInWindow(count, kPeriodListRecords); n <= count; ++n) {
        const RecordNumbers record = recordNumbersAt(bytes, n);
        if (isListableRecord(record, levelCount) && record.date > from)
            visit(record);
    }
}

// ---- rankings ---------------------------------------------------------------------

// A ranking's sort key, the better the lower: a time (with 0 as its second member), or
// two figures, each whole in a member of its own, so that a large second figure cannot
// spill into the first however large either grows.
using RankKey = std::pair<int64_t, int64_t>;
// Sorts slots 1..n of keys ascending, moving the same slots of values with them; equal
// keys keep their order.
void SortByKey(int n, std::vector<RankKey> &keys, std::vector<int16_t> &values);
void MergeSortRange(int lo, int hi, std::vector<RankKey> &keys, std::vector<int16_t> &values);

struct LevelList {
    QStringList lines;
    QList<int> pupils;   // the pupil of each line of a ranking
    QList<int> ranks;    // and its rank, 0 on a line without one ("--")
    bool hidden = false; // a practice level keeps its list hidden
    // The current pupil's own line in a ranking, -1 for none: the list is scrolled so
    // that it and the line above it are in view, nothing highlighted.
    int ownRow = -1;
};

// The ranking of every listed pupil on one level, narrowed to the grade filter for
// showing: by best time (viewMode 1), or by points so far (rankOrder 1) or today
// (rankOrder 2) in the points view. The rank stands in rankWidth characters: 2 on the
// menu, 3 in the rankings the charts read their figures from.
LevelList levelRanking(int level, int viewMode, int rankOrder, int currentPupil, const QString &gradeFilter,
                       int rankWidth = 2);

// ---- the lists of a view --------------------------------------------------------

// The six kinds the view and list-kind options choose.
enum class ListKind {
    BestTimes,     // time view, option 1
    TodaysRecords, // time view, option 2
    PeriodRecords, // time view, option 3: a period's records, time first
    PointsSoFar,   // points view, option 1: cumulative points ranking
    PointsToday,   // points view, option 2: today's points ranking
    PeriodPoints,  // points view, option 3: a period's records, points first
    PersonalTimes, // the current pupil's own attempts of the last ten years
};
// viewMode 1 is the time view (0 counts as 1), anything else the points view; option 1..3.
ListKind listKindOf(int viewMode, int option);
bool listsReadResultsFile(ListKind kind);
// The personal times reach back this many days.
inline constexpr int kPersonalTimesDays = 3650;
// Label5 over the lists of the kind.
QString listTitleOf(ListKind kind);

struct ListRequest {
    int currentPupil = 0;
    QString gradeFilter; // the grade filter box's text
    int periodChoice = 3;
    QDate today;
    double now = 0; // OLE date and time
};

struct ListsView {
    QString title;        // Label5
    int16_t listMode = 0; // 0: a ranking of points leaves it as it was
    int periodDays = 0;   // of a period list
    std::array<LevelList, kLevelSlots> levels{};
};

// Every level's list of the kind. bytes: the results file (only the record lists read it).
ListsView computeLists(ListKind kind, const QByteArray &bytes, const ListRequest &request);

// Reads the results file for the lists. While another PC holds it: waits a second with
// the screen responsive, asks for the teacher and tries again; any other failure names
// the procedure and ends the program. A file that does not exist yet holds no records.
void readResultsForLists(const QString &procedure, QByteArray &bytes);
