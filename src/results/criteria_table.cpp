#include "results/criteria_table.h"

#include "core/hensuu1.h"
#include "core/startup.h"
#include "core/text_values.h"

#include <QFile>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// A typed field takes the number the text starts with, rounded to the nearest whole
// number (halves to even) and held to the field's range.
template <typename Int> Int wholeNumber(const QString &text)
{
    return clampedTo<Int>(std::nearbyint(lenientNumber(text)));
}

// The multiplier held to what a single holds: 1e300 would become Inf, which no table
// can be saved with.
float singleNumber(const QString &text)
{
    constexpr double kLargest = std::numeric_limits<float>::max();
    return static_cast<float>(std::clamp(lenientNumber(text), -kLargest, kLargest));
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
        h.pointMultiplier[level] = singleNumber(value.text);
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

namespace
{
// Whether a cell must be written in double quotes to be read back as itself: a comma or
// a line end would split it, blanks at its ends would be trimmed, a leading quote would
// be taken as quoting.
bool needsQuotes(const QString &cell)
{
    if (cell.isEmpty())
        return false;
    const auto isBlank = [](QChar c) { return c == u' ' || c == u'\t'; };
    return cell.contains(u',') || cell.contains(u'\r') || cell.contains(u'\n') || isBlank(cell.front()) ||
           isBlank(cell.back()) || cell.front() == u'"';
}
} // namespace

QString SaveCriteriaTable(const QString &path, const CriteriaGrid &rows)
{
    QString text;
    for (qsizetype i = 0; i < rows.size(); ++i) {
        for (int column = 1; column <= kCriteriaFields; ++column) {
            const QString cell = rows[i].value(column);
            if (!needsQuotes(cell)) {
                text += cell;
            } else if (cell.contains(u'"')) {
                // Quoted, the quote inside would end the value early.
                return QStringLiteral("%1行目の%2番目の値「%3」は書けません（「\"」のある値には「,」や改行、"
                                      "前後の空白を入れられません）。")
                    .arg(i + 1)
                    .arg(column)
                    .arg(cell);
            } else {
                text += u'"' + cell + u'"';
            }
            text += column < kCriteriaFields ? QStringLiteral(",") : QStringLiteral("\r\n");
        }
    }
    if (const QString problem =
            replaceCriteriaFile(path, encodeCp932(text), BackupReason::BeforeCriteriaSave);
        !problem.isEmpty())
        return problem;
    return LoadCriteriaTable(path);
}

QString replaceCriteriaFile(const QString &path, const QByteArray &bytes, BackupReason reason)
{
    if (QFile current(path); current.open(QIODevice::ReadOnly)) {
        const QByteArray before = current.readAll();
        current.close();
        if (const IoStatus status = keepBackup(path, before, reason); !status.ok())
            return QStringLiteral("前の表の写しを作れないので、書きかえていません（%1）。")
                .arg(status.description);
    }
    // Written beside the old table and put in its place only when complete, so that a
    // full disk or a lost connection never leaves the other PCs a half table.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) < 0 || !file.commit())
        return QStringLiteral("ファイルに書けません（%1）。").arg(file.errorString());
    return {};
}

QList<CriteriaLineFault> criteriaLinesWithoutTwelveFields(const QString &text)
{
    QList<QStringView> lines = QStringView(text).split(u'\n');
    // Blank lines at the end hold no level.
    while (!lines.isEmpty() && lines.back().trimmed().isEmpty())
        lines.removeLast();
    QList<CriteriaLineFault> faults;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        TextValueReader reader(lines[i].toString());
        int fields = 0;
        while (!reader.atEnd()) {
            reader.next();
            ++fields;
        }
        if (fields != kCriteriaFields)
            faults << CriteriaLineFault{static_cast<int>(i + 1), fields};
    }
    return faults;
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
