#include "results/results_file.h"

#include "core/environment.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/text_values.h"
#include "results/backups.h"
#include "results/kept_results.h"
#include "results/results_journal.h"

#include <QHash>
#include <QTime>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

double doubleAt(const char *bytes)
{
    return std::bit_cast<double>(qFromLittleEndian<quint64>(bytes));
}

void putDouble(char *bytes, double value)
{
    qToLittleEndian(std::bit_cast<quint64>(value), bytes);
}

RecordText textField(const char *bytes)
{
    RecordText text;
    std::memcpy(text.data(), bytes, text.size());
    return text;
}

QString textOf(const RecordText &field)
{
    return decodeCp932(QByteArray(field.data(), field.size()));
}

// Runs one step of a writer again for as long as it cannot be done yet: after a
// second with the user interface responsive while another PC holds the file or its
// lock, and after the teacher was called while the file may not be opened.
template <typename Step> IoStatus untilFree(Step step)
{
    for (;;) {
        IoStatus status = whileBusy(step);
        if (status.outcome != IoOutcome::Denied)
            return status;
        callTeacherAbout(status);
    }
}

// Opens an existing results file for writing, takes the writers' lock on it and puts
// right what an interrupted rewrite left. A rewrite that cannot be put right is in the
// way of every other: the status then says why.
IoStatus openLockedMended(SharedFile &file, const QString &path, SharedFile::Mode mode)
{
    if (IoStatus status = untilFree([&] { return file.open(path, mode); }); !status.ok())
        return status;
    if (IoStatus status = untilFree([&] { return file.tryLock(); }); !status.ok())
        return status;
    if (const Mend mend = recoverResultsWithNote(file, path); mend.outcome == Mend::Outcome::Stuck)
        return failedStatus(mend.text, journalPathFor(path));
    return {};
}

IoStatus checkRecordNumber(int k, qint64 length, const QString &path)
{
    const qint64 count = length / kRecordSize;
    if (k < 1 || k > count)
        return failedStatus(QStringLiteral("%1番目の記録はありません（記録は%2件です）").arg(k).arg(count),
                            path);
    return {};
}

// Under the lock: record k must still be the bytes the caller read.
IoStatus checkUnchanged(const QByteArray &contents, int k, QByteArrayView expected, const QString &path)
{
    if (expected.isEmpty())
        return {};
    if (k >= 1 && k <= recordCountOf(contents) &&
        QByteArrayView(contents).sliced(qsizetype(k - 1) * kRecordSize, kRecordSize) == expected)
        return {};
    return failedStatus(QStringLiteral("ほかのPCがファイルを変えました。%1番目の記録は読んだときのものではないので、"
                                       "何も書いていません")
                            .arg(k),
                        path);
}

// A teacher's change goes only with a copy of the file from before it.
IoStatus keptCopyOrRefusal(const QString &path, const QByteArray &contents, BackupReason reason)
{
    IoStatus status = keepBackup(path, contents, reason);
    if (!status.ok())
        status.description =
            QStringLiteral("前の状態の写しを作れないので、何も変えていません。") + status.description;
    return status;
}

// Reads the file under the lock for a teacher's rewrite of record k, checks that k is
// still the record read, and keeps a copy of the file from before.
IoStatus readForRewrite(SharedFile &file, const QString &path, int k, QByteArrayView expected,
                        BackupReason reason, QByteArray &contents)
{
    if (IoStatus status = file.readAll(contents); !status.ok())
        return status;
    if (IoStatus status = checkUnchanged(contents, k, expected, path); !status.ok())
        return status;
    if (IoStatus status = checkRecordNumber(k, contents.size(), path); !status.ok())
        return status;
    return keptCopyOrRefusal(path, contents, reason);
}

// The record of the attempt that has just finished, at this moment.
ResultRecord attemptRecord()
{
    const Hensuu1 &h = hensuu1();
    ResultRecord record;
    // The old program's clock gave whole seconds.
    record.date = oleDateOf(env().clock->today());
    record.timeOfDay = std::floor(env().clock->timeOfDay()) / 86400.0;
    record.pupil = h.currentPupil;
    record.level = h.currentLevel;
    record.resultTime = h.attemptTime;
    record.schoolCode = schoolCodeText(h.schoolCode);
    record.points = pointsText(0);
    return record;
}

// The first append of the day keeps a copy of the file; a copy that cannot be made
// never stops the append.
void takeDailyCopy(SharedFile &file, const QString &path)
{
    if (!dailyBackupDue(path))
        return;
    QByteArray contents;
    if (file.readAll(contents).ok())
        keepBackup(path, contents, BackupReason::Daily);
}

// Without a program folder to keep it in, the record goes straight into the file.
IoStatus appendDirectly(SharedFile &file, const ResultRecord &record, int &written)
{
    qint64 length = 0;
    IoStatus status = whileBusy([&] { return file.size(length); });
    // A trailing fragment is not a record: the new record goes over it.
    const qint64 count = length / kRecordSize;
    const QByteArray bytes = record.toBytes();
    if (status.ok())
        status =
            whileBusy([&] { return file.writeAt(count * kRecordSize, bytes.constData(), bytes.size()); });
    if (status.ok())
        status = whileBusy([&] { return file.flush(); });
    written = static_cast<int>(count + 1);
    return status;
}

void tellKeptOnThisPc(const IoStatus &status)
{
    env().dialogs->message(
        QStringLiteral("先生を呼びなさい。\n成績のファイルに書けなかったので、この成績はこのPCに"
                       "残しました。あとで成績のファイルに書き足します。\n") +
            status.description,
        QString::fromUtf8(kProgramTitle));
}

// The records of the file that are not among the copy's, in the file's order: every
// record appended after the copy was taken. Records are matched by what no correction
// changes (the moment, the level, the school and the spare fields), so that a record
// changed since counts as the copy's own, and one taken more than once by the copy
// only as often as the copy holds it.
QByteArray recordsAppendedSince(const QByteArray &copy, const QByteArray &now)
{
    const auto keyOf = [](const QByteArray &bytes, int n) {
        const QByteArrayView record =
            QByteArrayView(bytes).sliced(qsizetype(n - 1) * kRecordSize, kRecordSize);
        return record.first(16).toByteArray() + record.sliced(18, 2).toByteArray() +
               record.sliced(24).toByteArray();
    };
    QHash<QByteArray, int> inCopy;
    for (int n = 1; n <= recordCountOf(copy); ++n)
        ++inCopy[keyOf(copy, n)];
    QByteArray appended;
    for (int n = 1; n <= recordCountOf(now); ++n) {
        int &left = inCopy[keyOf(now, n)];
        if (left > 0)
            --left;
        else
            appended += QByteArrayView(now).sliced(qsizetype(n - 1) * kRecordSize, kRecordSize);
    }
    return appended;
}

} // namespace

ResultRecord ResultRecord::fromBytes(const char *bytes)
{
    ResultRecord record;
    record.date = doubleAt(bytes);
    record.timeOfDay = doubleAt(bytes + 8);
    record.pupil = qFromLittleEndian<qint16>(bytes + 16);
    record.level = qFromLittleEndian<qint16>(bytes + 18);
    record.resultTime = qFromLittleEndian<qint32>(bytes + 20);
    record.schoolCode = textField(bytes + 24);
    record.spare1 = textField(bytes + 29);
    record.points = textField(bytes + 34);
    record.spare2 = textField(bytes + 39);
    return record;
}

void ResultRecord::toBytes(char *bytes) const
{
    putDouble(bytes, date);
    putDouble(bytes + 8, timeOfDay);
    qToLittleEndian<qint16>(pupil, bytes + 16);
    qToLittleEndian<qint16>(level, bytes + 18);
    qToLittleEndian<qint32>(resultTime, bytes + 20);
    std::memcpy(bytes + 24, schoolCode.data(), 5);
    std::memcpy(bytes + 29, spare1.data(), 5);
    std::memcpy(bytes + 34, points.data(), 5);
    std::memcpy(bytes + 39, spare2.data(), 5);
}

QByteArray ResultRecord::toBytes() const
{
    QByteArray bytes(kRecordSize, Qt::Uninitialized);
    toBytes(bytes.data());
    return bytes;
}

RecordText schoolCodeText(const QString &schoolCode)
{
    RecordText text{' ', ' ', ' ', ' ', ' '};
    size_t used = 0;
    // Cut between characters, never through a double-byte one.
    for (const QChar c : schoolCode) {
        const QByteArray bytes = encodeCp932(QString(c));
        if (used + bytes.size() > text.size())
            break;
        std::memcpy(text.data() + used, bytes.constData(), bytes.size());
        used += bytes.size();
    }
    return text;
}

RecordText pointsText(int16_t value)
{
    RecordText text{' ', ' ', ' ', ' ', ' '};
    const QByteArray digits = QByteArray::number(value).left(5);
    std::memcpy(text.data(), digits.constData(), digits.size());
    return text;
}

int pointsValue(const ResultRecord &record)
{
    // Five characters hold "9e99" as well as "12".
    return clampedTo<int>(lenientNumber(textOf(record.points)));
}

QString schoolCodeOf(const ResultRecord &record)
{
    return textOf(record.schoolCode).trimmed();
}

QString recordDateText(double oleDate)
{
    if (!oleInCalendar(oleDate))
        return QString::number(oleDate);
    int year = 0;
    int month = 0;
    int day = 0;
    dateOfOle(oleDate).getDate(&year, &month, &day);
    // By hand: the record list formats a date per record, and a date format is parsed each call.
    const char text[] = {char('0' + year / 1000),    char('0' + year / 100 % 10), char('0' + year / 10 % 10),
                         char('0' + year % 10),      '/',
                         char('0' + month / 10),     char('0' + month % 10),      '/',
                         char('0' + day / 10),       char('0' + day % 10)};
    return QString::fromLatin1(text, sizeof text);
}

QString recordTimeText(double timeOfDay)
{
    if (!oleInCalendar(timeOfDay))
        return QString::number(timeOfDay);
    const int seconds = oleTimeSeconds(timeOfDay);
    const int hours = seconds / 3600;
    const int minutes = seconds / 60 % 60;
    const char text[] = {char('0' + hours / 10),   char('0' + hours % 10), ':', char('0' + minutes / 10),
                         char('0' + minutes % 10), ':',                    char('0' + seconds % 60 / 10),
                         char('0' + seconds % 10)};
    // Hours without a leading zero.
    return hours < 10 ? QString::fromLatin1(text + 1, sizeof text - 1) : QString::fromLatin1(text, sizeof text);
}

QString resultsFilePath()
{
    return hensuu1().dataFolder + QString::fromUtf8(kResultsFileName);
}

IoStatus readResultsBytes(const QString &path, QByteArray &buffer)
{
    SharedFile file;
    if (IoStatus status = file.open(path, SharedFile::Mode::Read); !status.ok()) {
        buffer.resize(0);
        return status;
    }
    return file.readAll(buffer);
}

IoStatus readResultsForScreen(const QString &path, QByteArray &buffer)
{
    constexpr int kBusyErrorNumber = 70;
    for (;;) {
        const IoStatus status = readResultsBytes(path, buffer);
        if (status.outcome == IoOutcome::Busy) {
            waitResponsive(1000);
            env().dialogs->message(QStringLiteral("先生を呼びなさい") + status.description +
                                       QString::number(kBusyErrorNumber),
                                   QString::fromUtf8(kProgramTitle));
        } else if (status.outcome == IoOutcome::Denied) {
            callTeacherAbout(status);
        } else {
            return status;
        }
    }
}

IoStatus OpenResultsFile(const QString &path)
{
    SharedFile file;
    return file.open(path, SharedFile::Mode::ReadWriteCreate);
}

int AppendResultRecord()
{
    const QString path = resultsFilePath();
    for (;;) {
        SharedFile file;
        IoStatus status = whileBusy([&] { return file.open(path, SharedFile::Mode::ReadWriteCreate); });
        if (status.ok())
            status = whileBusy([&] { return file.tryLock(); });
        if (status.ok()) {
            recoverResultsWithNote(file, path);
            takeDailyCopy(file, path);
        }
        // The moment of recording, taken once the file is ours (or known to be out of reach).
        const ResultRecord record = attemptRecord();
        // Kept on this PC before it is written: whatever fails from here on, the drill
        // is not lost, and a delivery cut short is never appended twice.
        const bool kept = keepResultOnThisPc(record).ok();
        int written = 0;
        if (status.ok())
            status = kept ? deliverKeptResults(file, written) : appendDirectly(file, record, written);
        file.close();
        if (status.ok())
            return written;
        if (kept) {
            tellKeptOnThisPc(status);
            return 0;
        }
        if (status.outcome != IoOutcome::Denied) {
            endWithMessage(QStringLiteral("成績ランダムファイル記録") + status.description,
                           QString::fromUtf8(kProgramTitle));
            return 0;
        }
        callTeacherAbout(status);
    }
}

void DeliverKeptResults()
{
    if (keptResultsOnThisPc().isEmpty())
        return;
    const QString path = resultsFilePath();
    SharedFile file;
    IoStatus status = whileBusy([&] { return file.open(path, SharedFile::Mode::ReadWriteCreate); });
    if (status.ok())
        status = whileBusy([&] { return file.tryLock(); });
    if (!status.ok())
        return; // the share is still out of reach: a later append or start tries again
    recoverResultsWithNote(file, path);
    takeDailyCopy(file, path);
    int written = 0;
    deliverKeptResults(file, written);
}

int appendRetryCount()
{
    return busyWaitCount();
}

IoStatus rewriteResultRecord(const QString &path, int k, const ResultRecord &record, QByteArrayView expected)
{
    SharedFile file;
    QByteArray contents;
    if (IoStatus status = openLockedMended(file, path, SharedFile::Mode::ReadWrite); !status.ok())
        return status;
    if (IoStatus status = readForRewrite(file, path, k, expected, BackupReason::BeforeChange, contents);
        !status.ok())
        return status;
    const qint64 at = qint64(k - 1) * kRecordSize;
    return rewriteResults(file, path, contents, at, at + kRecordSize, record.toBytes(), RewriteKind::Change,
                          k);
}

IoStatus deleteResultRecord(const QString &path, int k, QByteArrayView expected)
{
    SharedFile file;
    QByteArray contents;
    if (IoStatus status = openLockedMended(file, path, SharedFile::Mode::ReadWrite); !status.ok())
        return status;
    if (IoStatus status = readForRewrite(file, path, k, expected, BackupReason::BeforeDelete, contents);
        !status.ok())
        return status;
    // Records after k move up by one; the fragment after the last whole record, if any,
    // goes as well.
    const qint64 whole = qint64(recordCountOf(contents)) * kRecordSize;
    const qint64 next = qint64(k) * kRecordSize;
    return rewriteResults(file, path, contents, next - kRecordSize, whole, contents.mid(next, whole - next),
                          RewriteKind::Delete, k);
}

IoStatus restoreResultRecords(const QString &path, const QString &copyPath, RestoreCounts &counts)
{
    QByteArray copy;
    if (IoStatus status = readResultsBytes(copyPath, copy); !status.ok())
        return status;
    dropFragment(copy);
    SharedFile file;
    QByteArray contents;
    if (IoStatus status = openLockedMended(file, path, SharedFile::Mode::ReadWriteCreate); !status.ok())
        return status;
    if (IoStatus status = file.readAll(contents); !status.ok())
        return status;
    if (IoStatus status = keptCopyOrRefusal(path, contents, BackupReason::BeforeRestore); !status.ok())
        return status;
    const QByteArray since = recordsAppendedSince(copy, contents);
    counts = {recordCountOf(copy), recordCountOf(since)};
    return rewriteResults(file, path, contents, 0, qint64(recordCountOf(contents)) * kRecordSize,
                          copy + since, RewriteKind::Restore, 0);
}
