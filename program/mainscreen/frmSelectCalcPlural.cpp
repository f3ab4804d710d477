#include "frmSelectCalcPlural.h"

#include "globals.h"
#include "model/input_checks.h"

#include <algorithm>
#include <charconv>

namespace murtesk {

namespace {

constexpr std::string_view kRangeMark = "-->";

// The number at the start of text (the entries are the dialog's own: digits only).
std::int32_t LeadingNumber(std::string_view text) {
    std::int32_t value = 0;
    std::from_chars(text.data(), text.data() + text.size(), value);
    return value;
}

}  // namespace

frmSelectCalcPlural::frmSelectCalcPlural(platform::UiServices& ui) : Form(ui, "frmSelectCalcPlural") {
    Caption = "複数測定組合せ計算...";
    txtMEMO.Text =
        "＜制限事項＞\r\n選択する測定のチャンネル数、分析バンド幅、\r\n補正特性、動特性は\r\n同じでなければなりません。"
        "\r\n";
    txtMEMO.Locked = true;
    Label1.Caption = "開始測定番号";
    Label2.Caption = "終了測定番号";
    cmdAdd.Caption = "追加";
    Label3.Caption = "複数組合せ計算対象　測定番号一覧";
    lstNoCondition.MultiSelect = true;
    cmdDelete.Caption = "削除";
    cmdOK.Caption = "Ok";
    cmdCancel.Caption = "Cancel";
}

void frmSelectCalcPlural::Form_Load() {
    count_ = g_PreserveDoc().MeasureCount();
    g_bPluralSelect.assign(static_cast<std::size_t>(count_) + 1, false);
    txtStartNo.Text = "1";
    txtEndNo.Text = std::to_string(count_);
    lstNoCondition.Clear();
    Focus("txtStartNo");
}

void frmSelectCalcPlural::Form_QueryUnload(bool&, platform::UnloadMode mode) {
    if (mode == platform::UnloadMode::FormControlMenu) {
        g_bDialogOk = false;
    }
}

void frmSelectCalcPlural::Focus(const char* control) { SetFocus(control, true); }

bool frmSelectCalcPlural::CheckNumber(const platform::TextBox& box, const char* name, std::int32_t& value) {
    if (const auto failure = CheckIntegerText(box.Text, 1, count_)) {
        ui_.MsgBox(*failure, platform::MsgButtons::OK, platform::MsgIcon::Information, kInputCorrectionTitle);
        Focus(name);
        return false;
    }
    value = static_cast<std::int32_t>(ParseNumericText(box.Text).value_or(0.0));
    return true;
}

void frmSelectCalcPlural::cmdAdd_Click() {
    std::int32_t start = 0;
    std::int32_t end = 0;
    if (!CheckNumber(txtStartNo, "txtStartNo", start) || !CheckNumber(txtEndNo, "txtEndNo", end)) {
        return;
    }
    if (end < start) {
        ui_.MsgBox("終了測定番号は開始測定番号以上を入力してください。");
        Focus("txtEndNo");
        return;
    }
    lstNoCondition.AddItem(start == end ? std::to_string(start)
                                        : std::to_string(start) + std::string(kRangeMark) + std::to_string(end));
}

void frmSelectCalcPlural::cmdDelete_Click() {
    for (int i = lstNoCondition.ListCount() - 1; i >= 0; --i) {
        if (lstNoCondition.IsSelected(i)) {
            lstNoCondition.RemoveItem(i);
        }
    }
}

void frmSelectCalcPlural::cmdOK_Click() {
    if (lstNoCondition.ListCount() == 0) {
        ui_.MsgBox("計算対象測定番号がひとつも定義されていません．");
        return;
    }
    for (const std::string& entry : lstNoCondition.Items) {
        const std::size_t mark = entry.find(kRangeMark);
        const std::int32_t a = LeadingNumber(entry);
        const std::int32_t b =
            mark == std::string::npos ? a : LeadingNumber(std::string_view(entry).substr(mark + kRangeMark.size()));
        for (std::int32_t k = std::max(a, 1); k <= b && k <= count_; ++k) {
            g_bPluralSelect[static_cast<std::size_t>(k)] = true;
        }
    }
    g_bDialogOk = true;
    ui_.Unload(*this);
}

void frmSelectCalcPlural::cmdCancel_Click() {
    g_bDialogOk = false;
    ui_.Unload(*this);
}

}  // namespace murtesk
