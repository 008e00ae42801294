// Several programs on one results file through the platform layer alone, as the
// classroom's PCs meet there: built for Linux (a test of the suite) and with mingw-w64
// for Windows (make windows-check runs it under wine).
//   platform_check FOLDER [--other PROGRAM [ARGUMENTS...]]
//     six appending processes of 40 records each, started while this one holds the
//     lock; then five deletions while they append; the backup folder made, listed and
//     synced; prints the figures and exits 1 when any of them is wrong. With --other,
//     every second appender is PROGRAM with its ARGUMENTS followed by "append ...": the
//     Windows build of this check under wine beside the Linux one, as PCs of both kinds
//     meet on one share;
//   platform_check append FOLDER WORKER COUNT
//     one of the appending processes.
#include "platform/platform.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;
using platform::Error;
using platform::File;
using platform::OpenMode;
using platform::Outcome;
using platform::Step;

namespace
{

constexpr int kRecordSize = 44;
constexpr int kWorkers = 6;
constexpr int kAppendsEach = 40;
constexpr int kTeacherRecords = 10;
constexpr int kDeletions = 5;
constexpr int kTeacher = 1000;
constexpr auto kHoldLock = std::chrono::milliseconds(1500);
constexpr auto kRetryWait = std::chrono::milliseconds(20);

// The layout of the results file: date, time of day, pupil, level, time, school code,
// two spare fields and the points text.
std::string recordOf(int pupil, int time)
{
    std::string bytes(kRecordSize, '\0');
    const double date = 46000;
    const double timeOfDay = 0.5;
    const int16_t pupil16 = static_cast<int16_t>(pupil);
    const int16_t level = 1;
    const int32_t time32 = time;
    std::memcpy(&bytes[0], &date, 8);
    std::memcpy(&bytes[8], &timeOfDay, 8);
    std::memcpy(&bytes[16], &pupil16, 2);
    std::memcpy(&bytes[18], &level, 2);
    std::memcpy(&bytes[20], &time32, 4);
    std::memcpy(&bytes[24], "12345     0    ", 15);
    return bytes;
}

int pupilOf(const char *record)
{
    int16_t pupil = 0;
    std::memcpy(&pupil, record + 16, 2);
    return pupil;
}

int timeOf(const char *record)
{
    int32_t time = 0;
    std::memcpy(&time, record + 20, 4);
    return time;
}

// Every byte as written: nothing torn, nothing from two records mixed.
bool whole(const char *record)
{
    return std::string(record, kRecordSize) == recordOf(pupilOf(record), timeOf(record));
}

// The step again for as long as another process holds the file or its lock, as the
// program's writers do (they wait a second, here a moment is enough).
template <typename Call> Error untilFree(Step step, Call call, int &busy)
{
    for (;;) {
        const Error error = call();
        if (platform::outcomeOf(step, error) != Outcome::Busy)
            return error;
        ++busy;
        std::this_thread::sleep_for(kRetryWait);
    }
}

const platform::NativeChar *native(const fs::path &path)
{
    return path.c_str();
}

fs::path resultsPath(const fs::path &folder)
{
    return folder / fs::path(u8"成績累積データ.dat");
}

fs::path journalPath(const fs::path &folder)
{
    return folder / fs::path(u8"成績累積データ修正中.dat");
}

std::string readWhole(const File &file, Error &error)
{
    int64_t length = 0;
    error = file.size(length);
    std::string bytes(static_cast<size_t>(error ? 0 : length), '\0');
    int64_t done = 0;
    if (!error)
        error = file.readAt(0, bytes.data(), length, done);
    bytes.resize(static_cast<size_t>(done));
    return bytes;
}

// Writes text as the whole of path by way of a temporary copy put in its place.
bool writeReport(const fs::path &path, const std::string &text)
{
    fs::path temp = path;
    temp += ".part";
    File file;
    if (file.open(native(temp), OpenMode::Replace) || file.writeAt(0, text.data(), int64_t(text.size())) ||
        file.flush())
        return false;
    file.close();
    return platform::replaceFile(native(path), native(temp)) == 0;
}

std::string say(Error error)
{
    return std::to_string(error) + " " + platform::errorText(error);
}

// One appending process: the steps of the program's append, each tried again while busy.
int appendRecords(const fs::path &folder, int worker, int count)
{
    int busy = 0;
    for (int n = 1; n <= count; ++n) {
        File file;
        int64_t length = 0;
        const std::string record = recordOf(worker, n);
        Error error = untilFree(
            Step::Open, [&] { return file.open(native(resultsPath(folder)), OpenMode::ReadWriteCreate); },
            busy);
        if (!error)
            error = untilFree(
                Step::Lock, [&] { return file.tryLock(); }, busy);
        if (!error)
            error = file.size(length);
        if (!error)
            error = file.writeAt(length / kRecordSize * kRecordSize, record.data(), kRecordSize);
        if (!error)
            error = file.flush();
        if (error) {
            std::fprintf(stderr, "worker %d, record %d: %s\n", worker, n, say(error).c_str());
            return 1;
        }
        file.close();
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return writeReport(folder / ("worker-" + std::to_string(worker) + ".txt"), std::to_string(busy) + "\n")
               ? 0
               : 1;
}

// The program's deletion: under the lock from the journal to the end, the records after
// k moved up in place, the journal removed once the file is whole again.
Error deleteRecord(const fs::path &folder, int k, int &busy)
{
    File file;
    Error error = untilFree(
        Step::Open, [&] { return file.open(native(resultsPath(folder)), OpenMode::ReadWrite); }, busy);
    if (!error)
        error = untilFree(
            Step::Lock, [&] { return file.tryLock(); }, busy);
    if (error)
        return error;
    const std::string original = readWhole(file, error);
    if (error)
        return error;
    File journal;
    if ((error = journal.open(native(journalPath(folder)), OpenMode::Replace)) ||
        (error = journal.writeAt(0, original.data(), int64_t(original.size()))) || (error = journal.flush()))
        return error;
    journal.close();
    const int64_t count = int64_t(original.size()) / kRecordSize;
    const int64_t start = int64_t(k) * kRecordSize;
    if ((error = file.writeAt(start - kRecordSize, original.data() + start, (count - k) * kRecordSize)) ||
        (error = file.truncate((count - 1) * kRecordSize)) || (error = file.flush()))
        return error;
    file.close();
    return platform::removeFile(native(journalPath(folder)));
}

class Check
{
public:
    void figure(const std::string &text) { std::printf("  %s\n", text.c_str()); }
    void expect(bool holds, const std::string &text)
    {
        std::printf("  %s %s\n", holds ? "ok  " : "FAIL", text.c_str());
        m_failed |= !holds;
    }
    bool failed() const { return m_failed; }

private:
    bool m_failed = false;
};

// How an appending process is started: this program, or another one for every second.
struct Appenders {
    fs::path self;
    std::vector<platform::NativeString> other; // the other program and its first arguments

    std::pair<platform::NativeString, std::vector<platform::NativeString>>
    command(int worker, const fs::path &folder) const
    {
        std::vector<platform::NativeString> arguments;
        platform::NativeString program = self.native();
        if (!other.empty() && worker % 2 == 0) {
            program = other.front();
            arguments.assign(other.begin() + 1, other.end());
        }
        for (const fs::path &argument : {fs::path("append"), folder, fs::path(std::to_string(worker)),
                                         fs::path(std::to_string(kAppendsEach))})
            arguments.push_back(argument.native());
        return {program, arguments};
    }
};

void checkAppendsAndDeletes(const Appenders &appenders, const fs::path &folder, Check &check)
{
    {
        std::string teacher;
        for (int n = 1; n <= kTeacherRecords; ++n)
            teacher += recordOf(kTeacher, n);
        std::ofstream(resultsPath(folder), std::ios::binary) << teacher;
    }

    // Every appender starts while the lock is held, so that each must find it busy.
    File holder;
    Error error = holder.open(native(resultsPath(folder)), OpenMode::ReadWrite);
    if (!error)
        error = holder.tryLock();
    check.expect(error == 0, "the lock taken: " + say(error));
    File second;
    second.open(native(resultsPath(folder)), OpenMode::ReadWrite);
    const Error refused = second.tryLock();
    check.expect(platform::outcomeOf(Step::Lock, refused) == Outcome::Busy,
                 "a second opener while the lock is held: busy (error 70), system code " + say(refused));
    second.close();

    int started = 0;
    for (int worker = 1; worker <= kWorkers; ++worker) {
        const auto [program, arguments] = appenders.command(worker, folder);
        const Error failed = platform::startDetached(program, arguments);
        check.expect(failed == 0,
                     "appending process " + std::to_string(worker) + " started detached: " + say(failed));
        started += failed == 0;
    }
    std::this_thread::sleep_for(kHoldLock);
    holder.close();

    int deleteBusy = 0;
    int deleted = 0;
    for (int n = 0; n < kDeletions; ++n) {
        const Error failed = deleteRecord(folder, 1, deleteBusy);
        check.expect(failed == 0,
                     "deletion " + std::to_string(n + 1) + " while the others append: " + say(failed));
        deleted += failed == 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
    }

    int appenderBusy = 0;
    int waited = 0; // appenders that found the lock held and retried
    int reported = 0;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::minutes(3);
    while (reported < started && std::chrono::steady_clock::now() < deadline) {
        reported = 0;
        appenderBusy = 0;
        waited = 0;
        for (int worker = 1; worker <= kWorkers; ++worker) {
            std::ifstream report(folder / ("worker-" + std::to_string(worker) + ".txt"));
            int busy = -1;
            if (report >> busy) {
                ++reported;
                appenderBusy += busy;
                waited += busy > 0;
            }
        }
        if (reported < started)
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    check.expect(reported == kWorkers, std::to_string(reported) + " of " + std::to_string(kWorkers) +
                                           " appending processes finished");

    File results;
    results.open(native(resultsPath(folder)), OpenMode::Read);
    const std::string bytes = readWhole(results, error);
    const int count = int(bytes.size()) / kRecordSize;
    int wholeRecords = 0;
    bool inOrder = true;
    std::map<int, int> lastOf;
    for (int n = 0; n < count; ++n) {
        const char *record = bytes.data() + n * kRecordSize;
        const int pupil = pupilOf(record);
        const bool known = pupil == kTeacher || (pupil >= 1 && pupil <= kWorkers);
        if (!whole(record) || !known)
            continue;
        ++wholeRecords;
        inOrder &=
            timeOf(record) == lastOf[pupil] + (pupil == kTeacher && lastOf[pupil] == 0 ? kDeletions + 1 : 1);
        lastOf[pupil] = timeOf(record);
    }
    int appended = 0;
    for (int worker = 1; worker <= kWorkers; ++worker)
        appended += lastOf[worker];
    const int expected = kWorkers * kAppendsEach + kTeacherRecords - kDeletions;

    check.figure("records appended: " + std::to_string(appended) + " (" + std::to_string(kWorkers) +
                 " processes x " + std::to_string(kAppendsEach) + ", under the lock)");
    check.figure("records found whole: " + std::to_string(wholeRecords - (kTeacherRecords - kDeletions)) +
                 " appended and " + std::to_string(kTeacherRecords - kDeletions) + " kept, of " +
                 std::to_string(count) + " in the file");
    check.figure("busy seen and retried: " + std::to_string(appenderBusy) + " times by the appenders, " +
                 std::to_string(deleteBusy) + " by the deletions");
    check.expect(error == 0 && bytes.size() == size_t(expected) * kRecordSize && wholeRecords == expected,
                 std::to_string(kWorkers * kAppendsEach) + " appended records whole, nothing torn or lost");
    check.expect(inOrder && lastOf[kTeacher] == kTeacherRecords,
                 "each process's records in its own order; the " + std::to_string(deleted) +
                     " deleted records gone, the others kept");
    check.expect(waited == kWorkers, "every appender found the lock held at least once and retried");
    check.expect(!fs::exists(journalPath(folder)), "no journal left behind");
}

void checkReplaceAndRefusal(const fs::path &folder, Check &check)
{
    // How a backup copy gets its name once it is written whole: put in the place of a
    // file. Windows refuses while any program has that file open, which is why the
    // results file itself is only ever rewritten in place.
    const fs::path tempPath = folder / "copy.part";
    const std::string copy = recordOf(kTeacher, 99);
    std::ofstream(tempPath, std::ios::binary) << copy;
    File other;
    other.open(native(resultsPath(folder)), OpenMode::ReadWrite);
    const Error whileOpen = platform::replaceFile(native(resultsPath(folder)), native(tempPath));
    other.close();
    check.figure("replacing the file while another program has it open: " +
                 (whileOpen ? "refused, " + say(whileOpen) : std::string("done")));
    std::ofstream(tempPath, std::ios::binary) << copy;
    const Error error = platform::replaceFile(native(resultsPath(folder)), native(tempPath));
    std::ifstream replaced(resultsPath(folder), std::ios::binary);
    const std::string after{std::istreambuf_iterator<char>(replaced), {}};
    check.expect(error == 0 && after == copy && !fs::exists(tempPath),
                 "a closed file replaced by a copy written beside it: " + say(error));

    const fs::path readOnly = folder / "read-only.dat";
    std::ofstream(readOnly, std::ios::binary) << copy;
    fs::permissions(readOnly, fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    File file;
    const Error refused = file.open(native(readOnly), OpenMode::ReadWrite);
    file.close();
    fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::add);
    if (refused == 0) {
        check.figure("a read-only file opened for writing: allowed to this user (as to root), not checked");
        return;
    }
    check.expect(platform::outcomeOf(Step::Open, refused) == Outcome::Denied,
                 "a read-only file opened for writing: a permission problem, not busy: " + say(refused));
}

// The backup folder: made once and again, its copies listed, its entries synced.
void checkFolders(const fs::path &folder, Check &check)
{
    const fs::path backups = folder / fs::path(u8"バックアップ");
    const Error made = platform::makeFolder(native(backups));
    const Error again = platform::makeFolder(native(backups));
    check.expect(made == 0 && again == 0 && fs::is_directory(backups),
                 "a folder made, and made again without error: " + say(made ? made : again));
    const std::vector<fs::path> files{backups / fs::path(u8"20261209-153021-削除前-成績累積データ.dat"),
                                      backups / "second.dat"};
    for (const fs::path &file : files)
        std::ofstream(file, std::ios::binary) << recordOf(kTeacher, 1);
    std::vector<platform::NativeString> names;
    const Error listed = platform::listFolder(native(backups), names);
    bool found = names.size() == files.size();
    for (const fs::path &file : files)
        found &= std::find(names.begin(), names.end(), file.filename().native()) != names.end();
    check.expect(listed == 0 && found, "its " + std::to_string(names.size()) +
                                           " entries listed by name, without . and ..: " + say(listed));
    const Error synced = platform::syncFolder(native(backups));
    check.expect(synced == 0, "its entries synced: " + say(synced));
    check.expect(platform::listFolder(native(folder / "missing"), names) != 0 &&
                     platform::makeFolder(native(files[1])) != 0,
                 "a missing folder not listed, a file not taken for a folder");
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc == 5 && std::string(argv[1]) == "append")
        return appendRecords(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    const bool other = argc >= 4 && std::string(argv[2]) == "--other";
    if (argc != 2 && !other) {
        std::fprintf(stderr, "usage: platform_check FOLDER [--other PROGRAM [ARGUMENTS...]]\n"
                             "       platform_check append FOLDER WORKER COUNT\n");
        return 2;
    }
    Appenders appenders{fs::absolute(argv[0]), {}};
    for (int n = 3; other && n < argc; ++n)
        appenders.other.push_back(fs::path(argv[n]).native());
    const fs::path folder = fs::absolute(argv[1]);
    fs::remove_all(folder);
    fs::create_directories(folder);

    Check check;
    std::printf("platform check in %s\n", folder.string().c_str());
    if (other)
        std::printf("  appenders 2, 4 and 6 run as %s\n", argv[3]);
    checkAppendsAndDeletes(appenders, folder, check);
    checkReplaceAndRefusal(folder, check);
    checkFolders(folder, check);
    std::printf(check.failed() ? "platform check: FAILED\n" : "platform check: everything held\n");
    return check.failed() ? 1 : 0;
}
