// ranvex-data records, edit and delete: the teacher's results editor without its
// window, through the same code and with the same checks as the screen's buttons.
#include "app/data_tool.h"
#include "maintenance/record_list.h"

#include <climits>

namespace
{

// As the screen does when it opens: a rewrite cut short is put right and told.
void tellMends(QTextStream &err)
{
    if (const QString mends = mendsToTell(); !mends.isEmpty())
        err << mends << '\n';
}

// Record N of "--record N" as the list shows it, with the list's source; nullopt after
// a message on err, with the exit status in status.
std::optional<ListedRecord> recordOfCommand(const DataToolInvocation &invocation, RecordListSource &source,
                                            QTextStream &err, int &status)
{
    status = kToolCannotRun;
    const std::optional<int> n =
        wholeOption(invocation.arguments, QStringLiteral("--record"), 1, INT_MAX, err);
    if (!n)
        return std::nullopt;
    if (!prepareTool(invocation, ToolNeeds::Configuration, err))
        return std::nullopt;
    status = kToolFindings;
    tellMends(err);
    source = readRecordListSource();
    if (!source.problem.isEmpty()) {
        err << source.problem << '\n';
        return std::nullopt;
    }
    QString refusal;
    std::optional<ListedRecord> listed = listedRecord(source, *n, &refusal);
    if (!listed)
        err << refusal << '\n';
    return listed;
}

} // namespace

int runRecords(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err)
{
    const std::optional<QDateTime> now = momentOption(invocation.arguments, err);
    if (!now)
        return kToolCannotRun;
    if (!prepareTool(invocation, ToolNeeds::Configuration, err))
        return kToolCannotRun;
    const FixedMoment moment(*now);
    tellMends(err);
    const RecordListSource source = readRecordListSource();
    if (!source.problem.isEmpty()) {
        err << source.problem << '\n';
        return kToolCannotRun;
    }
    for (const RecordLine &line : recordListLines(source))
        out << line.text << '\n';
    return kToolOk;
}

int runEdit(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err)
{
    const QString pupilOption = QStringLiteral("--pupil");
    const QString timeOption = QStringLiteral("--time");
    const bool pupilGiven = invocation.arguments.contains(pupilOption);
    const bool timeGiven = invocation.arguments.contains(timeOption);
    if (!pupilGiven && !timeGiven) {
        err << QStringLiteral("edit には --pupil か --time を指定します") << '\n';
        return kToolCannotRun;
    }
    RecordListSource source;
    int status = kToolOk;
    const std::optional<ListedRecord> listed = recordOfCommand(invocation, source, err, status);
    if (!listed)
        return status;
    // What the boxes would hold: the typed value, or the record's own.
    const QString pupil =
        pupilGiven ? optionValue(invocation.arguments, pupilOption) : QString::number(listed->record.pupil);
    const QString time = timeGiven ? optionValue(invocation.arguments, timeOption)
                                   : QString::number(listed->record.resultTime);
    const EditResult result = changeListedRecord(*listed, pupil, time, source.roster);
    if (result.outcome != EditOutcome::Written) {
        err << result.message << '\n';
        return kToolFindings;
    }
    // The line as the list now shows it.
    const RecordListSource after = readRecordListSource();
    QString refusal;
    if (const std::optional<ListedRecord> changed = listedRecord(after, listed->n, &refusal))
        out << recordListLine(changed->n, changed->record, after) << '\n';
    return kToolOk;
}

int runDelete(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err)
{
    RecordListSource source;
    int status = kToolOk;
    const std::optional<ListedRecord> listed = recordOfCommand(invocation, source, err, status);
    if (!listed)
        return status;
    const EditResult result = deleteListedRecord(*listed);
    if (result.outcome != EditOutcome::Written) {
        err << result.message << '\n';
        return kToolFindings;
    }
    out << recordListLine(listed->n, listed->record, source) << '\n';
    return kToolOk;
}
