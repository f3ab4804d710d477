// The band layout against the tables of the displays, written out by hand: every slot of both band
// modes with its chart position, panel element, caption and grid cell, and the band axis labels.
#include "model/band_layout.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace murtesk {
namespace {

struct SlotRow {
    std::int16_t slot;
    std::int16_t position;
    int element;  // -1: the F or W cell
    const char* caption;
    BandGridCell cell;
};

// Octave: all 17 slots.
const std::vector<SlotRow> kOctave = {
    {1, 1, -1, "[F特AP]", {1, 1}},  {2, 17, -1, "[W特性]", {1, 7}}, {3, 16, 36, "[16kHz]", {5, 6}},
    {4, 15, 35, "[8kHz]", {4, 6}},  {5, 14, 34, "[4kHz]", {3, 6}},  {6, 13, 30, "[2kHz]", {5, 5}},
    {7, 12, 29, "[1kHz]", {4, 5}},  {8, 11, 28, "[500Hz]", {3, 5}}, {9, 10, 23, "[250Hz]", {5, 4}},
    {10, 9, 22, "[125Hz]", {4, 4}}, {11, 8, 21, "[63Hz]", {3, 4}},  {12, 7, 16, "[31.5Hz]", {5, 3}},
    {13, 6, 15, "[16Hz]", {4, 3}},  {14, 5, 14, "[8Hz]", {3, 3}},   {15, 4, 9, "[4Hz]", {5, 2}},
    {16, 3, 8, "[2Hz]", {4, 2}},    {17, 2, 7, "[1Hz]", {3, 2}}};

// One-third octave: all 47 slots.
const std::vector<SlotRow> kThird = {
    {1, 1, -1, "[F特AP]", {1, 1}},    {2, 47, -1, "[W特性]", {1, 7}},    {3, 46, 44, "[20kHz]", {7, 7}},
    {4, 45, 43, "[16kHz]", {6, 7}},   {5, 44, 42, "[12_5kHz]", {5, 7}},  {6, 43, 41, "[10kHz]", {4, 7}},
    {7, 42, 40, "[8kHz]", {3, 7}},    {8, 41, 39, "[6.3kHz]", {2, 7}},   {9, 40, 38, "[5kHz]", {7, 6}},
    {10, 39, 37, "[4kHz]", {6, 6}},   {11, 38, 36, "[3.15kHz]", {5, 6}}, {12, 37, 35, "[2.5kHz]", {4, 6}},
    {13, 36, 34, "[2kHz]", {3, 6}},   {14, 35, 33, "[1.6kHz]", {2, 6}},  {15, 34, 32, "[1.25kHz]", {7, 5}},
    {16, 33, 31, "[1kHz]", {6, 5}},   {17, 32, 30, "[800Hz]", {5, 5}},   {18, 31, 29, "[630Hz]", {4, 5}},
    {19, 30, 28, "[500Hz]", {3, 5}},  {20, 29, 27, "[400Hz]", {2, 5}},   {21, 28, 26, "[315Hz]", {1, 5}},
    {22, 27, 25, "[250Hz]", {7, 4}},  {23, 26, 24, "[200Hz]", {6, 4}},   {24, 25, 23, "[160Hz]", {5, 4}},
    {25, 24, 22, "[125Hz]", {4, 4}},  {26, 23, 21, "[100Hz]", {3, 4}},   {27, 22, 20, "[80Hz]", {2, 4}},
    {28, 21, 19, "[63Hz]", {1, 4}},   {29, 20, 18, "[50Hz]", {7, 3}},    {30, 19, 17, "[40Hz]", {6, 3}},
    {31, 18, 16, "[31.5Hz]", {5, 3}}, {32, 17, 15, "[25Hz]", {4, 3}},    {33, 16, 14, "[20Hz]", {3, 3}},
    {34, 15, 13, "[16Hz]", {2, 3}},   {35, 14, 12, "[12.5Hz]", {1, 3}},  {36, 13, 11, "[10Hz]", {7, 2}},
    {37, 12, 10, "[8Hz]", {6, 2}},    {38, 11, 9, "[6.3Hz]", {5, 2}},    {39, 10, 8, "[5Hz]", {4, 2}},
    {40, 9, 7, "[4Hz]", {3, 2}},      {41, 8, 6, "[3.15Hz]", {2, 2}},    {42, 7, 5, "[2.5Hz]", {7, 1}},
    {43, 6, 4, "[2Hz]", {6, 1}},      {44, 5, 3, "[1.6Hz]", {5, 1}},     {45, 4, 2, "[1.25Hz]", {4, 1}},
    {46, 3, 1, "[1Hz]", {3, 1}},      {47, 2, 0, "[0.8Hz]", {2, 1}}};

class BandLayoutTable : public ::testing::TestWithParam<std::int16_t> {};

TEST_P(BandLayoutTable, EverySlotStandsWhereTheTableSays) {
    const BandLayout layout(GetParam());
    const std::vector<SlotRow>& table = GetParam() == 3 ? kThird : kOctave;
    ASSERT_EQ(layout.SlotCount(), static_cast<std::int16_t>(table.size()));
    std::vector<bool> used(kBandCells, false);
    for (const SlotRow& row : table) {
        SCOPED_TRACE("slot " + std::to_string(row.slot));
        EXPECT_EQ(layout.DisplayPosition(row.slot), row.position);
        EXPECT_EQ(layout.Element(row.slot), row.element);
        if (row.element >= 0) {
            EXPECT_EQ(layout.Caption(row.element), row.caption);
            EXPECT_EQ(BandLayout::CellOf(row.element), row.cell);
            used[static_cast<std::size_t>(row.element)] = true;
        } else {
            EXPECT_EQ(row.slot == 1 ? kFlatCaption : kWeightedCaption, row.caption);
            EXPECT_EQ(row.slot == 1 ? BandLayout::kFlatCell : BandLayout::kWeightedCell, row.cell);
        }
    }
    // The cells no slot uses are hidden: 30 of them in the octave layout, none in the other.
    int hidden = 0;
    for (int e = 0; e < kBandCells; ++e) {
        EXPECT_EQ(layout.Shown(e), used[static_cast<std::size_t>(e)]) << "element " << e;
        hidden += layout.Shown(e) ? 0 : 1;
    }
    EXPECT_EQ(hidden, GetParam() == 3 ? 0 : 30);
    EXPECT_EQ(layout.DisplayPosition(0), 0);
    EXPECT_EQ(layout.DisplayPosition(static_cast<std::int16_t>(table.size() + 1)), 0);
    EXPECT_EQ(layout.Element(static_cast<std::int16_t>(table.size() + 1)), -1);
}

TEST_P(BandLayoutTable, AxisLabelsStandAtTheirPositions) {
    const bool third = GetParam() == 3;
    const std::vector<std::pair<std::string, double>> expected =
        third ? std::vector<std::pair<std::string, double>>{{"AP", 1.25}, {"1", 3},    {"2", 6},     {"4", 9},
                                                            {"8", 12},    {"16", 15},  {"31.5", 18}, {"63", 21},
                                                            {"125", 24},  {"250", 27}, {"500", 30},  {"1k", 33},
                                                            {"2k", 36},   {"4k", 39},  {"8k", 42},   {"16k", 45},
                                                            {"W", 46.75}}
              : std::vector<std::pair<std::string, double>>{
                    {"AP", 1.25}, {"1", 2},   {"2", 3},   {"4", 4},    {"8", 5},    {"16", 6},
                    {"31.5", 7},  {"63", 8},  {"125", 9}, {"250", 10}, {"500", 11}, {"1k", 12},
                    {"2k", 13},   {"4k", 14}, {"8k", 15}, {"16k", 16}, {"W", 16.75}};
    std::vector<std::pair<std::string, double>> actual;
    for (const BandAxisLabel& label : BandLayout(GetParam()).AxisLabels()) {
        actual.emplace_back(std::string(label.text), label.position);
    }
    EXPECT_EQ(actual, expected);
}

INSTANTIATE_TEST_SUITE_P(BothModes, BandLayoutTable, ::testing::Values(std::int16_t{1}, std::int16_t{3}));

}  // namespace
}  // namespace murtesk
