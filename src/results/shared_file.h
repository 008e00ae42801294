// A file on the classroom's shared folder, opened without sharing restrictions, with
// the exclusive whole-file lock that every writer of the results file takes (the
// platform layer does the system calls), and what its errors mean to the program.
#pragma once

#include "core/environment.h"
#include "platform/platform.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringList>

#include <functional>

// Missing is "error 53", Busy "error 70 / 55" (the file or its lock held by another
// program: wait and try again), Denied a file that may not be opened at all.
using IoOutcome = platform::Outcome;

struct IoStatus {
    IoOutcome outcome = IoOutcome::Ok;
    int code = 0;        // errno (Linux) or GetLastError (Windows)
    QString description; // what went wrong, naming the file
    bool ok() const { return outcome == IoOutcome::Ok; }
};

// The steps a shared file goes through; faults can be injected at each.
using FileStep = platform::Step;

// The status of a platform error code at a step on a file: the outcome it maps to and a
// description naming the file.
IoStatus ioStatusOf(FileStep step, int code, const QString &path);
// A failure that is not a platform error (a record that does not exist, ...).
IoStatus failedStatus(const QString &what, const QString &path);

// A file that may not be opened: no waiting cures that, and no one but the teacher can.
// Says so and returns once the message is answered with OK, for the caller to try
// again; Cancel, or a console where no one answers, ends the program (status 1).
void callTeacherAbout(const IoStatus &denied);

// Test seam: when set, consulted before each step; a non-zero platform error code
// makes the step fail with it. An injected write fault first writes half of the
// bytes, as a disk that fills up in the middle of a write does.
using FileFaultHook = std::function<int(FileStep step, const QString &path)>;
FileFaultHook &fileFaultHook();

// A checksum (64-bit FNV-1a) that tells a file written whole from a torn or foreign one;
// seed chains it over several pieces.
quint64 bytesChecksum(QByteArrayView bytes, quint64 seed = 14695981039346656037ULL);

class SharedFile
{
public:
    using Mode = platform::OpenMode;

    IoStatus open(const QString &path, Mode mode);
    bool isOpen() const { return m_file.isOpen(); }
    // Takes the exclusive whole-file lock without waiting: Busy while another holder has it.
    IoStatus tryLock();
    IoStatus unlock();
    IoStatus size(qint64 &bytes);
    // The whole file with one read into buffer, reusing its capacity.
    IoStatus readAll(QByteArray &buffer);
    // Up to length bytes at offset; done says how many there were.
    IoStatus readAt(qint64 offset, char *data, qint64 length, qint64 &done);
    // All size bytes at offset, with one write.
    IoStatus writeAt(qint64 offset, const char *data, qint64 size);
    IoStatus truncate(qint64 size);
    // Down to the disk (or the file server), so that no other PC reads a torn record.
    IoStatus flush();
    // Releases the lock with the file.
    void close() { m_file.close(); }

private:
    IoStatus fault(FileStep step) const;
    IoStatus statusOf(FileStep step, int code) const { return ioStatusOf(step, code, m_path); }

    QString m_path;
    platform::File m_file;
};

// Runs step again, after a second with the user interface responsive, for as long as
// another program holds the file or its lock ("error 70 / 55"), counting the waits.
int &busyWaitCount();
template <typename Step> IoStatus whileBusy(Step step)
{
    for (;;) {
        IoStatus status = step();
        if (status.outcome != IoOutcome::Busy)
            return status;
        ++busyWaitCount();
        waitResponsive(1000);
    }
}

IoStatus removeSharedFile(const QString &path);
// Puts replacement in the place of target, in one step.
IoStatus replaceSharedFile(const QString &target, const QString &replacement);
// Writes bytes as the whole of the file at path (created or emptied first), down to the
// disk, with its folder entry.
IoStatus writeWholeSharedFile(const QString &path, const QByteArray &bytes);
// The names in folder; a missing folder is Missing.
IoStatus listSharedFolder(const QString &folder, QStringList &names);
// Creates folder when it is not there.
IoStatus makeSharedFolder(const QString &folder);
// Makes a file created, renamed or removed in folder stay so after a power cut (the
// fault hook sees it as a flush of the folder).
IoStatus syncSharedFolder(const QString &folder);
