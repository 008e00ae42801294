// ranvex-data check and export, run as the commands run on a classroom whose files are
// the input: the common data file, the roster, the criteria table, the sound list and
// the results file, between file separator lines. Whatever the bytes: check ends with
// status 0 or 1 and one line per problem, each naming a file of the classroom; export
// writes one line per whole record, numbered in file order, or stops at the common
// data file's problem.
#include "app/data_tool.h"
#include "core/hensuu1.h"
#include "drill/sounds.h"
#include "fuzz_support.h"
#include "results/results_file.h"

#include <QDir>
#include <QTextStream>

namespace
{
struct Run {
    int status = 0;
    QString out;
    QString err;
};

// The records of CSV text: a quoted field may hold commas and line ends.
QList<QStringList> csvRecords(const QString &text)
{
    QList<QStringList> records;
    QStringList fields;
    QString field;
    bool quoted = false;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text[i + 1] == u'"')
                field += text[++i];
            else if (c == u'"')
                quoted = false;
            else
                field += c;
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            fields << field;
            field.clear();
        } else if (c == u'\n') {
            records << (fields << field);
            fields.clear();
            field.clear();
        } else {
            field += c;
        }
    }
    FUZZ_REQUIRE(!quoted && fields.isEmpty() && field.isEmpty(),
                 QStringLiteral("the CSV text ends inside a record"));
    return records;
}

Run run(const FuzzEnvironment &fuzz, const QString &command)
{
    QString out;
    QString err;
    QTextStream outStream(&out);
    QTextStream errStream(&err);
    Run result;
    result.status = runDataTool({QStringLiteral("--base"), fuzz.classroom.shared(), command}, outStream,
                                errStream, fuzz.classroom.programFolder());
    outStream.flush();
    errStream.flush();
    result.out = out;
    result.err = err;
    return result;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzEnvironment &fuzz = fuzzEnvironment();
    const QList<QByteArray> parts = splitFuzzInput(data, size, 5);
    const FuzzClassroom &room = fuzz.classroom;
    room.write(room.shared() + QString::fromUtf8(kCommonDataFileName), parts[0]);
    room.write(room.shared() + QString::fromUtf8(kRosterFileName), parts[1]);
    room.write(room.dataFolder() + QString::fromUtf8(kCriteriaFileName), parts[2]);
    room.write(room.soundFolder() + QString::fromUtf8(kSoundListFileName), parts[3]);
    room.write(room.dataFolder() + QString::fromUtf8(kResultsFileName), parts[4]);

    const Run check = run(fuzz, QStringLiteral("check"));
    FUZZ_REQUIRE(check.status == kToolOk || check.status == kToolFindings, check.err);
    FUZZ_REQUIRE((check.status == kToolOk) == check.out.isEmpty(), check.err);
    FUZZ_REQUIRE(check.out.isEmpty() || check.out.endsWith(u'\n'), check.out);
    const QString root = QDir::toNativeSeparators(QDir::cleanPath(room.root()));
    QStringList lines = check.out.split(u'\n');
    lines.removeLast();
    for (const QString &line : lines)
        FUZZ_REQUIRE(line.startsWith(root) && line.contains(QStringLiteral(": ")), line);
    if (check.status == kToolFindings)
        FUZZ_REQUIRE(check.err.contains(QStringLiteral("%1件").arg(lines.size())), check.err);
    FUZZ_REQUIRE(fuzz.dialogs.messages.isEmpty(), fuzz.dialogs.messages.join(u'|'));

    const Run exported = run(fuzz, QStringLiteral("export"));
    if (exported.status == kToolCannotRun) {
        // Only a common data file that cannot be read stops the export.
        FUZZ_REQUIRE(exported.out.isEmpty() && exported.err.contains(QString::fromUtf8(kCommonDataFileName)),
                     exported.err);
        return 0;
    }
    FUZZ_REQUIRE(exported.status == kToolOk, exported.err);
    const qsizetype records = parts[4].size() / kRecordSize;
    const QList<QStringList> csv = csvRecords(exported.out);
    FUZZ_REQUIRE(csv.size() == records + 1,
                 QStringLiteral("%1 lines for %2 records").arg(csv.size()).arg(records));
    for (qsizetype n = 0; n <= records; ++n) {
        FUZZ_REQUIRE(csv[n].size() == 8, csv[n].join(u','));
        if (n > 0)
            FUZZ_REQUIRE(csv[n][0] == QString::number(n), csv[n].join(u','));
    }
    return 0;
}
