// Writes the seed inputs of every fuzz target from a demo classroom, kept small: a few
// kilobytes a seed, the results file cut to a few dozen records.
//   fuzz_make_corpus DIR   writes DIR/<target>/<seed>
#include "app/demo_classroom.h"
#include "core/startup.h"
#include "drill/sounds.h"
#include "fuzz_support.h"
#include "pupils/roster.h"
#include "results/results_file.h"
#include "results/results_journal.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cerrno>
#include <cstdio>
#include <functional>

namespace
{
constexpr int kSeedRecords = 40;

void writeSeed(const QString &folder, const QString &target, const QString &name, const QByteArray &bytes)
{
    QDir(folder).mkpath(target);
    FuzzClassroom::write(folder + u'/' + target + u'/' + name, bytes);
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: fuzz_make_corpus DIR\n");
        return 2;
    }
    fuzzEnvironment(); // the fixed clock the targets run on dates the demo's records
    const QString out = QString::fromLocal8Bit(argv[1]);
    QTemporaryDir demo;
    if (const QString problem = writeDemoClassroom(demo.path(), QStringLiteral("ranvex"));
        !problem.isEmpty()) {
        std::fprintf(stderr, "%s\n", qUtf8Printable(problem));
        return 1;
    }
    const QString shared = demo.path() + QStringLiteral("/shared/");
    // The demo's own folder would make every run's seed differ: a school's share instead.
    const QByteArray pathFile = FuzzClassroom::read(demo.path() + u'/' + QString::fromUtf8(kPathFileName))
                                    .replace(QDir::toNativeSeparators(shared).toUtf8(), "\\\\server\\juku\\");
    const QByteArray common = FuzzClassroom::read(shared + QString::fromUtf8(kCommonDataFileName));
    const QByteArray roster = FuzzClassroom::read(shared + QString::fromUtf8(kRosterFileName));
    const QByteArray criteria =
        FuzzClassroom::read(shared + QStringLiteral("ranvex/") + QString::fromUtf8(kCriteriaFileName));
    const QByteArray sounds = FuzzClassroom::read(shared + QString::fromUtf8(kSoundFolderName) + u'/' +
                                                  QString::fromUtf8(kSoundListFileName));
    const QByteArray results =
        FuzzClassroom::read(shared + QStringLiteral("ranvex/") + QString::fromUtf8(kResultsFileName));
    const QByteArray firstRecords = results.left(kSeedRecords * kRecordSize);
    const QByteArray lastRecords = results.right(kSeedRecords * kRecordSize);

    writeSeed(out, QStringLiteral("text_values"), QStringLiteral("path_file"), pathFile);
    writeSeed(out, QStringLiteral("text_values"), QStringLiteral("common_data"), common);
    writeSeed(out, QStringLiteral("text_values"), QStringLiteral("sound_list"), sounds);
    writeSeed(out, QStringLiteral("roster"), QStringLiteral("roster"), roster);
    writeSeed(out, QStringLiteral("criteria_table"), QStringLiteral("criteria_table"), criteria);
    writeSeed(out, QStringLiteral("statistics"), QStringLiteral("first_records"),
              joinFuzzInput({criteria, firstRecords}));
    writeSeed(out, QStringLiteral("statistics"), QStringLiteral("last_records"),
              joinFuzzInput({criteria, lastRecords}));
    writeSeed(out, QStringLiteral("data_tool"), QStringLiteral("classroom"),
              joinFuzzInput({common, roster, criteria, sounds, lastRecords}));
    writeSeed(out, QStringLiteral("result_lists"), QStringLiteral("classroom"),
              joinFuzzInput({roster, criteria, lastRecords}));
    writeSeed(out, QStringLiteral("record_list"), QStringLiteral("classroom"), joinFuzzInput({roster, lastRecords}));
    writeSeed(out, QStringLiteral("time_distribution"), QStringLiteral("last_records"), lastRecords);

    // A change and a deletion that stopped, every write to the file failing, with
    // their journals left; a copy an earlier version's deletion left.
    const QString path = resultsFilePath();
    const auto stopped = [&](const std::function<void()> &rewrite) {
        FuzzClassroom::write(path, firstRecords);
        fileFaultHook() = [path](FileStep step, const QString &file) {
            return step == FileStep::Write && file == path ? EIO : 0;
        };
        rewrite();
        fileFaultHook() = {};
        const QByteArray journal = FuzzClassroom::read(journalPathFor(path));
        QFile::remove(journalPathFor(path));
        return joinFuzzInput({journal, FuzzClassroom::read(path), {}});
    };
    ResultRecord changed = recordAt(firstRecords, 3);
    changed.resultTime = 70000;
    writeSeed(out, QStringLiteral("results_journal"), QStringLiteral("change"),
              stopped([&] { rewriteResultRecord(path, 3, changed); }));
    writeSeed(out, QStringLiteral("results_journal"), QStringLiteral("delete"),
              stopped([&] { deleteResultRecord(path, 2); }));
    writeSeed(out, QStringLiteral("results_journal"), QStringLiteral("earlier_copy"),
              joinFuzzInput(
                  {{}, firstRecords.left(kRecordSize) + firstRecords.mid(2 * kRecordSize), firstRecords}));
    return 0;
}
