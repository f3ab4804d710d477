// The all-band window ("マーク範囲全バンド計算値"): one statistic of every band slot over the mark
// range the calculation screen hands over (g_ChMeasure, g_BandIndex, g_SelectNo,
// g_CalcAreaInfluence), as bars or as a list; the statistic chooser, the copy to the clipboard and
// the weighted band level window over the values shown.
//
// The statistics are built once while the window loads; a choice only evaluates them again. Their
// histogram files go when the window unloads, by Cancel or by its frame.
#pragma once

#include "band_panel_form.h"
#include "band_statistics.h"

#include <memory>
#include <optional>

namespace murtesk {

class CChMeasure;

class frmAllBandL : public BandPanelForm {
public:
    explicit frmAllBandL(platform::UiServices& ui);

    platform::ComboBox cmbCalcL;
    platform::CommandButton cmdA;

    void Form_Load() override;
    void Form_Activate() override;
    void Form_Unload(bool& cancel) override;
    void cmbCalcL_Click();
    void cmdCopyCalc_Click() override;
    void cmdA_Click();

    // The statistics built at load (for tests and benchmarks); null after unloading.
    const BandStatistics* Statistics() const { return statistics_.get(); }

    // Threads of the build (0: one per core).
    unsigned BuildThreads = 0;

private:
    void SetAllBandListLabels();
    void DrawAllBandGraph();
    std::int16_t BandMode() const;

    std::shared_ptr<CChMeasure> channel_;
    std::unique_ptr<BandStatistics> statistics_;
    bool activated_ = false;
    std::optional<platform::BusyPointer> loading_;  // the busy pointer from the load to the first activation
    bool stored_ = true;  // the build could store every histogram
};

}  // namespace murtesk
