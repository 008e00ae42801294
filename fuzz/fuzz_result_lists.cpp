// The level menu's lists from the roster, the criteria table and the results file.
// Whatever the bytes: the record lists hold exactly the listable records of their
// window, counted the plain way here, in ascending order; a ranking lists every listed
// pupil of the grade filter (today's points ranking only those with points today); the
// row scrolled to lies in its list; the personal times are the pupil's own records.
#include "core/hensuu1.h"
#include "core/levels.h"
#include "fuzz_support.h"
#include "menu/result_lists.h"
#include "pupils/roster.h"
#include "results/results_file.h"
#include "results/statistics.h"

#include <algorithm>

namespace
{
// What a record list of the kind holds for level, counted record by record.
int expectedRecordLines(ListKind kind, const QByteArray &bytes, const ListRequest &request, int level)
{
    const RosterTables &roster = rosterTables();
    const int count = recordCountOf(bytes);
    const int window = kind == ListKind::TodaysRecords ? kTodayListRecords : kPeriodListRecords;
    const double from = request.now - periodDaysFor(request.periodChoice, request.today);
    int lines = 0;
    for (int n = std::max(count - window, 0) + 1; n <= count; ++n) {
        const RecordNumbers r = recordNumbersAt(bytes, n);
        if (r.level != level || r.pupil < 0 || r.pupil > kMaxPupil || !oleInCalendar(r.date) ||
            !oleInCalendar(r.timeOfDay))
            continue;
        if (!GradeFilterMatches(request.gradeFilter,
                                gradeNumberOf(roster.pupilBirthYears[r.pupil], roster.schoolYear)))
            continue;
        const bool inWindow =
            kind == ListKind::TodaysRecords ? r.date == oleDateOf(request.today) : r.date > from;
        lines += inWindow;
    }
    return lines;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzEnvironment &fuzz = fuzzEnvironment();
    const QList<QByteArray> parts = splitFuzzInput(data, size, 3);
    const QString rosterPath = fuzz.classroom.shared() + QString::fromUtf8(kRosterFileName);
    fuzz.classroom.write(rosterPath, parts[0]);
    fuzz.classroom.write(resultsFilePath(), parts[2]);
    Hensuu1 &h = hensuu1();
    h.schoolYearStartMonth = 4;
    FillLevelCatalogue();
    loadFuzzCriteria(fuzz.classroom, parts[1]);
    resetRosterTables();
    FUZZ_REQUIRE(readRosterFile(rosterPath).fileRead(), rosterPath);
    try {
        ComputePupilStatistics();
    } catch (const ProgramEnded &) {
        return 0; // points beyond the sums end the scan with its message, as on screen
    }
    const RosterTables &roster = rosterTables();
    const int listed = roster.activePupilCount;

    ListRequest request;
    request.currentPupil = listed > 0 ? roster.activePupilNumbers[1] : 0;
    request.today = kFuzzToday;
    request.now = oleDateOf(kFuzzToday) + kFuzzTimeOfDay / 86400;
    request.periodChoice = size % kPeriodChoices + 1;
    const ListKind kinds[] = {ListKind::BestTimes,    ListKind::TodaysRecords, ListKind::PeriodRecords,
                              ListKind::PointsSoFar,  ListKind::PointsToday,   ListKind::PeriodPoints,
                              ListKind::PersonalTimes};
    for (const QString &filter : {QStringLiteral("全学年"), QStringLiteral("小３")}) {
        request.gradeFilter = filter;
        int shownPupils = 0;
        for (int i = 1; i <= listed; ++i) {
            const int p = roster.activePupilNumbers[i];
            shownPupils +=
                GradeFilterMatches(filter, gradeNumberOf(roster.pupilBirthYears[p], roster.schoolYear));
        }
        for (ListKind kind : kinds) {
            const ListsView view = computeLists(kind, parts[2], request);
            for (int level = 1; level <= h.levelCount; ++level) {
                const LevelList &list = view.levels[level];
                const QString where =
                    QStringLiteral("kind %1 level %2 %3").arg(int(kind)).arg(level).arg(filter);
                FUZZ_REQUIRE(!list.hidden, where);
                FUZZ_REQUIRE(list.ownRow >= -1 && list.ownRow < list.lines.size(), where);
                const int lines = static_cast<int>(list.lines.size());
                switch (kind) {
                case ListKind::BestTimes:
                case ListKind::PointsSoFar:
                    FUZZ_REQUIRE(lines == shownPupils, where);
                    break;
                case ListKind::PointsToday:
                    FUZZ_REQUIRE(lines <= shownPupils, where);
                    break;
                case ListKind::TodaysRecords:
                case ListKind::PeriodRecords:
                case ListKind::PeriodPoints:
                    FUZZ_REQUIRE(lines == expectedRecordLines(kind, parts[2], request, level), where);
                    FUZZ_REQUIRE(std::is_sorted(list.lines.begin(), list.lines.end()), where);
                    break;
                case ListKind::PersonalTimes:
                    FUZZ_REQUIRE(lines <= recordCountOf(parts[2]), where);
                    break;
                }
            }
        }
    }
    return 0;
}
