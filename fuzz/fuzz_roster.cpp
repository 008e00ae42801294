// The roster and the name list built from it. Whatever the bytes: no listed pupil lies
// outside 0..5000, every problem names a line of the file, and the list of every view
// and grade filter holds the header and listed pupils only, all of them under "全学年".
#include "core/hensuu1.h"
#include "fuzz_support.h"
#include "pupils/name_list.h"
#include "pupils/roster.h"

#include <algorithm>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzEnvironment &fuzz = fuzzEnvironment();
    const QByteArray bytes = fuzzBytes(data, size);
    const QString path = fuzz.classroom.shared() + QString::fromUtf8(kRosterFileName);
    fuzz.classroom.write(path, bytes);
    Hensuu1 &h = hensuu1();
    h.schoolYearStartMonth = 4;
    // Both settings of the status-2 switch, one for each half of the inputs. The tables
    // are not emptied first: a reading rewrites every position it lists, as the name
    // screen relies on.
    h.listStatusTwoPupils = size % 2;

    const RosterReading reading = readRosterFile(path);
    FUZZ_REQUIRE(reading.fileRead(), reading.fileProblem());
    const RosterTables &roster = rosterTables();
    const int listed = roster.activePupilCount;
    FUZZ_REQUIRE(listed >= 0 && listed <= kMaxPupil, QString::number(listed));
    QList<int> numbers;
    for (int position = 1; position <= listed; ++position) {
        const RosterRecord &record = roster.rosterRecords[position];
        FUZZ_REQUIRE(record.number >= 0 && record.number <= kMaxPupil, QString::number(record.number));
        FUZZ_REQUIRE(roster.activePupilNumbers[position] == record.number, QString::number(position));
        FUZZ_REQUIRE(record.name.size() == kRosterTextLength &&
                         record.spareText1.size() == kRosterTextLength &&
                         record.spareText2.size() == kRosterTextLength,
                     record.name);
        numbers << record.number;
    }
    const int lines = static_cast<int>(bytes.count('\n')) + 1;
    for (const RosterProblem &problem : reading.problems)
        FUZZ_REQUIRE(problem.line >= 1 && problem.line <= lines,
                     QString::number(problem.line) + problem.what);

    const QList<NameListPupil> pupils = nameListPupils(roster, h);
    FUZZ_REQUIRE(pupils.size() == listed, QString::number(pupils.size()));
    std::sort(numbers.begin(), numbers.end());
    // A filter of each kind: all, a school, a grade, the family, none.
    const QStringList filters{QStringLiteral("全学年"), QStringLiteral("小学生全体"), QStringLiteral("中２"),
                              QStringLiteral("家族"), QStringLiteral("幼稚園")};
    for (int view = 0; view < 4; ++view) {
        for (const QString &filter : filters) {
            const QList<NameListLine> list =
                buildNameList(pupils, static_cast<NameListView>(view), filter, roster.schoolYear);
            FUZZ_REQUIRE(!list.isEmpty() && list[0].pupil == 0 &&
                             list[0].text == QString::fromUtf8(kNameListHeader),
                         filter);
            QList<int> shown;
            for (qsizetype i = 1; i < list.size(); ++i)
                shown << list[i].pupil;
            std::sort(shown.begin(), shown.end());
            if (filter == QStringLiteral("全学年"))
                FUZZ_REQUIRE(shown == numbers,
                             QStringLiteral("%1 of %2 listed").arg(shown.size()).arg(listed));
            else
                FUZZ_REQUIRE(std::includes(numbers.begin(), numbers.end(), shown.begin(), shown.end()),
                             filter);
        }
    }
    return 0;
}
