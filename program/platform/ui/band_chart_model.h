// The state of a band bar chart, as a form model holds it under the chart's name and its widget
// draws it: n bars, bar j (1-based) at X = j with the level Y(j) in dB; a fixed band axis with
// text labels at any positions (fractional ones included); a level axis whose bottom is fixed and
// whose top is fixed or follows the data. The Y values are replaced as a whole, one copy.
//
// Repaints: each change asks for one unless the redraw is held; changes under a hold ask for one
// when it is released (see ChartRedrawHold).
#pragma once

#include "controls.h"
#include "redraw_hold.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace murtesk::platform {

struct BandAxisMark {
    std::string text;
    double position = 0.0;
    bool operator==(const BandAxisMark&) const = default;
};

class BandBarChartModel : public ControlState {
public:
    // ---- Redraw hold
    bool RedrawHeld() const { return held_; }
    void HoldRedraw() { held_ = true; }
    void ReleaseRedraw();

    // ---- Band axis: from min to max, annotated only with `marks`.
    void SetBandAxis(double min, double max, std::vector<BandAxisMark> marks);
    double BandMin() const { return bandMin_; }
    double BandMax() const { return bandMax_; }
    const std::vector<BandAxisMark>& BandMarks() const { return marks_; }

    // ---- Level axis
    void SetLevelAxis(double bottom, double top, bool automaticTop);
    double LevelBottom() const { return bottom_; }
    double LevelTop() const { return top_; }
    bool AutomaticTop() const { return automaticTop_; }
    // The top as drawn: the fixed top, or the next multiple of 10 dB at or above the highest bar
    // (at least 10 dB above the bottom) when it follows the data.
    double ShownTop() const;

    // ---- The bars
    // n bars at X = 1..n, all at 0 dB.
    void SetBars(std::int32_t n);
    std::int32_t BarCount() const { return static_cast<std::int32_t>(y_.size()); }
    // Replaces the levels of bars 1..values.size() in one copy; extra values are left out.
    void SetLevels(std::span<const double> values);
    const std::vector<double>& Levels() const { return y_; }
    // How many times the levels were replaced as a whole.
    std::uint64_t LevelCopies() const { return copies_; }

    std::uint64_t Revision() const { return revision_; }
    std::uint64_t Repaints() const { return repaints_; }

private:
    void Changed();

    bool held_ = false;
    bool dirty_ = false;
    std::uint64_t revision_ = 0;
    std::uint64_t repaints_ = 0;
    std::uint64_t copies_ = 0;
    double bandMin_ = 1.0;
    double bandMax_ = 17.0;
    std::vector<BandAxisMark> marks_;
    double bottom_ = 0.0;
    double top_ = 100.0;
    bool automaticTop_ = false;
    std::vector<double> y_;
};

}  // namespace murtesk::platform
