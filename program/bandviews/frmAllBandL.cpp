#include "frmAllBandL.h"

#include "band_panel.h"
#include "frmALevel.h"
#include "globals.h"

#include "model/band_layout.h"
#include "model/ch_measure.h"

namespace murtesk {

frmAllBandL::frmAllBandL(platform::UiServices& ui) : BandPanelForm(ui, "frmAllBandL") {
    Caption = "マーク範囲全バンド計算値";
    cmdA.Caption = "W特性";
    cmdA.ToolTipText = "各ﾊﾞﾝﾄﾞﾚﾍﾞﾙを補正特性で表示する";
}

std::int16_t frmAllBandL::BandMode() const { return channel_ ? channel_->ChMeasureCondition.oct1or3 : std::int16_t{0}; }

void frmAllBandL::Form_Load() {
    activated_ = false;
    channel_ = g_ChMeasure;
    vsElasticCalcList.Visible = false;
    cmdA.Visible = channel_ && channel_->ChMeasureCondition.getWName(false, g_OriginalWs) != "---";
    SetAllBandListLabels();
    DrawAllBandGraph();
    cmbCalcL.Clear();
    for (const std::int32_t code : StatisticCodes()) {
        cmbCalcL.AddItem(StatisticName(code), code);
    }
    loading_.emplace(ui_);
    ui_.Refresh(*this);
    statistics_ = std::make_unique<BandStatistics>();
    stored_ = statistics_->MakeAllBandLCalcs(BuildThreads);
}

void frmAllBandL::SetAllBandListLabels() { SetUpList(BandMode()); }

void frmAllBandL::DrawAllBandGraph() { SetUpChart(BandMode(), channel_ ? channel_->HzYAxis : CXYAxis{}, "AP"); }

void frmAllBandL::Form_Activate() {
    if (activated_) {
        return;
    }
    activated_ = true;
    cmbCalcL.Select(-1);
    cmbCalcL.Select(0);
    cmbCalcL_Click();
    loading_.reset();
    SetFocus("cmbCalcL");
    if (!stored_) ui_.MsgBox(kStatisticsNotStored, platform::MsgButtons::OK, platform::MsgIcon::Exclamation);
}

void frmAllBandL::cmbCalcL_Click() {
    if (cmbCalcL.ListIndex < 0 || !statistics_) {
        return;
    }
    const std::int32_t code = cmbCalcL.SelectedData();
    const std::int16_t n = BandLayout(BandMode()).SlotCount();
    std::vector<double> levels(static_cast<std::size_t>(n));
    for (std::int16_t slot = 1; slot <= n; ++slot) {
        levels[static_cast<std::size_t>(slot - 1)] = statistics_->Evaluate(code, slot);
    }
    ShowLevels(BandMode(), std::move(levels));
}

void frmAllBandL::cmdCopyCalc_Click() {
    if (cmbCalcL.ListIndex < 0 || !statistics_ || !channel_) {
        return;
    }
    const CChMeasureCondition& condition = channel_->ChMeasureCondition;
    const std::int32_t code = cmbCalcL.SelectedData();
    const std::int16_t n = BandLayout(BandMode()).SlotCount();
    // Evaluated again at full precision, not read from the read-outs.
    std::vector<std::optional<double>> values(static_cast<std::size_t>(n));
    for (std::int16_t slot = 1; slot <= n; ++slot) {
        values[static_cast<std::size_t>(slot - 1)] = statistics_->Evaluate(code, slot);
    }
    const std::string heading = "動特性" + condition.getTREName(false) + " " +
                                cmbCalcL.Items[static_cast<std::size_t>(cmbCalcL.ListIndex)];
    CopyBandText(ui_, BandCopyText(heading, "[" + condition.getWName(false, g_OriginalWs) + "特性] , ", gridCalc,
                                   BandMode(), values));
}

void frmAllBandL::cmdA_Click() {
    if (!channel_ || SlotLevels().empty()) {
        return;
    }
    const ALevelHandOver handOver = MakeALevelHandOver(*channel_, OptionalLevels());
    ui_.SetBusy(false);
    ShowALevelWindow(ui_, handOver);
}

void frmAllBandL::Form_Unload(bool& cancel) {
    (void)cancel;
    statistics_.reset();  // deletes every histogram file
    channel_.reset();
}

}  // namespace murtesk
