// ranvex-data: the teacher's and administrator's command-line tool on a classroom's
// shared folder. It reads and writes the shared files with the same code as the
// program's screens.
#pragma once

#include "core/startup.h"
#include "pupils/roster.h"
#include "results/results_file.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QTextStream>

#include <optional>

inline constexpr auto kDefaultProgramFolderName = "ranvex";

// Exit statuses of every command.
inline constexpr int kToolOk = 0;
inline constexpr int kToolFindings = 1;  // the command ran and found something to report
inline constexpr int kToolCannotRun = 2; // bad command line, or the folder cannot be read

struct DataToolInvocation {
    QString base;                                                   // --base: the shared base folder
    QString program = QString::fromUtf8(kDefaultProgramFolderName); // --program: the program folder's name
    QString toolFolder;    // the folder the tool runs from, whose parent holds the path file
    QStringList arguments; // what follows the command name, options included
};

// One command: runs with the invocation and returns the exit status.
using DataToolCommand = int (*)(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err);

// Runs the command line (without the program name). toolFolder empty: the folder of
// the running executable.
int runDataTool(const QStringList &args, QTextStream &out, QTextStream &err, const QString &toolFolder = {});

// Sets the configuration the tool works on in the shared state: dataPathSetting from
// --base (a final separator added when missing) or else from the path file beside the
// tool's program folder, then the folders of the program named by --program and the
// common data file. A problem with the common data file is returned after the folders
// are set, so that the other files can still be looked at.
std::optional<ConfigurationProblem> loadToolConfiguration(const DataToolInvocation &invocation);

// The roster of the configured shared folder, read as the name screen reads it but
// without ending on a missing file.
RosterReading readToolRoster();

// The results file of the configured data folder, with one read. A missing file reads
// as empty; while another PC keeps the file from being read the reading is tried again
// for a while; a file that may not be opened is reported at once.
IoStatus readToolResults(QByteArray &bytes);

// ranvex-data stats [--now "yyyy/mm/dd hh:mm:ss"] (data_tool_stats.cpp): the per-pupil
// statistics of the screens as CSV.
int runStats(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err);

// The value of "--name VALUE" among the arguments; empty when absent.
QString optionValue(const QStringList &arguments, const QString &name);
