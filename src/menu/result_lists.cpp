#include "menu/result_lists.h"

#include "core/environment.h"
#include "core/levels.h"
#include "core/text_values.h"
#include "pupils/roster.h"
#include "results/attempt_points.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace
{
constexpr int32_t kFailedFrom = 90000;
constexpr int32_t kFailedBest = 99998;

const QString kOwnMark = QStringLiteral("●");
// Where a time-out's time would stand, as wide as "  45秒".
const QString kFailedMark = QStringLiteral("　　×");
const QString kNoMark = QStringLiteral("　");

using LevelLines = std::array<QStringList, kLevelSlots>;

void sortLines(LevelLines &levels)
{
    // Ascending by UTF-16 code units: the right-aligned numbers at the front order the
    // lines, and "　　× " of a failed record sorts after every digit.
    for (QStringList &lines : levels)
        std::sort(lines.begin(), lines.end());
}

LevelLines todayLists(const QByteArray &bytes, const ListRequest &request)
{
    const int levelCount = hensuu1().levelCount;
    const double today = oleDateOf(request.today);
    LevelLines levels;
    const int count = recordCountOf(bytes);
    for (int n = firstRecordInWindow(count, kTodayListRecords); n <= count; ++n) {
        const RecordNumbers record = recordNumbersAt(bytes, n);
        if (!isListableRecord(record, levelCount) || record.date != today ||
            !GradeFilterMatches(request.gradeFilter, gradeOfPupil(record.pupil)))
            continue;
        levels[record.level] << recordListLine(record, RecordStamp::TimeOfDay, false, request.currentPupil);
    }
    sortLines(levels);
    return levels;
}

LevelLines periodLists(const QByteArray &bytes, const ListRequest &request, int periodDays, bool pointsFirst)
{
    LevelLines levels;
    forEachRecordSince(bytes, request.now - periodDays, [&](const RecordNumbers &record) {
        if (GradeFilterMatches(request.gradeFilter, gradeOfPupil(record.pupil)))
            levels[record.level] << recordListLine(record, RecordStamp::Date, pointsFirst,
                                                   request.currentPupil);
    });
    sortLines(levels);
    return levels;
}

// The current pupil's attempts, oldest first: the lines' hour is not padded ("9:05:03"),
// so their text alone would put an evening before a morning of the same day.
LevelLines personalLists(const QByteArray &bytes, const ListRequest &request)
{
    std::array<std::vector<RecordNumbers>, kLevelSlots> attempts;
    if (GradeFilterMatches(request.gradeFilter, gradeOfPupil(request.currentPupil))) {
        forEachRecordSince(bytes, request.now - kPersonalTimesDays, [&](const RecordNumbers &record) {
            if (record.pupil == request.currentPupil)
                attempts[record.level].push_back(record);
        });
    }
    LevelLines levels;
    for (int level = 0; level < kLevelSlots; ++level) {
        std::stable_sort(attempts[level].begin(), attempts[level].end(),
                         [](const RecordNumbers &a, const RecordNumbers &b) {
                             return std::pair(a.date, oleTimeSeconds(a.timeOfDay)) <
                                    std::pair(b.date, oleTimeSeconds(b.timeOfDay));
                         });
        for (const RecordNumbers &record : attempts[level])
            levels[level] << personalTimeLine(record);
    }
    return levels;
}

QString withoutTrailingSpaces(const QString &text)
{
    qsizetype end = text.size();
    while (end > 0 && text[end - 1] == u' ')
        --end;
    return text.left(end);
}

// Ranks are shown right-aligned in their width; a school with more pupils than the
// width holds shows its higher ranks whole.
QString rankText(int rank, int width)
{
    return QString::number(rank).rightJustified(width);
}

QString rankingTimeColumn(int64_t value)
{
    if (value == kFailedBest)
        return QStringLiteral("*失敗*");
    return rightAligned(signSpacedNumber(value), 6);
}
} // namespace

ListSettings &listSettings()
{
    static ListSettings settings;
    return settings;
}

QStringList periodChoiceTexts()
{
    return {QStringLiteral("　　　今週の全成績"), QStringLiteral("　　先週からの全成績"),
            QStringLiteral("　　１ヶ月間の全成績"), QStringLiteral("　　１年間の全成績"),
            QStringLiteral("　　今までの全成績\"")};
}

int periodDaysFor(int periodChoice, const QDate &today)
{
    // Monday counts 1 and Sunday 7: the days of this week so far, today included.
    const int daysOfThisWeek = today.dayOfWeek();
    switch (periodChoice) {
    case 1:
        return daysOfThisWeek;
    case 2:
        return daysOfThisWeek + 7;
    case 3:
        return 30;
    case 4:
        return 365;
    default:
        return 3650;
    }
}

QString listTimeText(int32_t time)
{
    return QString::number(time) + QStringLiteral("秒");
}

bool isFailedListTime(int32_t time)
{
    return time >= kFailedFrom;
}

QString hourMinuteStamp(double oleTimeOfDay)
{
    const int seconds = oleTimeSeconds(oleTimeOfDay);
    return QStringLiteral("%1:%2")
        .arg(seconds / 3600, 2, 10, QChar(u'0'))
        .arg(seconds / 60 % 60, 2, 10, QChar(u'0'));
}

// "12/09" of the record's "2026/12/09".
QString monthDayStamp(double oleDate)
{
    return recordDateText(oleDate).right(5);
}

bool isListableRecord(const RecordNumbers &record, int levelCount)
{
    return record.level >= 1 && record.level <= levelCount && record.pupil >= 0 &&
           record.pupil <= kMaxPupil && oleInCalendar(record.date) && oleInCalendar(record.timeOfDay);
}

int32_t listedRecordPoints(int32_t time, int32_t passTime)
{
    return basePoints(time, passTime, true);
}

QString recordListLine(const RecordNumbers &record, RecordStamp stamp, bool pointsFirst, int currentPupil)
{
    const QString stampText =
        stamp == RecordStamp::TimeOfDay ? hourMinuteStamp(record.timeOfDay) : monthDayStamp(record.date);
    const QString mark = record.pupil == currentPupil ? kOwnMark : GradeMark(gradeOfPupil(record.pupil));
    const QString named = stampText + mark +
                          fullWidthPadded(trimHalfWidth(rosterTables().pupilNames[record.pupil]), 4, 5) +
                          mark;
    if (isFailedListTime(record.resultTime))
        return kFailedMark + u' ' + named;
    const QString time = listTimeText(record.resultTime);
    const QString points =
        QString::number(listedRecordPoints(record.resultTime, hensuu1().passTime[record.level]));
    if (pointsFirst)
        return rightAligned(points, 5) + u' ' + named + time;
    return rightAligned(time, 5) + u' ' + named + points;
}

QString personalTimeLine(const RecordNumbers &record)
{
    const QString when = recordDateText(record.date) + u' ' + recordTimeText(record.timeOfDay);
    if (isFailedListTime(record.resultTime))
        return when + kFailedMark;
    return when + rightAligned(listTimeText(record.resultTime), 5);
}

void MergeSortRange(int lo, int hi, std::vector<RankKey> &keys, std::vector<int16_t> &values)
{
    if (lo >= hi)
        return;
    // The pairs sorted by key alone, stably: pupils with equal keys stay in roster order.
    std::vector<int> order(static_cast<size_t>(hi - lo + 1));
    std::iota(order.begin(), order.end(), lo);
    std::stable_sort(order.begin(), order.end(), [&keys](int a, int b) { return keys[a] < keys[b]; });
    std::vector<RankKey> sortedKeys;
    std::vector<int16_t> sortedValues;
    sortedKeys.reserve(order.size());
    sortedValues.reserve(order.size());
    for (int slot : order) {
        sortedKeys.push_back(keys[slot]);
        sortedValues.push_back(values[slot]);
    }
    std::copy(sortedKeys.begin(), sortedKeys.end(), keys.begin() + lo);
    std::copy(sortedValues.begin(), sortedValues.end(), values.begin() + lo);
}

void SortByKey(int n, std::vector<RankKey> &keys, std::vector<int16_t> &values)
{
    MergeSortRange(1, n, keys, values);
}

LevelList levelRanking(int level, int viewMode, int rankOrder, int currentPupil, const QString &gradeFilter,
                       int rankWidth)
{
    const Hensuu1 &h = hensuu1();
    const RosterTables &tables = rosterTables();
    const int n = tables.activePupilCount;
    const bool timeView = viewMode != 2;
    const bool byToday = rankOrder == 2;
    // Higher is better on a level that is not timed: the keys are turned round for the
    // sort, pupils without a result last, and turned back for the lines.
    const bool higherIsBetter = h.levelKind[level] != 1;

    std::vector<RankKey> keys(static_cast<size_t>(n) + 1);
    std::vector<int16_t> pupils(static_cast<size_t>(n) + 1);
    for (int i = 1; i <= n; ++i) {
        const int p = tables.activePupilNumbers[i];
        pupils[i] = static_cast<int16_t>(p);
        if (timeView) {
            int64_t key = h.bestTime[level][p];
            if (higherIsBetter)
                key = 10000 - (key == kTimedOut ? -kTimedOut : key);
            keys[i] = {key, 0};
        } else {
            // Descending by the first figure (today's points, or those so far), then by
            // the other.
            const int64_t today = h.todayPoints[level][p];
            const int64_t soFar = h.totalPoints[level][p];
            keys[i] = byToday ? RankKey{-today, -soFar} : RankKey{-soFar, -today};
        }
    }
    SortByKey(n, keys, pupils);
    if (timeView && higherIsBetter) {
        for (int i = 1; i <= n; ++i)
            keys[i].first = 10000 - keys[i].first;
    }

    LevelList list;
    int rank = 0;
    for (int i = 1; i <= n; ++i) {
        const int p = pupils[i];
        // Equal times, or equal first figures, share a rank: 1, 1, 3.
        if (i == 1 || keys[i].first != keys[i - 1].first)
            rank = i;
        const int grade = gradeOfPupil(p);
        if (!GradeFilterMatches(gradeFilter, grade))
            continue;
        const bool own = p == currentPupil;
        const QString mark1 = own ? kOwnMark : GradeMark(grade);
        const QString mark2 = own ? kOwnMark : kNoMark;
        const QString name5 = fullWidthPadded(withoutTrailingSpaces(tables.pupilNames[p]), 6, 5);
        const bool ranked = !timeView || keys[i].first != kTimedOut;
        if (timeView) {
            if (!ranked)
                list.lines << QString(rankWidth, u'-') + mark1 + name5 + QStringLiteral("------ ") + mark2;
            else
                list.lines << rankText(rank, rankWidth) + mark1 + name5 + rankingTimeColumn(keys[i].first) +
                                  u' ' + mark2;
        } else {
            if (byToday && h.todayPoints[level][p] == 0)
                continue;
            list.lines << rankText(rank, rankWidth) + mark1 + name5 +
                              rightAligned(QString::number(h.todayPoints[level][p]), 3) + u'/' +
                              rightAligned(QString::number(h.totalPoints[level][p]), 5);
        }
        list.pupils << p;
        list.ranks << (ranked ? rank : 0);
        if (own)
            list.ownRow = static_cast<int>(list.lines.size()) - 1;
    }
    return list;
}

ListKind listKindOf(int viewMode, int option)
{
    const bool pointsView = viewMode == 2;
    switch (option) {
    case 1:
        return pointsView ? ListKind::PointsSoFar : ListKind::BestTimes;
    case 2:
        return pointsView ? ListKind::PointsToday : ListKind::TodaysRecords;
    default:
        return pointsView ? ListKind::PeriodPoints : ListKind::PeriodRecords;
    }
}

bool listsReadResultsFile(ListKind kind)
{
    return kind == ListKind::TodaysRecords || kind == ListKind::PeriodRecords ||
           kind == ListKind::PeriodPoints || kind == ListKind::PersonalTimes;
}

QString listTitleOf(ListKind kind)
{
    switch (kind) {
    case ListKind::BestTimes:
        return QStringLiteral("ベスト成績");
    case ListKind::TodaysRecords:
        return QStringLiteral("本日の成績");
    case ListKind::PointsSoFar:
        return QStringLiteral("獲得ポイント（今まで順位）");
    case ListKind::PointsToday:
        return QStringLiteral("獲得ポイント（今日の順位）");
    case ListKind::PersonalTimes:
        return QStringLiteral("個人別ﾀｲﾑ");
    default:
        return {}; // a period's list has no title
    }
}

ListsView computeLists(ListKind kind, const QByteArray &bytes, const ListRequest &request)
{
    const Hensuu1 &h = hensuu1();
    ListsView view;
    view.title = listTitleOf(kind);
    LevelLines records;
    switch (kind) {
    case ListKind::BestTimes:
        view.listMode = 1;
        break;
    case ListKind::TodaysRecords:
        view.listMode = 2;
        records = todayLists(bytes, request);
        break;
    case ListKind::PeriodRecords:
    case ListKind::PeriodPoints:
        view.listMode = 3;
        view.periodDays = periodDaysFor(request.periodChoice, request.today);
        records = periodLists(bytes, request, view.periodDays, kind == ListKind::PeriodPoints);
        break;
    case ListKind::PersonalTimes:
        view.listMode = 3;
        view.periodDays = kPersonalTimesDays;
        records = personalLists(bytes, request);
        break;
    case ListKind::PointsSoFar:
    case ListKind::PointsToday:
        break;
    }
    for (int level = 1; level <= h.levelCount; ++level) {
        LevelList &list = view.levels[level];
        if (isPracticeLevel(level)) {
            list.hidden = true;
            continue;
        }
        switch (kind) {
        case ListKind::BestTimes:
            list = levelRanking(level, 1, 1, request.currentPupil, request.gradeFilter);
            break;
        case ListKind::PointsSoFar:
        case ListKind::PointsToday:
            list = levelRanking(level, 2, kind == ListKind::PointsToday ? 2 : 1, request.currentPupil,
                                request.gradeFilter);
            break;
        default:
            list.lines = records[level];
            break;
        }
    }
    return view;
}

void readResultsForLists(const QString &procedure, QByteArray &bytes)
{
    const IoStatus status = readResultsForScreen(resultsFilePath(), bytes);
    if (status.outcome == IoOutcome::Missing)
        bytes.clear();
    else if (!status.ok())
        endWithMessage(procedure + status.description + QString::number(status.code),
                       QString::fromUtf8(kProgramTitle));
}
