// The axis commands of the calculation screen: the graph-axis dialog over the shown channel, and
// the copy of the shown channel's axes to other channels of the project. The copy neither redraws
// nor saves: a target shows its axes when it is next shown, and they are saved with the project.
#include "frmOctCalc.h"

#include "common_axes.h"
#include "frmCommonGraphAxis.h"
#include "frmSetCalcGraph.h"
#include "globals.h"
#include "range_work.h"

namespace murtesk {

void frmOctCalc::ShowSetCalcGraph() {
    frmSetCalcGraph dialog(ui_);
    ui_.ShowModal(dialog);
    if (ui_.IsLoaded(dialog)) {
        ui_.Unload(dialog);
    }
}

void frmOctCalc::cmdAxisSame_Click() {
    if (!shown_.measure || !shown_.channel || Records() == nullptr) {
        return;
    }
    // Only the dialog's own buttons answer True.
    g_bDialogOk = false;
    {
        frmCommonGraphAxis dialog(ui_);
        ui_.ShowModal(dialog);
        if (ui_.IsLoaded(dialog)) {
            ui_.Unload(dialog);
        }
    }
    if (!g_bDialogOk) {
        return;
    }
    calc::Busy busy(ui_);
    CopyCommonAxes(Records()->Measures, *shown_.measure, shown_.channelNumber, *shown_.channel, g_CommonGraphAxisInfo);
}

}  // namespace murtesk
