// The pass-criteria table. Whatever the bytes: the table read, written again as the
// editor writes it and read back holds the same values, and writing it once more gives
// the same bytes.
#include "core/hensuu1.h"
#include "fuzz_support.h"
#include "results/criteria_table.h"

namespace
{
// Every value of every level as the table holds it, untyped ones by their text since a
// quoted "7" is kept as text and written back as the number 7; the multiplier by its
// nine digits, which tell every two values of a float apart.
QStringList tableValues()
{
    constexpr int kMultiplierField = 4; // the fifth field
    QStringList values;
    for (int level = 0; level < kCriteriaLines; ++level) {
        QStringList fields = criteriaFieldTexts(level);
        fields[kMultiplierField] = QString::number(hensuu1().pointMultiplier[level], 'g', 9);
        values << fields;
    }
    return values;
}

CriteriaGrid tableRows()
{
    CriteriaGrid rows;
    for (int level = 0; level < kCriteriaLines; ++level)
        rows << (QStringList{QString::number(level)} + criteriaFieldTexts(level));
    return rows;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    FuzzEnvironment &fuzz = fuzzEnvironment();
    const QString again = fuzz.classroom.dataFolder() + QStringLiteral("saved.txt");
    loadFuzzCriteria(fuzz.classroom, fuzzBytes(data, size));
    const QStringList read = tableValues();

    // Every value the reader gives can be written: a quoted one holds no quote.
    const QString saved = SaveCriteriaTable(again, tableRows());
    FUZZ_REQUIRE(saved.isEmpty(), saved);
    const QByteArray first = fuzz.classroom.read(again);
    clearCriteriaTables();
    LoadCriteriaTable(again);
    const QStringList readBack = tableValues();
    for (qsizetype i = 0; i < read.size(); ++i) {
        FUZZ_REQUIRE(read[i] == readBack[i], QStringLiteral("level %1 field %2: \"%3\" read back as \"%4\"")
                                                 .arg(i / kCriteriaFields)
                                                 .arg(i % kCriteriaFields + 1)
                                                 .arg(read[i], readBack[i]));
    }
    FUZZ_REQUIRE(SaveCriteriaTable(again, tableRows()).isEmpty(), again);
    FUZZ_REQUIRE(fuzz.classroom.read(again) == first, QString::fromLatin1(first.toHex()));
    return 0;
}
