#include "menu/level_menu_rules.h"

#include "core/levels.h"
#include "core/text_values.h"

int menuTitlePointSize(const QString &title)
{
    return title.size() > 9 ? 20 : 24;
}

QString pupilHeader(const QString &gradeLabel, const QString &name)
{
    return gradeLabel + " " + trimHalfWidth(name);
}

QString schoolHeader(const QString &schoolName, int pupil)
{
    return schoolName + ":" + QString::number(pupil);
}

QString minutesHeader(int minutes)
{
    return QStringLiteral("起動後%1分").arg(minutes);
}

QString todayTotalHeader(int todayTotal)
{
    return QStringLiteral("本日総回数＝%1回").arg(todayTotal);
}

bool isTeacherAccount(const QString &pupilName)
{
    return trimHalfWidth(pupilName) == QString::fromUtf8(kTeacherName);
}

QString targetLine(int level)
{
    const Hensuu1 &h = hensuu1();
    const QString time = QString::number(h.passTime[level]);
    if (h.levelKind[level] != 1)
        return "◎=" + time + "点以上";
    if (h.targetPoints[level] == 9999)
        return "目標=" + time + "秒" + " --------";
    return "目標=" + time + "秒" + " " + QString::number(h.targetCount[level]) + "回/" +
           QString::number(h.targetPoints[level]) + "点(×" + singleText(h.pointMultiplier[level]) + ")";
}

QString recentPeriodLine(int level, int pupil)
{
    const Hensuu1 &h = hensuu1();
    if (h.levelKind[level] != 1)
        return {};
    const LooseValue &days = h.passPeriodDays[level];
    const QString daysText = days.kind == LooseValue::Kind::Number ? doubleText(days.number()) : days.text;
    return "最近" + daysText + "日=" + QString::number(h.passWindowCount[level][pupil]) + "回 / " +
           QString::number(h.passWindowPoints[level][pupil]) + "点";
}

QString todayValue(int level, int pupil)
{
    const Hensuu1 &h = hensuu1();
    if (h.todayCount[level][pupil] == 0)
        return QStringLiteral("-----");
    return doubleText(h.todayCount[level][pupil]) + "回/" + QString::number(h.todayPoints[level][pupil]) +
           "点";
}

QString soFarValue(int level, int pupil)
{
    const Hensuu1 &h = hensuu1();
    if (h.totalCount[level][pupil] == 0)
        return QStringLiteral("------");
    return QString::number(h.totalCount[level][pupil]) + "回/" +
           QString::number(h.totalPoints[level][pupil]) + "点";
}

int menuTodayTotal(int pupil)
{
    double total = 0;
    for (int level = 1; level <= kMaxLevel; ++level)
        total += hensuu1().todayCount[level][pupil];
    return static_cast<int>(total);
}

LevelAccess LevelAccessPass(int pupil, bool teacher)
{
    const Hensuu1 &h = hensuu1();
    const int goal = h.goalLevel;
    const int count = h.levelCount;
    LevelAccess access;
    const bool goalMet = h.passWindowPoints[goal][pupil] >= h.targetPoints[goal] &&
                         h.passWindowCount[goal][pupil] >= h.targetCount[goal];
    access.finalTargetCleared = goalMet ? 1 : 0;

    access.enabled[1] = true;
    bool blocked = false;
    for (int level = 1; level <= count; ++level) {
        const bool practice = isPracticeLevel(level);
        if (practice)
            access.enabled[level] = true;
        const bool nextNeedsNoPass = level + 1 < kLevelSlots && h.targetPoints[level + 1] == 9999;
        const bool targetsMet = h.passWindowPoints[level][pupil] >= h.targetPoints[level] &&
                                h.passWindowCount[level][pupil] >= h.targetCount[level];
        const bool passed =
            nextNeedsNoPass || h.allLevelsOpen == 1 || teacher || targetsMet || (practice && !blocked);
        if (!passed) {
            blocked = true;
            continue;
        }
        if (level >= count)
            continue;
        access.enabled[level + 1] = true;
        access.banned[level + 1] = false;
        const double overuseCount = h.overuseCount[level].number();
        const double overusePoints = h.overusePoints[level].number();
        const bool banned = access.finalTargetCleared == 0 && !practice &&
                            ((overuseCount != 0 && h.overuseWindowCount[level][pupil] >= overuseCount) ||
                             (overusePoints != 0 && h.overuseWindowPoints[level][pupil] >= overusePoints));
        access.banned[level] = banned;
        if (banned)
            access.enabled[level] = false;
    }
    return access;
}

int levelForKey(const QString &keyText, int levelCount)
{
    if (keyText.size() != 1)
        return 0;
    const QChar key = keyText[0];
    int level = 0;
    if (key >= u'1' && key <= u'9')
        level = key.unicode() - u'0';
    else if (key >= u'a' && key <= u'd')
        level = 10 + (key.unicode() - u'a');
    return level <= levelCount ? level : 0;
}
