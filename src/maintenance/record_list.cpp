#include "maintenance/record_list.h"

#include "core/environment.h"
#include "core/levels.h"
#include "core/text_values.h"
#include "results/results_journal.h"

#include <QDir>

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <iterator>

namespace
{

constexpr QChar kFullWidthSpace(0x3000);
constexpr int kNameWidth = 6;
constexpr int kNamePadding = 5;

// Right-aligned in width characters. A number wider than its column is shown whole,
// never cut to its last digits: record 10000 is not record 0000.
void appendRightAligned(QString &line, QStringView text, int width)
{
    if (text.size() < width)
        line.resize(line.size() + width - text.size(), u' ');
    line.append(text);
}

// Written straight into the line: the list formats four numbers per record, and a
// text of its own for each would cost an allocation.
void appendRightAligned(QString &line, qint64 number, int width)
{
    char digits[24];
    const auto end = std::to_chars(std::begin(digits), std::end(digits), number).ptr;
    const qsizetype size = end - digits;
    if (size < width)
        line.resize(line.size() + width - size, u' ');
    line.append(QLatin1String(digits, size));
}

bool isPupilNumber(double value)
{
    return value >= 0 && value <= kMaxPupil;
}

// A number as a teacher types it: spaces around it and full-width digits allowed.
std::optional<double> typedNumber(const QString &text)
{
    bool ok = false;
    const double value = text.normalized(QString::NormalizationForm_KC).trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(value))
        return std::nullopt;
    return value;
}

const QString kUnchanged = QStringLiteral("記録は変えていません。");

} // namespace

int recordListGradeNumber(int birthYear, const QDate &today, double schoolYearStartMonth)
{
    return gradeNumberWithMonthShift(birthYear, schoolYearOn(today, schoolYearStartMonth), today,
                                     schoolYearStartMonth);
}

RecordListRoster recordListRoster(const QList<RosterRecord> &records, const QDate &today,
                                  double schoolYearStartMonth)
{
    RecordListRoster roster;
    roster.comboItems.reserve(records.size());
    for (const RosterRecord &record : records) {
        // The roster reading keeps only numbers 0..5000; a later line of the same number wins.
        const int number = record.number;
        roster.names[number] = trimHalfWidth(record.name);
        roster.gradeLabels[number] =
            pupilGradeLabel(recordListGradeNumber(record.birthYear, today, schoolYearStartMonth));
        roster.inRoster[number] = 1;
        roster.comboItems << QString::number(number) + QStringLiteral(" /  ") + roster.names[number];
    }
    return roster;
}

QString mendsToTell()
{
    const QString path = resultsFilePath();
    const Mend mend = mendResultsFile(path);
    QStringList lines = takeMendNotes(path);
    if (mend.outcome == Mend::Outcome::Stuck)
        lines << mend.text;
    if (lines.isEmpty())
        return {};
    return QStringLiteral("成績のファイルの書きかえが途中で止まっていました。\n") + lines.join(u'\n');
}

RecordListSource readRecordListSource()
{
    const Hensuu1 &h = hensuu1();
    RecordListSource source;
    source.schoolCode = schoolCodeText(h.schoolCode);
    source.schoolName = h.schoolName;

    const RosterReading reading = readRosterFile(h.dataPathSetting + QString::fromUtf8(kRosterFileName));
    if (!reading.fileRead()) {
        source.problem = QStringLiteral("名簿を読めないので、記録の一覧を作れません。\n%1\n%2")
                             .arg(QDir::toNativeSeparators(reading.path), reading.fileProblem());
        return source;
    }
    source.roster = recordListRoster(reading.records, env().clock->today(), h.schoolYearStartMonth);

    if (const IoStatus status = readResultsForScreen(resultsFilePath(), source.bytes); !status.ok()) {
        source.bytes.clear();
        source.problem =
            QStringLiteral("成績のファイルを読めないので、記録の一覧を作れません。\n") + status.description;
    }
    return source;
}

namespace
{

QString lineWithDate(int n, const ResultRecord &record, const RecordListSource &source,
                     const QString &dateText)
{
    const bool known = isPupilNumber(record.pupil);
    const QString *name = known ? &source.roster.names[record.pupil] : nullptr;
    QString line;
    line.reserve(64);
    appendRightAligned(line, n, 4);
    line.append(u' ');
    line.append(dateText);
    line.append(kFullWidthSpace);
    appendRightAligned(line, recordTimeText(record.timeOfDay), 9);
    line.append(u"ﾚﾍﾞﾙ");
    appendRightAligned(line, record.level, 0);
    line.append(kFullWidthSpace);
    appendRightAligned(line, record.resultTime, 5);
    line.append(u"秒 ");
    line.append(kFullWidthSpace);
    appendRightAligned(line, record.pupil, 4);
    line.append(u' ');
    // The name followed by five full-width spaces, cut to six characters.
    const qsizetype shown = name ? std::min<qsizetype>(name->size(), kNameWidth) : 0;
    if (name)
        line.append(QStringView(*name).left(shown));
    line.resize(line.size() + std::min<qsizetype>(kNamePadding, kNameWidth - shown), kFullWidthSpace);
    line.append(u' ');
    if (known)
        line.append(source.roster.gradeLabels[record.pupil]);
    line.append(u"++");
    line.append(record.schoolCode == source.schoolCode ? source.schoolName : QStringLiteral("他塾"));
    return line;
}

} // namespace

QString recordListLine(int n, const ResultRecord &record, const RecordListSource &source)
{
    return lineWithDate(n, record, source, recordDateText(record.date));
}

QList<RecordLine> recordListLines(const RecordListSource &source)
{
    QList<RecordLine> lines;
    const int count = recordCountOf(source.bytes);
    lines.reserve(count);
    // Records come day by day: a date's text is made once for its run of records.
    double lastDate = 0;
    QString dateText = recordDateText(lastDate);
    for (int n = 1; n <= count; ++n) {
        const ResultRecord record = recordAt(source.bytes, n);
        if (record.level == 0)
            continue;
        if (std::bit_cast<quint64>(record.date) != std::bit_cast<quint64>(lastDate)) {
            lastDate = record.date;
            dateText = recordDateText(lastDate);
        }
        lines.append(RecordLine{n, lineWithDate(n, record, source, dateText)});
    }
    return lines;
}

int rowToSelect(const QList<RecordLine> &lines, int n)
{
    const auto at = std::lower_bound(lines.begin(), lines.end(), n,
                                     [](const RecordLine &line, int k) { return line.record < k; });
    if (at != lines.end())
        return static_cast<int>(at - lines.begin());
    return static_cast<int>(lines.size()) - 1;
}

std::optional<ListedRecord> listedRecord(const RecordListSource &source, int n, QString *refusal)
{
    const int count = recordCountOf(source.bytes);
    if (n < 1 || n > count) {
        *refusal = QStringLiteral("%1番目の記録はありません（記録は%2件です）。").arg(n).arg(count);
        return std::nullopt;
    }
    ListedRecord listed{n, source.bytes.mid(qsizetype(n - 1) * kRecordSize, kRecordSize),
                        recordAt(source.bytes, n)};
    if (listed.record.level == 0) {
        *refusal = QStringLiteral("%1番目の記録はレベルが0なので、一覧にありません。").arg(n);
        return std::nullopt;
    }
    return listed;
}

EditPanelTexts editPanelTexts(const ListedRecord &listed, const RecordListRoster &roster)
{
    const ResultRecord &record = listed.record;
    const bool known = isPupilNumber(record.pupil);
    EditPanelTexts texts;
    texts.record = QString::number(listed.n);
    texts.level = QStringLiteral("ﾚﾍﾞﾙ") + QString::number(record.level);
    texts.date = recordDateText(record.date);
    texts.gradeLabel = known ? trimHalfWidth(roster.gradeLabels[record.pupil]) : QString();
    // A timed-out 99999 stays in the box; the spinner stops at its top.
    texts.time = QString::number(record.resultTime);
    texts.spinner = std::clamp<int32_t>(record.resultTime, 0, kSpinnerTop);
    texts.pupil = QString::number(record.pupil) + QStringLiteral(" /  ") +
                  (known ? roster.names[record.pupil] : QString());
    return texts;
}

QString gradeLabelOfItem(const QString &item, const RecordListRoster &roster)
{
    const double number = std::nearbyint(lenientNumber(item.section(u'/', 0, 0)));
    return isPupilNumber(number) ? trimHalfWidth(roster.gradeLabels[static_cast<int>(number)]) : QString();
}

std::optional<QString> pupilNumberOfCombo(const QString &comboText)
{
    const qsizetype slash = comboText.indexOf(u'/');
    if (slash < 0)
        return std::nullopt;
    return comboText.left(slash);
}

RecordChange changedRecord(const ResultRecord &read, const std::optional<QString> &pupilText,
                           const QString &timeText, const RecordListRoster &roster)
{
    RecordChange change{read, {}};
    if (!pupilText) {
        change.refusal =
            QStringLiteral("生徒は「番号 /  名前」と書くか、一覧から選びなさい（「/」がありません）。") +
            kUnchanged;
        return change;
    }
    // Rounded first: what is checked is what would be stored.
    const std::optional<double> pupil = typedNumber(*pupilText);
    if (!pupil) {
        change.refusal =
            QStringLiteral("生徒の番号「%1」は数ではありません。").arg(pupilText->trimmed()) + kUnchanged;
        return change;
    }
    const double pupilNumber = std::nearbyint(*pupil);
    if (!isPupilNumber(pupilNumber) || !roster.inRoster[static_cast<int>(pupilNumber)]) {
        change.refusal = QStringLiteral("生徒の番号%1は名簿にありません。").arg(pupilNumber) + kUnchanged;
        return change;
    }
    const std::optional<double> time = typedNumber(timeText);
    const double seconds = time ? std::nearbyint(*time) : 0;
    if (!time || seconds < 0 || seconds > kHighestEditedTime) {
        change.refusal = QStringLiteral("タイム「%1」は0から%2までの秒数ではありません。")
                             .arg(timeText.trimmed())
                             .arg(kHighestEditedTime) +
                         kUnchanged;
        return change;
    }
    change.record.pupil = static_cast<int16_t>(pupilNumber);
    change.record.resultTime = static_cast<int32_t>(seconds);
    return change;
}

EditResult changeListedRecord(const ListedRecord &listed, const std::optional<QString> &pupilText,
                              const QString &timeText, const RecordListRoster &roster)
{
    const RecordChange change = changedRecord(listed.record, pupilText, timeText, roster);
    if (!change.refusal.isEmpty())
        return {EditOutcome::Refused, change.refusal};
    const IoStatus status = rewriteResultRecord(resultsFilePath(), listed.n, change.record, listed.bytes);
    if (!status.ok())
        return {EditOutcome::NotWritten, QStringLiteral("記録を変えられませんでした。") + status.description};
    return {};
}

EditResult deleteListedRecord(const ListedRecord &listed)
{
    const IoStatus status = deleteResultRecord(resultsFilePath(), listed.n, listed.bytes);
    if (!status.ok())
        return {EditOutcome::NotWritten, QStringLiteral("記録を消せませんでした。") + status.description};
    return {};
}
