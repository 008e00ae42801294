#include "results/statistics.h"

#include "core/environment.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "results/attempt_points.h"
#include "results/results_file.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <cstring>

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
    return QStringLiteral("/date") + recordDateText(h.recDate[slot]) + QStringLiteral("/i=") +
           QString::number(i) + QStringLiteral("/time=") + recordTimeText(h.recTimeOfDay[slot]) +
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
        case IoOutcome::Denied:
            callTeacherAbout(status);
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

// The four point sums of a cell, added as one; unsigned, so that a sum that would leave
// the range wraps instead of being undefined (see kSmallPoints).
using PointSums = uint32_t __attribute__((vector_size(16)));
static_assert(offsetof(PupilFigures, passWindowPoints) == offsetof(PupilFigures, totalPoints) + 4 &&
              offsetof(PupilFigures, overuseWindowPoints) == offsetof(PupilFigures, totalPoints) + 8 &&
              offsetof(PupilFigures, todayPoints) == offsetof(PupilFigures, totalPoints) + 12);
// By the periods a record lies in (pass, overuse, today as bits 0, 1, 2): what a finished
// record adds to the three counts, and which of the four sums its points go to.
constexpr uint64_t countStep(unsigned periods)
{
    return 1 | uint64_t(periods & 1) << 16 | uint64_t(periods >> 1 & 1) << 32;
}
constexpr uint64_t kCountSteps[8] = {countStep(0), countStep(1), countStep(2), countStep(3),
                                     countStep(4), countStep(5), countStep(6), countStep(7)};
constexpr float kTodaySteps[2] = {0, 1};
constexpr PointSums pointMask(unsigned periods)
{
    return PointSums{~0u, 0u - (periods & 1), 0u - (periods >> 1 & 1), 0u - (periods >> 2 & 1)};
}
constexpr PointSums kPointMasks[8] = {pointMask(0), pointMask(1), pointMask(2), pointMask(3),
                                      pointMask(4), pointMask(5), pointMask(6), pointMask(7)};
static_assert(offsetof(PupilFigures, passWindowCount) == 2 &&
              offsetof(PupilFigures, overuseWindowCount) == 4 && offsetof(PupilFigures, todayCount) == 8 &&
              std::endian::native == std::endian::little);

// Points of at most this size cannot take a sum of at most kCachedRecords of them out of
// the 32-bit range; a scan checks its sums only when a record earns more.
constexpr int32_t kSmallPoints = INT32_MAX / kCachedRecords;

constexpr PupilFigures kCleared{.bestTime = kTimedOut};

// The rows a scan fills: levels 1..35, pupils 1..5000.
void clearRow(Hensuu1 &h, int level)
{
    std::fill(h.pupilFigures[level].begin() + 1, h.pupilFigures[level].end(), kCleared);
}

// Clears the rows that may hold anything but cleared figures; the others already are.
void clearTouchedRows()
{
    Hensuu1 &h = hensuu1();
    for (int level = 1; level <= kMaxLevel; ++level) {
        if (h.touchedLevels & levelBit(level))
            clearRow(h, level);
    }
    h.touchedLevels &= levelBit(0);
}

// The best times of every touched row to 99999; the row keeps its other figures, and
// stays touched.
void clearBestTimes()
{
    Hensuu1 &h = hensuu1();
    for (int level = 1; level <= kMaxLevel; ++level) {
        if (!(h.touchedLevels & levelBit(level)))
            continue;
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
        m_today = static_cast<int64_t>(oleDateOf(env().clock->today()));
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

    // Adds a record of level 1..35 to its cell, without branches on the record's date:
    // whether a record lies in a period is as good as random, and a mispredicted branch
    // costs more than adding 0. Checked: false when a points sum would leave the 32-bit
    // range. Unchecked: false when the record's points are too large to add unchecked.
    template <bool kChecked> bool add(PupilFigures &cell, int level, int32_t time, double date) const
    {
        const int32_t points = m_pointsOf[level](time);
        const int finished = time < kFinishedBelow;
        const int inPass = date > m_passFrom[level];
        const int inOveruse = date > m_overuseFrom[level];
        // Dated today by the calendar, whatever fraction the date carries; the dates
        // added lie in 0..2958465, so that their whole part is an integer's.
        const int today = static_cast<int64_t>(date) == m_today;

        cell.todayCount += kTodaySteps[today & finished];
        if constexpr (kChecked) {
            const int32_t passPoints = points & -inPass;
            const int32_t overusePoints = points & -inOveruse;
            const int32_t todayPoints = points & -today;
            cell.totalCount += finished;
            cell.passWindowCount += inPass & finished;
            cell.overuseWindowCount += inOveruse & finished;
            bool fits = addPoints(cell.totalPoints, points);
            fits &= addPoints(cell.passWindowPoints, passPoints);
            fits &= addPoints(cell.overuseWindowPoints, overusePoints);
            fits &= addPoints(cell.todayPoints, todayPoints);
            return fits;
        } else {
            // Every instruction counts here, 20000 times a scan: the three counts go in
            // one 64-bit addition (a count of a scan cannot carry into the next, it stays
            // below 20001), the four sums in one vector addition, what each gets looked
            // up by the periods the record lies in.
            const unsigned periods = static_cast<unsigned>(inPass | inOveruse << 1 | today << 2);
            char *bytes = reinterpret_cast<char *>(&cell);
            uint64_t counts;
            std::memcpy(&counts, bytes + offsetof(PupilFigures, totalCount), sizeof counts);
            counts += kCountSteps[periods] & -static_cast<uint64_t>(finished);
            std::memcpy(bytes + offsetof(PupilFigures, totalCount), &counts, sizeof counts);
            PointSums sums;
            std::memcpy(&sums, bytes + offsetof(PupilFigures, totalPoints), sizeof sums);
            sums += (PointSums{} + static_cast<uint32_t>(points)) & kPointMasks[periods];
            std::memcpy(bytes + offsetof(PupilFigures, totalPoints), &sums, sizeof sums);
            return static_cast<uint32_t>(points) + uint32_t{kSmallPoints} <= 2 * uint32_t{kSmallPoints};
        }
    }

private:
    int64_t m_today = 0;
    std::array<double, kLevelSlots> m_passFrom{};
    std::array<double, kLevelSlots> m_overuseFrom{};
    std::array<RecordPointsOfLevel, kLevelSlots> m_pointsOf{};
};

enum class Tallying { None, Unchecked, Checked };

constexpr int kAhead = 8;

// Fills the cache, the best times and bestTimeAll from the file's bytes; with a tally,
// also adds each record the cache keeps, while its numbers are at hand, so that the
// scan walks the records once. False when, unchecked, a record's points were too large
// for sums without a check: the tables must then be made again, checked.
template <Tallying kTallying> bool fillRecordCache(const QByteArray &bytes, const Tally *tally)
{
    Hensuu1 &h = hensuu1();
    const int n = recordCountOf(bytes);
    const int first = n > kCachedRecords ? n - kCachedRecords + 1 : 1;
    int slot = 0;
    LevelMask levelsSeen = 0;
    bool small = true;
    const char *const data = bytes.constData();
    for (int k = first; k <= n; ++k) {
        const char *const at = data + static_cast<qsizetype>(k - 1) * kRecordSize;
        // The records name their pupils in no order, so that most cells come from
        // memory: the cell of a record a little ahead is asked for now.
        if (k + kAhead <= n) {
            const RecordNumbers ahead = recordNumbersAt(at + kAhead * kRecordSize);
            __builtin_prefetch(&h.pupilFigures[std::min<uint16_t>(ahead.level, kMaxLevel)]
                                              [std::min<uint16_t>(ahead.pupil, kMaxPupil)]);
        }
        const RecordNumbers record = recordNumbersAt(at);
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
        levelsSeen |= levelBit(record.level);
        // The best time above is kept even for a record dropped here.
        if (record.date < 0 || record.pupil == 0 || record.level < 1)
            continue;
        slot = j;
        if constexpr (kTallying == Tallying::Unchecked) {
            small &= tally->add<false>(cell, record.level, record.resultTime, record.date);
        } else if constexpr (kTallying == Tallying::Checked) {
            if (!tally->add<true>(cell, record.level, record.resultTime, record.date)) {
                h.touchedLevels |= levelsSeen;
                endTally(kTallyStepRecords, j);
            }
        }
    }
    h.recordCount = static_cast<int16_t>(slot);
    h.touchedLevels |= levelsSeen;

    // The best times of a level no record named are all 99999.
    for (int level = 1; level <= kMaxLevel; ++level) {
        int32_t best = kTimedOut;
        if (levelsSeen & levelBit(level)) {
            for (int pupil = 1; pupil <= 1000; ++pupil)
                best = std::min(best, h.pupilFigures[level][pupil].bestTime);
        }
        h.bestTimeAll[level] = best;
    }
    return small;
}
} // namespace

void clearPupilFigures()
{
    Hensuu1 &h = hensuu1();
    for (int level = 1; level <= kMaxLevel; ++level)
        clearRow(h, level);
    h.touchedLevels &= levelBit(0);
}

void fillRecordCache(const QByteArray &bytes)
{
    clearBestTimes();
    fillRecordCache<Tallying::None>(bytes, nullptr);
}

void LoadResultsFile()
{
    // The best times are reset before the read, so that the records are taken from
    // the file's bytes while they are still in the processor's cache.
    clearBestTimes();
    readResultsFile();
    fillRecordCache<Tallying::None>(fileBuffer(), nullptr);
}

void tallyPupilStatistics()
{
    const Tally tally;
    Hensuu1 &h = hensuu1();
    for (int level = 1; level <= kMaxLevel; ++level) {
        if (!(h.touchedLevels & levelBit(level)))
            continue;
        for (int pupil = 1; pupil <= kMaxPupil; ++pupil) {
            PupilFigures &cell = h.pupilFigures[level][pupil];
            cell = PupilFigures{.bestTime = cell.bestTime};
        }
    }
    const int count = h.recordCount;
    for (int i = 1; i <= count; ++i) {
        h.touchedLevels |= levelBit(h.recLevel[i]);
        if (!tally.add<true>(h.pupilFigures[h.recLevel[i]][h.recPupil[i]], h.recLevel[i], h.recTime[i],
                             h.recDate[i]))
            endTally(kTallyStepRecords, i);
    }
}

void ComputePupilStatistics()
{
    // LoadResultsFile and then tallyPupilStatistics, in one walk over the records.
    clearTouchedRows();
    readResultsFile();
    const Tally tally;
    if (!fillRecordCache<Tallying::Unchecked>(fileBuffer(), &tally)) {
        // Some record earns more than sums can take unchecked: again, checked, so that
        // the first sum to leave the range is reported.
        clearTouchedRows();
        fillRecordCache<Tallying::Checked>(fileBuffer(), &tally);
    }
}
