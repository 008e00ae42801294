// The accumulated results file "成績累積データ.dat": headerless 44-byte records,
// little-endian, appended by every PC of the classroom under an exclusive lock.
#pragma once

#include "results/shared_file.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QtEndian>

#include <array>
#include <bit>
#include <cstdint>

inline constexpr int kRecordSize = 44;
inline constexpr auto kResultsFileName = "成績累積データ.dat";
// The temporary copy the deletions of earlier versions made; the journal took its place.
inline constexpr auto kResultsTempFileName = "成績累積データtemp.dat";
inline constexpr int32_t kTimedOut = 99999;

using RecordText = std::array<char, 5>;

struct ResultRecord {
    double date = 0;      // OLE date: whole days since 1899-12-30
    double timeOfDay = 0; // OLE date: fraction of a day
    int16_t pupil = 0;
    int16_t level = 0;
    int32_t resultTime = 0;
    RecordText schoolCode{' ', ' ', ' ', ' ', ' '};
    RecordText spare1{' ', ' ', ' ', ' ', ' '};
    RecordText points{'0', ' ', ' ', ' ', ' '};
    RecordText spare2{0, 0, 0, 0, 0};

    // bytes must hold kRecordSize bytes.
    static ResultRecord fromBytes(const char *bytes);
    void toBytes(char *bytes) const;
    QByteArray toBytes() const;
    bool operator==(const ResultRecord &) const = default;
};

// The school code left-aligned and padded with spaces; cut to five characters.
RecordText schoolCodeText(const QString &schoolCode);
// A 16-bit value as decimal text, left-aligned, space-padded, cut to five characters.
RecordText pointsText(int16_t value);
// The text fields as readers take them: points through the lenient conversion.
int pointsValue(const ResultRecord &record);
QString schoolCodeOf(const ResultRecord &record);

// The date as yyyy/mm/dd and the time of day as h:mm:ss (to the nearest second), as
// the lists, the messages and the export show a record; a value the calendar does not
// hold is written as a plain number.
QString recordDateText(double oleDate);
QString recordTimeText(double timeOfDay);

// dataFolder + "成績累積データ.dat"
QString resultsFilePath();

// Reads the whole file with one read call into buffer, whose capacity is reused from
// call to call so that a scan allocates nothing once the buffer has grown. A missing
// file is reported as Missing and not created.
IoStatus readResultsBytes(const QString &path, QByteArray &buffer);
// readResultsBytes for a screen that lists the records. While another PC holds the
// file: waits a second with the screen responsive, asks for the teacher
// ("先生を呼びなさい" with the number the staff know a held file by, 70) and tries again;
// while the file may not be opened at all, calls the teacher about it. Returns Ok, or
// the file missing, or what else failed.
IoStatus readResultsForScreen(const QString &path, QByteArray &buffer);

inline int recordCountOf(const QByteArray &bytes)
{
    return static_cast<int>(bytes.size() / kRecordSize);
}
// Cuts what follows the last whole record: a fragment is no record.
inline void dropFragment(QByteArray &bytes)
{
    bytes.truncate(bytes.size() / kRecordSize * kRecordSize);
}
// Record n (1-based) of a buffer read by readResultsBytes.
inline ResultRecord recordAt(const QByteArray &bytes, int n)
{
    return ResultRecord::fromBytes(bytes.constData() + static_cast<qsizetype>(n - 1) * kRecordSize);
}

// The numeric fields of record n, read in place: what a pass over every record of the
// file needs, without copying the text fields.
struct RecordNumbers {
    double date;
    double timeOfDay;
    int16_t pupil;
    int16_t level;
    int32_t resultTime;
};
// The numeric fields of the record at p, which must hold kRecordSize bytes.
inline RecordNumbers recordNumbersAt(const char *p)
{
    return {std::bit_cast<double>(qFromLittleEndian<quint64>(p)),
            std::bit_cast<double>(qFromLittleEndian<quint64>(p + 8)), qFromLittleEndian<qint16>(p + 16),
            qFromLittleEndian<qint16>(p + 18), qFromLittleEndian<qint32>(p + 20)};
}
inline RecordNumbers recordNumbersAt(const QByteArray &bytes, int n)
{
    return recordNumbersAt(bytes.constData() + static_cast<qsizetype>(n - 1) * kRecordSize);
}

// Opens the file for reading and writing, creating it empty when it is missing, and
// closes it again: what every writer does first.
IoStatus OpenResultsFile(const QString &path);

// Appends the record of the attempt that has just finished (currentPupil,
// currentLevel, attemptTime, schoolCode, and the PC's date and time at this moment)
// under the exclusive whole-file lock, after the records kept on this PC, having first
// put right what an interrupted rewrite left and, at the day's first append, kept the
// daily copy. While another PC holds the file or its lock, waits one second with the
// user interface responsive and tries that step again. Any other failure leaves the
// record kept on this PC (see kept_results.h) and tells the pupil to call the teacher;
// only when it cannot even be kept here does "成績ランダムファイル記録" + the error's
// description end the program (a file that may not be opened calls the teacher first).
// Returns the number of the record written, 0 when it was kept on this PC.
int AppendResultRecord();
// At the program's start: appends the records kept on this PC when the results file
// can be written; otherwise leaves them for later, silently.
void DeliverKeptResults();
// How many times, in this run, a writer waited for another PC to free the file.
int appendRetryCount();

// Writes record k (1-based) in place, under the writers' lock so that it never lands
// in a file another PC is rewriting, after a copy of the file was kept (変更前) and
// with a journal that the next writer finishes or undoes it by. A record that does not
// exist is not written. With expected (the 44 bytes of record k as the caller read
// them), record k must still be exactly those bytes once the lock is held: a deletion
// by another PC moves every later record down by one, and the record at k may then be
// another pupil's. When it is not, nothing is written and the status says the file
// was changed.
IoStatus rewriteResultRecord(const QString &path, int k, const ResultRecord &record,
                             QByteArrayView expected = {});

// Rewrites the file without record k in place, holding the writers' lock throughout,
// after a copy was kept (削除前), with the journal of rewriteResultRecord; the
// fragment after the last whole record goes too. With expected, the same check as for
// the rewrite comes first.
IoStatus deleteResultRecord(const QString &path, int k, QByteArrayView expected = {});

struct RestoreCounts {
    int restored = 0;  // the copy's records
    int keptSince = 0; // records appended after the copy was taken, kept after them
};
// Puts the copy at copyPath back as the results file under the writers' lock, after
// keeping the file as it is (復元前): the copy's records, then every record of the file
// that was appended after the copy was taken, in its order.
IoStatus restoreResultRecords(const QString &path, const QString &copyPath, RestoreCounts &counts);
