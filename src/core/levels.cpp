#include "core/levels.h"

#include "core/handoffs.h"
#include "core/hensuu1.h"

#include <array>

namespace {
// Slots 11 and 20 end in an ASCII "1"; the school's files and printouts have always
// shown them that way.
constexpr std::array<const char *, 25> kLevelNames = {
    "",
    "レベル１",
    "レベル２",
    "レベル３",
    "レベル４",
    "レベル２－１",
    "レベル２－２",
    "レベル３練習",
    "レベル３－１",
    "レベル３－２",
    "レベル４練習",
    "レベル４－1",
    "レベル４－２",
    "レベル５練習",
    "レベル５－１",
    "レベル５－２",
    "レベル６練習",
    "レベル６－１",
    "レベル６－２",
    "レベル７練習",
    "レベル７－1",
    "レベル７－２",
    "レベル８練習",
    "レベル８－１",
    "レベル８－２",
};
} // namespace

Handoffs &handoffs()
{
    static Handoffs instance;
    return instance;
}

void SetProgramIdentity()
{
    hensuu1().programTitle = QString::fromUtf8(kProgramTitle);
    hensuu1().allLevelsOpen = 1;
}

void FillLevelCatalogue()
{
    Hensuu1 &h = hensuu1();
    h.levelCount = 3;
    h.goalLevel = h.levelCount;
    for (int level = 1; level < static_cast<int>(kLevelNames.size()); ++level) {
        h.levelNames[level] = QString::fromUtf8(kLevelNames[level]);
        h.levelKind[level] = 1;
    }
}

void OpenLevelMenu()
{
    FillLevelCatalogue();
    if (handoffs().showLevelMenu)
        handoffs().showLevelMenu();
}

bool isPracticeLevel(int level)
{
    if (level < 0 || level >= kLevelSlots)
        return false;
    return hensuu1().levelNames[level].contains(QStringLiteral("練"));
}
