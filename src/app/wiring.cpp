#include "app/wiring.h"

#include "core/handoffs.h"
#include "core/screen_host.h"
#include "drill/MainFrm.h"
#include "drill/sounds.h"
#include "maintenance/FrmData.h"
#include "maintenance/FrmTimeData.h"
#include "menu/seisekitime1.h"
#include "pupils/namesel.h"
#include "results/criteria_table.h"
#include "results/finish_drill.h"
#include "results/results_file.h"

void wireSubsystems()
{
    Handoffs &h = handoffs();
    h.loadCriteriaTable = LoadCriteriaTable;
    h.loadSoundTable = LoadSoundTable;
    h.deliverKeptResults = DeliverKeptResults;
    h.startDrill = StartDrill;
    h.finishDrill = FinishDrill;
    h.showNameSelection = [] { ScreenHost::instance().show(new namesel); };
    h.showLevelMenu = [] { ScreenHost::instance().show(new seisekitime1); };
    h.showResultsEditor = [] { ScreenHost::instance().show(new FrmData); };
    h.showCriteriaEditor = [] { ScreenHost::instance().show(new FrmTimeData); };
}
