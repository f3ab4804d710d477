// The band panels that the calculation screen and the band result windows share: a bar chart with
// one bar per band slot over the band axis, and the 7 × 7 list of band names with their values.
// Here are how a panel is laid out for a channel's band mode, how a slot's value reads, the copy
// text of a panel, the clipboard with its failure message, the bars/list toggle, and the A-level
// window's hand-over made from a panel's values.
//
// Values travel as levels, one per slot in slot order (1 F, 2 W, 3.. the bands from the highest
// down); an empty value (a slot that shows nothing yet) counts as no level.
#pragma once

#include "globals.h"

#include "band_chart_model.h"
#include "band_label_grid.h"
#include "controls.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace murtesk {

class CChMeasure;

// Names the F and W cells and places every cell on the 7 × 7 grid.
void PlaceBandGrid(platform::BandLabelGrid& grid);
// For a band mode: the F and W values and every band value `blank` in red, each band cell shown or
// hidden with its name.
void SetUpBandGrid(platform::BandLabelGrid& grid, std::int16_t oct1or3, const char* blank);
// For a band mode: the band axis 1..n with its labels ("AP" as `flatMark`), the level axis of
// `axis` (a fixed top, or an automatic one when its XAxisUnit is 1), n bars at 0 dB.
void SetUpBandChart(platform::BandBarChartModel& chart, std::int16_t oct1or3, const CXYAxis& axis,
                    std::string_view flatMark = "AP");

// A slot's read-out: the level in the format "0.0" followed by "dB" above -60, else "---".
std::string BandReadOut(std::optional<double> level);
// A slot's value in a copy: the level in the format "0.0" above -60, else "---".
std::string BandCopyValue(std::optional<double> level);
// The value label of a slot (F, W or its band cell); null for a slot outside the layout.
platform::Label* BandValueLabel(platform::BandLabelGrid& grid, std::int16_t oct1or3, std::int16_t slot);

// The copy of a panel, each line ended by CR LF: the frame of 30 slashes, `heading` when given,
// "[F特性AP] , " with F, `wLabel` with W, each band from the lowest up as its grid name, " , " and
// its value, the frame again. `values` holds one level per slot (17 or 47).
std::string BandCopyText(std::optional<std::string_view> heading, std::string_view wLabel,
                         const platform::BandLabelGrid& grid, std::int16_t oct1or3,
                         std::span<const std::optional<double>> values);
// Puts the text on the clipboard; when the clipboard will not take it, says so and changes nothing.
void CopyBandText(platform::UiServices& ui, const std::string& text);

// Shows the list over the chart or the chart again; the button's tool tip and picture name the
// view its next click shows ("リスト" with the list picture while the bars show).
void ToggleBarOrList(platform::CommandButton& button, platform::ControlState& list);

// The A-level window's hand-over from a panel of the channel: each slot's level as its read-out
// shows it (to 0.1 dB; -60 for no level), the bands weighted by the channel's weighting or
// correction, F and W as they stand; a copy of the channel's band level axis.
ALevelHandOver MakeALevelHandOver(const CChMeasure& channel, std::span<const std::optional<double>> values);

}  // namespace murtesk
