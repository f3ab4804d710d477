// The graph-axis dialog of the calculation screen: the level chart's time window (start, width and
// unit) and level range, and the band charts' level range with its automatic top. It edits the
// axes of the channel copy in g_ChMeasure, which the caller takes back when g_bDialogOk is true
// afterwards; the window start must lie within g_MeasStartTime .. g_MeasEndTime. Cancel and a close
// by the window frame answer False.
#pragma once

#include "controls.h"
#include "form.h"

#include <string>

namespace murtesk {

class frmSetCalcGraph : public platform::Form {
public:
    explicit frmSetCalcGraph(platform::UiServices& ui);

    platform::Label fraLevel;  // "レベル波形グラフ"
    platform::ComboBox cmbMaxY1;
    platform::ComboBox cmbMinY1;
    platform::TextBox txtXAxisWidth1;
    platform::OptionGroup optTimeUnit1;  // 0 seconds, 1 minutes, 2 hours
    platform::CommandButton cmdStartTime;
    platform::Label lblStartTime;
    platform::Label fraHzGraph;  // "周波数バーグラフ"
    platform::ComboBox cmbHzGraphMaxY;
    platform::ComboBox cmbHzGraphMinY;
    platform::CheckBox chkHzGraphMaxYAuto;
    platform::CommandButton cmdOK;
    platform::CommandButton cmdCancel;

    void Form_Load() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void cmdStartTime_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    // The start-time message (the allowed span) in an information box.
    void StartOutOfRange();
    void Refuse(std::string_view message, const std::string& focus);
};

}  // namespace murtesk
