// What every fuzz target shares: a Qt core application, a fixed clock, message boxes
// that end a reading by throwing instead of ending the process, a classroom folder to
// write the input's files into, and the check that stops the run at the first broken
// invariant (libFuzzer then keeps the input as a crash).
#pragma once

#include "core/environment.h"
#include "core/startup.h"

#include <QByteArray>
#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstddef>
#include <cstdint>

[[noreturn]] void fuzzFailure(const char *file, int line, const char *condition, const QString &detail);

// Stops the run with the condition, where it stands and what the target adds to it.
#define FUZZ_REQUIRE(condition, detail)                                                                      \
    do {                                                                                                     \
        if (!(condition))                                                                                    \
            fuzzFailure(__FILE__, __LINE__, #condition, detail);                                             \
    } while (0)

// The demo classroom's "today", on which the seeds were made and every target runs.
inline const QDate kFuzzToday{2026, 12, 9};
inline constexpr double kFuzzTimeOfDay = 16 * 3600 + 30 * 60;

// The messages a reading showed; endProgram throws ProgramEnded.
class FuzzDialogs : public Dialogs
{
public:
    QStringList messages;
    DialogAnswer message(const QString &text, const QString &title, DialogButtons buttons) override;
    void endProgram(int status) override;
    bool echoesToStandardError() const override { return true; } // a fuzzer's output stays readable
};

// A classroom in a temporary folder, laid out as on a school PC: root()/ranvex the
// program folder, root()/shared/ the shared base folder with its data folder ranvex/
// and its sound folder.
class FuzzClassroom
{
public:
    QString root() const;
    QString programFolder() const { return root() + "/ranvex"; }
    QString shared() const { return root() + "/shared/"; }
    QString dataFolder() const { return shared() + "ranvex/"; }
    QString soundFolder() const { return shared() + QString::fromUtf8(kSoundFolderName) + u'/'; }
    // Writes the bytes as the whole file, replacing what was there; reads a whole file.
    // A file that cannot be written or read stops the run.
    static void write(const QString &path, const QByteArray &bytes);
    static QByteArray read(const QString &path);
};

struct FuzzEnvironment {
    FuzzDialogs dialogs;
    FuzzClassroom classroom;
};

// Made once, on first use: the application, the seams and the classroom folder. Each
// call empties the messages of the previous input and sets the shared folders of the
// classroom in the shared state.
FuzzEnvironment &fuzzEnvironment();

// The input's bytes, copied.
inline QByteArray fuzzBytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

// An input that stands for several files: the parts between the lines of
// kFuzzFileSeparator. The last part takes the rest of the input; parts the input does
// not reach are empty.
inline constexpr char kFuzzFileSeparator[] = "\n--file--\n";
QList<QByteArray> splitFuzzInput(const uint8_t *data, size_t size, int parts);
QByteArray joinFuzzInput(const QList<QByteArray> &parts);

// Clears the criteria tables, as at program start, so that an input does not see the
// table of the one before it.
void clearCriteriaTables();
// Writes the bytes as the classroom's criteria table, clears the criteria tables and
// reads the table into them.
void loadFuzzCriteria(const FuzzClassroom &classroom, const QByteArray &table);
