// The one process-wide state record every screen reads and writes. Screens pass
// everything to one another through it; nothing else survives a screen change.
#pragma once

#include "core/text_values.h"

#include <QColor>
#include <QString>

#include <array>
#include <cstdint>

inline constexpr int kLevelSlots = 36;   // level index 0..35, slot 0 holds no level
inline constexpr int kPupilSlots = 5001; // pupil number 0..5000
inline constexpr int kMaxPupil = 5000;
inline constexpr int kMaxLevel = 35;
inline constexpr int kCacheSlots = 20001; // per-record cache index 1..20000

template <typename T> using PerLevel = std::array<T, kLevelSlots>;

// The figures of one level and pupil, side by side: a statistics scan adds to all of
// them for each record, so that one record touches one cache line, not nine tables.
struct alignas(32) PupilFigures {
    int16_t totalCount = 0;
    int16_t passWindowCount = 0;
    int16_t overuseWindowCount = 0;
    float todayCount = 0;
    int32_t bestTime = 0;
    // The four sums side by side, in the cell's second half: a scan adds to them at once.
    int32_t totalPoints = 0;
    int32_t passWindowPoints = 0;
    int32_t overuseWindowPoints = 0;
    int32_t todayPoints = 0;
};
static_assert(sizeof(PupilFigures) == 32, "two cells to a cache line");
using PupilFiguresTable = std::array<std::array<PupilFigures, kPupilSlots>, kLevelSlots>;

// A bit per level: the rows whose figures may differ from a cleared row (every figure 0,
// the best time 99999). A scan clears only those rows: a school works on a few levels.
using LevelMask = uint64_t;
inline constexpr LevelMask levelBit(int level)
{
    return LevelMask{1} << (level & 63);
}

// One figure of every level and pupil, read and written as table[L][P] as if it were a
// table of its own. Going into a level's row other than to read marks the row touched.
template <typename T, T PupilFigures::*Figure> class FigureTable
{
public:
    template <typename Cell> class Row
    {
    public:
        explicit Row(Cell *cells) : m_cells(cells) {}
        auto &operator[](int pupil) const { return m_cells[pupil].*Figure; }

    private:
        Cell *m_cells;
    };

    FigureTable(PupilFiguresTable &cells, LevelMask &touched) : m_cells(cells), m_touched(touched) {}
    FigureTable(const FigureTable &) = delete;
    FigureTable &operator=(const FigureTable &) = delete;

    Row<PupilFigures> operator[](int level)
    {
        m_touched |= levelBit(level);
        return Row<PupilFigures>(m_cells[level].data());
    }
    Row<const PupilFigures> operator[](int level) const
    {
        return Row<const PupilFigures>(m_cells[level].data());
    }

private:
    PupilFiguresTable &m_cells;
    LevelMask &m_touched;
};

struct Hensuu1 {
    // Program identity and level catalogue
    QString programTitle;
    int16_t allLevelsOpen = 0;
    int16_t levelCount = 0;
    PerLevel<QString> levelNames{};
    PerLevel<int16_t> levelKind{};
    int goalLevel = 0;

    // Current pupil and attempt
    int16_t currentPupil = 0;
    QString currentPupilName;
    QString currentPupilGradeLabel;
    QString selectedGradeFilter;
    int32_t loginTime = 0;
    int16_t currentLevel = 0;
    int32_t attemptTime = 0;

    // Configuration, set once at start-up
    QString appFolder;
    QString programFolderName;
    QString dataPathSetting;
    QString dataFolder;
    QString soundFolder;
    double schoolYearStartMonth = 0;
    QString schoolName;
    QString schoolCode;
    double listStatusTwoPupils = 0;
    double nameScreenFlag = 0; // fourth value of the common data file; nothing depends on it
    QColor seasonColor{0, 0, 0};
    int16_t fileNo = 0;

    // Pass-criteria table, one entry per level
    PerLevel<int32_t> passTime{};
    PerLevel<int32_t> minimumTime{};
    PerLevel<int32_t> targetPoints{};
    PerLevel<int16_t> targetCount{};
    PerLevel<float> pointMultiplier{};
    PerLevel<LooseValue> overuseCount{};
    PerLevel<LooseValue> overusePoints{};
    PerLevel<LooseValue> passPeriodDays{};
    PerLevel<LooseValue> overusePeriodDays{};
    PerLevel<LooseValue> criteriaExtra1{};
    PerLevel<LooseValue> criteriaExtra2{};
    PerLevel<LooseValue> criteriaExtra3{};

    // Per-level x per-pupil statistics, derived from the results file
    PupilFiguresTable pupilFigures{};
    // Every row at first: the best times start at 0.
    LevelMask touchedLevels = ~LevelMask{0};
    FigureTable<int16_t, &PupilFigures::totalCount> totalCount{pupilFigures, touchedLevels};
    FigureTable<int32_t, &PupilFigures::totalPoints> totalPoints{pupilFigures, touchedLevels};
    FigureTable<int16_t, &PupilFigures::passWindowCount> passWindowCount{pupilFigures, touchedLevels};
    FigureTable<int32_t, &PupilFigures::passWindowPoints> passWindowPoints{pupilFigures, touchedLevels};
    FigureTable<int16_t, &PupilFigures::overuseWindowCount> overuseWindowCount{pupilFigures, touchedLevels};
    FigureTable<int32_t, &PupilFigures::overuseWindowPoints> overuseWindowPoints{pupilFigures, touchedLevels};
    FigureTable<float, &PupilFigures::todayCount> todayCount{pupilFigures, touchedLevels};
    FigureTable<int32_t, &PupilFigures::todayPoints> todayPoints{pupilFigures, touchedLevels};
    FigureTable<int32_t, &PupilFigures::bestTime> bestTime{pupilFigures, touchedLevels};
    PerLevel<int32_t> bestTimeAll{};
    int16_t todayTotal = 0;
    int16_t targetCleared = 0;
    std::array<int16_t, 2> newRecordFlags{};
    int16_t finalTargetCleared = 0;

    // Per-record cache of the results file (index 1..recordCount)
    int16_t recordCount = 0;
    std::array<double, kCacheSlots> recDate{};
    std::array<double, kCacheSlots> recTimeOfDay{};
    std::array<int16_t, kCacheSlots> recPupil{};
    std::array<int16_t, kCacheSlots> recLevel{};
    std::array<int32_t, kCacheSlots> recTime{};

    // Drill run state
    int16_t problemCount = 0;
    int32_t correctCount = 0;
    float drillStartTime = 0;
    int32_t elapsedSeconds = 0;
    int32_t timeLimit = 0;
    double gaugeScale = 0;
    int16_t judgeResult = 0;
    int16_t judgingBusy = 0;
    int16_t timedOut = 0;
    int16_t wrongAnswerState = 0;
    std::array<int16_t, 2> drillEndState{};

    // Sound state: soundTable[kind][row], row 0 the kind's name, rows 1..20 the
    // wave files' base names, row 21 the number of files as decimal text.
    std::array<std::array<QString, 22>, 11> soundTable{};
    int16_t soundErrorCount = 0;
    QString mciCommand;
    QString mciReturnText;
    QString mciResultCode;
};

// The record lives on the heap (the statistics tables alone are several megabytes).
Hensuu1 &hensuu1();

// Starts the record afresh, as at program start: numbers 0, texts empty, tables zero.
void resetHensuu1();
