#include "frmLevelOverArea.h"

#include "globals.h"
#include "model/ch_measure.h"
#include "model/input_checks.h"
#include "platform/numbers.h"

namespace murtesk {

namespace {

constexpr double kLowestLevel = -60.0;
constexpr double kHighestLevel = 170.0;

}  // namespace

frmLevelOverArea::frmLevelOverArea(platform::UiServices& ui) : Form(ui, "frmLevelOverArea") {
    Caption = "指定レベル以上範囲表示（オレンジ色です）...";
    txtMEMO.Text = "表示バンド固有です。\r\n";
    txtMEMO.Locked = true;
    Frame1.Caption = "範囲表示最低レベル";
    cmdOK.Caption = "表示";
    cmdNo.Caption = "非表示";
    cmdCancel.Caption = "Cancel";
}

CBandLCalcInfo* frmLevelOverArea::Record() const {
    if (!g_ChMeasure || g_BandIndex < 1 || g_BandIndex > g_ChMeasure->BandLCalcInfos.count()) {
        return nullptr;
    }
    return &g_ChMeasure->BandLCalcInfos.Item(g_BandIndex);
}

void frmLevelOverArea::Form_Load() {
    const CBandLCalcInfo* record = Record();
    if (record == nullptr) {
        // Nothing to edit: the dialog answers as cancelled without showing.
        cmdCancel_Click();
        return;
    }
    txtLevel.Text = platform::NumberToText(record->OverLevel);
    SetFocus("txtLevel", true);
}

void frmLevelOverArea::Form_QueryUnload(bool&, platform::UnloadMode mode) {
    if (mode == platform::UnloadMode::FormControlMenu) {
        g_bDialogOk = false;
        g_ChMeasure.reset();
    }
}

void frmLevelOverArea::Close() { ui_.Unload(*this); }

void frmLevelOverArea::cmdOK_Click() {
    CBandLCalcInfo* record = Record();
    if (record == nullptr) {
        cmdCancel_Click();
        return;
    }
    if (const auto failure = CheckRangeText(txtLevel.Text, kLowestLevel, kHighestLevel)) {
        ui_.MsgBox(*failure, platform::MsgButtons::OK, platform::MsgIcon::Information, kInputCorrectionTitle);
        SetFocus("txtLevel", true);
        return;
    }
    record->OverLevel = ParseNumericText(txtLevel.Text).value_or(record->OverLevel);
    g_bDialogOk = true;
    Close();
}

void frmLevelOverArea::cmdNo_Click() {
    g_bDialogOk = false;
    if (CBandLCalcInfo* record = Record()) {
        record->LevelOverScopes.AllDelete();
    }
    Close();
}

void frmLevelOverArea::cmdCancel_Click() {
    g_bDialogOk = false;
    g_ChMeasure.reset();
    Close();
}

}  // namespace murtesk
