// The results editor's list from the roster and the results file. Whatever the bytes:
// one line for every record whose level is not 0, in record order, each line opening
// with its record number, whole; the line chosen after a change stays in the list.
#include "fuzz_support.h"
#include "maintenance/record_list.h"
#include "pupils/roster.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzEnvironment &fuzz = fuzzEnvironment();
    const QList<QByteArray> parts = splitFuzzInput(data, size, 2);
    const QString rosterPath = fuzz.classroom.shared() + QString::fromUtf8(kRosterFileName);
    fuzz.classroom.write(rosterPath, parts[0]);
    const RosterReading reading = readRosterFile(rosterPath);
    FUZZ_REQUIRE(reading.fileRead(), reading.fileProblem());

    RecordListSource source;
    source.roster = recordListRoster(reading.records, kFuzzToday, 4);
    source.schoolCode = schoolCodeText(QStringLiteral("12345"));
    source.schoolName = QStringLiteral("本町教室");
    source.bytes = parts[1];
    const QList<RecordLine> lines = recordListLines(source);

    QList<int> expected;
    for (int n = 1; n <= recordCountOf(source.bytes); ++n) {
        if (recordNumbersAt(source.bytes, n).level != 0)
            expected << n;
    }
    FUZZ_REQUIRE(lines.size() == expected.size(), QStringLiteral("%1 lines").arg(lines.size()));
    for (qsizetype i = 0; i < lines.size(); ++i) {
        FUZZ_REQUIRE(lines[i].record == expected[i], QString::number(lines[i].record));
        FUZZ_REQUIRE(lines[i].text.left(std::max(4, int(QString::number(expected[i]).size()))).trimmed() ==
                         QString::number(expected[i]),
                     lines[i].text);
    }
    const int n = size > 0 ? data[0] : 0;
    const int row = rowToSelect(lines, n);
    FUZZ_REQUIRE(row >= -1 && row < lines.size() && (row == -1) == lines.isEmpty(), QString::number(row));
    return 0;
}
