// The commands of the two band panels: bars or list, the copy of the panel's values to the
// clipboard, and the A-level window over the panel's levels after the channel's weighting.
//
// The cursor copy and the A-level window take each slot's value as the panel shows it (0.1 dB);
// the statistic copy computes the chosen statistic of every slot afresh.
#include "frmOctCalc.h"

#include "globals.h"

#include "model/band_layout.h"
#include "platform/numbers.h"

#include <charconv>

namespace murtesk {

namespace {

constexpr std::string_view kFrame = "//////////////////////////////";
constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kShowList = "リスト";
constexpr std::string_view kShowBars = "バー";
constexpr const char* kClipboardBusy = "現在クリップボードが使用できない状態です。";
constexpr const char* kCopyFailed = "コピー失敗";

std::string ValueText(const std::optional<double>& v) {
    return v && *v > kNoLevel ? platform::FormatNumber(*v, "0.0") : std::string("---");
}

// The value as the panel shows it: to 0.1 dB, -60 for none.
double ShownLevel(const std::optional<double>& v) {
    if (!v || !(*v > kNoLevel)) {
        return kNoLevel;
    }
    const std::string text = platform::FormatNumber(*v, "0.0");
    double shown = kNoLevel;
    std::from_chars(text.data(), text.data() + text.size(), shown);
    return shown;
}

template <class Set>
Set PanelSet(const std::vector<std::optional<double>>& values, const Set& weighting) {
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

void frmOctCalc::ToggleBarOrList(platform::CommandButton& button, platform::ControlState& list) {
    if (button.ToolTipText != kShowList) {
        list.Visible = false;
        button.ToolTipText = kShowList;
        button.Picture = platform::kIconList;
    } else {
        list.Visible = true;
        button.ToolTipText = kShowBars;
        button.Picture = platform::kIconBars;
    }
    ui_.Refresh(*this);
}

void frmOctCalc::cmdBarOrList_Click() { ToggleBarOrList(cmdBarOrList, vsElasticList); }
void frmOctCalc::cmdCalcBarOrList_Click() { ToggleBarOrList(cmdCalcBarOrList, vsElasticCalcList); }

std::string frmOctCalc::PanelCopyText(std::string_view heading, const platform::BandLabelGrid& grid,
                                      const std::vector<std::optional<double>>& values) const {
    const CChMeasureCondition& condition = channel_->ChMeasureCondition;
    const BandLayout layout(condition.oct1or3);
    std::string text;
    const auto line = [&text](std::string_view a, std::string_view b = {}) { text.append(a).append(b).append(kCrLf); };
    line(kFrame);
    line(heading);
    line("[F特性AP] , ", ValueText(values[0]));
    line("[" + condition.getWName(false, g_OriginalWs) + "特性] , ", ValueText(values[1]));
    for (std::size_t slot = values.size(); slot >= 3; --slot) {
        const int k = layout.Element(static_cast<std::int16_t>(slot));
        const std::string caption = k >= 0 ? grid.Names[static_cast<std::size_t>(k)].Caption : std::string();
        line(caption + " , ", ValueText(values[slot - 1]));
    }
    line(kFrame);
    return text;
}

void frmOctCalc::CopyToClipboard(const std::string& text) {
    if (!ui_.SetClipboardText(text)) {
        ui_.MsgBox(kClipboardBusy, platform::MsgButtons::OK, platform::MsgIcon::Information, kCopyFailed);
    }
}

void frmOctCalc::cmdCopyCursor_Click() {
    if (!channel_) {
        return;
    }
    const std::int16_t n = BandLayout(channel_->ChMeasureCondition.oct1or3).SlotCount();
    std::vector<std::optional<double>> values(static_cast<std::size_t>(n));
    for (std::int16_t slot = 1; slot <= n; ++slot) {
        values[static_cast<std::size_t>(slot - 1)] = CursorBandValue(slot);
    }
    const std::string heading = lblCymdhms.Caption + " 動特性" + channel_->ChMeasureCondition.getTREName(false);
    CopyToClipboard(PanelCopyText(heading, gridCursor, values));
}

void frmOctCalc::cmdCopyCalc_Click() {
    if (!channel_ || cmbCalcL.ListIndex < 0) {
        return;
    }
    const std::string heading = "動特性" + channel_->ChMeasureCondition.getTREName(false) + " " +
                                cmbCalcL.Items[static_cast<std::size_t>(cmbCalcL.ListIndex)];
    CopyToClipboard(PanelCopyText(heading, gridCalc, StatisticValues(cmbCalcL.SelectedData())));
}

void frmOctCalc::ShowALevel(const PanelValues& panel) {
    if (!channel_) {
        return;
    }
    const CChMeasureCondition& condition = channel_->ChMeasureCondition;
    COctaveBand1 w1;
    COctaveBand3 w3;
    condition.getWValue(w1, w3, g_OriginalWs);
    const std::int16_t n = BandLayout(condition.oct1or3).SlotCount();
    const std::vector<std::optional<double>> values(panel.begin(), panel.begin() + n);
    ALevelHandOver handOver;
    if (condition.oct1or3 == 3) {
        handOver.m_OctaveBand3 = PanelSet(values, w3);
    } else {
        handOver.m_OctaveBand1 = PanelSet(values, w1);
    }
    handOver.m_HzYAxis = channel_->HzYAxis;
    ui_.SetBusy(false);
    if (g_ShowALevel) {
        g_ShowALevel(ui_, handOver);
    }
}

void frmOctCalc::cmdACursor_Click() { ShowALevel(cursorValues_); }
void frmOctCalc::cmdACalc_Click() { ShowALevel(calcValues_); }

}  // namespace murtesk
