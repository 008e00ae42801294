#include "results/results_journal.h"

#include "core/environment.h"
#include "core/paths.h"
#include "core/text_values.h"
#include "results/results_file.h"

#include <QDir>
#include <QFileInfo>
#include <QtEndian>

#include <bit>
#include <cmath>
#include <cstring>
#include <optional>

namespace
{

// The journal: a 64-byte header, then the bytes that undo the rewrite and the bytes
// that finish it (only those the rewrite's shape needs), then, once the file has been
// made ready to be cut or grown, a 16-byte mark.
//   0 "RVXJRNL1"   8 kind   12 record   16 whole length before   24 offset
//   32 end of the rewritten part   40 length after   48 moment (OLE date)   56 checksum
constexpr char kMagic[] = "RVXJRNL1";
constexpr char kCutMagic[] = "RVXJCUT1";
constexpr qint64 kHeaderSize = 64;
constexpr qint64 kCutMarkSize = 16;

// A file whose length after the rewrite is shorter, the same, or longer.
enum class Shape { Shrink, Same, Grow };

struct Journal {
    RewriteKind kind = RewriteKind::Change;
    int record = 0;
    qint64 length = 0; // whole records before the rewrite
    qint64 offset = 0;
    qint64 end = 0;
    qint64 newLength = 0;
    double moment = 0;
    QByteArray undo; // the bytes of [offset, end) before
    QByteArray redo; // the bytes of [offset, offset + replacement) after
    quint64 checksum = 0;
    bool cut = false; // the mark is there

    Shape shape() const
    {
        return newLength < length ? Shape::Shrink : newLength == length ? Shape::Same : Shape::Grow;
    }
    qint64 size() const { return kHeaderSize + undo.size() + redo.size(); }
};

// What stands in the last whole record's place once the records have moved up and
// before the file is cut: no program appends these bytes (level 0, and spare fields
// no writer fills so), so that the next writer can tell whether the cut was made even
// after other PCs have appended.
QByteArray tombstone()
{
    ResultRecord record;
    record.resultTime = kTimedOut;
    record.spare1 = {'R', 'V', 'X', 'C', 'T'};
    record.spare2 = {'\xff', '\xff', '\xff', '\xff', '\xff'};
    return record.toBytes();
}

QByteArray headerBytes(const Journal &j)
{
    QByteArray header(kHeaderSize, '\0');
    char *p = header.data();
    std::memcpy(p, kMagic, 8);
    qToLittleEndian<quint32>(static_cast<quint32>(j.kind), p + 8);
    qToLittleEndian<qint32>(j.record, p + 12);
    qToLittleEndian<qint64>(j.length, p + 16);
    qToLittleEndian<qint64>(j.offset, p + 24);
    qToLittleEndian<qint64>(j.end, p + 32);
    qToLittleEndian<qint64>(j.newLength, p + 40);
    qToLittleEndian<quint64>(std::bit_cast<quint64>(j.moment), p + 48);
    return header;
}

quint64 checksumOf(const Journal &j)
{
    const QByteArray header = headerBytes(j);
    return bytesChecksum(j.redo, bytesChecksum(j.undo, bytesChecksum(QByteArrayView(header).first(56))));
}

QByteArray journalBytes(const Journal &j)
{
    QByteArray bytes = headerBytes(j);
    qToLittleEndian<quint64>(j.checksum, bytes.data() + 56);
    return bytes + j.undo + j.redo;
}

QByteArray cutMark(const Journal &j)
{
    QByteArray mark(kCutMagic, 8);
    mark.resize(kCutMarkSize);
    qToLittleEndian<quint64>(j.checksum, mark.data() + 8);
    return mark;
}

bool wholeRecords(qint64 bytes)
{
    return bytes >= 0 && bytes % kRecordSize == 0;
}

// Every number of the header is checked against the others and the journal's length:
// a torn journal, or any file that is not one, gives nullopt.
std::optional<Journal> parseJournal(const QByteArray &bytes)
{
    if (bytes.size() < kHeaderSize || !bytes.startsWith(QByteArrayView(kMagic, 8)))
        return std::nullopt;
    const char *p = bytes.constData();
    Journal j;
    const quint32 kind = qFromLittleEndian<quint32>(p + 8);
    if (kind < 1 || kind > 3)
        return std::nullopt;
    j.kind = static_cast<RewriteKind>(kind);
    j.record = qFromLittleEndian<qint32>(p + 12);
    j.length = qFromLittleEndian<qint64>(p + 16);
    j.offset = qFromLittleEndian<qint64>(p + 24);
    j.end = qFromLittleEndian<qint64>(p + 32);
    j.newLength = qFromLittleEndian<qint64>(p + 40);
    j.moment = std::bit_cast<double>(qFromLittleEndian<quint64>(p + 48));
    j.checksum = qFromLittleEndian<quint64>(p + 56);
    // Far beyond any results file, and small enough that no sum below overflows.
    constexpr qint64 kLargest = qint64(1) << 40;
    if (!wholeRecords(j.length) || !wholeRecords(j.offset) || !wholeRecords(j.newLength) ||
        j.offset > j.end || j.end > j.length || j.offset > j.newLength || j.length > kLargest ||
        j.newLength > kLargest || (j.end < j.length && j.newLength != j.length))
        return std::nullopt;
    const qint64 part = j.end - j.offset;
    const Shape shape = j.shape();
    const qint64 undoSize = shape == Shape::Grow ? 0 : part;
    const qint64 redoSize = shape == Shape::Shrink ? 0 : j.newLength - j.offset - (j.length - j.end);
    if (kHeaderSize + undoSize + redoSize > bytes.size())
        return std::nullopt;
    j.undo = bytes.mid(kHeaderSize, undoSize);
    j.redo = bytes.mid(kHeaderSize + undoSize, redoSize);
    if (checksumOf(j) != j.checksum)
        return std::nullopt;
    // A mark cut short is no mark: the file is cut or grown only once the mark is whole.
    j.cut = bytes.mid(j.size()) == cutMark(j);
    return j;
}

QString momentText(double moment)
{
    const double day = std::floor(moment);
    return recordDateText(day) + u' ' + recordTimeText(moment - day);
}

QString whatWasInterrupted(const Journal &j)
{
    QString what;
    switch (j.kind) {
    case RewriteKind::Change:
        what = QStringLiteral("記録%1の変更").arg(j.record);
        break;
    case RewriteKind::Delete:
        what = QStringLiteral("記録%1の消去").arg(j.record);
        break;
    case RewriteKind::Restore:
        what = QStringLiteral("写しからの戻し");
        break;
    }
    return QStringLiteral("%1に始めた%2").arg(momentText(j.moment), what);
}

const QString kAppendedKept = QStringLiteral("あとから書き足された記録は、すべてそのまま残っています。");

Mend finished(const QString &what)
{
    return {Mend::Outcome::Finished,
            what + QStringLiteral("が途中で止まっていたので、最後まで済ませました。") + kAppendedKept};
}

Mend undone(const QString &what)
{
    return {Mend::Outcome::Undone, what +
                                       QStringLiteral("が途中で止まっていたので、取り消しました（記録は"
                                                      "その前のままです）。") +
                                       kAppendedKept};
}

Mend stuck(const QString &what, const QString &why)
{
    return {Mend::Outcome::Stuck, what + QStringLiteral("が途中で止まったままです。") + why};
}

QString misfit(const QString &journalPath)
{
    return QStringLiteral(
               "控えのファイル %1 が成績のファイルと合わないので、どちらもそのままにしてあります。")
        .arg(QDir::toNativeSeparators(journalPath));
}

IoStatus writeThenFlush(SharedFile &file, qint64 offset, const QByteArray &bytes)
{
    if (IoStatus status = file.writeAt(offset, bytes.constData(), bytes.size()); !status.ok())
        return status;
    return file.flush();
}

IoStatus readPart(SharedFile &file, qint64 offset, qint64 length, QByteArray &bytes)
{
    bytes.resize(length);
    qint64 done = 0;
    const IoStatus status = file.readAt(offset, bytes.data(), length, done);
    bytes.resize(done);
    return status;
}

// The mark is written, or taken away again, at the journal's end.
IoStatus markJournal(const QString &journalPath, const Journal &j, bool cut)
{
    SharedFile file;
    IoStatus status = file.open(journalPath, SharedFile::Mode::ReadWrite);
    if (status.ok())
        status = cut ? writeThenFlush(file, j.size(), cutMark(j)) : file.truncate(j.size());
    if (status.ok() && !cut)
        status = file.flush();
    return status;
}

IoStatus removeJournal(const QString &journalPath)
{
    if (IoStatus status = removeSharedFile(journalPath); !status.ok())
        return status;
    return syncSharedFolder(folderOfPath(journalPath));
}

// The end of a recovery: the file put right (status ok, mend not Stuck) lets the
// journal go; otherwise it stays, and the mend says why.
Mend settled(const QString &what, const IoStatus &status, const Mend &mend, const QString &journalPath)
{
    if (!status.ok())
        return stuck(what, status.description);
    if (mend.outcome == Mend::Outcome::Stuck)
        return mend;
    if (IoStatus removed = removeJournal(journalPath); !removed.ok())
        return stuck(what, removed.description);
    return mend;
}

// Puts the file right by the journal: finishes or undoes the rewrite, or says why
// neither can be done (Stuck, the file left as it is).
Mend applyJournal(SharedFile &file, const QString &journalPath, Journal j)
{
    const QString what = whatWasInterrupted(j);
    qint64 size = 0;
    if (IoStatus status = file.size(size); !status.ok())
        return stuck(what, status.description);
    const qint64 slot = j.length - kRecordSize; // the last whole record's place before
    IoStatus status;
    Mend mend = stuck(what, misfit(journalPath));
    switch (j.shape()) {
    case Shape::Same: {
        if (size < j.end)
            return mend;
        QByteArray now;
        status = readPart(file, j.offset, j.redo.size(), now);
        if (status.ok() && now == j.redo) {
            mend = finished(what);
        } else if (status.ok()) {
            status = writeThenFlush(file, j.offset, j.undo);
            mend = undone(what);
        }
        break;
    }
    case Shape::Shrink: {
        if (!j.cut) {
            // The cut was not made: every record appended since stands after the part.
            if (size < j.length)
                return mend;
            status = writeThenFlush(file, j.offset, j.undo);
            mend = undone(what);
            break;
        }
        QByteArray last;
        if (size >= j.length)
            status = readPart(file, slot, kRecordSize, last);
        if (!status.ok())
            break;
        if (last != tombstone()) {
            // Cut, and maybe appended to since: the rewrite is complete.
            if (size >= j.newLength)
                mend = finished(what);
        } else if (size < j.length + kRecordSize) {
            status = file.truncate(j.newLength);
            if (status.ok())
                status = file.flush();
            mend = finished(what);
        } else {
            // Records were appended after the marked place, not yet cut: undone, so that
            // they stay where they are. Without the mark first, a second interruption
            // could no longer tell this undoing from a cut.
            status = markJournal(journalPath, j, false);
            if (status.ok())
                status = writeThenFlush(file, j.offset, j.undo);
            mend = undone(what);
        }
        break;
    }
    case Shape::Grow: {
        bool grown = j.cut;
        if (!grown && size >= j.newLength) {
            // The file was lengthened with zero bytes, which no appended record holds.
            QByteArray added;
            status = readPart(file, j.length, j.newLength - j.length, added);
            grown = status.ok() && added.count('\0') == added.size();
            if (grown)
                status = markJournal(journalPath, j, true);
        }
        if (!status.ok())
            break;
        if (grown) {
            if (size < j.newLength)
                return mend;
            status = writeThenFlush(file, j.offset, j.redo);
            mend = finished(what);
        } else if (size >= j.length) {
            mend = undone(what); // nothing of the rewrite reached the file
        }
        break;
    }
    }
    return settled(what, status, mend, journalPath);
}

// A deletion of an earlier Ranvex copied the whole file to "成績累積データtemp.dat", then
// moved the records after the deleted one up by one and cut the file. The last
// record's place is written only by the cut and by appends after it, so it tells
// whether the cut was made.
Mend recoverLegacyCopy(SharedFile &file, const QString &path)
{
    const QString tempPath = folderOfPath(path) + QString::fromUtf8(kResultsTempFileName);
    if (!QFileInfo::exists(tempPath))
        return {};
    const QString what = QStringLiteral("前の版のRanvexで始めた記録の消去");
    QByteArray copy;
    QByteArray now;
    IoStatus status = readResultsBytes(tempPath, copy);
    if (status.ok())
        status = file.readAll(now);
    if (!status.ok())
        return stuck(what, status.description);
    dropFragment(copy);
    const qint64 length = copy.size();
    Mend mend = stuck(what, misfit(tempPath));
    if (length == 0) {
        mend = {};
    } else if (now.size() >= length && now.mid(length - kRecordSize, kRecordSize) == copy.last(kRecordSize)) {
        status = writeThenFlush(file, 0, copy);
        mend = undone(what);
    } else if (now.size() >= length - kRecordSize) {
        // Cut: the file must be the copy without one record.
        qint64 k = 0;
        while (k < length - kRecordSize && now.mid(k, kRecordSize) == copy.mid(k, kRecordSize))
            k += kRecordSize;
        if (now.mid(k, length - kRecordSize - k) == copy.mid(k + kRecordSize))
            mend = finished(what);
    }
    return settled(what, status, mend, tempPath);
}

QString notesPathFor(const QString &resultsPath)
{
    return folderOfPath(resultsPath) + QString::fromUtf8(kMendNotesFileName);
}

} // namespace

QString journalPathFor(const QString &resultsPath)
{
    return folderOfPath(resultsPath) + QString::fromUtf8(kResultsJournalFileName);
}

IoStatus rewriteResults(SharedFile &file, const QString &path, const QByteArray &contents, qint64 offset,
                        qint64 end, const QByteArray &replacement, RewriteKind kind, int record)
{
    Journal j;
    j.kind = kind;
    j.record = record;
    j.length = contents.size() / kRecordSize * kRecordSize;
    j.offset = offset;
    j.end = end;
    j.newLength = j.length - (end - offset) + replacement.size();
    j.moment = nowAsOleDate();
    const Shape shape = j.shape();
    if (shape != Shape::Grow)
        j.undo = contents.mid(offset, end - offset);
    if (shape != Shape::Shrink)
        j.redo = replacement;
    j.checksum = checksumOf(j);
    if (shape == Shape::Grow && contents.size() != j.length) {
        // The zero bytes of the lengthened file must follow the last whole record.
        if (IoStatus status = file.truncate(j.length); !status.ok())
            return status;
    }

    const QString journalPath = journalPathFor(path);
    if (IoStatus status = writeWholeSharedFile(journalPath, journalBytes(j)); !status.ok()) {
        // The file is not touched before its journal is complete.
        removeSharedFile(journalPath);
        return status;
    }
    IoStatus status;
    switch (shape) {
    case Shape::Same:
        status = writeThenFlush(file, offset, replacement);
        break;
    case Shape::Shrink:
        status = file.writeAt(offset, replacement.constData(), replacement.size());
        if (status.ok())
            status = writeThenFlush(file, j.length - kRecordSize, tombstone());
        if (status.ok())
            status = markJournal(journalPath, j, true);
        if (status.ok())
            status = file.truncate(j.newLength);
        if (status.ok())
            status = file.flush();
        break;
    case Shape::Grow:
        status = file.truncate(j.newLength);
        if (status.ok())
            status = file.flush();
        if (status.ok())
            status = markJournal(journalPath, j, true);
        if (status.ok())
            status = writeThenFlush(file, offset, replacement);
        break;
    }
    if (status.ok())
        status = removeJournal(journalPath);
    if (status.ok())
        return {};

    // The lock is still held: put the file right now rather than leave it to the next writer.
    const Mend mend = recoverResults(file, path);
    switch (mend.outcome) {
    case Mend::Outcome::None:
    case Mend::Outcome::Finished:
        return {};
    case Mend::Outcome::Undone:
        status.description += QStringLiteral("。記録は元のままです");
        break;
    case Mend::Outcome::Stuck:
        status.description +=
            QStringLiteral("。途中までの書きかえは、次にこのファイルに書くPCが控え %1 から直します")
                .arg(QDir::toNativeSeparators(journalPath));
        break;
    }
    return status;
}

Mend recoverResults(SharedFile &file, const QString &path)
{
    const QString journalPath = journalPathFor(path);
    if (!QFileInfo::exists(journalPath))
        return recoverLegacyCopy(file, path);
    QByteArray bytes;
    SharedFile journalFile;
    IoStatus status = journalFile.open(journalPath, SharedFile::Mode::Read);
    if (status.ok())
        status = journalFile.readAll(bytes);
    journalFile.close();
    if (!status.ok())
        return stuck(QStringLiteral("成績のファイルの書きかえ"), status.description);
    const std::optional<Journal> journal = parseJournal(bytes);
    if (journal)
        return applyJournal(file, journalPath, *journal);
    // Torn: the file is touched only once its journal is whole.
    if (IoStatus removed = removeJournal(journalPath); !removed.ok())
        return stuck(QStringLiteral("成績のファイルの書きかえ"), removed.description);
    return {Mend::Outcome::Undone,
            QStringLiteral(
                "成績のファイルの書きかえが、始まる前に止まっていました。ファイルは変わっていません。")};
}

Mend recoverResultsWithNote(SharedFile &file, const QString &path)
{
    const Mend mend = recoverResults(file, path);
    if (mend.outcome == Mend::Outcome::Finished || mend.outcome == Mend::Outcome::Undone) {
        SharedFile notes;
        const QByteArray line = encodeCp932(mend.text + QStringLiteral("\r\n"));
        qint64 size = 0;
        if (notes.open(notesPathFor(path), SharedFile::Mode::ReadWriteCreate).ok() && notes.size(size).ok())
            writeThenFlush(notes, size, line);
    }
    return mend;
}

Mend mendResultsFile(const QString &path)
{
    const QString folder = folderOfPath(path);
    if (!QFileInfo::exists(journalPathFor(path)) &&
        !QFileInfo::exists(folder + QString::fromUtf8(kResultsTempFileName)))
        return {};
    SharedFile file;
    constexpr int kAttempts = 30;
    IoStatus status;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        status = file.open(path, SharedFile::Mode::ReadWrite);
        if (status.ok())
            status = file.tryLock();
        if (status.outcome != IoOutcome::Busy)
            break;
        file.close();
        waitResponsive(1000);
    }
    if (status.outcome == IoOutcome::Missing)
        return {};
    if (!status.ok())
        return stuck(QStringLiteral("成績のファイルの書きかえ"), status.description);
    return recoverResultsWithNote(file, path);
}

QStringList takeMendNotes(const QString &resultsPath)
{
    const QString path = notesPathFor(resultsPath);
    const TextFileContents contents = readCp932File(path);
    if (contents.status != FileReadStatus::Ok)
        return {};
    removeSharedFile(path);
    return contents.text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
}
