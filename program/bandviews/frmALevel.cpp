#include "frmALevel.h"

#include "band_panel.h"

#include "model/band_layout.h"
#include "model/level_accumulator.h"

namespace murtesk {

namespace {

// The levels of a set in slot order: F, W, then the bands from the highest down.
template <class Set>
std::vector<double> LevelsOf(const Set& set) {
    std::vector<double> levels{set.dBAllPass(), set.dBW()};
    for (int index = 1; index <= Set::kBands; ++index) {
        levels.push_back(set.getdB(index));
    }
    return levels;
}

}  // namespace

frmALevel::frmALevel(platform::UiServices& ui) : BandPanelForm(ui, "frmALevel") {
    Caption = "各ﾊﾞﾝﾄﾞﾚﾍﾞﾙを補正特性で表示した場合";
}

void frmALevel::Form_Load() {
    activated_ = false;
    vsElasticCalcList.Visible = false;
}

void frmALevel::Form_Activate() {
    if (activated_) {
        return;
    }
    activated_ = true;
    SetALevelListLabels();
    DrawALevelGraph();
    ShowALevelValues();
    ui_.SetBusy(false);
}

void frmALevel::SetALevelListLabels() { SetUpList(BandMode()); }

void frmALevel::DrawALevelGraph() { SetUpChart(BandMode(), m_HzYAxis, "F"); }

void frmALevel::ShowALevelValues() {
    std::vector<double> levels;
    if (m_OctaveBand1) {
        levels = LevelsOf(*m_OctaveBand1);
    } else if (m_OctaveBand3) {
        levels = LevelsOf(*m_OctaveBand3);
    } else {
        levels.assign(static_cast<std::size_t>(BandLayout(BandMode()).SlotCount()), kNoLevel);
    }
    ShowLevels(BandMode(), std::move(levels));
}

void frmALevel::cmdCopyCalc_Click() {
    if (SlotLevels().empty()) {
        return;
    }
    CopyBandText(ui_, BandCopyText(std::nullopt, "[補正特性] , ", gridCalc, BandMode(), OptionalLevels()));
}

void ShowALevelWindow(platform::UiServices& ui, const ALevelHandOver& handOver) {
    frmALevel window(ui);
    ui.Load(window);
    window.m_OctaveBand1 = handOver.m_OctaveBand1;
    window.m_OctaveBand3 = handOver.m_OctaveBand3;
    window.m_HzYAxis = handOver.m_HzYAxis;
    ui.ShowModal(window);
    if (ui.IsLoaded(window)) {
        ui.Unload(window);
    }
}

}  // namespace murtesk
