#include "app/wiring.h"

#include "app/stand_in.h"
#include "core/handoffs.h"
#include "core/screen_host.h"
#include "drill/MainFrm.h"
#include "drill/sounds.h"
#include "results/criteria_table.h"
#include "results/finish_drill.h"

void wireSubsystems()
{
    Handoffs &h = handoffs();
    h.loadCriteriaTable = LoadCriteriaTable;
    h.loadSoundTable = LoadSoundTable;
    h.startDrill = StartDrill;
    h.finishDrill = FinishDrill;
    h.showNameSelection = [] { ScreenHost::instance().show(new StandInScreen(QStringLiteral("名前の選択"))); };
    h.showLevelMenu = [] { ScreenHost::instance().show(new StandInScreen(QStringLiteral("レベルメニュー"))); };
}
