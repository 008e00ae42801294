// The roster "新名簿.txt" of the shared base folder (one pupil a line, eight fields)
// and the grade rules that turn a birth year into a school grade and its labels.
#pragma once

#include "core/hensuu1.h"
#include "core/text_values.h"

#include <QDate>
#include <QList>
#include <QString>

#include <array>
#include <climits>
#include <cstdint>

inline constexpr auto kRosterFileName = "新名簿.txt";
inline constexpr int kRosterFields = 8;
inline constexpr int kRosterTextLength = 20;
// Birth years outside these give no grade: 20150 or -5 is a typing slip, not a pupil.
inline constexpr int kFirstBirthYear = 1900;
inline constexpr int kLastBirthYear = 2100;
// The grade number of a pupil whose birth year gives none.
inline constexpr int kNoGrade = INT_MIN;

struct RosterRecord {
    int16_t number = 0;
    int16_t birthYear = 0;
    int16_t spareNumber1 = 0;
    int16_t spareNumber2 = 0;
    QString name; // always kRosterTextLength characters, padded with spaces
    QString spareText1;
    QString spareText2;
};

// The tables a roster reading fills. Positions 1..activePupilCount hold the listed
// pupils in file order; the per-pupil tables are indexed by pupil number and set for
// every line of the file, listed or not.
struct RosterTables {
    std::array<RosterRecord, kPupilSlots> rosterRecords{};
    int16_t activePupilCount = 0;
    std::array<int16_t, kPupilSlots> activePupilNumbers{};
    std::array<QString, kPupilSlots> pupilNames{};
    std::array<int16_t, kPupilSlots> pupilBirthYears{};
    std::array<QString, kPupilSlots> pupilGradeLabels{};
    int16_t schoolYear = 0;
};

RosterTables &rosterTables();
// The grade number of a pupil (0..5000) in the roster tables' school year.
int gradeOfPupil(int pupil);
// Empties the tables, as at program start.
void resetRosterTables();

struct RosterProblem {
    enum class Kind {
        Skipped,   // the line could not be taken and was left out
        Duplicate, // the number is on an earlier line too; both are listed
        NotListed, // listed pupils beyond the size of the tables
        BirthYear, // a birth year outside 1900..2100; the pupil is listed without a grade
    };
    Kind kind = Kind::Skipped;
    int line = 0; // 1-based
    QString what;
};

struct RosterReading {
    QString path;
    FileReadStatus status = FileReadStatus::Ok;
    QString error; // why the file could not be read
    QList<RosterProblem> problems;
    // Every line read, listed or not, in file order (the results editor offers them all).
    QList<RosterRecord> records;
    bool fileRead() const { return status == FileReadStatus::Ok; }
    // What is wrong with the file as a whole, for a message naming it.
    QString fileProblem() const;
};

// The calendar year, minus 1 before the month the school year starts in.
int16_t schoolYearOn(const QDate &today, double schoolYearStartMonth);
// kNoGrade for a birth year outside kFirstBirthYear..kLastBirthYear.
int gradeNumberOf(int birthYear, int schoolYear);
// The grade number of the results editor and the charts' pupil chooser: one lower in
// the months before the school year starts (today.month() < schoolYearStartMonth).
int gradeNumberWithMonthShift(int birthYear, int schoolYear, const QDate &today, double schoolYearStartMonth);
// "幼-", "幼1".."幼3", "小1".."小6", "中1".."中3", "高1".."高3", "大+"; empty for kNoGrade.
QString displayGradeLabel(int gradeNumber);
// The year within the pupil's school; below 1 exactly for kindergarten; kNoGrade for kNoGrade.
int gradeInSchool(int gradeNumber);
// "幼３", "小１".."小６", "中１".."中３", "高１"; empty for every other grade number.
QString pupilGradeLabel(int gradeNumber);
// The one-character mark of a grade in the lists: "①".."⑥" for the elementary years,
// "Ⅰ".."Ⅲ" for junior high, a full-width space for every other grade number.
QString GradeMark(int gradeNumber);
// Whether a pupil of the grade number belongs to the grade filter text ("全学年",
// "小学生全体", "中２", "家族", ...); a text that is no filter matches nobody, and a
// pupil without a grade belongs to "全学年" only.
bool GradeFilterMatches(const QString &filter, int gradeNumber);

// Reads the roster file at path into the tables, first recomputing schoolYear from
// the clock and schoolYearStartMonth. A line whose number lies outside 0..5000 or
// whose numeric fields are not whole numbers is skipped; listed pupils beyond the
// tables' 5000 are not listed; a birth year without a grade is reported and kept.
// A file that cannot be read leaves the tables as they were.
RosterReading readRosterFile(const QString &path);

// Reads dataPathSetting + "新名簿.txt". A roster that cannot be read ends the program
// with a message naming the file, like any configuration file.
RosterReading ReadRoster();
