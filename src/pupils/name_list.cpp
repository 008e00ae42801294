#include "pupils/name_list.h"

#include "core/text_values.h"
#include "pupils/roster.h"

#include <algorithm>

namespace {
const QChar kFullWidthSpace(0x3000);
// In place of "小5" for a pupil without a grade: as many characters and cells.
const QString kNoGradeLabel = QStringLiteral("　 ");

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

QList<NameListPupil> nameListPupils(const RosterTables &roster, const Hensuu1 &h)
{
    QList<NameListPupil> pupils;
    pupils.reserve(roster.activePupilCount);
    for (int position = 1; position <= roster.activePupilCount; ++position) {
        const RosterRecord &record = roster.rosterRecords[position];
        const int number = record.number;
        const int grade = gradeNumberOf(record.birthYear, roster.schoolYear);
        NameListPupil pupil{record.number, record.birthYear, displayGradeLabel(grade), gradeInSchool(grade),
                            record.name};
        // Each level's sum fits 32 bits; the sum over 35 levels may not.
        int64_t todayPoints = 0;
        int64_t totalPoints = 0;
        for (int level = 1; level <= kMaxLevel; ++level) {
            pupil.todayCount += h.todayCount[level][number];
            todayPoints += h.todayPoints[level][number];
            pupil.totalCount += h.totalCount[level][number];
            totalPoints += h.totalPoints[level][number];
        }
        pupil.todayPoints = clampedTo<int>(static_cast<double>(todayPoints));
        pupil.totalPoints = clampedTo<int>(static_cast<double>(totalPoints));
        pupils << pupil;
    }
    return pupils;
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
    const bool graded = !pupil.displayLabel.isEmpty();
    QString label = (graded ? pupil.displayLabel : kNoGradeLabel) + " " + trimHalfWidth(pupil.name);
    const int width = (graded && pupil.gradeInSchool < 1 && view != NameListView::Points) ? 11 : 9;
    if (label.size() < width)
        label += QString(width - label.size(), kFullWidthSpace);
    // Four digits sort oldest first; a pupil without a grade comes after the youngest.
    const QString birthYear =
        graded ? QStringLiteral("%1").arg(pupil.birthYear, 4, 10, QLatin1Char('0')) : QStringLiteral("9999");
    return birthYear + label + first + "/" + second + "*" + QString::number(pupil.number);
}

QList<NameListLine> buildNameList(const QList<NameListPupil> &pupils, NameListView view, const QString &gradeFilter,
                                  int schoolYear)
{
    struct SortLine {
        QString text;
        qsizetype pupil;
    };
    QList<SortLine> sortLines;
    sortLines.reserve(pupils.size());
    for (qsizetype i = 0; i < pupils.size(); ++i)
        sortLines << SortLine{nameListSortLine(pupils[i], view), i};
    std::sort(sortLines.begin(), sortLines.end(),
              [](const SortLine &a, const SortLine &b) { return a.text < b.text; });

    QList<NameListLine> lines{{QString::fromUtf8(kNameListHeader), 0}};
    for (const SortLine &line : sortLines) {
        const NameListPupil &pupil = pupils[line.pupil];
        if (!GradeFilterMatches(gradeFilter, gradeNumberOf(pupil.birthYear, schoolYear)))
            continue;
        const qsizetype star = line.text.lastIndexOf(u'*');
        lines << NameListLine{line.text.mid(4, star - 4), pupil.number};
    }
    return lines;
}

QString chosenNameOfSelected(const QString &line) { return trimHalfWidth(line.left(10)); }

QString chosenNameOfDoubleClicked(const QString &line) { return trimHalfWidth(line.left(line.indexOf(u'/'))); }
