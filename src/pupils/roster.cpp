#include "pupils/roster.h"

#include "core/environment.h"
#include "core/levels.h"
#include "core/startup.h"

#include <QStringView>

#include <memory>
#include <optional>

namespace
{

const QString kFullWidthDigits = QStringLiteral("０１２３４５６７８９");

// Exactly the fixed length: cut, or padded on the right with spaces.
QString fixedText(const QString &text)
{
    return text.left(kRosterTextLength).leftJustified(kRosterTextLength, u' ');
}

// A whole number that fits a signed 16-bit field, quoted or not, spaces around allowed.
std::optional<int16_t> wholeNumber(const QString &text)
{
    const QString trimmed = text.trimmed();
    bool ok = false;
    const int value = trimmed.toInt(&ok, 10);
    if (!ok || value < INT16_MIN || value > INT16_MAX)
        return std::nullopt;
    return static_cast<int16_t>(value);
}

struct LineFields {
    std::array<QString, kRosterFields> texts;
    int count = 0;
    int total = 0;
    bool extraValues = false;
};

LineFields splitLine(const QString &line)
{
    LineFields fields;
    TextValueReader reader(line);
    while (!reader.atEnd()) {
        const QString value = reader.nextText();
        ++fields.total;
        if (fields.count < kRosterFields)
            fields.texts[fields.count++] = value;
        else if (!value.isEmpty())
            fields.extraValues = true;
    }
    return fields;
}

const QString kCommaHint = QStringLiteral("（名前に「,」があるときは名前を\"\"で囲みます）");

struct ParsedLine {
    RosterRecord record;
    int16_t status = 0;
};

// The record of one line, or what is wrong with it.
std::optional<ParsedLine> parseFields(const LineFields &fields, QString &problem)
{
    if (fields.count < kRosterFields) {
        problem =
            QStringLiteral("値が%1個しかありません（%2個必要です）").arg(fields.count).arg(kRosterFields);
        return std::nullopt;
    }
    if (fields.extraValues) {
        problem = QStringLiteral("値が%1個より多くあります").arg(kRosterFields);
        return std::nullopt;
    }
    static const char *const kNumberFields[] = {"番号", "生まれ年", "予備番号1", "予備番号2"};
    ParsedLine parsed;
    int16_t *numbers[] = {&parsed.record.number, &parsed.record.birthYear, &parsed.record.spareNumber1,
                          &parsed.record.spareNumber2};
    for (int i = 0; i < 4; ++i) {
        // The spare numbers are never used; a school may leave them empty.
        if (i >= 2 && fields.texts[i].trimmed().isEmpty())
            continue;
        const std::optional<int16_t> value = wholeNumber(fields.texts[i]);
        if (!value) {
            problem = QStringLiteral("%1の「%2」は数として読めません")
                          .arg(QString::fromUtf8(kNumberFields[i]), fields.texts[i]);
            return std::nullopt;
        }
        *numbers[i] = *value;
    }
    const std::optional<int16_t> status = wholeNumber(fields.texts[5]);
    if (!status) {
        problem = QStringLiteral("状態の「%1」は数として読めません").arg(fields.texts[5]);
        return std::nullopt;
    }
    if (parsed.record.number < 0 || parsed.record.number > kMaxPupil) {
        problem = QStringLiteral("番号%1は0から%2の間にありません").arg(parsed.record.number).arg(kMaxPupil);
        return std::nullopt;
    }
    parsed.status = *status;
    parsed.record.name = fixedText(fields.texts[4]);
    parsed.record.spareText1 = fixedText(fields.texts[6]);
    parsed.record.spareText2 = fixedText(fields.texts[7]);
    return parsed;
}

std::optional<ParsedLine> parseLine(const QString &line, QString &problem)
{
    const LineFields fields = splitLine(line);
    std::optional<ParsedLine> parsed = parseFields(fields, problem);
    // Too many values mostly come from a name with an unquoted comma.
    if (!parsed && fields.total > kRosterFields)
        problem += kCommaHint;
    return parsed;
}

} // namespace

RosterTables &rosterTables()
{
    static std::unique_ptr<RosterTables> tables = std::make_unique<RosterTables>();
    return *tables;
}

void resetRosterTables()
{
    // Field by field: a temporary of the whole record would not fit a Windows thread's stack.
    RosterTables &tables = rosterTables();
    tables.rosterRecords.fill(RosterRecord{});
    tables.activePupilCount = 0;
    tables.activePupilNumbers.fill(0);
    tables.pupilNames.fill(QString());
    tables.pupilBirthYears.fill(0);
    tables.pupilGradeLabels.fill(QString());
    tables.schoolYear = 0;
}

QString RosterReading::fileProblem() const
{
    if (fileRead())
        return {};
    return describeFileProblem(TextFileContents{status, {}, error});
}

int16_t schoolYearOn(const QDate &today, double schoolYearStartMonth)
{
    return static_cast<int16_t>(today.month() < schoolYearStartMonth ? today.year() - 1 : today.year());
}

int gradeNumberOf(int birthYear, int schoolYear)
{
    if (birthYear < kFirstBirthYear || birthYear > kLastBirthYear)
        return kNoGrade;
    return schoolYear - birthYear - 6;
}

int gradeOfPupil(int pupil)
{
    const RosterTables &tables = rosterTables();
    return gradeNumberOf(tables.pupilBirthYears[pupil], tables.schoolYear);
}

int gradeNumberWithMonthShift(int birthYear, int schoolYear, const QDate &today, double schoolYearStartMonth)
{
    const int grade = gradeNumberOf(birthYear, schoolYear);
    return grade == kNoGrade || today.month() >= schoolYearStartMonth ? grade : grade - 1;
}

QString displayGradeLabel(int gradeNumber)
{
    if (gradeNumber == kNoGrade)
        return {};
    if (gradeNumber < -2)
        return QStringLiteral("幼-");
    if (gradeNumber <= 0)
        return QStringLiteral("幼%1").arg(gradeNumber + 3);
    if (gradeNumber <= 6)
        return QStringLiteral("小%1").arg(gradeNumber);
    if (gradeNumber <= 9)
        return QStringLiteral("中%1").arg(gradeNumber - 6);
    if (gradeNumber <= 12)
        return QStringLiteral("高%1").arg(gradeNumber - 9);
    return QStringLiteral("大+");
}

int gradeInSchool(int gradeNumber)
{
    if (gradeNumber == kNoGrade)
        return kNoGrade;
    if (gradeNumber <= 0)
        return gradeNumber - 6;
    if (gradeNumber <= 6)
        return gradeNumber;
    if (gradeNumber <= 9)
        return gradeNumber - 6;
    return gradeNumber - 9;
}

QString pupilGradeLabel(int gradeNumber)
{
    if (gradeNumber == 0)
        return QStringLiteral("幼３");
    if (gradeNumber >= 1 && gradeNumber <= 6)
        return QStringLiteral("小") + kFullWidthDigits[gradeNumber];
    if (gradeNumber >= 7 && gradeNumber <= 9)
        return QStringLiteral("中") + kFullWidthDigits[gradeNumber - 6];
    if (gradeNumber == 10)
        return QStringLiteral("高１");
    return {};
}

QString GradeMark(int gradeNumber)
{
    static const QString marks = QStringLiteral("①②③④⑤⑥ⅠⅡⅢ");
    if (gradeNumber >= 1 && gradeNumber <= 9)
        return marks.mid(gradeNumber - 1, 1);
    return QStringLiteral("　");
}

bool GradeFilterMatches(const QString &filter, int gradeNumber)
{
    if (filter == QStringLiteral("全学年"))
        return true;
    if (gradeNumber == kNoGrade)
        return false;
    if (filter == QStringLiteral("家族"))
        return true;
    if (filter == QStringLiteral("小学生全体"))
        return gradeNumber >= 1 && gradeNumber <= 6;
    if (filter == QStringLiteral("中学生全体"))
        return gradeNumber >= 7 && gradeNumber <= 9;
    if (filter.size() == 2 && (filter[0] == u'小' || filter[0] == u'中')) {
        const qsizetype digit = kFullWidthDigits.indexOf(filter[1]);
        if (filter[0] == u'小' && digit >= 1 && digit <= 6)
            return gradeNumber == digit;
        if (filter[0] == u'中' && digit >= 1 && digit <= 3)
            return gradeNumber == digit + 6;
    }
    return false;
}

RosterReading readRosterFile(const QString &path)
{
    RosterTables &tables = rosterTables();
    const Hensuu1 &h = hensuu1();
    tables.schoolYear = schoolYearOn(env().clock->today(), h.schoolYearStartMonth);

    RosterReading reading;
    reading.path = path;
    const TextFileContents contents = readCp932File(path);
    reading.status = contents.status;
    reading.error = contents.error;
    if (!reading.fileRead())
        return reading;

    // The line each pupil number was last seen on, to tell duplicates.
    std::array<int, kPupilSlots> seenOnLine{};
    int listed = 0;
    int notListed = 0;
    int firstNotListedLine = 0;
    int lineNumber = 0;
    for (const QStringView line : QStringView(contents.text).split(u'\n')) {
        ++lineNumber;
        QString text = line.toString();
        if (text.endsWith(u'\r'))
            text.chop(1);
        if (text.trimmed().isEmpty())
            continue;
        QString problem;
        const std::optional<ParsedLine> parsed = parseLine(text, problem);
        if (!parsed) {
            reading.problems << RosterProblem{RosterProblem::Kind::Skipped, lineNumber, problem};
            continue;
        }
        const RosterRecord &record = parsed->record;
        reading.records << record;
        const int number = record.number;
        if (seenOnLine[number] != 0) {
            reading.problems << RosterProblem{
                RosterProblem::Kind::Duplicate, lineNumber,
                QStringLiteral("番号%1は%2行目にもあります").arg(number).arg(seenOnLine[number])};
        }
        seenOnLine[number] = lineNumber;
        if (record.birthYear < kFirstBirthYear || record.birthYear > kLastBirthYear) {
            reading.problems << RosterProblem{
                RosterProblem::Kind::BirthYear, lineNumber,
                QStringLiteral("生まれ年%1は%2から%3の間にありません。学年なしで載ります")
                    .arg(record.birthYear)
                    .arg(kFirstBirthYear)
                    .arg(kLastBirthYear)};
        }

        tables.pupilNames[number] = record.name;
        tables.pupilBirthYears[number] = record.birthYear;
        const QString label = pupilGradeLabel(gradeNumberOf(record.birthYear, tables.schoolYear));
        if (!label.isEmpty())
            tables.pupilGradeLabels[number] = label;

        const bool listable = parsed->status == 0 || (parsed->status == 2 && h.listStatusTwoPupils == 1);
        if (!listable)
            continue;
        if (listed == kMaxPupil) {
            if (notListed++ == 0)
                firstNotListedLine = lineNumber;
            continue;
        }
        ++listed;
        tables.rosterRecords[listed] = record;
        tables.activePupilNumbers[listed] = record.number;
    }
    tables.activePupilCount = static_cast<int16_t>(listed);
    if (notListed > 0) {
        reading.problems << RosterProblem{
            RosterProblem::Kind::NotListed, firstNotListedLine,
            QStringLiteral("載せられるのは%1人までです。この行から後の%2人は名前の一覧に出ません")
                .arg(kMaxPupil)
                .arg(notListed)};
    }
    return reading;
}

RosterReading ReadRoster()
{
    const RosterReading reading =
        readRosterFile(hensuu1().dataPathSetting + QString::fromUtf8(kRosterFileName));
    if (!reading.fileRead())
        endWithMessage(ConfigurationProblem{reading.path, reading.fileProblem()}.message(),
                       QString::fromUtf8(kProgramTitle));
    return reading;
}
