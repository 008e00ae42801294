// System error codes as the platform layer reports them, for the faults the tests
// inject: errno on POSIX systems, GetLastError() on Windows.
#pragma once

#ifdef _WIN32
inline constexpr int kErrorLockHeld = 33;      // ERROR_LOCK_VIOLATION: another program holds the lock
inline constexpr int kErrorSharing = 32;       // ERROR_SHARING_VIOLATION: another program holds the file
inline constexpr int kErrorAccessDenied = 5;   // ERROR_ACCESS_DENIED: a read-only file, or the lock held
inline constexpr int kErrorNotPermitted = 5;   // Windows has one code for both
inline constexpr int kErrorIo = 1117;          // ERROR_IO_DEVICE
inline constexpr int kErrorDiskFull = 112;     // ERROR_DISK_FULL
inline constexpr int kErrorReadOnlyPlace = 19; // ERROR_WRITE_PROTECT
#else
#include <cerrno>
inline constexpr int kErrorLockHeld = EAGAIN;
inline constexpr int kErrorSharing = EBUSY;
inline constexpr int kErrorAccessDenied = EACCES;
inline constexpr int kErrorNotPermitted = EPERM;
inline constexpr int kErrorIo = EIO;
inline constexpr int kErrorDiskFull = ENOSPC;
inline constexpr int kErrorReadOnlyPlace = EROFS;
#endif

#include "platform/platform.h"

#include <QString>

// The words the platform gives a message for the code: its own on Linux, the system's on Windows.
inline QString systemErrorText(int error)
{
    return QString::fromStdString(platform::errorText(error));
}
