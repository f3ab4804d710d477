#include "band_panel.h"

#include "model/band_layout.h"
#include "model/ch_measure.h"
#include "model/level_accumulator.h"
#include "platform/numbers.h"
#include "ui_services.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <vector>

namespace murtesk {

namespace {

constexpr platform::ControlColor kValueColor{255, 0, 0};
constexpr std::string_view kFrame = "//////////////////////////////";
constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kShowList = "リスト";
constexpr std::string_view kShowBars = "バー";
constexpr std::string_view kClipboardBusy = "現在クリップボードが使用できない状態です。";
constexpr std::string_view kCopyFailed = "コピー失敗";

bool HasLevel(const std::optional<double>& level) { return level && *level > kNoLevel; }

// The level as its read-out shows it: to 0.1 dB, -60 for none.
double ShownLevel(const std::optional<double>& level) {
    if (!HasLevel(level)) {
        return kNoLevel;
    }
    const std::string text = platform::FormatNumber(*level, "0.0");
    double shown = kNoLevel;
    std::from_chars(text.data(), text.data() + text.size(), shown);
    return shown;
}

template <class Set>
Set WeightedSet(std::span<const std::optional<double>> values, const Set& weighting) {
    Set set;
    set.dBAllPass(ShownLevel(values[0]));
    set.dBW(ShownLevel(values[1]));
    for (std::size_t slot = values.size(); slot >= 3; --slot) {
        set.setdB(static_cast<int>(slot - 2), ShownLevel(values[slot - 1]));
    }
    set.Set_Weight(weighting);
    return set;
}

}  // namespace

void PlaceBandGrid(platform::BandLabelGrid& grid) {
    grid.FName.Caption = kFlatCaption;
    grid.WName.Caption = kWeightedCaption;
    grid.FPlace = {BandLayout::kFlatCell.row, BandLayout::kFlatCell.column};
    grid.WPlace = {BandLayout::kWeightedCell.row, BandLayout::kWeightedCell.column};
    // The widest value a cell shows: a level of three digits and its tenth.
    const std::string widestValue = BandReadOut(100.0);
    grid.FTexts = {std::string(kFlatCaption), widestValue};
    grid.WTexts = {std::string(kWeightedCaption), widestValue};
    const BandLayout octaves(kOctaveBandMode);
    const BandLayout thirds(kOneThirdOctaveBandMode);
    for (int k = 0; k < kBandCells; ++k) {
        const BandGridCell cell = BandLayout::CellOf(k);
        const auto i = static_cast<std::size_t>(k);
        grid.Places[i] = {cell.row, cell.column};
        grid.Texts[i] = {std::string(octaves.Caption(k)), std::string(thirds.Caption(k)), widestValue};
    }
    grid.Rows = grid.Columns = kBandGridSize;
}

void SetUpBandGrid(platform::BandLabelGrid& grid, std::int16_t oct1or3, const char* blank) {
    grid.FValue.Caption = grid.WValue.Caption = "  ";
    grid.FValue.ForeColor = grid.WValue.ForeColor = kValueColor;
    const BandLayout layout(oct1or3);
    for (int k = 0; k < kBandCells; ++k) {
        const auto i = static_cast<std::size_t>(k);
        grid.Values[i].Caption = blank;
        grid.Values[i].ForeColor = kValueColor;
        grid.Names[i].Visible = grid.Values[i].Visible = layout.Shown(k);
        grid.Names[i].Caption = layout.Caption(k);
    }
}

void SetUpBandChart(platform::BandBarChartModel& chart, std::int16_t oct1or3, const CXYAxis& axis,
                    std::string_view flatMark) {
    platform::ChartRedrawHold hold(chart);
    const BandLayout layout(oct1or3);
    const std::int16_t n = layout.SlotCount();
    std::vector<platform::BandAxisMark> marks;
    for (const BandAxisLabel& label : layout.AxisLabels()) {
        marks.push_back({std::string(label.text == "AP" ? flatMark : label.text), label.position});
    }
    chart.SetBandAxis(1.0, n, std::move(marks));
    // An axis that cannot be drawn (an end not finite, or a bottom not below the top) keeps the
    // bars in view: the bottom at -60 when it is unusable, the top then following the data.
    const double bottom = std::isfinite(axis.YAxisMin) ? axis.YAxisMin : kNoLevel;
    const bool usableTop = std::isfinite(axis.YAxisMax) && axis.YAxisMax > bottom;
    chart.SetLevelAxis(bottom, usableTop ? axis.YAxisMax : bottom + 10.0, axis.XAxisUnit == 1 || !usableTop);
    chart.SetBars(n);
}

std::string BandReadOut(std::optional<double> level) {
    return HasLevel(level) ? platform::FormatNumber(*level, "0.0") + "dB" : std::string("---");
}

std::string BandCopyValue(std::optional<double> level) {
    return HasLevel(level) ? platform::FormatNumber(*level, "0.0") : std::string("---");
}

platform::Label* BandValueLabel(platform::BandLabelGrid& grid, std::int16_t oct1or3, std::int16_t slot) {
    if (slot == 1) {
        return &grid.FValue;
    }
    if (slot == 2) {
        return &grid.WValue;
    }
    const int k = BandLayout(oct1or3).Element(slot);
    return k >= 0 ? &grid.Values[static_cast<std::size_t>(k)] : nullptr;
}

std::string BandCopyText(std::optional<std::string_view> heading, std::string_view wLabel,
                         const platform::BandLabelGrid& grid, std::int16_t oct1or3,
                         std::span<const std::optional<double>> values) {
    const BandLayout layout(oct1or3);
    std::string text;
    const auto line = [&text](std::string_view a, std::string_view b = {}) { text.append(a).append(b).append(kCrLf); };
    line(kFrame);
    if (heading) {
        line(*heading);
    }
    line("[F特性AP] , ", BandCopyValue(values.empty() ? std::nullopt : values[0]));
    line(wLabel, BandCopyValue(values.size() < 2 ? std::nullopt : values[1]));
    for (std::size_t slot = values.size(); slot >= 3; --slot) {
        const int k = layout.Element(static_cast<std::int16_t>(slot));
        const std::string caption = k >= 0 ? grid.Names[static_cast<std::size_t>(k)].Caption : std::string();
        line(caption + " , ", BandCopyValue(values[slot - 1]));
    }
    line(kFrame);
    return text;
}

void CopyBandText(platform::UiServices& ui, const std::string& text) {
    if (!ui.SetClipboardText(text)) {
        ui.MsgBox(kClipboardBusy, platform::MsgButtons::OK, platform::MsgIcon::Information, kCopyFailed);
    }
}

void ToggleBarOrList(platform::CommandButton& button, platform::ControlState& list) {
    if (button.ToolTipText != kShowList) {
        list.Visible = false;
        button.ToolTipText = kShowList;
        button.Picture = platform::kIconList;
    } else {
        list.Visible = true;
        button.ToolTipText = kShowBars;
        button.Picture = platform::kIconBars;
    }
}

ALevelHandOver MakeALevelHandOver(const CChMeasure& channel, std::span<const std::optional<double>> values) {
    const CChMeasureCondition& condition = channel.ChMeasureCondition;
    COctaveBand1 w1;
    COctaveBand3 w3;
    condition.getWValue(w1, w3, g_OriginalWs);
    // One value per slot of the channel's layout; a slot not given counts as no level.
    std::vector<std::optional<double>> slots(static_cast<std::size_t>(BandLayout(condition.oct1or3).SlotCount()));
    std::copy_n(values.begin(), std::min(values.size(), slots.size()), slots.begin());
    ALevelHandOver handOver;
    if (condition.oct1or3 == 3) {
        handOver.m_OctaveBand3 = WeightedSet<COctaveBand3>(slots, w3);
    } else {
        handOver.m_OctaveBand1 = WeightedSet<COctaveBand1>(slots, w1);
    }
    handOver.m_HzYAxis = channel.HzYAxis;
    return handOver;
}

}  // namespace murtesk
