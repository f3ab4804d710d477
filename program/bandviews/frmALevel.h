// The weighted band level window ("各ﾊﾞﾝﾄﾞﾚﾍﾞﾙを補正特性で表示した場合"): one set of band levels
// after the channel's weighting or correction, handed over by its opener, as bars or as a list,
// with a copy to the clipboard. It computes nothing itself.
#pragma once

#include "band_panel_form.h"
#include "globals.h"

#include <optional>

namespace murtesk {

class frmALevel : public BandPanelForm {
public:
    explicit frmALevel(platform::UiServices& ui);

    // Set by the opener after loading and before showing: exactly one of the two band sets (the
    // octave set chooses the octave layout), and a copy of the channel's band level axis.
    std::optional<COctaveBand1> m_OctaveBand1;
    std::optional<COctaveBand3> m_OctaveBand3;
    CXYAxis m_HzYAxis;

    void Form_Load() override;
    void Form_Activate() override;
    void cmdCopyCalc_Click() override;

private:
    void SetALevelListLabels();
    void DrawALevelGraph();
    void ShowALevelValues();
    // 1 with the octave set, else 3 (no set at all shows every slot as "---").
    std::int16_t BandMode() const { return m_OctaveBand1 ? std::int16_t{1} : std::int16_t{3}; }

    bool activated_ = false;
};

// Opens a new weighted band level window over a hand-over, modally, and drops it when it closes.
void ShowALevelWindow(platform::UiServices& ui, const ALevelHandOver& handOver);

}  // namespace murtesk
