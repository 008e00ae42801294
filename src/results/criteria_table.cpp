#include "results/criteria_table.h"

#include "core/hensuu1.h"
#include "core/startup.h"
#include "core/text_values.h"

#include <QSaveFile>

#include <cmath>
#include <limits>

namespace {

// A typed field takes the number the text starts with, rounded to the nearest whole
// number (halves to even) and held to the field's range.
template <typename Int> Int wholeNumber(const QString &text)
{
    const double value = std::nearbyint(lenientNumber(text));
    if (value <= std::numeric_limits<Int>::min())
        return std::numeric_limits<Int>::min();
    if (value >= std::numeric_limits<Int>::max())
        return std::numeric_limits<Int>::max();
    return static_cast<Int>(value);
}

void storeField(int level, int field, const TextValueReader::Value &value)
{
    Hensuu1 &h = hensuu1();
    switch (field) {
    case 0:
        h.passTime[level] = wholeNumber<int32_t>(value.text);
        break;
    case 1:
        h.minimumTime[level] = wholeNumber<int32_t>(value.text);
        break;
    case 2:
        h.targetPoints[level] = wholeNumber<int32_t>(value.text);
        break;
    case 3:
        h.targetCount[level] = wholeNumber<int16_t>(value.text);
        break;
    case 4:
        h.pointMultiplier[level] = static_cast<float>(lenientNumber(value.text));
        break;
    default: {
        PerLevel<LooseValue> *untyped[] = {&h.overuseCount,      &h.overusePoints,  &h.passPeriodDays,
                                           &h.overusePeriodDays, &h.criteriaExtra1, &h.criteriaExtra2,
                                           &h.criteriaExtra3};
        (*untyped[field - 5])[level] = LooseValue::fromField(value.text, value.quoted);
    }
    }
}

// Fields 1..9 carry the level's criteria; 10..12 are only kept.
constexpr int kFieldsInUse = 9;

} // namespace

QString LoadCriteriaTable(const QString &path)
{
    const TextFileContents contents = readCp932File(path);
    if (contents.status != FileReadStatus::Ok)
        return describeFileProblem(contents);

    TextValueReader reader(contents.text);
    int k = -1;
    int fieldsOfLast = kCriteriaFields;
    while (!reader.atEnd() && k < kCriteriaLines - 1) {
        ++k;
        fieldsOfLast = 0;
        while (fieldsOfLast < kCriteriaFields && !reader.atEnd())
            storeField(k, fieldsOfLast++, reader.next());
    }
    if (k < kLevelsInUse)
        return QStringLiteral("レベル%1の行がありません。").arg(k + 1);
    if (k <= kLevelsInUse && fieldsOfLast < kFieldsInUse)
        return QStringLiteral("レベル%1の行の値が足りません（%2個しかありません）。").arg(k).arg(fieldsOfLast);
    return {};
}

QString SaveCriteriaTable(const QString &path, const CriteriaGrid &rows)
{
    QString text;
    for (const QStringList &row : rows) {
        for (int column = 1; column <= kCriteriaFields; ++column) {
            text += row.value(column);
            text += column < kCriteriaFields ? QStringLiteral(",") : QStringLiteral("\r\n");
        }
    }
    // Written beside the old table and put in its place only when complete, so that a
    // full disk or a lost connection never leaves the other PCs a half table.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(encodeCp932(text)) < 0 || !file.commit())
        return QStringLiteral("ファイルに書けません（%1）。").arg(file.errorString());
    return LoadCriteriaTable(path);
}

QStringList criteriaFieldTexts(int level)
{
    const Hensuu1 &h = hensuu1();
    return {QString::number(h.passTime[level]),
            QString::number(h.minimumTime[level]),
            QString::number(h.targetPoints[level]),
            QString::number(h.targetCount[level]),
            singleText(h.pointMultiplier[level]),
            h.overuseCount[level].text,
            h.overusePoints[level].text,
            h.passPeriodDays[level].text,
            h.overusePeriodDays[level].text,
            h.criteriaExtra1[level].text,
            h.criteriaExtra2[level].text,
            h.criteriaExtra3[level].text};
}
