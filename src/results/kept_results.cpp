#include "results/kept_results.h"

#include "core/environment.h"
#include "core/hensuu1.h"
#include "core/paths.h"

#include <QFileInfo>
#include <QtEndian>

#include <cstring>
#include <optional>

namespace
{

// The delivery note: "RVXSEND1", the results file's whole length when the delivery
// began, how many kept records had arrived before it, how many it appends, the
// checksum of the kept records it knew, and the checksum of those 40 bytes.
constexpr char kMagic[] = "RVXSEND1";
constexpr qint64 kNoteSize = 48;

struct DeliveryNote {
    qint64 start = 0;
    qint64 skip = 0;
    qint64 count = 0;
    quint64 keptChecksum = 0;
};

QByteArray noteBytes(const DeliveryNote &note)
{
    QByteArray bytes(kNoteSize, '\0');
    char *p = bytes.data();
    std::memcpy(p, kMagic, 8);
    qToLittleEndian<qint64>(note.start, p + 8);
    qToLittleEndian<qint64>(note.skip, p + 16);
    qToLittleEndian<qint64>(note.count, p + 24);
    qToLittleEndian<quint64>(note.keptChecksum, p + 32);
    qToLittleEndian<quint64>(bytesChecksum(QByteArrayView(bytes).first(40)), p + 40);
    return bytes;
}

std::optional<DeliveryNote> parseNote(const QByteArray &bytes)
{
    if (bytes.size() != kNoteSize || !bytes.startsWith(QByteArrayView(kMagic, 8)))
        return std::nullopt;
    const char *p = bytes.constData();
    if (qFromLittleEndian<quint64>(p + 40) != bytesChecksum(QByteArrayView(bytes).first(40)))
        return std::nullopt;
    DeliveryNote note{qFromLittleEndian<qint64>(p + 8), qFromLittleEndian<qint64>(p + 16),
                      qFromLittleEndian<qint64>(p + 24), qFromLittleEndian<quint64>(p + 32)};
    if (note.start < 0 || note.skip < 0 || note.count < 0)
        return std::nullopt;
    return note;
}

QString deliveryNotePath()
{
    return hensuu1().appFolder + QString::fromUtf8(kKeptDeliveryFileName);
}

// How many of the kept records a note covers have arrived: they stand in order from the
// note's start, whatever other PCs appended after them.
qint64 arrivedOf(SharedFile &results, const QByteArray &kept, const DeliveryNote &note)
{
    const qint64 covered = note.skip + note.count;
    if (covered > kept.size() / kRecordSize ||
        bytesChecksum(QByteArrayView(kept).first(covered * kRecordSize)) != note.keptChecksum)
        return 0; // a note left after its records were delivered and the file emptied
    qint64 arrived = 0;
    char record[kRecordSize];
    qint64 done = 0;
    while (arrived < note.count &&
           results.readAt(note.start + arrived * kRecordSize, record, kRecordSize, done).ok() &&
           done == kRecordSize &&
           std::memcmp(record, kept.constData() + (note.skip + arrived) * kRecordSize, kRecordSize) == 0)
        ++arrived;
    return note.skip + arrived;
}

IoStatus openLockedKept(SharedFile &kept, const QString &path)
{
    if (IoStatus status = whileBusy([&] { return kept.open(path, SharedFile::Mode::ReadWriteCreate); });
        !status.ok())
        return status;
    return whileBusy([&] { return kept.tryLock(); });
}

} // namespace

QString keptResultsPath()
{
    const QString &folder = hensuu1().appFolder;
    return folder.isEmpty() ? QString() : folder + QString::fromUtf8(kKeptResultsFileName);
}

IoStatus keepResultOnThisPc(const ResultRecord &record)
{
    const QString path = keptResultsPath();
    if (path.isEmpty())
        return failedStatus(QStringLiteral("このPCのプログラムのフォルダがわかりません"), path);
    SharedFile kept;
    qint64 size = 0;
    IoStatus status = openLockedKept(kept, path);
    if (status.ok())
        status = kept.size(size);
    const QByteArray bytes = record.toBytes();
    // A record torn by a crash while it was kept is no record: the next goes over it.
    if (status.ok())
        status = kept.writeAt(size / kRecordSize * kRecordSize, bytes.constData(), bytes.size());
    if (status.ok())
        status = kept.flush();
    return status;
}

IoStatus deliverKeptResults(SharedFile &results, int &lastRecord)
{
    lastRecord = 0;
    const QString path = keptResultsPath();
    const QString notePath = deliveryNotePath();
    if (path.isEmpty() || (!QFileInfo::exists(path) && !QFileInfo::exists(notePath)))
        return {};
    SharedFile kept;
    QByteArray bytes;
    IoStatus status = openLockedKept(kept, path);
    if (status.ok())
        status = kept.readAll(bytes);
    if (!status.ok())
        return status;
    dropFragment(bytes);

    qint64 arrived = 0;
    if (QFileInfo::exists(notePath)) {
        QByteArray note;
        if (IoStatus read = readResultsBytes(notePath, note);
            !read.ok() && read.outcome != IoOutcome::Missing)
            return read;
        if (const std::optional<DeliveryNote> earlier = parseNote(note))
            arrived = arrivedOf(results, bytes, *earlier);
    }
    const QByteArray rest = bytes.mid(arrived * kRecordSize);
    if (!rest.isEmpty()) {
        qint64 size = 0;
        if (IoStatus sized = results.size(size); !sized.ok())
            return sized;
        const qint64 start = size / kRecordSize * kRecordSize;
        // Put in place in one step: a torn note would forget what had arrived.
        const QString written = notePath + QStringLiteral(".tmp");
        status = writeWholeSharedFile(
            written, noteBytes({start, arrived, rest.size() / kRecordSize, bytesChecksum(bytes)}));
        if (status.ok())
            status = replaceSharedFile(notePath, written);
        if (status.ok())
            status = syncSharedFolder(hensuu1().appFolder);
        if (status.ok())
            status = whileBusy([&] { return results.writeAt(start, rest.constData(), rest.size()); });
        if (status.ok())
            status = whileBusy([&] { return results.flush(); });
        if (!status.ok())
            return status;
        lastRecord = static_cast<int>((start + rest.size()) / kRecordSize);
    }
    status = kept.truncate(0);
    if (status.ok())
        status = kept.flush();
    if (status.ok() && QFileInfo::exists(notePath))
        status = removeSharedFile(notePath);
    return status;
}

QByteArray keptResultsOnThisPc()
{
    QByteArray bytes;
    const QString path = keptResultsPath();
    if (path.isEmpty() || !readResultsBytes(path, bytes).ok())
        return {};
    dropFragment(bytes);
    return bytes;
}
