// The teacher's results editor without its window: the list of every record of the
// results file, one line per record with a level, in record order; the texts of the
// edit panel; and the change and the deletion of a record, with their checks. The
// screen FrmData and the commands records, edit and delete of ranvex-data share it.
#pragma once

#include "core/hensuu1.h"
#include "pupils/roster.h"
#include "results/results_file.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// The highest time a change may store: a timed-out attempt's 99999.
inline constexpr int kHighestEditedTime = kTimedOut;
// The spinner beside the time box runs over the finished attempts' times.
inline constexpr int kSpinnerTop = 6000;

// This screen's own reading of the roster, indexed by pupil number 0..5000.
struct RecordListRoster {
    std::vector<QString> names = std::vector<QString>(kPupilSlots);       // trimmed of half-width spaces
    std::vector<QString> gradeLabels = std::vector<QString>(kPupilSlots); // empty when none
    std::vector<char> inRoster = std::vector<char>(kPupilSlots);          // on some line of the file
    QStringList comboItems; // "number /  name" for every line, listed or not, in file order
};

// The grade number this screen shows: one lower than the name screen's in the months
// before the school year starts.
int recordListGradeNumber(int birthYear, const QDate &today, double schoolYearStartMonth);
RecordListRoster recordListRoster(const QList<RosterRecord> &records, const QDate &today,
                                  double schoolYearStartMonth);

// Everything the list is built from.
struct RecordListSource {
    RecordListRoster roster;
    RecordText schoolCode{' ', ' ', ' ', ' ', ' '}; // this installation's, as its records hold it
    QString schoolName;
    QByteArray bytes; // the results file
    // Set when the roster or the results file cannot be read: the message naming the
    // file. The list is then empty, so that nothing can be written.
    QString problem;
};

// Puts right a rewrite of the results file that was cut short (as the next writer
// would) and returns the one message that tells the teacher what was interrupted and
// what was done, here or by another PC since; empty when there is nothing to tell.
QString mendsToTell();

// Reads the roster of dataPathSetting and the results file of dataFolder. While another
// PC holds the results file: waits a second, says "先生を呼びなさい" with the reason, and
// reads again. A missing or unreadable file is not created: it is named in problem.
RecordListSource readRecordListSource();

struct RecordLine {
    int record = 0; // the record the line was built from; every operation uses it
    QString text;
};

QString recordListLine(int n, const ResultRecord &record, const RecordListSource &source);
// The lines of every record whose level is not 0, in record order.
QList<RecordLine> recordListLines(const RecordListSource &source);
// The line to select after a change or a deletion of record n: the line of record n or
// of the first one after it, else the last line; -1 for an empty list.
int rowToSelect(const QList<RecordLine> &lines, int n);

// A record as the list showed it, with its bytes for the check under the lock.
struct ListedRecord {
    int n = 0;
    QByteArray bytes;
    ResultRecord record;
};
// Record n when the list shows it; otherwise nullopt and the reason in refusal.
std::optional<ListedRecord> listedRecord(const RecordListSource &source, int n, QString *refusal);

struct EditPanelTexts {
    QString record;     // Label1
    QString level;      // Label2(1): "ﾚﾍﾞﾙ3"
    QString date;       // Label2(2)
    QString gradeLabel; // Label2(4)
    QString time;       // Text1(1)
    int spinner = 0;    // VScroll1: the time, held to the spinner's range
    QString pupil;      // Combo1: "7 /  山田"
};
EditPanelTexts editPanelTexts(const ListedRecord &listed, const RecordListRoster &roster);
// Label2(4) for a Combo1 item: the grade label of the number before its "/".
QString gradeLabelOfItem(const QString &item, const RecordListRoster &roster);

// The part of Combo1's text before its first "/"; nullopt when there is none.
std::optional<QString> pupilNumberOfCombo(const QString &comboText);

struct RecordChange {
    ResultRecord record;
    QString refusal; // why the typed texts cannot be stored; empty when they can
};
// The record as read with the typed pupil number and time, each rounded to the nearest
// whole number (halves to the even one). Refused: no "/" in Combo1 (pupilText nullopt),
// a pupil number that is not on the roster, a time that is no number or lies outside
// 0..99999.
RecordChange changedRecord(const ResultRecord &read, const std::optional<QString> &pupilText,
                           const QString &timeText, const RecordListRoster &roster);

enum class EditOutcome {
    Written,
    Refused,    // the typed texts were refused; nothing was tried
    NotWritten, // the file could not be written, or another PC had changed it
};
struct EditResult {
    EditOutcome outcome = EditOutcome::Written;
    QString message;
};
// Writes the change in place, under the writers' lock, only while record n is still
// the one listed.
EditResult changeListedRecord(const ListedRecord &listed, const std::optional<QString> &pupilText,
                              const QString &timeText, const RecordListRoster &roster);
// Deletes record n, under the writers' lock, only while it is still the one listed.
EditResult deleteListedRecord(const ListedRecord &listed);
