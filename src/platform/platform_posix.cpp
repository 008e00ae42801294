#include "platform/platform.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace platform
{

Outcome outcomeOf(Step step, Error error)
{
    if (error == 0)
        return Outcome::Ok;
    if (error == ENOENT)
        return Outcome::Missing;
    const bool refused = error == EACCES || error == EPERM;
    if ((step == Step::Open || step == Step::Replace || step == Step::Remove) && refused)
        return Outcome::Denied;
    // F_SETLK answers a lock held by another with EACCES or EAGAIN.
    if (error == EACCES || error == EAGAIN || error == EWOULDBLOCK || error == EBUSY)
        return Outcome::Busy;
    return Outcome::Failed;
}

std::string errorText(Error error)
{
    switch (error) {
    case ENOSPC:
        return "ディスクに空きがありません";
    case EDQUOT:
        return "ディスクの割り当てを超えました";
    case EIO:
        return "ディスクの読み書きに失敗しました";
    case EROFS:
        return "書き込みのできない場所です";
    case ENOENT:
        return "ファイルが見つかりません";
    case ENOTDIR:
        return "パスが見つかりません";
    case EISDIR:
        return "ファイルではなくフォルダです";
    default:
        return std::strerror(error);
    }
}

namespace
{
template <typename Call> auto retryInterrupted(Call call)
{
    for (;;) {
        const auto result = call();
        if (result >= 0 || errno != EINTR)
            return result;
    }
}

Error lockWith(int fd, short type)
{
    struct flock lock {
    };
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0; // to the end, however far the file grows
#ifdef F_OFD_SETLK
    // Open-file-description locks belong to this open file, not to the process, so
    // closing some other descriptor of the file does not drop them.
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        return 0;
    if (errno != EINVAL)
        return errno;
    lock.l_pid = 0;
#endif
    return ::fcntl(fd, F_SETLK, &lock) == 0 ? 0 : errno;
}
} // namespace

File::~File()
{
    close();
}

bool File::isOpen() const
{
    return m_fd >= 0;
}

Error File::open(const NativeChar *path, OpenMode mode)
{
    close();
    int flags = O_CLOEXEC;
    switch (mode) {
    case OpenMode::Read:
        flags |= O_RDONLY;
        break;
    case OpenMode::ReadWrite:
        flags |= O_RDWR;
        break;
    case OpenMode::ReadWriteCreate:
        flags |= O_RDWR | O_CREAT;
        break;
    case OpenMode::Replace:
        flags |= O_WRONLY | O_CREAT | O_TRUNC;
        break;
    }
    const int fd = retryInterrupted([&] { return ::open(path, flags, 0666); });
    if (fd < 0)
        return errno;
    m_fd = fd;
    return 0;
}

Error File::tryLock()
{
    const Error error = lockWith(m_fd, F_WRLCK);
    m_locked = error == 0;
    return error;
}

Error File::unlock()
{
    if (!m_locked)
        return 0;
    m_locked = false;
    return lockWith(m_fd, F_UNLCK);
}

Error File::size(int64_t &bytes) const
{
    struct stat info {
    };
    if (::fstat(m_fd, &info) != 0)
        return errno;
    bytes = info.st_size;
    return 0;
}

Error File::readAt(int64_t offset, char *data, int64_t length, int64_t &done) const
{
    done = 0;
    // One call reads a regular file whole; more are needed only when a signal
    // interrupts it or the file shrinks meanwhile.
    while (done < length) {
        const ssize_t n = retryInterrupted(
            [&] { return ::pread(m_fd, data + done, static_cast<size_t>(length - done), offset + done); });
        if (n < 0)
            return errno;
        if (n == 0)
            break;
        done += n;
    }
    return 0;
}

Error File::writeAt(int64_t offset, const char *data, int64_t length) const
{
    int64_t done = 0;
    while (done < length) {
        const ssize_t n = retryInterrupted(
            [&] { return ::pwrite(m_fd, data + done, static_cast<size_t>(length - done), offset + done); });
        if (n < 0)
            return errno;
        if (n == 0)
            return ENOSPC;
        done += n;
    }
    return 0;
}

Error File::truncate(int64_t length) const
{
    return retryInterrupted([&] { return ::ftruncate(m_fd, length); }) == 0 ? 0 : errno;
}

Error File::flush() const
{
    return ::fsync(m_fd) == 0 ? 0 : errno;
}

void File::close()
{
    if (m_fd < 0)
        return;
    unlock();
    ::close(m_fd);
    m_fd = -1;
}

Error removeFile(const NativeChar *path)
{
    return ::unlink(path) == 0 ? 0 : errno;
}

Error listFolder(const NativeChar *folder, std::vector<NativeString> &names)
{
    names.clear();
    DIR *dir = ::opendir(folder);
    if (!dir)
        return errno;
    errno = 0;
    while (const dirent *entry = ::readdir(dir)) {
        const NativeString name = entry->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
        errno = 0;
    }
    const Error error = errno;
    ::closedir(dir);
    return error;
}

Error makeFolder(const NativeChar *folder)
{
    if (::mkdir(folder, 0777) == 0)
        return 0;
    const Error error = errno;
    struct stat info {
    };
    return error == EEXIST && ::stat(folder, &info) == 0 && S_ISDIR(info.st_mode) ? 0 : error;
}

Error syncFolder(const NativeChar *folder)
{
    const int fd = retryInterrupted([&] { return ::open(folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC); });
    if (fd < 0)
        return errno;
    // Some network file systems cannot sync a folder; they keep its entries themselves.
    const Error error = ::fsync(fd) == 0 || errno == EINVAL || errno == EBADF ? 0 : errno;
    ::close(fd);
    return error;
}

Error replaceFile(const NativeChar *target, const NativeChar *replacement)
{
    return std::rename(replacement, target) == 0 ? 0 : errno;
}

Error startDetached(const NativeString &program, const std::vector<NativeString> &arguments)
{
    // Everything the children need is made before fork: between fork and exec a
    // process with threads may only make async-signal-safe calls.
    std::vector<char *> argv;
    argv.push_back(const_cast<char *>(program.c_str()));
    for (const NativeString &argument : arguments)
        argv.push_back(const_cast<char *>(argument.c_str()));
    argv.push_back(nullptr);

    // The exec's error comes back through the pipe; a successful exec closes it empty.
    int report[2];
    if (::pipe2(report, O_CLOEXEC) != 0)
        return errno;
    const pid_t child = ::fork();
    if (child < 0) {
        const Error error = errno;
        ::close(report[0]);
        ::close(report[1]);
        return error;
    }
    if (child == 0) {
        // The grandchild runs the program; its parent ends at once, so that the
        // program belongs to no one here and leaves no zombie behind.
        ::setsid();
        const pid_t grandchild = ::fork();
        if (grandchild == 0) {
            ::execv(program.c_str(), argv.data());
            const Error error = errno;
            [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
            ::_exit(127);
        }
        if (grandchild < 0) {
            const Error error = errno;
            [[maybe_unused]] const ssize_t written = ::write(report[1], &error, sizeof error);
        }
        ::_exit(0);
    }
    ::close(report[1]);
    int status = 0;
    retryInterrupted([&] { return ::waitpid(child, &status, 0); });
    Error error = 0;
    const ssize_t n = retryInterrupted([&] { return ::read(report[0], &error, sizeof error); });
    ::close(report[0]);
    return n == sizeof error ? error : 0;
}

void useUtf8Console() {}

} // namespace platform
