// The operating-system calls behind the classroom's shared files and the program menu
// hand-off: a file opened without sharing restrictions, its exclusive whole-file lock
// that other processes and other PCs see, positioned reads and writes, the folders that
// hold the journal and the backups, and starting a program without waiting for it.
// Only the C++ standard library and the system API, so that the Windows half is built
// and run on its own (make windows-check).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform
{

#ifdef _WIN32
using NativeChar = wchar_t; // paths and command lines in UTF-16
#else
using NativeChar = char; // paths as the file system encodes them
#endif
using NativeString = std::basic_string<NativeChar>;

// A system error code, 0 for success: errno on POSIX systems, GetLastError() on Windows.
using Error = int;

// The steps of work on a file, for telling what an error means.
enum class Step { Open, Lock, Read, Write, Truncate, Flush, Replace, Remove };

enum class Outcome {
    Ok,
    Missing, // "error 53": the file does not exist
    Busy,    // "error 70 / 55": the file or its lock is held by another program; waiting helps
    Denied,  // the file may not be opened at all: no waiting cures it
    Failed,  // anything else
};

// What an error at a step means. Permission refused while opening is Denied; the same
// code from the lock call is another program's lock, Busy.
Outcome outcomeOf(Step step, Error error);

// The system's description of an error, in UTF-8.
std::string errorText(Error error);

enum class OpenMode {
    Read,            // an existing file, for reading
    ReadWrite,       // an existing file, for reading and writing
    ReadWriteCreate, // created empty when missing
    Replace,         // created or emptied, for writing
};

class File
{
public:
    File() = default;
    ~File();
    File(const File &) = delete;
    File &operator=(const File &) = delete;

    // Other programs may open, read, write and delete the file meanwhile.
    Error open(const NativeChar *path, OpenMode mode);
    bool isOpen() const;
    // Takes the exclusive lock from offset 0 over every byte the file has or will have,
    // without waiting. Linux: an open-file-description lock (a record lock where the
    // kernel has none), so another open of the file in the same process is kept out too.
    Error tryLock();
    Error unlock();
    Error size(int64_t &bytes) const;
    // Up to length bytes from offset; done tells how many, fewer where the file ends.
    Error readAt(int64_t offset, char *data, int64_t length, int64_t &done) const;
    // All length bytes at offset, or an error.
    Error writeAt(int64_t offset, const char *data, int64_t length) const;
    Error truncate(int64_t length) const;
    // Down to the disk or the file server.
    Error flush() const;
    // Releases the lock with the file.
    void close();

private:
#ifdef _WIN32
    void *m_handle = nullptr;
#else
    int m_fd = -1;
#endif
    bool m_locked = false;
};

Error removeFile(const NativeChar *path);
// The names of the entries of folder, without "." and "..", in no particular order.
Error listFolder(const NativeChar *folder, std::vector<NativeString> &names);
// Creates folder (its parent must exist); a folder that is there already is no error.
Error makeFolder(const NativeChar *folder);
// Makes the entries of folder reach the disk or the file server: a file created,
// renamed or removed there stays so after a power cut. Where the system keeps folder
// entries safe by itself (NTFS, a file server), there is nothing to do.
Error syncFolder(const NativeChar *folder);
// Puts replacement in the place of target in one step, so that target names either its
// old contents or the whole replacement, never a part.
Error replaceFile(const NativeChar *target, const NativeChar *replacement);

// Starts program with the arguments in a normal window, without waiting for it; it goes
// on running when this process ends.
Error startDetached(const NativeString &program, const std::vector<NativeString> &arguments);

// A console that shows this program's output shows it as UTF-8 (Windows consoles show
// their own code page otherwise); output to a file or a pipe is not touched.
void useUtf8Console();

#ifdef _WIN32
// Plays a wave file through the media control interface to its end ("play ... wait").
// Returns 0, or the interface's error code with its text in errorText (UTF-8).
Error playWave(const NativeChar *path, std::string &errorText);
#endif

} // namespace platform
