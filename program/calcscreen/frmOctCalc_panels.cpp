// The commands of the two band panels: bars or list, the copy of the panel's values to the
// clipboard, and the A-level window over the panel's levels after the channel's weighting.
//
// The cursor copy and the A-level window take each slot's value as the panel shows it (0.1 dB);
// the statistic copy computes the chosen statistic of every slot afresh.
#include "frmOctCalc.h"

#include "band_panel.h"
#include "globals.h"
#include "chooser_order.h"

#include "model/band_layout.h"

namespace murtesk {

namespace {

// The copy text of a panel of a channel: the frame, `heading`, one line per slot in the order 1, 2,
// n .. 3 with the panel's band captions, the frame.
std::string PanelCopyText(const CChMeasureCondition& condition, std::string_view heading,
                          const platform::BandLabelGrid& grid, const std::vector<std::optional<double>>& values) {
    return BandCopyText(heading, "[" + condition.getWName(false, g_OriginalWs) + "特性] , ", grid, condition.oct1or3,
                        values);
}

}  // namespace

void frmOctCalc::cmdBarOrList_Click() {
    ToggleBarOrList(cmdBarOrList, vsElasticList);
    ui_.Refresh(*this);
}

void frmOctCalc::cmdCalcBarOrList_Click() {
    ToggleBarOrList(cmdCalcBarOrList, vsElasticCalcList);
    ui_.Refresh(*this);
}

void frmOctCalc::cmdCopyCursor_Click() {
    if (!shown_.channel) {
        return;
    }
    const std::int16_t n = BandLayout(shown_.channel->ChMeasureCondition.oct1or3).SlotCount();
    std::vector<std::optional<double>> values(static_cast<std::size_t>(n));
    for (std::int16_t slot = 1; slot <= n; ++slot) {
        values[static_cast<std::size_t>(slot - 1)] = CursorBandValue(slot);
    }
    const std::string heading =
        chart_.ReadOut().time + " 動特性" + shown_.channel->ChMeasureCondition.getTREName(false);
    CopyBandText(ui_, PanelCopyText(shown_.channel->ChMeasureCondition, heading, gridCursor, values));
}

void frmOctCalc::cmdCopyCalc_Click() {
    if (!shown_.channel || cmbCalcL.ListIndex < 0) {
        return;
    }
    const std::int32_t code = cmbCalcL.SelectedData();
    const std::string heading =
        "動特性" + shown_.channel->ChMeasureCondition.getTREName(false) + " " + StatisticName(code);
    CopyBandText(ui_, PanelCopyText(shown_.channel->ChMeasureCondition, heading, gridCalc, StatisticValues(code)));
}

void frmOctCalc::ShowALevel(const PanelValues& panel) {
    if (!shown_.channel) {
        return;
    }
    const std::int16_t n = BandLayout(shown_.channel->ChMeasureCondition.oct1or3).SlotCount();
    const ALevelHandOver handOver =
        MakeALevelHandOver(*shown_.channel, std::span<const std::optional<double>>(panel.data(), static_cast<std::size_t>(n)));
    ui_.SetBusy(false);
    if (g_ShowALevel) {
        g_ShowALevel(ui_, handOver);
    }
}

void frmOctCalc::cmdACursor_Click() { ShowALevel(cursorValues_); }
void frmOctCalc::cmdACalc_Click() { ShowALevel(calcValues_); }

}  // namespace murtesk
