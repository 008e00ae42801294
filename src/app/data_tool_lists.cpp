// ranvex-data lists: the lists of the level menu, line for line as the screen shows
// them, for a teacher who wants them on paper and for checking the screen's figures.
#include "app/data_tool.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "menu/result_lists.h"
#include "results/statistics.h"

namespace
{
std::optional<ListKind> listKindOption(const QStringList &arguments, QTextStream &err)
{
    const QString view = optionValue(arguments, QStringLiteral("--view"));
    if (view == QStringLiteral("personal"))
        return ListKind::PersonalTimes;
    if (view != QStringLiteral("time") && view != QStringLiteral("points")) {
        err << QStringLiteral("--view には time、points か personal を指定します") << '\n';
        return std::nullopt;
    }
    const std::optional<int> kind = wholeOption(arguments, QStringLiteral("--kind"), 1, 3, err);
    if (!kind)
        return std::nullopt;
    return listKindOf(view == QStringLiteral("time") ? 1 : 2, *kind);
}
} // namespace

std::optional<int> loadToolSchool(const DataToolInvocation &invocation, QByteArray &bytes, QTextStream &err)
{
    if (!prepareTool(invocation, ToolNeeds::ConfigurationAndCriteria, err))
        return kToolCannotRun;
    if (const RosterReading roster = readToolRoster(); !roster.fileRead()) {
        err << roster.path << ": " << roster.fileProblem() << '\n';
        return kToolCannotRun;
    }
    FillLevelCatalogue();
    ComputePupilStatistics();
    if (IoStatus status = readToolResults(bytes); !status.ok()) {
        err << status.description << '\n';
        return kToolCannotRun;
    }
    return std::nullopt;
}

QString gradeOption(const QStringList &arguments)
{
    return arguments.contains(QStringLiteral("--grade")) ? optionValue(arguments, QStringLiteral("--grade"))
                                                         : QStringLiteral("全学年");
}

int runLists(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err)
{
    const QStringList &arguments = invocation.arguments;
    const std::optional<int> pupil = wholeOption(arguments, QStringLiteral("--pupil"), 0, kMaxPupil, err);
    const std::optional<ListKind> kind = listKindOption(arguments, err);
    std::optional<int> period = 3;
    if (arguments.contains(QStringLiteral("--period")))
        period = wholeOption(arguments, QStringLiteral("--period"), 1, kPeriodChoices, err);
    const std::optional<QDateTime> now = momentOption(arguments, err);
    if (!pupil || !kind || !period || !now)
        return kToolCannotRun;

    const FixedMoment moment(*now);
    QByteArray bytes;
    if (const std::optional<int> status = loadToolSchool(invocation, bytes, err))
        return *status;

    ListRequest request;
    request.currentPupil = *pupil;
    request.gradeFilter = gradeOption(arguments);
    request.periodChoice = *period;
    request.today = moment.today();
    request.now = nowAsOleDate();
    const ListsView view = computeLists(*kind, bytes, request);
    out << "title: " << view.title << '\n';
    for (int level = 1; level <= hensuu1().levelCount; ++level) {
        const LevelList &list = view.levels[level];
        out << "# level " << level << (list.hidden ? " hidden" : "") << '\n';
        for (const QString &line : list.lines)
            out << line << '\n';
    }
    return kToolOk;
}
