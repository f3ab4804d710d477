#include "band_layout.h"

#include <array>

namespace murtesk {

namespace {

constexpr std::array<std::string_view, kBandCells> kThirdCaptions = {
    "[0.8Hz]",   "[1Hz]",   "[1.25Hz]", "[1.6Hz]",  "[2Hz]",   "[2.5Hz]",   "[3.15Hz]",  "[4Hz]",    "[5Hz]",
    "[6.3Hz]",   "[8Hz]",   "[10Hz]",   "[12.5Hz]", "[16Hz]",  "[20Hz]",    "[25Hz]",    "[31.5Hz]", "[40Hz]",
    "[50Hz]",    "[63Hz]",  "[80Hz]",   "[100Hz]",  "[125Hz]", "[160Hz]",   "[200Hz]",   "[250Hz]",  "[315Hz]",
    "[400Hz]",   "[500Hz]", "[630Hz]",  "[800Hz]",  "[1kHz]",  "[1.25kHz]", "[1.6kHz]",  "[2kHz]",   "[2.5kHz]",
    "[3.15kHz]", "[4kHz]",  "[5kHz]",   "[6.3kHz]", "[8kHz]",  "[10kHz]",   "[12_5kHz]", "[16kHz]",  "[20kHz]"};

// The octave cells, ascending: element and caption; slot 17 (1 Hz) first.
struct OctaveCell {
    int element;
    std::string_view caption;
};
constexpr std::array<OctaveCell, 15> kOctaveCells = {{{7, "[1Hz]"},
                                                      {8, "[2Hz]"},
                                                      {9, "[4Hz]"},
                                                      {14, "[8Hz]"},
                                                      {15, "[16Hz]"},
                                                      {16, "[31.5Hz]"},
                                                      {21, "[63Hz]"},
                                                      {22, "[125Hz]"},
                                                      {23, "[250Hz]"},
                                                      {28, "[500Hz]"},
                                                      {29, "[1kHz]"},
                                                      {30, "[2kHz]"},
                                                      {34, "[4kHz]"},
                                                      {35, "[8kHz]"},
                                                      {36, "[16kHz]"}}};

constexpr std::array<std::string_view, 17> kAxisTexts = {"AP",  "1",   "2",  "4",  "8",  "16", "31.5", "63", "125",
                                                         "250", "500", "1k", "2k", "4k", "8k", "16k",  "W"};

template <int N>
constexpr std::array<BandAxisLabel, 17> AxisOf(int step, double last) {
    std::array<BandAxisLabel, 17> labels{};
    labels[0] = {kAxisTexts[0], 1.25};
    for (int k = 1; k <= 15; ++k) {
        labels[static_cast<std::size_t>(k)] = {kAxisTexts[static_cast<std::size_t>(k)],
                                               static_cast<double>(N + (k - 1) * step)};
    }
    labels[16] = {kAxisTexts[16], last};
    return labels;
}

constexpr auto kOctaveAxis = AxisOf<2>(1, 16.75);
constexpr auto kThirdAxis = AxisOf<3>(3, 46.75);

// The first element of each column of the grid and the row it starts in.
constexpr std::array<int, 8> kColumnStart = {0, 6, 12, 19, 26, 33, 39, 45};
constexpr std::array<int, 7> kColumnFirstRow = {2, 2, 1, 1, 1, 2, 2};

}  // namespace

std::int16_t BandLayout::DisplayPosition(std::int16_t slot) const {
    const std::int16_t n = SlotCount();
    if (slot < 1 || slot > n) {
        return 0;
    }
    if (slot == 1) {
        return 1;
    }
    if (slot == 2) {
        return n;
    }
    return static_cast<std::int16_t>(n + 2 - slot);
}

int BandLayout::Element(std::int16_t slot) const {
    if (slot < 3 || slot > SlotCount()) {
        return -1;
    }
    if (oneThird_) {
        return kMaxSlots - slot;
    }
    return kOctaveCells[static_cast<std::size_t>(SlotCount() - slot)].element;
}

bool BandLayout::Shown(int element) const { return !Caption(element).empty(); }

std::string_view BandLayout::Caption(int element) const {
    if (element < 0 || element >= kBandCells) {
        return {};
    }
    if (oneThird_) {
        return kThirdCaptions[static_cast<std::size_t>(element)];
    }
    for (const OctaveCell& cell : kOctaveCells) {
        if (cell.element == element) {
            return cell.caption;
        }
    }
    return {};
}

std::span<const BandAxisLabel> BandLayout::AxisLabels() const { return oneThird_ ? kThirdAxis : kOctaveAxis; }

BandGridCell BandLayout::CellOf(int element) {
    if (element < 0 || element >= kBandCells) {
        return {};
    }
    int column = 0;
    while (element >= kColumnStart[static_cast<std::size_t>(column + 1)]) {
        ++column;
    }
    return {
        kColumnFirstRow[static_cast<std::size_t>(column)] + element - kColumnStart[static_cast<std::size_t>(column)],
        column + 1};
}

}  // namespace murtesk
