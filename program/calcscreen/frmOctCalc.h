// The calculation screen: shows one measurement of the project at a time. It lives for the
// whole run, hidden while the main screen is shown; its return command saves the project
// through the main screen and shows the main screen again.
#pragma once

#include "controls.h"
#include "form.h"
#include "screens.h"

#include <cstdint>

namespace murtesk {

class frmOctCalc : public CalcScreen {
public:
    explicit frmOctCalc(platform::UiServices& ui);

    // Prepares the screen for measurement number MeasureIndex (1-based) of the document.
    void setForm(std::int32_t& MeasureIndex) override;

    void Form_Load() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void cmdREC_Click();

    std::int16_t m_TextFilePeriod = 1;
    std::int16_t m_TextFileArea = 0;

    platform::CommandButton cmdREC;
    platform::Label lblDisplayMeas;

    // Number of the measurement on show (0 before the first setForm).
    std::int32_t ShownMeasureIndex() const { return measureIndex_; }

private:
    std::int32_t measureIndex_ = 0;
};

}  // namespace murtesk
