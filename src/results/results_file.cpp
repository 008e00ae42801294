#include "results/results_file.h"

#include "core/environment.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/text_values.h"

#include <QDir>
#include <QFileInfo>
#include <QTime>
#include <QtEndian>

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>

namespace {

int g_appendRetries = 0;

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
        IoStatus status = step();
        if (status.outcome == IoOutcome::Denied) {
            callTeacherAbout(status);
            continue;
        }
        if (status.outcome != IoOutcome::Busy)
            return status;
        ++g_appendRetries;
        waitResponsive(1000);
    }
}

// Opens an existing results file for writing and takes the writers' lock on it.
IoStatus openLocked(SharedFile &file, const QString &path, SharedFile::Mode mode)
{
    if (IoStatus status = untilFree([&] { return file.open(path, mode); }); !status.ok())
        return status;
    return untilFree([&] { return file.tryLock(); });
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

QString tempPathFor(const QString &path)
{
    const QString name = QString::fromUtf8(kResultsFileName);
    if (path.endsWith(name))
        return path.left(path.size() - name.size()) + QString::fromUtf8(kResultsTempFileName);
    return QFileInfo(path).dir().filePath(QString::fromUtf8(kResultsTempFileName));
}

// Writes contents as the whole file and makes it reach the disk.
IoStatus writeWhole(SharedFile &file, const QByteArray &contents)
{
    if (IoStatus status = file.writeAt(0, contents.constData(), contents.size()); !status.ok())
        return status;
    if (IoStatus status = file.truncate(contents.size()); !status.ok())
        return status;
    return file.flush();
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

QString resultsTempFilePath()
{
    return hensuu1().dataFolder + QString::fromUtf8(kResultsTempFileName);
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
    const Hensuu1 &h = hensuu1();
    const QString path = resultsFilePath();
    SharedFile file;
    qint64 length = 0;
    IoStatus status = untilFree([&] { return file.open(path, SharedFile::Mode::ReadWriteCreate); });
    if (status.ok())
        status = untilFree([&] { return file.tryLock(); });
    if (status.ok())
        status = untilFree([&] { return file.size(length); });
    // A trailing fragment is not a record: the new record goes over it.
    const qint64 count = length / kRecordSize;
    if (status.ok()) {
        ResultRecord record;
        // The moment of recording, taken now that the file is ours; the old
        // program's clock gave whole seconds.
        record.date = oleDateOf(env().clock->today());
        record.timeOfDay = std::floor(env().clock->timeOfDay()) / 86400.0;
        record.pupil = h.currentPupil;
        record.level = h.currentLevel;
        record.resultTime = h.attemptTime;
        record.schoolCode = schoolCodeText(h.schoolCode);
        record.points = pointsText(0);
        const QByteArray bytes = record.toBytes();
        status =
            untilFree([&] { return file.writeAt(count * kRecordSize, bytes.constData(), bytes.size()); });
    }
    if (status.ok())
        status = untilFree([&] { return file.flush(); });
    if (status.ok())
        status = untilFree([&] { return file.unlock(); });
    file.close();
    if (!status.ok()) {
        endWithMessage(QStringLiteral("成績ランダムファイル記録") + status.description,
                       QString::fromUtf8(kProgramTitle));
        return 0;
    }
    return static_cast<int>(count + 1);
}

int appendRetryCount()
{
    return g_appendRetries;
}

IoStatus rewriteResultRecord(const QString &path, int k, const ResultRecord &record, QByteArrayView expected)
{
    SharedFile file;
    if (IoStatus status = openLocked(file, path, SharedFile::Mode::ReadWrite); !status.ok())
        return status;
    QByteArray contents;
    if (IoStatus status = file.readAll(contents); !status.ok())
        return status;
    if (IoStatus status = checkUnchanged(contents, k, expected, path); !status.ok())
        return status;
    if (IoStatus status = checkRecordNumber(k, contents.size(), path); !status.ok())
        return status;
    const QByteArray bytes = record.toBytes();
    if (IoStatus status = file.writeAt(qint64(k - 1) * kRecordSize, bytes.constData(), bytes.size());
        !status.ok())
        return status;
    return file.flush();
}

IoStatus deleteResultRecord(const QString &path, int k, QByteArrayView expected)
{
    const QString tempPath = tempPathFor(path);
    // The file stays in place and locked from the copy to the end of the rewrite:
    // another PC's append waits for it instead of going into a file about to be
    // replaced.
    SharedFile file;
    if (IoStatus status = openLocked(file, path, SharedFile::Mode::ReadWrite); !status.ok())
        return status;
    // A copy left behind may be the only complete one of the records. Looked for under
    // the lock: a deletion that failed while this one waited may just have left it.
    if (QFileInfo::exists(tempPath)) {
        return failedStatus(
            QStringLiteral("前回の消去が終わっていません。残っている写しに全部の記録があるかもしれません。"
                           "写しを確かめてから消してください"),
            tempPath);
    }
    QByteArray original;
    if (IoStatus status = file.readAll(original); !status.ok())
        return status;
    if (IoStatus status = checkUnchanged(original, k, expected, path); !status.ok())
        return status;
    if (IoStatus status = checkRecordNumber(k, original.size(), path); !status.ok())
        return status;

    {
        SharedFile temp;
        IoStatus status = temp.open(tempPath, SharedFile::Mode::Replace);
        if (status.ok())
            status = writeWhole(temp, original);
        if (!status.ok()) {
            temp.close();
            removeSharedFile(tempPath);
            return status;
        }
    }

    // Records after k move up by one; the fragment after the last whole record, if
    // any, goes as well.
    const qint64 count = original.size() / kRecordSize;
    const qint64 start = qint64(k) * kRecordSize;
    IoStatus status =
        file.writeAt(start - kRecordSize, original.constData() + start, (count - k) * kRecordSize);
    if (status.ok())
        status = file.truncate((count - 1) * kRecordSize);
    if (status.ok())
        status = file.flush();
    if (!status.ok()) {
        if (writeWhole(file, original).ok()) {
            removeSharedFile(tempPath);
            status.description += QStringLiteral("。記録は元のままです");
            return status;
        }
        // The file cannot be written where it is: the complete copy takes its place,
        // which Windows allows only once no program has the file open.
        file.close();
        if (replaceSharedFile(path, tempPath).ok()) {
            status.description += QStringLiteral("。記録は写しから元に戻しました");
        } else {
            status.description += QStringLiteral("。全部の記録の写しが %1 に残っています")
                                      .arg(QDir::toNativeSeparators(tempPath));
        }
        return status;
    }
    file.close();
    removeSharedFile(tempPath);
    return {};
}
