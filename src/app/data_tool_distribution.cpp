// ranvex-data distribution: the criteria editor's view of how a level's times are
// spread, computed by the screen's own code from the whole results file.
#include "app/data_tool.h"
#include "maintenance/time_distribution.h"

int runDistribution(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err)
{
    const std::optional<int> level =
        wholeOption(invocation.arguments, "--level", 1, kDistributionLevels, err);
    if (!level)
        return kToolCannotRun;
    if (!prepareTool(invocation, ToolNeeds::Configuration, err))
        return kToolCannotRun;
    QByteArray bytes;
    if (IoStatus status = readToolResults(bytes); !status.ok()) {
        err << status.description << '\n';
        return kToolCannotRun;
    }
    const DistributionLines lines = distributionLines(bytes, *level);
    for (const QString &line : lines.all)
        out << line << '\n';
    out << '\n';
    for (const QString &line : lines.best)
        out << line << '\n';
    return kToolOk;
}
