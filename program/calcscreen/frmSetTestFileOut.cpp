#include "frmSetTestFileOut.h"

#include "globals.h"

namespace murtesk {

namespace {

constexpr std::int16_t kResampled = -1;

}  // namespace

frmSetTestFileOut::frmSetTestFileOut(platform::UiServices& ui, std::int16_t& period, std::int16_t& area)
    : Form(ui, "frmSetTestFileOut"), period_(period), area_(area) {
    Caption = "テキストファイル出力条件";
    KeyPreview = true;
    fraTimeInterval.Caption = "出力サンプリング間隔";
    fraArea.Caption = "出力範囲";
    optArea.Buttons.resize(2);
    optArea[0].Caption = "全範囲";
    optArea[1].Caption = "グラフ表示範囲";
    cmdOK.Caption = "Ok";
    cmdCancel.Caption = "Cancel";
}

std::int16_t frmSetTestFileOut::PresetOf(double rate) {
    if (rate == 100.0) return 10;
    if (rate == 1000.0) return 100;
    return 1;
}

std::vector<std::pair<std::string, std::int16_t>> frmSetTestFileOut::Intervals(std::int16_t preset) {
    switch (preset) {
    case 1: return {{"100ms", 1}, {"200ms", 2}, {"500ms", 5}, {"1s", 10}, {"2s", 20}};
    case 10: return {{"10ms", 1}, {"20ms", 2}, {"50ms", 5}, {"100ms", 10}, {"200ms", 20}, {"500ms", 50}, {"1s", 100}};
    default:
        return {{"1ms", 1},   {"2ms", 2},     {"5ms", 5},     {"10ms", 10},   {"20ms", 20},
                {"50ms", 50}, {"100ms", 100}, {"200ms", 200}, {"500ms", 500}, {"1s", 1000}};
    }
}

std::string frmSetTestFileOut::IntervalText(double rate, std::int16_t step) {
    for (const auto& [text, n] : Intervals(PresetOf(rate)))
        if (n == step) return text;
    return {};
}

void frmSetTestFileOut::Form_Load() {
    cmbTimeInterval.Clear();
    for (const auto& [text, n] : Intervals(period_)) cmbTimeInterval.AddItem(text, n);
    cmbTimeInterval.Select(0);
    optArea.Select(area_ == 1 ? 1 : 0);
}

void frmSetTestFileOut::Choose(std::int16_t period, std::int16_t area) {
    period_ = period;
    area_ = area;
    g_bDialogOk = true;
    ui_.Unload(*this);
}

void frmSetTestFileOut::cmdOK_Click() {
    Choose(static_cast<std::int16_t>(cmbTimeInterval.SelectedData(period_)),
           static_cast<std::int16_t>(optArea.Selected() == 0 ? 0 : 1));
}

void frmSetTestFileOut::cmdCancel_Click() {
    g_bDialogOk = false;
    ui_.Unload(*this);
}

void frmSetTestFileOut::Form_KeyUp(int& KeyCode, int Shift) {
    if ((Shift & platform::kAltMask) == 0) return;
    if (KeyCode == 'A') {
        KeyCode = 0;
        Choose(kResampled, 1);
    } else if (KeyCode == 'B') {
        KeyCode = 0;
        Choose(kResampled, 0);
    }
}

void frmSetTestFileOut::Form_QueryUnload(bool& cancel, platform::UnloadMode mode) {
    (void)cancel;
    if (mode == platform::UnloadMode::FormControlMenu) g_bDialogOk = false;
}

}  // namespace murtesk
