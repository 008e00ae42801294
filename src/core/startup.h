// From the program's start to the name selection screen: the configuration files and
// the values derived from them.
#pragma once

#include <QColor>
#include <QDate>
#include <QString>

#include <optional>

inline constexpr auto kPathFileName = "パスデータ.txt";
inline constexpr auto kCommonDataFileName = "共通データ.txt";
inline constexpr auto kCriteriaFileName = "タイム回数データ.txt";
inline constexpr auto kSoundFolderName = "音フォルダ";

struct SchoolIdentity {
    QString name;
    QString code;
};

// "12345本町教室" gives code "12345" and name "本町教室"; a value whose first five
// characters read as 0 is all name.
SchoolIdentity splitSchoolCode(const QString &value);

// The path file's text for a shared base folder: the folder, in quotes, as the first of
// its ten values; the nine that the school's other programs keep are left empty.
QString pathFileText(const QString &sharedFolder);

// The last component of the program folder's path; empty at the root of a drive.
QString programFolderName(const QString &programFolder);

// Background colour of the name and menu screens for a month; black outside 1..12.
QColor seasonColorForMonth(int month);

// The date in the Japanese calendar, as "ggge年 m月 dd日（aaa）" writes it.
QString eraDateCaption(const QDate &date);

struct TextFileContents;
// What is wrong with a configuration file that could not be read.
QString describeFileProblem(const TextFileContents &contents);

struct ConfigurationProblem {
    QString path; // full path of the file at fault
    QString what;
    QString message() const;
};

// Reads the path file in the parent folder of the program folder into appFolder and
// dataPathSetting. The program folder may be written with "/" as Qt writes it; appFolder
// and the folders derived from it use the platform's separator.
std::optional<ConfigurationProblem> LoadPathFile(const QString &programFolder);
// Reads the common data file of the shared folder dataPathSetting names.
std::optional<ConfigurationProblem> LoadCommonData();

// Derives the data and sound folders of the program whose folder is given (only its
// last component counts) from dataPathSetting.
void SetDataFolders(const QString &programFolder);

// Reads the path file, the common data file and the criteria table into the shared
// state, then loads the sound table. Stops at the first file that is missing,
// unreadable or short.
std::optional<ConfigurationProblem> LoadStartupConfiguration(const QString &programFolder);

// Loads the configuration, delivers the drills kept on this PC, and opens the name
// selection screen; a configuration that cannot be read ends the program with a message
// naming the file.
void ContinueStartup(const QString &programFolder);
