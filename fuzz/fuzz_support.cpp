#include "fuzz_support.h"

#include "core/hensuu1.h"
#include "results/criteria_table.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace
{
class FixedClock : public Clock
{
public:
    QDate today() const override { return kFuzzToday; }
    double timeOfDay() const override { return kFuzzTimeOfDay; }
    int64_t monotonicMs() const override { return 0; }
};

// Numbers in a fixed order: a reading that draws one gives the same result every time.
class FixedRandom : public Random
{
public:
    void seed(double) override {}
    double next() override { return 0.5; }
};

QTemporaryDir &classroomFolder()
{
    static QTemporaryDir folder;
    return folder;
}
} // namespace

[[noreturn]] void fuzzFailure(const char *file, int line, const char *condition, const QString &detail)
{
    std::fprintf(stderr, "%s:%d: invariant broken: %s\n  %s\n", file, line, condition,
                 qUtf8Printable(detail));
    std::fflush(stderr);
    std::abort();
}

DialogAnswer FuzzDialogs::message(const QString &text, const QString &, DialogButtons)
{
    messages << text;
    return DialogAnswer::Ok;
}

void FuzzDialogs::endProgram(int status)
{
    throw ProgramEnded{status};
}

QString FuzzClassroom::root() const
{
    return classroomFolder().path();
}

void FuzzClassroom::write(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        fuzzFailure(__FILE__, __LINE__, "the file can be written", path);
}

QByteArray FuzzClassroom::read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        fuzzFailure(__FILE__, __LINE__, "the file can be read", path);
    return file.readAll();
}

FuzzEnvironment &fuzzEnvironment()
{
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    static FixedClock clock;
    static FixedRandom random;
    static FuzzEnvironment environment = [] {
        FuzzEnvironment made;
        const FuzzClassroom &room = made.classroom;
        for (const QString &folder : {room.programFolder(), room.dataFolder(), room.soundFolder()}) {
            if (!QDir().mkpath(folder))
                fuzzFailure(__FILE__, __LINE__, "the classroom can be made", folder);
        }
        return made;
    }();
    env() = {&clock, &random, nullptr, &environment.dialogs, nullptr};
    environment.dialogs.messages.clear();
    Hensuu1 &h = hensuu1();
    h.dataPathSetting = environment.classroom.shared();
    h.dataFolder = environment.classroom.dataFolder();
    h.soundFolder = environment.classroom.soundFolder();
    return environment;
}

QList<QByteArray> splitFuzzInput(const uint8_t *data, size_t size, int parts)
{
    const QByteArray input = fuzzBytes(data, size);
    const QByteArray separator(kFuzzFileSeparator);
    QList<QByteArray> result;
    qsizetype from = 0;
    while (result.size() < parts - 1) {
        const qsizetype at = from <= input.size() ? input.indexOf(separator, from) : -1;
        if (at < 0)
            break;
        result << input.mid(from, at - from);
        from = at + separator.size();
    }
    result << (from <= input.size() ? input.mid(from) : QByteArray());
    while (result.size() < parts)
        result << QByteArray();
    return result;
}

QByteArray joinFuzzInput(const QList<QByteArray> &parts)
{
    return parts.join(QByteArray(kFuzzFileSeparator));
}

void clearCriteriaTables()
{
    Hensuu1 &h = hensuu1();
    h.passTime = {};
    h.minimumTime = {};
    h.targetPoints = {};
    h.targetCount = {};
    h.pointMultiplier = {};
    for (auto *table : {&h.overuseCount, &h.overusePoints, &h.passPeriodDays, &h.overusePeriodDays,
                        &h.criteriaExtra1, &h.criteriaExtra2, &h.criteriaExtra3})
        table->fill(LooseValue{});
}

void loadFuzzCriteria(const FuzzClassroom &classroom, const QByteArray &table)
{
    const QString path = classroom.dataFolder() + QString::fromUtf8(kCriteriaFileName);
    classroom.write(path, table);
    clearCriteriaTables();
    LoadCriteriaTable(path);
}
