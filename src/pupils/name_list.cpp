#include "pupils/name_list.h"

#include "core/text_values.h"
#include "pupils/roster.h"

#include <algorithm>

namespace {
const QChar kFullWidthSpace(0x3000);

QString rightOf(const QString &text, int count) { return text.right(count); }

} // namespace

QString nameListViewCaption(int view)
{
    switch (view) {
    case 0:
        return QStringLiteral("回数(今日／今まで）");
    case 1:
        return QStringLiteral("ポイント（今日／今まで）");
    case 2:
        return QStringLiteral("本日（ポイント／回数）");
    default:
        return QStringLiteral("今まで（ポイント／回数）");
    }
}

QString todayAttemptsText(double count)
{
    return count == 0 ? QStringLiteral("     ") : rightOf("  " + doubleText(count), 3) + "回";
}

QString attemptsSoFarText(int count)
{
    return count == 0 ? QStringLiteral("     ") + kFullWidthSpace : rightOf("      " + QString::number(count), 5) + "回";
}

QString todayPointsText(int points)
{
    return points == 0 ? QStringLiteral("  ") + kFullWidthSpace : rightOf("   " + QString::number(points), 4);
}

QString pointsSoFarText(int points)
{
    return points == 0 ? QStringLiteral("       ") : rightOf("      " + QString::number(points), 7);
}

QString nameListSortLine(const NameListPupil &pupil, NameListView view)
{
    QString first;
    QString second;
    switch (view) {
    case NameListView::Attempts:
        first = todayAttemptsText(pupil.todayCount);
        second = attemptsSoFarText(pupil.totalCount);
        break;
    case NameListView::Points:
        first = todayPointsText(pupil.todayPoints);
        second = pointsSoFarText(pupil.totalPoints);
        break;
    case NameListView::Today:
        first = todayPointsText(pupil.todayPoints);
        second = todayAttemptsText(pupil.todayCount);
        break;
    case NameListView::SoFar:
        first = pointsSoFarText(pupil.totalPoints);
        second = attemptsSoFarText(pupil.totalCount);
        break;
    }
    QString label = pupil.displayLabel + " " + trimHalfWidth(pupil.name);
    const int width = (pupil.gradeInSchool < 1 && view != NameListView::Points) ? 11 : 9;
    if (label.size() < width)
        label += QString(width - label.size(), kFullWidthSpace);
    return QStringLiteral("%1").arg(pupil.birthYear, 4, 10, QLatin1Char('0')) + label + first + "/" + second + "*" +
           QString::number(pupil.number);
}

QList<NameListLine> buildNameList(const QList<NameListPupil> &pupils, NameListView view, const QString &gradeFilter,
                                  int schoolYear)
{
    QList<QString> sortLines;
    sortLines.reserve(pupils.size());
    for (const NameListPupil &pupil : pupils)
        sortLines << nameListSortLine(pupil, view);
    std::sort(sortLines.begin(), sortLines.end());

    QList<NameListLine> lines{{QString::fromUtf8(kNameListHeader), 0}};
    for (const QString &line : sortLines) {
        const int grade = gradeNumberOf(static_cast<int>(line.left(4).toInt()), schoolYear);
        if (!GradeFilterMatches(gradeFilter, grade))
            continue;
        const qsizetype star = line.lastIndexOf(u'*');
        lines << NameListLine{line.mid(4, star - 4), line.mid(star + 1).toInt()};
    }
    return lines;
}

QString chosenNameOfSelected(const QString &line) { return trimHalfWidth(line.left(10)); }

QString chosenNameOfDoubleClicked(const QString &line) { return trimHalfWidth(line.left(line.indexOf(u'/'))); }
