#include "band_panel_form.h"

#include "band_panel.h"

#include "model/band_layout.h"
#include "model/level_accumulator.h"

namespace murtesk {

BandPanelForm::BandPanelForm(platform::UiServices& ui, std::string name) : Form(ui, std::move(name)) {
    PlaceBandGrid(gridCalc);
    vsElasticCalcList.Visible = false;
    cmdCalcBarOrList.ToolTipText = "リスト";
    cmdCalcBarOrList.Picture = platform::kIconList;
    cmdCopyCalc.ToolTipText = "計算値コピー";
    cmdCopyCalc.Picture = platform::kIconCopy;
    cmdCancel.Caption = "Cancel";
}

void BandPanelForm::cmdCalcBarOrList_Click() {
    ToggleBarOrList(cmdCalcBarOrList, vsElasticCalcList);
    ui_.Refresh(*this);
}

void BandPanelForm::cmdCancel_Click() { ui_.Unload(*this); }

void BandPanelForm::SetUpList(std::int16_t oct1or3) {
    SetUpBandGrid(gridCalc, oct1or3, "  ");
    levels_.clear();
}

void BandPanelForm::SetUpChart(std::int16_t oct1or3, const CXYAxis& axis, std::string_view flatMark) {
    SetUpBandChart(chartCalcFFT, oct1or3, axis, flatMark);
}

void BandPanelForm::ShowLevels(std::int16_t oct1or3, std::vector<double> levels) {
    const BandLayout layout(oct1or3);
    std::vector<double> bars(levels.size(), kNoLevel);
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const auto slot = static_cast<std::int16_t>(i + 1);
        if (!(levels[i] > kNoLevel)) {
            levels[i] = kNoLevel;
        }
        if (platform::Label* label = BandValueLabel(gridCalc, oct1or3, slot)) {
            label->Caption = BandReadOut(levels[i]);
        }
        if (const std::int16_t j = layout.DisplayPosition(slot); j >= 1) {
            bars[static_cast<std::size_t>(j - 1)] = levels[i];
        }
    }
    levels_ = std::move(levels);
    platform::ChartRedrawHold hold(chartCalcFFT);
    chartCalcFFT.SetLevels(bars);
}

std::vector<std::optional<double>> BandPanelForm::OptionalLevels() const {
    return {levels_.begin(), levels_.end()};
}

}  // namespace murtesk
