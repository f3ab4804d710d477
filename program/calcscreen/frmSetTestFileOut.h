// The settings of the level-series text output: the interval at which the series is thinned (a
// step N: every N-th value) and the span written (the whole measurement or the span of the level
// chart). Alt+A and Alt+B, on the key's release, choose the series resampled to ten times its rate
// instead (step -1), with linear (area 1) or four-point (area 0) interpolation.
//
// The dialog edits two variables of its caller: `period` comes in as the preset of the channel's
// level rate (1 for 10 values per second, 10 for 100, any other for 1000) and goes out as the
// chosen step; `area` comes in as the last choice and goes out as the new one. OK and the two keys
// set g_bDialogOk; Cancel and a frame close clear it and leave both variables as they came.
#pragma once

#include "controls.h"
#include "form.h"

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace murtesk {

class frmSetTestFileOut : public platform::Form {
public:
    frmSetTestFileOut(platform::UiServices& ui, std::int16_t& period, std::int16_t& area);

    platform::Label fraTimeInterval;  // the frame around the interval list
    platform::ComboBox cmbTimeInterval;
    platform::Label fraArea;  // the frame around the span choice
    platform::OptionGroup optArea;
    platform::CommandButton cmdOK;
    platform::CommandButton cmdCancel;

    void Form_Load() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void Form_KeyUp(int& KeyCode, int Shift) override;
    void cmdOK_Click();
    void cmdCancel_Click();

    // The preset of a level rate: 10 for exactly 100 values per second, 100 for exactly 1000,
    // else 1.
    static std::int16_t PresetOf(double rate);
    // The intervals offered for a preset: the text and the step N.
    static std::vector<std::pair<std::string, std::int16_t>> Intervals(std::int16_t preset);
    // The text of step N at a level rate ("200ms", "1s"); empty for a step the list lacks.
    static std::string IntervalText(double rate, std::int16_t step);

private:
    void Choose(std::int16_t period, std::int16_t area);

    std::int16_t& period_;
    std::int16_t& area_;
};

}  // namespace murtesk
