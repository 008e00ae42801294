#include "core/startup.h"

#include "core/environment.h"
#include "core/handoffs.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "core/paths.h"
#include "core/text_values.h"

#include <QDir>

#include <QDateTime>
#include <QTimeZone>

#include <unicode/locid.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <vector>

namespace {

constexpr int kValuesPerFile = 10;

// Reads the fixed number of values a configuration file must hold.
std::optional<ConfigurationProblem> readValues(const QString &path, std::vector<TextValueReader::Value> &values)
{
    const TextFileContents contents = readCp932File(path);
    if (contents.status != FileReadStatus::Ok)
        return ConfigurationProblem{path, describeFileProblem(contents)};
    TextValueReader reader(contents.text);
    values.clear();
    for (int i = 1; i <= kValuesPerFile; ++i) {
        if (reader.atEnd()) {
            return ConfigurationProblem{
                path, QStringLiteral("%1番目の値がありません（値は%2個必要です）。").arg(i).arg(kValuesPerFile)};
        }
        values.push_back(reader.next());
    }
    return std::nullopt;
}

} // namespace

QString describeFileProblem(const TextFileContents &contents)
{
    if (contents.status == FileReadStatus::Missing)
        return QStringLiteral("ファイルがありません。");
    return QStringLiteral("ファイルを読めません（%1）。").arg(contents.error);
}

QString ConfigurationProblem::message() const
{
    return QStringLiteral("設定ファイルに問題があります。先生を呼びなさい。\n%1\n%2")
        .arg(QDir::toNativeSeparators(QDir::cleanPath(path)), what);
}

SchoolIdentity splitSchoolCode(const QString &value)
{
    if (lenientNumber(value.left(5)) != 0)
        return {value.mid(5), value.left(5)};
    return {value, {}};
}

QString programFolderName(const QString &programFolder)
{
    QString name = programFolder;
    const QString separator = pathSeparator();
    while (name.contains(separator))
        name = name.mid(name.indexOf(separator) + separator.size());
    return name;
}

QColor seasonColorForMonth(int month)
{
    switch (month) {
    case 1:
    case 2:
        return {255, 128, 0};
    case 3:
    case 4:
    case 5:
    case 12:
        return {192, 255, 192};
    case 6:
    case 7:
    case 8:
        return {0, 192, 192};
    case 9:
    case 10:
    case 11:
        return {192, 64, 0};
    default:
        return {0, 0, 0};
    }
}

QString eraDateCaption(const QDate &date)
{
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat format(icu::UnicodeString::fromUTF8("GGGGy年 M月 dd日（E）"),
                                 icu::Locale("ja_JP@calendar=japanese"), status);
    if (U_FAILURE(status))
        return date.toString(QStringLiteral("yyyy年 M月 dd日"));
    // Noon of that day in UTC, formatted in UTC, is that day wherever the PC is.
    format.adoptTimeZone(icu::TimeZone::createTimeZone("UTC"));
    const QDateTime noon(date, QTime(12, 0), Qt::UTC);
    icu::UnicodeString text;
    format.format(static_cast<UDate>(noon.toMSecsSinceEpoch()), text);
    std::string utf8;
    text.toUTF8String(utf8);
    return QString::fromStdString(utf8);
}

QString pathFileText(const QString &sharedFolder)
{
    return u'"' + sharedFolder + QStringLiteral("\",,,,,,,,,\n");
}

std::optional<ConfigurationProblem> LoadPathFile(const QString &programFolder)
{
    Hensuu1 &h = hensuu1();
    const QString separator = pathSeparator();
    const QString folder = QDir::toNativeSeparators(programFolder);
    h.appFolder = folder.endsWith(separator) ? folder : folder + separator;

    std::vector<TextValueReader::Value> values;
    const QString pathFile = h.appFolder + ".." + separator + QString::fromUtf8(kPathFileName);
    if (auto problem = readValues(pathFile, values))
        return problem;
    h.dataPathSetting = fromConfiguredPath(values[0].text);
    if (h.dataPathSetting.isEmpty())
        return ConfigurationProblem{pathFile, QStringLiteral("1番目の値（共有フォルダ）が空です。")};
    return std::nullopt;
}

std::optional<ConfigurationProblem> LoadCommonData()
{
    Hensuu1 &h = hensuu1();
    std::vector<TextValueReader::Value> values;
    const QString commonFile = h.dataPathSetting + QString::fromUtf8(kCommonDataFileName);
    if (auto problem = readValues(commonFile, values))
        return problem;
    h.schoolYearStartMonth = lenientNumber(values[0].text);
    const SchoolIdentity school = splitSchoolCode(values[1].text);
    h.schoolName = school.name;
    h.schoolCode = school.code;
    h.listStatusTwoPupils = lenientNumber(values[2].text);
    h.nameScreenFlag = lenientNumber(values[3].text);
    return std::nullopt;
}

void SetDataFolders(const QString &programFolder)
{
    Hensuu1 &h = hensuu1();
    const QString separator = pathSeparator();
    QString folder = QDir::toNativeSeparators(programFolder);
    if (folder.endsWith(separator))
        folder.chop(separator.size());
    h.programFolderName = programFolderName(folder);
    h.dataFolder = h.dataPathSetting + h.programFolderName + separator;
    h.soundFolder = h.dataPathSetting + QString::fromUtf8(kSoundFolderName) + separator;
}

std::optional<ConfigurationProblem> LoadStartupConfiguration(const QString &programFolder)
{
    if (auto problem = LoadPathFile(programFolder))
        return problem;
    if (auto problem = LoadCommonData())
        return problem;
    SetDataFolders(programFolder);

    SetProgramIdentity();

    Hensuu1 &h = hensuu1();
    const QString criteriaFile = h.dataFolder + QString::fromUtf8(kCriteriaFileName);
    if (handoffs().loadCriteriaTable) {
        const QString problem = handoffs().loadCriteriaTable(criteriaFile);
        if (!problem.isEmpty())
            return ConfigurationProblem{criteriaFile, problem};
    }
    if (handoffs().loadSoundTable)
        handoffs().loadSoundTable();
    return std::nullopt;
}

void ContinueStartup(const QString &programFolder)
{
    if (auto problem = LoadStartupConfiguration(programFolder)) {
        endWithMessage(problem->message(), QStringLiteral("Ranvex"));
        return;
    }
    if (handoffs().deliverKeptResults)
        handoffs().deliverKeptResults();
    if (handoffs().showNameSelection)
        handoffs().showNameSelection();
}
