#include "results/shared_file.h"

#include <QDir>
#include <QFile>

#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace {

#ifdef Q_OS_WIN
IoOutcome outcomeOf(int code)
{
    switch (code) {
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_ACCESS_DENIED:
    case ERROR_BUSY:
        return IoOutcome::Busy;
    case ERROR_FILE_NOT_FOUND:
        return IoOutcome::Missing;
    default:
        return IoOutcome::Failed;
    }
}

QString systemText(int code)
{
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(code), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    QString text = length ? QString::fromWCharArray(buffer, static_cast<int>(length)).trimmed()
                          : QStringLiteral("エラー %1").arg(code);
    LocalFree(buffer);
    return text;
}

int lastError()
{
    return static_cast<int>(GetLastError());
}
#else
IoOutcome outcomeOf(int code)
{
    if (code == EACCES || code == EAGAIN || code == EWOULDBLOCK || code == EBUSY)
        return IoOutcome::Busy;
    if (code == ENOENT)
        return IoOutcome::Missing;
    return IoOutcome::Failed;
}

QString systemText(int code)
{
    switch (code) {
    case ENOSPC:
        return QStringLiteral("ディスクに空きがありません");
    case EDQUOT:
        return QStringLiteral("ディスクの割り当てを超えました");
    case EIO:
        return QStringLiteral("ディスクの読み書きに失敗しました");
    case EROFS:
        return QStringLiteral("書き込みのできない場所です");
    case ENOENT:
        return QStringLiteral("ファイルが見つかりません");
    case ENOTDIR:
        return QStringLiteral("パスが見つかりません");
    case EISDIR:
        return QStringLiteral("ファイルではなくフォルダです");
    case EACCES:
    case EPERM:
        return QStringLiteral("書き込みできません。ファイルは他のプログラムが使っています");
    case EAGAIN:
    case EBUSY:
        return QStringLiteral("ファイルは他のプログラムが使っています");
    default:
        return QString::fromLocal8Bit(std::strerror(code));
    }
}

int lastError()
{
    return errno;
}
#endif

} // namespace

IoStatus ioStatusOf(int code, const QString &path)
{
    if (code == 0)
        return {};
    return {outcomeOf(code), code,
            QStringLiteral("%1（%2）").arg(systemText(code), QDir::toNativeSeparators(path))};
}

IoStatus failedStatus(const QString &what, const QString &path)
{
    return {IoOutcome::Failed, 0, QStringLiteral("%1（%2）").arg(what, QDir::toNativeSeparators(path))};
}

FileFaultHook &fileFaultHook()
{
    static FileFaultHook hook;
    return hook;
}

SharedFile::~SharedFile()
{
    close();
}

IoStatus SharedFile::fault(FileStep step) const
{
    if (!fileFaultHook())
        return {};
    return ioStatusOf(fileFaultHook()(step, m_path), m_path);
}

#ifdef Q_OS_WIN

bool SharedFile::isOpen() const
{
    return m_handle != nullptr;
}

IoStatus SharedFile::open(const QString &path, Mode mode)
{
    close();
    m_path = path;
    if (IoStatus injected = fault(FileStep::Open); !injected.ok())
        return injected;
    const DWORD access = mode == Mode::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD disposition = mode == Mode::ReadWriteCreate ? OPEN_ALWAYS
                              : mode == Mode::Replace       ? CREATE_ALWAYS
                                                            : OPEN_EXISTING;
    HANDLE handle = CreateFileW(reinterpret_cast<LPCWSTR>(QDir::toNativeSeparators(path).utf16()), access,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, disposition,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return ioStatusOf(lastError(), path);
    m_handle = handle;
    return {};
}

IoStatus SharedFile::tryLock()
{
    if (IoStatus injected = fault(FileStep::Lock); !injected.ok())
        return injected;
    OVERLAPPED overlapped{};
    if (!LockFileEx(m_handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                    &overlapped))
        return ioStatusOf(lastError(), m_path);
    m_locked = true;
    return {};
}

IoStatus SharedFile::unlock()
{
    if (!m_locked)
        return {};
    OVERLAPPED overlapped{};
    m_locked = false;
    if (!UnlockFileEx(m_handle, 0, MAXDWORD, MAXDWORD, &overlapped))
        return ioStatusOf(lastError(), m_path);
    return {};
}

IoStatus SharedFile::size(qint64 &bytes)
{
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(m_handle, &length))
        return ioStatusOf(lastError(), m_path);
    bytes = length.QuadPart;
    return {};
}

IoStatus SharedFile::readAll(QByteArray &buffer)
{
    if (IoStatus injected = fault(FileStep::Read); !injected.ok())
        return injected;
    qint64 length = 0;
    if (IoStatus status = size(length); !status.ok())
        return status;
    buffer.resize(length);
    OVERLAPPED overlapped{};
    DWORD done = 0;
    if (length > 0 && !ReadFile(m_handle, buffer.data(), static_cast<DWORD>(length), &done, &overlapped)) {
        buffer.resize(0);
        return ioStatusOf(lastError(), m_path);
    }
    buffer.resize(done);
    return {};
}

IoStatus SharedFile::writeAt(qint64 offset, const char *data, qint64 size)
{
    if (IoStatus injected = fault(FileStep::Write); !injected.ok()) {
        OVERLAPPED overlapped{};
        overlapped.Offset = static_cast<DWORD>(offset);
        overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
        DWORD done = 0;
        WriteFile(m_handle, data, static_cast<DWORD>(size / 2), &done, &overlapped);
        return injected;
    }
    OVERLAPPED overlapped{};
    overlapped.Offset = static_cast<DWORD>(offset);
    overlapped.OffsetHigh = static_cast<DWORD>(offset >> 32);
    DWORD done = 0;
    if (!WriteFile(m_handle, data, static_cast<DWORD>(size), &done, &overlapped))
        return ioStatusOf(lastError(), m_path);
    if (done != static_cast<DWORD>(size))
        return ioStatusOf(ERROR_DISK_FULL, m_path);
    return {};
}

IoStatus SharedFile::truncate(qint64 size)
{
    if (IoStatus injected = fault(FileStep::Truncate); !injected.ok())
        return injected;
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = size;
    if (!SetFileInformationByHandle(m_handle, FileEndOfFileInfo, &end, sizeof end))
        return ioStatusOf(lastError(), m_path);
    return {};
}

IoStatus SharedFile::flush()
{
    if (IoStatus injected = fault(FileStep::Flush); !injected.ok())
        return injected;
    if (!FlushFileBuffers(m_handle))
        return ioStatusOf(lastError(), m_path);
    return {};
}

void SharedFile::close()
{
    if (!m_handle)
        return;
    unlock();
    CloseHandle(m_handle);
    m_handle = nullptr;
}

#else

bool SharedFile::isOpen() const
{
    return m_fd >= 0;
}

IoStatus SharedFile::open(const QString &path, Mode mode)
{
    close();
    m_path = path;
    if (IoStatus injected = fault(FileStep::Open); !injected.ok())
        return injected;
    int flags = O_CLOEXEC;
    switch (mode) {
    case Mode::Read:
        flags |= O_RDONLY;
        break;
    case Mode::ReadWrite:
        flags |= O_RDWR;
        break;
    case Mode::ReadWriteCreate:
        flags |= O_RDWR | O_CREAT;
        break;
    case Mode::Replace:
        flags |= O_WRONLY | O_CREAT | O_TRUNC;
        break;
    }
    // The results file is opened at every scan under the same name: encode it once, so
    // that a scan allocates nothing.
    static QString lastPath;
    static QByteArray lastName;
    if (lastName.isEmpty() || path != lastPath) {
        lastPath = path;
        lastName = QFile::encodeName(path);
    }
    const QByteArray name = lastName;
    int fd;
    do {
        fd = ::open(name.constData(), flags, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0)
        return ioStatusOf(lastError(), path);
    m_fd = fd;
    return {};
}

IoStatus SharedFile::tryLock()
{
    if (IoStatus injected = fault(FileStep::Lock); !injected.ok())
        return injected;
    struct flock lock {
    };
    lock.l_type = F_WRLCK;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0; // to the end, however far the file grows
#ifdef F_OFD_SETLK
    // Open-file-description locks belong to this open file, not to the process, so
    // they also exclude another open of the file in the same program, and closing
    // some other descriptor of the file does not drop them.
    if (::fcntl(m_fd, F_OFD_SETLK, &lock) == 0) {
        m_locked = true;
        return {};
    }
    if (errno != EINVAL)
        return ioStatusOf(lastError(), m_path);
    lock.l_pid = 0;
#endif
    if (::fcntl(m_fd, F_SETLK, &lock) != 0)
        return ioStatusOf(lastError(), m_path);
    m_locked = true;
    return {};
}

IoStatus SharedFile::unlock()
{
    if (!m_locked)
        return {};
    m_locked = false;
    struct flock lock {
    };
    lock.l_type = F_UNLCK;
    lock.l_whence = SEEK_SET;
#ifdef F_OFD_SETLK
    if (::fcntl(m_fd, F_OFD_SETLK, &lock) == 0)
        return {};
    if (errno != EINVAL)
        return ioStatusOf(lastError(), m_path);
    lock.l_pid = 0;
#endif
    if (::fcntl(m_fd, F_SETLK, &lock) != 0)
        return ioStatusOf(lastError(), m_path);
    return {};
}

IoStatus SharedFile::size(qint64 &bytes)
{
    struct stat info {
    };
    if (::fstat(m_fd, &info) != 0)
        return ioStatusOf(lastError(), m_path);
    bytes = info.st_size;
    return {};
}

IoStatus SharedFile::readAll(QByteArray &buffer)
{
    if (IoStatus injected = fault(FileStep::Read); !injected.ok())
        return injected;
    qint64 length = 0;
    if (IoStatus status = size(length); !status.ok())
        return status;
    buffer.resize(length);
    qint64 done = 0;
    // One call reads a regular file whole; more are needed only when a signal
    // interrupts it or the file shrinks meanwhile.
    while (done < length) {
        const ssize_t n = ::pread(m_fd, buffer.data() + done, static_cast<size_t>(length - done), done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0) {
            const int code = errno;
            buffer.resize(0);
            return ioStatusOf(code, m_path);
        }
        if (n == 0)
            break;
        done += n;
    }
    buffer.resize(done);
    return {};
}

IoStatus SharedFile::writeAt(qint64 offset, const char *data, qint64 size)
{
    if (IoStatus injected = fault(FileStep::Write); !injected.ok()) {
        [[maybe_unused]] const ssize_t half = ::pwrite(m_fd, data, static_cast<size_t>(size / 2), offset);
        return injected;
    }
    qint64 done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(m_fd, data + done, static_cast<size_t>(size - done), offset + done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return ioStatusOf(lastError(), m_path);
        if (n == 0)
            return ioStatusOf(ENOSPC, m_path);
        done += n;
    }
    return {};
}

IoStatus SharedFile::truncate(qint64 size)
{
    if (IoStatus injected = fault(FileStep::Truncate); !injected.ok())
        return injected;
    if (::ftruncate(m_fd, size) != 0)
        return ioStatusOf(lastError(), m_path);
    return {};
}

IoStatus SharedFile::flush()
{
    if (IoStatus injected = fault(FileStep::Flush); !injected.ok())
        return injected;
    if (::fsync(m_fd) != 0)
        return ioStatusOf(lastError(), m_path);
    return {};
}

void SharedFile::close()
{
    if (m_fd < 0)
        return;
    unlock();
    ::close(m_fd);
    m_fd = -1;
}

#endif
