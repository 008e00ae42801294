// A file on the classroom's shared folder, opened without sharing restrictions, with
// the exclusive whole-file lock that every writer of the results file takes. The lock
// is seen by other processes and other PCs: open-file-description locks on Linux
// (record locks where the kernel lacks them), LockFileEx on Windows.
#pragma once

#include <QByteArray>
#include <QString>

#include <functional>

enum class IoOutcome {
    Ok,
    Missing, // "error 53": the file does not exist
    Busy,    // "error 70 / 55": the file or its lock is held by another program
    Failed,  // anything else
};

struct IoStatus {
    IoOutcome outcome = IoOutcome::Ok;
    int code = 0;        // errno (Linux) or GetLastError (Windows)
    QString description; // the system's text for the error, naming the file
    bool ok() const { return outcome == IoOutcome::Ok; }
};

// The status of a platform error code on a file: the outcome it maps to and a
// description naming the file.
IoStatus ioStatusOf(int code, const QString &path);
// A failure that is not a platform error (a record that does not exist, ...).
IoStatus failedStatus(const QString &what, const QString &path);

// The steps a shared file goes through; faults can be injected at each.
enum class FileStep { Open, Lock, Read, Write, Truncate, Flush };

// Test seam: when set, consulted before each step; a non-zero platform error code
// makes the step fail with it. An injected write fault first writes half of the
// bytes, as a disk that fills up in the middle of a write does.
using FileFaultHook = std::function<int(FileStep step, const QString &path)>;
FileFaultHook &fileFaultHook();

class SharedFile
{
public:
    enum class Mode {
        Read,            // an existing file, for reading
        ReadWrite,       // an existing file, for reading and writing
        ReadWriteCreate, // created empty when missing
        Replace,         // created or emptied, for writing
    };

    SharedFile() = default;
    ~SharedFile();
    SharedFile(const SharedFile &) = delete;
    SharedFile &operator=(const SharedFile &) = delete;

    IoStatus open(const QString &path, Mode mode);
    bool isOpen() const;
    // Takes the exclusive whole-file lock without waiting: Busy while another holder has it.
    IoStatus tryLock();
    IoStatus unlock();
    IoStatus size(qint64 &bytes);
    // The whole file with one read into buffer, reusing its capacity.
    IoStatus readAll(QByteArray &buffer);
    // All size bytes at offset, with one write.
    IoStatus writeAt(qint64 offset, const char *data, qint64 size);
    IoStatus truncate(qint64 size);
    // Down to the disk (or the file server), so that no other PC reads a torn record.
    IoStatus flush();
    // Releases the lock with the file.
    void close();

private:
    IoStatus fault(FileStep step) const;

    QString m_path;
#ifdef Q_OS_WIN
    void *m_handle = nullptr;
#else
    int m_fd = -1;
#endif
    bool m_locked = false;
};
