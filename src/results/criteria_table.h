// The pass-criteria table "タイム回数データ.txt": one line per level (line 0 the
// captions), twelve comma-separated fields, code page 932, CR LF.
#pragma once

#include "results/backups.h"

#include <QList>
#include <QString>
#include <QStringList>

inline constexpr int kCriteriaFields = 12;
inline constexpr int kCriteriaLines = 36; // lines 0..35
inline constexpr int kLevelsInUse = 3;

// Reads the table into the shared criteria tables. Indices the file does not reach
// keep their values; lines after 35 are ignored. Returns an empty text when the
// table is usable, otherwise what is wrong (missing file, a level in use without
// its values).
QString LoadCriteriaTable(const QString &path);

// The editor's rows 0..n; column 0 of each row is the level number and is not written.
using CriteriaGrid = QList<QStringList>;

// Writes the rows as lines 0..n, after a copy of the table as it was is kept (基準変更前),
// and reads the file back. A cell that would not read
// back as itself unquoted (a comma, a line end, blanks at its ends) is written in
// double quotes; a cell that cannot be kept even so (a double quote among them) is
// refused. Returns an empty text on success, otherwise why the file could not be
// written (it is then unchanged).
QString SaveCriteriaTable(const QString &path, const CriteriaGrid &rows);

// Keeps a copy of the table at path for reason, then puts bytes in its place whole.
// Returns an empty text on success, otherwise why the table was left as it was.
QString replaceCriteriaFile(const QString &path, const QByteArray &bytes, BackupReason reason);

// A line of the table's text that does not hold exactly twelve fields: the reader takes
// twelve values per level across line ends, so every later level's values shift.
struct CriteriaLineFault {
    int line = 0; // 1-based
    int fields = 0;
};
QList<CriteriaLineFault> criteriaLinesWithoutTwelveFields(const QString &text);

// The twelve fields of a level as the table holds them, in file order.
QStringList criteriaFieldTexts(int level);
