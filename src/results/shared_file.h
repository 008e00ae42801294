// A file on the classroom's shared folder, opened without sharing restrictions, with
// the exclusive whole-file lock that every writer of the results file takes (the
// platform layer does the system calls), and what its errors mean to the program.
#pragma once

#include "platform/platform.h"

#include <QByteArray>
#include <QString>

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

IoStatus removeSharedFile(const QString &path);
// Puts replacement in the place of target, in one step.
IoStatus replaceSharedFile(const QString &target, const QString &replacement);
