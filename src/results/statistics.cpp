#include "results/statistics.h"

#include "core/environment.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "results/attempt_points.h"
#include "results/results_file.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace
{
constexpr int kMissingFileWaitMs = 5000;
constexpr int kBusyWaitMs = 1000;
constexpr int kMissingFileAttempts = 4;
constexpr int kFileNotFound = 53; // the number the school's staff know the missing file by
constexpr int kOverflow = 6;

// Steps of the load and of the tally, shown in the messages so that the teacher can
// tell how far a failing scan got.
constexpr int kLoadStepOpening = 3;
constexpr int kLoadStepReading = 5;
constexpr int kTallyStepRecords = 7;

// The file's bytes, kept between scans so that a scan allocates nothing once the
// buffer has grown to the file's size.
QByteArray &fileBuffer()
{
    static QByteArray buffer;
    return buffer;
}

QString title()
{
    return QString::fromUtf8(kProgramTitle);
}

// What the cache holds at slot i, as the failure messages show it.
QString cachedRecordText(int i)
{
    const Hensuu1 &h = hensuu1();
    const int slot = std::clamp(i, 0, kCacheSlots - 1);
    return QStringLiteral("/date") + oleDateText(h.recDate[slot]) + QStringLiteral("/i=") +
           QString::number(i) + QStringLiteral("/time=") + oleTimeOfDayText(h.recTimeOfDay[slot]) +
           QStringLiteral("/name=") + QStringLiteral("/Bangou=") + QString::number(h.recPupil[slot]) +
           QStringLiteral("/level=") + QString::number(h.recLevel[slot]) + QStringLiteral("/time=") +
           QString::number(h.recTime[slot]);
}

[[noreturn]] void endLoad(const IoStatus &status, int step, int slot)
{
    const QString number = QString::number(status.code);
    endWithMessage(QStringLiteral("成績ランダムファイル表示") + QString::number(step) + number +
                       status.description + number + cachedRecordText(slot) + QStringLiteral("line") +
                       QString::number(step),
                   title());
    std::abort(); // endWithMessage does not return
}

[[noreturn]] void endTally(int step, int index)
{
    endWithMessage(QStringLiteral("回数求") + QString::number(step) +
                       QStringLiteral("オーバーフローしました。") + QString::number(kOverflow) +
                       cachedRecordText(index) + QStringLiteral("errline") + QString::number(step),
                   title());
    std::abort();
}

// Reads the whole file into fileBuffer(), under the waiting rules of a reader that
// shares the file with the other PCs.
void readResultsFile()
{
    // Built again only when the data folder changes, so that a scan allocates nothing.
    static QString folder;
    static QString path;
    if (path.isEmpty() || folder != hensuu1().dataFolder) {
        folder = hensuu1().dataFolder;
        path = resultsFilePath();
    }
    int missing = 0;
    for (;;) {
        IoStatus status = readResultsBytes(path, fileBuffer());
        if (status.outcome == IoOutcome::Missing) {
            // A classroom's first scan finds no file yet: create it empty as every
            // opener does. A file that cannot even be created (no folder, a share
            // that cannot be written) stays missing, so that the waits end.
            status = OpenResultsFile(path);
            if (status.ok())
                continue;
            status.outcome = IoOutcome::Missing;
        }
        switch (status.outcome) {
        case IoOutcome::Ok:
            return;
        case IoOutcome::Busy:
            waitResponsive(kBusyWaitMs);
            break;
        case IoOutcome::Missing:
            waitResponsive(kMissingFileWaitMs);
            if (++missing >= kMissingFileAttempts) {
                endWithMessage(QStringLiteral("ファイルがありません") + QString::number(kLoadStepOpening) +
                                   status.description + QString::number(kFileNotFound),
                               title());
                std::abort();
            }
            break;
        case IoOutcome::Failed:
            endLoad(status, kLoadStepReading, 0);
        }
    }
}

// The days fields keep the text they were read with; parse each text once rather
// than on every scan, so that a scan allocates nothing.
struct ParsedDays {
    QString text;
    LooseValue::Kind kind = LooseValue::Kind::Empty;
    double days = 0;
};

double daysOf(const LooseValue &value, ParsedDays &parsed)
{
    if (parsed.kind != value.kind || parsed.text != value.text) {
        parsed.kind = value.kind;
        parsed.text = value.text;
        parsed.days = value.number();
    }
    return parsed.days;
}

bool addPoints(int32_t &sum, int32_t points)
{
    return !__builtin_add_overflow(sum, points, &sum);
}

void clearBestTimes()
{
    Hensuu1 &h = hensuu1();
    for (int level = 1; level <= kMaxLevel; ++level) {
        for (int pupil = 1; pupil <= kMaxPupil; ++pupil)
            h.pupilFigures[level][pupil].bestTime = kTimedOut;
    }
}

// The sums one cached record adds to the figures of its level and pupil, with each
// level's periods and points worked out once per scan.
class Tally
{
public:
    Tally()
    {
        const Hensuu1 &h = hensuu1();
        const double now = nowAsOleDate();
        m_today = oleDateOf(env().clock->today());
        // A record lies in a period when its date is later than now minus the
        // period's days: with whole days n, the last n calendar days including today.
        static std::array<ParsedDays, kLevelSlots> passDays;
        static std::array<ParsedDays, kLevelSlots> overuseDays;
        for (int level = 1; level <= kMaxLevel; ++level) {
            m_pointsOf[level] = RecordPointsOfLevel(level);
            m_passFrom[level] = now - daysOf(h.passPeriodDays[level], passDays[level]);
            m_overuseFrom[level] = now - daysOf(h.overusePeriodDays[level], overuseDays[level]);
        }
    }

    // Adds a record of level 1..35 to its cell; false when a points sum would leave
    // the 32-bit range. Without branches on the record's date: whether a record lies in
    // a period is as good as random, and a mispredicted branch costs more than adding 0.
    bool add(PupilFigures &cell, int level, int32_t time, double date) const
    {
        const int32_t points = m_pointsOf[level](time);
        const int16_t finished = time < kFinishedBelow ? 1 : 0;
        const bool inPass = date > m_passFrom[level];
        const bool inOveruse = date > m_overuseFrom[level];
        // Dated today by the calendar, whatever fraction the date carries.
        const bool today = date >= m_today && date < m_today + 1;

        cell.totalCount += finished;
        cell.passWindowCount += inPass ? finished : 0;
        cell.overuseWindowCount += inOveruse ? finished : 0;
        cell.todayCount += today ? finished : 0;
        bool fits = addPoints(cell.totalPoints, points);
        fits &= addPoints(cell.passWindowPoints, inPass ? points : 0);
        fits &= addPoints(cell.overuseWindowPoints, inOveruse ? points : 0);
        fits &= addPoints(cell.todayPoints, today ? points : 0);
        return fits;
    }

private:
    double m_today = 0;
    std::array<double, kLevelSlots> m_passFrom{};
    std::array<double, kLevelSlots> m_overuseFrom{};
    std::array<RecordPointsOfLevel, kLevelSlots> m_pointsOf{};
};

constexpr int kPrefetchAhead = 16;

// The cell record k adds to, or another cell of the table when it names none.
const PupilFigures *cellOf(const Hensuu1 &h, const QByteArray &bytes, int k)
{
    const RecordNumbers record = recordNumbersAt(bytes, k);
    const auto level = std::min<uint16_t>(static_cast<uint16_t>(record.level), kMaxLevel);
    const auto pupil = std::min<uint16_t>(static_cast<uint16_t>(record.pupil), kMaxPupil);
    return &h.pupilFigures[level][pupil];
}

// Fills the cache, the best times and bestTimeAll from the file's bytes; with a tally,
// also adds each record the cache keeps, while its numbers are at hand, so that the
// scan walks the records once.
void fillRecordCache(const QByteArray &bytes, const Tally *tally)
{
    Hensuu1 &h = hensuu1();
    const int n = recordCountOf(bytes);
    const int first = n > kCachedRecords ? n - kCachedRecords + 1 : 1;
    int slot = 0;
    uint64_t levelsSeen = 0;
    for (int k = first; k <= n; ++k) {
        // The records name their pupils in no order, so nearly every record's cell is a
        // cache miss: ask for the cell of a record a little ahead, so that the misses
        // overlap instead of coming one after another.
        if (k + kPrefetchAhead <= n)
            __builtin_prefetch(cellOf(h, bytes, k + kPrefetchAhead));
        const RecordNumbers record = recordNumbersAt(bytes, k);
        // A record naming a pupil or level the tables have no slot for, or a date or
        // time the calendar does not hold, belongs to no one; passing over it keeps
        // every screen usable (the data tool reports it).
        if (record.pupil < 0 || record.pupil > kMaxPupil || record.level < 0 || record.level > kMaxLevel ||
            !oleInCalendar(record.date) || !oleInCalendar(record.timeOfDay))
            continue;
        const int j = slot + 1;
        h.recDate[j] = record.date;
        h.recTimeOfDay[j] = record.timeOfDay;
        h.recPupil[j] = record.pupil;
        h.recLevel[j] = record.level;
        h.recTime[j] = record.resultTime;
        PupilFigures &cell = h.pupilFigures[record.level][record.pupil];
        // Taken without a branch: whether a record beats the best so far is as good as
        // random, and a mispredicted branch costs more than the store.
        cell.bestTime = std::min(cell.bestTime, record.resultTime);
        levelsSeen |= uint64_t{1} << record.level;
        // The best time above is kept even for a record dropped here.
        if (record.date < 0 || record.pupil == 0 || record.level < 1)
            continue;
        slot = j;
        if (tally && !tally->add(cell, record.level, record.resultTime, record.date))
            endTally(kTallyStepRecords, j);
    }
    h.recordCount = static_cast<int16_t>(slot);

    // The best times of a level no record named are all 99999.
    for (int level = 1; level <= kMaxLevel; ++level) {
        int32_t best = kTimedOut;
        if (levelsSeen & (uint64_t{1} << level)) {
            for (int pupil = 1; pupil <= 1000; ++pupil)
                best = std::min(best, h.pupilFigures[level][pupil].bestTime);
        }
        h.bestTimeAll[level] = best;
    }
}
} // namespace

void clearPupilFigures()
{
    constexpr PupilFigures cleared{.bestTime = kTimedOut};
    Hensuu1 &h = hensuu1();
    // The last level first: the lowest levels, which the classroom works on, are then
    // the ones still in the processor's cache when the records are added.
    for (int level = kMaxLevel; level >= 1; --level)
        std::fill(h.pupilFigures[level].begin() + 1, h.pupilFigures[level].end(), cleared);
}

void fillRecordCache(const QByteArray &bytes)
{
    clearBestTimes();
    fillRecordCache(bytes, nullptr);
}

void LoadResultsFile()
{
    // The best times are reset before the read, so that the records are taken from
    // the file's bytes while they are still in the processor's cache.
    clearBestTimes();
    readResultsFile();
    fillRecordCache(fileBuffer(), nullptr);
}

void tallyPupilStatistics()
{
    const Tally tally;
    Hensuu1 &h = hensuu1();
    for (int level = 1; level <= kMaxLevel; ++level) {
        for (int pupil = 1; pupil <= kMaxPupil; ++pupil) {
            PupilFigures &cell = h.pupilFigures[level][pupil];
            cell = PupilFigures{.bestTime = cell.bestTime};
        }
    }
    const int count = h.recordCount;
    for (int i = 1; i <= count; ++i) {
        if (!tally.add(h.pupilFigures[h.recLevel[i]][h.recPupil[i]], h.recLevel[i], h.recTime[i],
                       h.recDate[i]))
            endTally(kTallyStepRecords, i);
    }
}

void ComputePupilStatistics()
{
    // LoadResultsFile and then tallyPupilStatistics, in one walk over the records.
    clearPupilFigures();
    readResultsFile();
    const Tally tally;
    fillRecordCache(fileBuffer(), &tally);
}
