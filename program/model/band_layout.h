// Where each band slot of a channel stands in the band displays: the position on a band chart
// (F first, the bands in ascending frequency, W last), the cell of the 7 × 7 label panel, the
// captions of the panel's cells and the labels of the band axis. Shared by the calculation
// screen's band panels and the band result windows.
//
// Band mode 3 is the one-third-octave layout (47 slots, all 45 band cells); any other mode the
// octave layout (17 slots, 15 band cells in the middle of the grid, the others hidden).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "band_slots.h"

namespace murtesk {

inline constexpr int kBandCells = 45;
inline constexpr int kBandGridSize = 7;
inline constexpr std::string_view kFlatCaption = "[F特AP]";
inline constexpr std::string_view kWeightedCaption = "[W特性]";

// A label of the band axis at a fractional chart position.
struct BandAxisLabel {
    std::string_view text;
    double position = 0.0;
};

// A cell of the label panel: row and column, 1-based, row 1 at the top.
struct BandGridCell {
    int row = 0;
    int column = 0;
    bool operator==(const BandGridCell&) const = default;
};

class BandLayout {
public:
    explicit BandLayout(std::int16_t oct1or3) : oneThird_(BandListMode(oct1or3) == kOneThirdOctaveBandMode) {}

    // n: the slots of the layout's band list, 47 or 17.
    std::int16_t SlotCount() const { return murtesk::SlotCount(oneThird_ ? kOneThirdOctaveBandMode : kOctaveBandMode); }
    // The chart position j (1..n) of slot i: F 1, W n, band slot i n + 2 - i; 0 outside 1..n.
    std::int16_t DisplayPosition(std::int16_t slot) const;
    // The panel element (0..44) of band slot i (3..n); -1 for F, W and slots outside the list.
    int Element(std::int16_t slot) const;
    // Whether a band cell shows under this layout.
    bool Shown(int element) const;
    // The caption of band cell `element`; empty for a cell this layout hides.
    std::string_view Caption(int element) const;
    // The 17 labels of the band axis.
    std::span<const BandAxisLabel> AxisLabels() const;

    // Where band cell `element` stands in the 7 × 7 grid (ordered down the columns); F is the top
    // cell of column 1, W the top cell of column 7.
    static BandGridCell CellOf(int element);
    static constexpr BandGridCell kFlatCell{1, 1};
    static constexpr BandGridCell kWeightedCell{1, 7};

private:
    bool oneThird_;
};

}  // namespace murtesk
