#include "app/demo_classroom.h"

#include "core/environment.h"
#include "core/levels.h"
#include "core/startup.h"
#include "core/text_values.h"
#include "drill/sounds.h"
#include "drill/wave_tone.h"
#include "pupils/roster.h"
#include "results/results_file.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

#include <algorithm>
#include <random>

namespace {

constexpr double kSchoolYearStartMonth = 4;
constexpr int kHistoryDays = 70;
constexpr int kTeacherNumber = 1000;

struct DemoPupil {
    int number;
    int grade;
    const char *name;
    int status;
};

// Forty pupils from the first kindergarten year to the last high-school year; two
// have left (status 1) and two take a break (status 2, hidden by the common data file).
const DemoPupil kPupils[] = {
    {1, -2, "青木　ひなた", 0}, {2, -1, "石井　そうま", 0}, {3, 0, "上田　ゆい", 0},
    {4, 0, "遠藤　はると", 0},  {5, 1, "大野　陽菜", 0},    {6, 1, "加藤　蓮", 0},
    {7, 1, "川村　芽依", 0},    {8, 2, "木下　湊", 1},      {9, 2, "小松　結衣", 0},
    {10, 2, "斉藤　悠真", 0},   {11, 3, "坂本　さくら", 0}, {12, 3, "島田　颯太", 0},
    {13, 3, "菅原　葵", 0},     {14, 3, "高橋　陸", 0},     {15, 4, "田村　凛", 2},
    {16, 4, "千葉　樹", 0},     {17, 4, "土屋　彩花", 0},   {18, 4, "中川　陽向", 0},
    {19, 5, "西村　心春", 0},   {20, 5, "野口　蒼", 0},     {21, 5, "橋本　美羽", 0},
    {22, 5, "平野　大和", 0},   {23, 6, "福田　莉子", 1},   {24, 6, "藤井　大翔", 0},
    {25, 6, "星野　紗希", 0},   {26, 6, "前田　海斗", 0},   {27, 7, "松本　美咲", 0},
    {28, 7, "三浦　翔太", 0},   {29, 7, "村上　七海", 0},   {30, 8, "森田　拓海", 0},
    {31, 8, "矢野　桃子", 2},   {32, 8, "山口　健太", 0},   {33, 9, "吉田　千尋", 0},
    {34, 9, "和田　智也", 0},   {35, 9, "荒木　真央", 0},   {36, 10, "今井　亮介", 0},
    {37, 10, "内田　彩乃", 0},  {38, 11, "岡本　直樹", 0},  {39, 11, "北村　舞", 0},
    {40, 12, "久保　雄一", 0},
};

struct DemoLevel {
    int passTime;
    int minimumTime;
};
const DemoLevel kLevels[] = {{60, 120}, {90, 150}, {120, 200}};

// Our own tones, one sequence per kind of sound (Hz, ms; 0 Hz is a pause).
struct DemoSound {
    const char *file; // without ".wav"
    QList<Tone> tones;
};

QList<DemoSound> demoSounds()
{
    return {
        {"正解1a", {{523.25, 80}, {659.25, 80}, {783.99, 140}}},
        {"正解2a", {{523.25, 70}, {659.25, 70}, {783.99, 150}}},
        {"正解2b", {{659.25, 70}, {783.99, 70}, {1046.5, 150}}},
        {"間違い1a", {{196.0, 180}, {0, 40}, {164.8, 260}}},
        {"間違い2a", {{207.65, 170}, {0, 40}, {155.56, 280}}},
        {"間違い2b", {{220.0, 160}, {174.6, 300}}},
        {"最高1a", {{523.25, 120}, {659.25, 120}, {783.99, 120}, {1046.5, 360}}},
        {"最高2a", {{587.33, 120}, {739.99, 120}, {880.0, 120}, {1174.7, 360}}},
        {"自己最高1a", {{392.0, 100}, {523.25, 100}, {659.25, 100}, {783.99, 250}}},
        {"自己最高2a", {{392.0, 90}, {493.88, 90}, {587.33, 90}, {783.99, 280}}},
        {"自己最高2b", {{440.0, 100}, {554.37, 100}, {659.25, 100}, {880.0, 250}}},
        {"自己最高3a", {{349.23, 100}, {440.0, 100}, {523.25, 100}, {698.46, 250}}},
        {"不合格1a", {{392.0, 200}, {329.63, 200}, {261.63, 400}}},
        {"最高1", {{523.25, 110}, {0, 30}, {523.25, 110}, {783.99, 110}, {1046.5, 400}}},
        {"合格", {{523.25, 150}, {783.99, 300}}},
        {"警告1", {{880.0, 60}, {0, 40}, {880.0, 60}}},
    };
}

// The sound list: each kind's name, its files and "*".
const char *const kSoundList = "正解音1,正解1a,*\n"
                               "正解音2,正解2a,正解2b,*\n"
                               "間違い音1,間違い1a,*\n"
                               "間違い音2,間違い2a,間違い2b,*\n"
                               "最高音1,最高1a,*\n"
                               "最高音2,最高2a,*\n"
                               "自己最高音1,自己最高1a,*\n"
                               "自己最高音2,自己最高2a,自己最高2b,*\n"
                               "自己最高音3,自己最高3a,*\n"
                               "不合格音1,不合格1a,*\n";

QString writeFile(const QString &path, const QByteArray &bytes)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit())
        return QStringLiteral("%1: 書けません（%2）").arg(QDir::toNativeSeparators(path), file.errorString());
    return {};
}

QString rosterText(int schoolYear)
{
    QString text;
    for (const DemoPupil &pupil : kPupils) {
        text += QStringLiteral("%1,%2,0,0,\"%3\",%4,\"\",\"\"\n")
                    .arg(pupil.number)
                    .arg(schoolYear - pupil.grade - 6)
                    .arg(QString::fromUtf8(pupil.name))
                    .arg(pupil.status);
    }
    text += QStringLiteral("%1,1980,0,0,\"%2\",0,\"\",\"\"\n")
                .arg(kTeacherNumber)
                .arg(QString::fromUtf8(kTeacherName));
    return text;
}

QString criteriaText()
{
    QString text =
        QStringLiteral("目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,\n");
    for (int level = 1; level <= 35; ++level) {
        const DemoLevel values = level <= 3 ? kLevels[level - 1] : DemoLevel{120, 200};
        const char *multiplier = level == 2 ? "1.5" : level == 3 ? "2" : "1";
        text += QStringLiteral("%1,%2,300,10,%3,30,1500,7,1,,,\n")
                    .arg(values.passTime)
                    .arg(values.minimumTime)
                    .arg(multiplier);
    }
    return text;
}

// The levels a pupil of the grade works on.
std::pair<int, int> levelsOfGrade(int grade)
{
    if (grade <= 2)
        return {1, 1};
    if (grade <= 5)
        return {1, 2};
    if (grade <= 9)
        return {2, 3};
    return {3, 3};
}

// Ten weeks of afternoons up to this moment: on a school day every listed pupil may
// come and do one to four drills, getting a little faster week by week; now and then
// the time runs out. Today most pupils have come already, in the hours before now.
QByteArray historyBytes(const QDate &today, double nowSeconds, const QString &schoolCode)
{
    std::mt19937 generator(20260401);
    std::uniform_real_distribution<double> uniform(0.0, 1.0);
    std::array<double, kPupilSlots> skill{};
    for (const DemoPupil &pupil : kPupils)
        skill[pupil.number] = 0.75 + uniform(generator) * 1.0;

    QByteArray bytes;
    for (int back = kHistoryDays; back >= 0; --back) {
        const QDate day = today.addDays(-back);
        if (back > 0 && day.dayOfWeek() == Qt::Sunday)
            continue;
        const double comes = back == 0 ? 0.8 : 0.4;
        const double afternoon = back == 0 ? std::max(nowSeconds - 3 * 3600, 0.0) : 15.5 * 3600;
        const double lastSecond = back == 0 ? nowSeconds : 86399.0;
        QList<ResultRecord> records;
        for (const DemoPupil &pupil : kPupils) {
            if (pupil.status != 0 || pupil.grade < 1 || uniform(generator) > comes)
                continue;
            const auto [lowest, highest] = levelsOfGrade(pupil.grade);
            const int attempts = 1 + static_cast<int>(uniform(generator) * 4);
            double seconds = afternoon + uniform(generator) * 1.5 * 3600;
            for (int a = 0; a < attempts; ++a) {
                const int level = lowest + static_cast<int>(uniform(generator) * (highest - lowest + 1));
                const DemoLevel &criteria = kLevels[level - 1];
                const double practice = 1.0 - 0.004 * (kHistoryDays - back);
                const double noise = 0.85 + uniform(generator) * 0.3;
                int time = static_cast<int>(criteria.passTime * skill[pupil.number] * practice * noise);
                time = std::max(time, criteria.passTime / 2);
                if (uniform(generator) < 0.06 || time >= 5 * criteria.minimumTime)
                    time = kTimedOut;
                seconds += std::min(time, 5 * criteria.minimumTime) + 60 + uniform(generator) * 240;
                if (seconds > lastSecond)
                    break;
                ResultRecord record;
                record.date = oleDateOf(day);
                record.timeOfDay = std::floor(seconds) / 86400.0;
                record.pupil = static_cast<int16_t>(pupil.number);
                record.level = static_cast<int16_t>(level);
                record.resultTime = time;
                record.schoolCode = schoolCodeText(schoolCode);
                record.points = pointsText(0);
                records << record;
            }
        }
        std::stable_sort(records.begin(), records.end(), [](const ResultRecord &a, const ResultRecord &b) {
            return a.timeOfDay < b.timeOfDay;
        });
        for (const ResultRecord &record : records)
            bytes += record.toBytes();
    }
    return bytes;
}

} // namespace

QString writeDemoClassroom(const QString &folder, const QString &programFolderName)
{
    const QString root = QFileInfo(folder).absoluteFilePath();
    const QString shared = root + "/shared/";
    const QString dataFolder = shared + programFolderName + "/";
    const QString soundFolder = shared + kSoundFolderName + "/";
    for (const QString &path : {root + "/" + programFolderName, dataFolder, soundFolder}) {
        if (!QDir().mkpath(path))
            return QStringLiteral("%1: フォルダを作れません").arg(QDir::toNativeSeparators(path));
    }

    const QDate today = env().clock->today();
    const QString schoolCode = QStringLiteral("12345");
    QString problem =
        writeCp932File(root + "/" + kPathFileName, pathFileText(QDir::toNativeSeparators(shared)));
    if (problem.isEmpty()) {
        problem = writeCp932File(shared + kCommonDataFileName,
                                 QStringLiteral("%1\n\"%2デモ教室\"\n0\n0\n0,0,0,0,0,0\n")
                                     .arg(kSchoolYearStartMonth)
                                     .arg(schoolCode));
    }
    if (problem.isEmpty())
        problem =
            writeCp932File(shared + kRosterFileName, rosterText(schoolYearOn(today, kSchoolYearStartMonth)));
    if (problem.isEmpty() && !QFileInfo::exists(dataFolder + kCriteriaFileName))
        problem = writeCp932File(dataFolder + kCriteriaFileName, criteriaText());
    if (problem.isEmpty() && !QFileInfo::exists(dataFolder + kResultsFileName))
        problem = writeFile(dataFolder + kResultsFileName,
                            historyBytes(today, env().clock->timeOfDay(), schoolCode));
    if (problem.isEmpty())
        problem = writeCp932File(soundFolder + kSoundListFileName, QString::fromUtf8(kSoundList));
    for (const DemoSound &sound : demoSounds()) {
        if (!problem.isEmpty())
            break;
        const QString path = soundFolder + QString::fromUtf8(sound.file) + ".wav";
        if (!writeToneWave(path, sound.tones))
            problem = QStringLiteral("%1: 書けません").arg(QDir::toNativeSeparators(path));
    }
    return problem;
}
