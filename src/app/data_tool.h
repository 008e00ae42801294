// ranvex-data: the teacher's and administrator's command-line tool on a classroom's
// shared folder. It reads and writes the shared files with the same code as the
// program's screens.
#pragma once

#include "core/environment.h"
#include "core/startup.h"
#include "pupils/roster.h"
#include "results/results_file.h"

#include <QByteArray>
#include <QDateTime>
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

// ranvex-data lists (data_tool_lists.cpp): the level menu's result lists and rankings.
int runLists(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err);
// ranvex-data charts (data_tool_charts.cpp): a pupil's progress charts as printed pages
// in a PDF file.
int runCharts(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err);

// Everything the level menu reads, as at the moment now is: the configuration, the
// criteria table, the roster, the level catalogue, the statistics, and the results file
// into bytes. nullopt, or the exit status after a message saying what could not be read.
std::optional<int> loadToolSchool(const DataToolInvocation &invocation, QByteArray &bytes, QTextStream &err);
// The grade filter of "--grade TEXT"; "全学年" without the option.
QString gradeOption(const QStringList &arguments);

// ranvex-data records [--now ...], edit --record N [--pupil P] [--time T], delete --record N
// (data_tool_records.cpp): the results editor's list, change and deletion.
int runRecords(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err);
int runEdit(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err);
int runDelete(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err);

// ranvex-data distribution --level L (data_tool_distribution.cpp): the criteria
// editor's distribution of a level's times, line for line.
int runDistribution(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err);

// The value of "--name VALUE" among the arguments; empty when absent.
QString optionValue(const QStringList &arguments, const QString &name);
// The whole number of "--name VALUE" within lowest..highest; nullopt, with a message,
// when it is missing or out of range.
std::optional<int> wholeOption(const QStringList &arguments, const QString &name, int lowest, int highest,
                               QTextStream &err);
// The moment "--now yyyy/mm/dd hh:mm:ss" names, or the present one without the option;
// nullopt, with a message, when the text cannot be read.
std::optional<QDateTime> momentOption(const QStringList &arguments, QTextStream &err);
// Reads the criteria table of the configured data folder; empty, or what is wrong.
QString loadToolCriteria();
// What a command needs of the shared folder before it reads its own files.
enum class ToolNeeds { Configuration, ConfigurationAndCriteria };
// Loads it; false, with the message on err, when the command cannot run.
bool prepareTool(const DataToolInvocation &invocation, ToolNeeds needs, QTextStream &err);

// "Now" fixed at a moment for as long as it lives: the statistics and lists computed
// meanwhile see the shared folder as it was, or will be, at that moment.
class FixedMoment : public Clock
{
public:
    explicit FixedMoment(const QDateTime &moment) : m_moment(moment), m_previous(env().clock)
    {
        env().clock = this;
    }
    ~FixedMoment() override { env().clock = m_previous; }
    FixedMoment(const FixedMoment &) = delete;
    FixedMoment &operator=(const FixedMoment &) = delete;

    QDate today() const override { return m_moment.date(); }
    double timeOfDay() const override { return m_moment.time().msecsSinceStartOfDay() / 1000.0; }
    int64_t monotonicMs() const override { return 0; }

private:
    QDateTime m_moment;
    Clock *m_previous;
};
