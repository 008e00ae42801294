#include "platform/platform.h"

#include <windows.h>

#include <mmsystem.h>

namespace platform
{

Outcome outcomeOf(Step step, Error error)
{
    switch (error) {
    case ERROR_SUCCESS:
        return Outcome::Ok;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: // its folder is not there: missing as well, as POSIX says it
        return Outcome::Missing;
    case ERROR_ACCESS_DENIED:
        // A read-only file or a folder the user may not write: refused while opening.
        // From the other steps it is what a file held by another program answers.
        return step == Step::Open || step == Step::Replace || step == Step::Remove ? Outcome::Denied
                                                                                   : Outcome::Busy;
    case ERROR_BAD_EXE_FORMAT: // started, but no program the system can run
        return Outcome::Denied;
    case ERROR_SHARING_VIOLATION: // opened by another program that shares it with no one
    case ERROR_LOCK_VIOLATION:    // the range is locked by another program
    case ERROR_BUSY:
        return Outcome::Busy;
    default:
        return Outcome::Failed;
    }
}

namespace
{
// A system message in UTF-8, without the line end the system puts after it.
std::string utf8Of(const wchar_t *text, int length)
{
    std::string bytes;
    if (length > 0) {
        bytes.resize(
            static_cast<size_t>(WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr)));
        WideCharToMultiByte(CP_UTF8, 0, text, length, bytes.data(), static_cast<int>(bytes.size()), nullptr,
                            nullptr);
    }
    while (!bytes.empty() && (bytes.back() == '\n' || bytes.back() == '\r' || bytes.back() == ' '))
        bytes.pop_back();
    return bytes;
}
} // namespace

std::string errorText(Error error)
{
    wchar_t *buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
        static_cast<DWORD>(error), 0, reinterpret_cast<LPWSTR>(&buffer), 0, nullptr);
    const std::string text = utf8Of(buffer, static_cast<int>(length));
    LocalFree(buffer);
    return text.empty() ? "エラー " + std::to_string(error) : text;
}

namespace
{
Error lastError()
{
    return static_cast<Error>(GetLastError());
}

OVERLAPPED at(int64_t offset)
{
    OVERLAPPED overlapped{};
    overlapped.Offset = static_cast<DWORD>(offset);
    overlapped.OffsetHigh = static_cast<DWORD>(static_cast<uint64_t>(offset) >> 32);
    return overlapped;
}

// One ReadFile or WriteFile moves at most 4 GB less one byte.
DWORD chunkOf(int64_t remaining)
{
    return static_cast<DWORD>(remaining < MAXDWORD ? remaining : MAXDWORD);
}

// A command-line argument as the C runtime reads it back: quoted when it holds a
// blank or a quote, with the backslashes before a quote doubled.
std::wstring quoted(const std::wstring &argument)
{
    if (!argument.empty() && argument.find_first_of(L" \t\n\v\"") == std::wstring::npos)
        return argument;
    std::wstring text = L"\"";
    size_t backslashes = 0;
    for (const wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        text.append(c == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
        backslashes = 0;
        text += c;
    }
    text.append(backslashes * 2, L'\\');
    return text + L"\"";
}
} // namespace

File::~File()
{
    close();
}

bool File::isOpen() const
{
    return m_handle != nullptr;
}

Error File::open(const NativeChar *path, OpenMode mode)
{
    close();
    const DWORD access = mode == OpenMode::Read ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE;
    const DWORD disposition = mode == OpenMode::ReadWriteCreate ? OPEN_ALWAYS
                              : mode == OpenMode::Replace       ? CREATE_ALWAYS
                                                                : OPEN_EXISTING;
    HANDLE handle = CreateFileW(path, access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE)
        return lastError();
    m_handle = handle;
    return 0;
}

Error File::tryLock()
{
    OVERLAPPED overlapped{};
    if (!LockFileEx(m_handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                    &overlapped))
        return lastError();
    m_locked = true;
    return 0;
}

Error File::unlock()
{
    if (!m_locked)
        return 0;
    m_locked = false;
    OVERLAPPED overlapped{};
    return UnlockFileEx(m_handle, 0, MAXDWORD, MAXDWORD, &overlapped) ? 0 : lastError();
}

Error File::size(int64_t &bytes) const
{
    LARGE_INTEGER length{};
    if (!GetFileSizeEx(m_handle, &length))
        return lastError();
    bytes = length.QuadPart;
    return 0;
}

Error File::readAt(int64_t offset, char *data, int64_t length, int64_t &done) const
{
    done = 0;
    while (done < length) {
        OVERLAPPED overlapped = at(offset + done);
        DWORD n = 0;
        if (!ReadFile(m_handle, data + done, chunkOf(length - done), &n, &overlapped)) {
            const Error error = lastError();
            return error == ERROR_HANDLE_EOF ? 0 : error;
        }
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
        OVERLAPPED overlapped = at(offset + done);
        DWORD n = 0;
        if (!WriteFile(m_handle, data + done, chunkOf(length - done), &n, &overlapped))
            return lastError();
        if (n == 0)
            return ERROR_DISK_FULL;
        done += n;
    }
    return 0;
}

Error File::truncate(int64_t length) const
{
    FILE_END_OF_FILE_INFO end{};
    end.EndOfFile.QuadPart = length;
    return SetFileInformationByHandle(m_handle, FileEndOfFileInfo, &end, sizeof end) ? 0 : lastError();
}

Error File::flush() const
{
    return FlushFileBuffers(m_handle) ? 0 : lastError();
}

void File::close()
{
    if (!m_handle)
        return;
    unlock();
    CloseHandle(m_handle);
    m_handle = nullptr;
}

Error removeFile(const NativeChar *path)
{
    return DeleteFileW(path) ? 0 : lastError();
}

Error listFolder(const NativeChar *folder, std::vector<NativeString> &names)
{
    names.clear();
    std::wstring pattern = folder;
    if (!pattern.empty() && pattern.back() != L'\\' && pattern.back() != L'/')
        pattern += L'\\';
    pattern += L'*';
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return lastError();
    do {
        const std::wstring name = found.cFileName;
        if (name != L"." && name != L"..")
            names.push_back(name);
    } while (FindNextFileW(search, &found));
    const Error error = lastError();
    FindClose(search);
    return error == ERROR_NO_MORE_FILES ? 0 : error;
}

Error makeFolder(const NativeChar *folder)
{
    if (CreateDirectoryW(folder, nullptr))
        return 0;
    const Error error = lastError();
    const DWORD attributes = GetFileAttributesW(folder);
    return error == ERROR_ALREADY_EXISTS && attributes != INVALID_FILE_ATTRIBUTES &&
                   (attributes & FILE_ATTRIBUTE_DIRECTORY)
               ? 0
               : error;
}

Error syncFolder(const NativeChar *)
{
    // NTFS journals its folder entries, and a file server commits a create, rename or
    // delete before it answers: nothing to flush.
    return 0;
}

Error replaceFile(const NativeChar *target, const NativeChar *replacement)
{
    return MoveFileExW(replacement, target, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) ? 0
                                                                                                : lastError();
}

Error startDetached(const NativeString &program, const std::vector<NativeString> &arguments)
{
    std::wstring commandLine = quoted(program);
    for (const std::wstring &argument : arguments)
        commandLine += L" " + quoted(argument);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_PROCESS_GROUP, nullptr, nullptr, &startup, &process))
        return lastError();
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return 0;
}

void useUtf8Console()
{
    SetConsoleOutputCP(CP_UTF8);
}

Error playWave(const NativeChar *path, std::string &errorText)
{
    // A device of its own for each thread that plays, so that a sound still held by a
    // device that stopped answering never stands in the way of the next one.
    const std::wstring alias = L"ranvex" + std::to_wstring(GetCurrentThreadId());
    const std::wstring open = L"open \"" + std::wstring(path) + L"\" type waveaudio alias " + alias;
    MCIERROR error = mciSendStringW(open.c_str(), nullptr, 0, nullptr);
    if (error == 0) {
        error = mciSendStringW((L"play " + alias + L" wait").c_str(), nullptr, 0, nullptr);
        mciSendStringW((L"close " + alias).c_str(), nullptr, 0, nullptr);
    }
    if (error != 0) {
        wchar_t text[256] = {};
        errorText = mciGetErrorStringW(error, text, 256) ? utf8Of(text, static_cast<int>(wcslen(text)))
                                                         : "MCI " + std::to_string(error);
    }
    return static_cast<Error>(error);
}

} // namespace platform
