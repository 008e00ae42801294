// ranvex-data charts: a pupil's progress charts as the teacher's "印刷" prints them,
// written into a PDF file by the same drawing code.
#include "app/data_tool.h"
#include "core/hensuu1.h"
#include "core/levels.h"
#include "menu/chart_printing.h"

#include <QDir>

namespace
{
// "1,2,3" as levels; nullopt, with a message, when a part is no whole number.
std::optional<QList<int>> levelsOption(const QStringList &arguments, QTextStream &err)
{
    const QString text = optionValue(arguments, QStringLiteral("--levels"));
    QList<int> levels;
    for (const QString &part : text.split(u',')) {
        bool whole = false;
        const int level = part.trimmed().toInt(&whole);
        if (!whole) {
            err << QStringLiteral("--levels にはレベルの番号をコンマで区切って書きます（「%1」は読めません）")
                       .arg(text)
                << '\n';
            return std::nullopt;
        }
        levels << level;
    }
    return levels;
}
} // namespace

int runCharts(const DataToolInvocation &invocation, QTextStream &out, QTextStream &err)
{
    const QStringList &arguments = invocation.arguments;
    const std::optional<int> pupil = wholeOption(arguments, QStringLiteral("--pupil"), 0, kMaxPupil, err);
    const std::optional<QList<int>> levels = levelsOption(arguments, err);
    const QString pdf = optionValue(arguments, QStringLiteral("--pdf"));
    if (pdf.isEmpty())
        err << QStringLiteral("--pdf に書き出すファイルを指定します") << '\n';
    const std::optional<QDateTime> now = momentOption(arguments, err);
    if (!pupil || !levels || pdf.isEmpty() || !now)
        return kToolCannotRun;

    const FixedMoment moment(*now);
    QByteArray bytes;
    if (const std::optional<int> status = loadToolSchool(invocation, bytes, err))
        return *status;
    const int levelCount = hensuu1().levelCount;
    for (int level : *levels) {
        if (level < 1 || level > levelCount) {
            err << QStringLiteral("レベル%1のグラフはありません（グラフがあるのはレベル1から%2です）")
                       .arg(level)
                       .arg(levelCount)
                << '\n';
            return kToolFindings;
        }
    }
    SetProgramIdentity();

    ChartRequest request;
    request.pupil = *pupil;
    request.gradeFilter = gradeOption(arguments);
    request.now = nowAsOleDate();
    if (const QString problem = writeChartPdf(pdf, bytes, request, *levels); !problem.isEmpty()) {
        err << problem << '\n';
        return kToolCannotRun;
    }
    out << QDir::toNativeSeparators(pdf) << '\n';
    return kToolOk;
}
