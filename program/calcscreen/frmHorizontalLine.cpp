#include "frmHorizontalLine.h"

#include "globals.h"

#include "model/ch_measure.h"

#include "model/input_checks.h"
#include "platform/numbers.h"

namespace murtesk {

namespace {

constexpr double kLowestLevel = -60.0;
constexpr double kHighestLevel = 170.0;

}  // namespace

frmHorizontalLine::frmHorizontalLine(platform::UiServices& ui) : Form(ui, "frmHorizontalLine") {
    Caption = "グラフにオレンジ色の水平線を表示...";
    txtMEMO.Text = "チャンネル別、全バンド共通です。";
    txtMEMO.Locked = true;
    chkOk.Caption = "有効";
    fraLevel.Caption = "水平線レベル";
    cmdOK.Caption = "Ok";
    cmdCancel.Caption = "Cancel";
}

void frmHorizontalLine::Form_Load() {
    if (!g_ChMeasure) {
        return;
    }
    const CWaveFileOut& line = g_ChMeasure->HorizontalLine;
    chkOk.Value = line.OkFlg != 0;
    txtLevel.Text = platform::NumberToText(line.RecLevel);
    chkOk_Click();
}

void frmHorizontalLine::chkOk_Click() { txtLevel.Enabled = chkOk.Value; }

void frmHorizontalLine::cmdOK_Click() {
    if (g_ChMeasure) {
        CWaveFileOut& line = g_ChMeasure->HorizontalLine;
        if (chkOk.Value) {
            if (const auto failure = CheckRangeText(txtLevel.Text, kLowestLevel, kHighestLevel)) {
                ui_.MsgBox(*failure, platform::MsgButtons::OK, platform::MsgIcon::Information, kInputCorrectionTitle);
                SetFocus("txtLevel", true);
                return;
            }
            line.RecLevel = ParseNumericText(txtLevel.Text).value_or(line.RecLevel);
            line.OkFlg = -1;
        } else {
            line.OkFlg = 0;
        }
    }
    g_bDialogOk = true;
    ui_.Unload(*this);
}

void frmHorizontalLine::cmdCancel_Click() {
    g_bDialogOk = false;
    ui_.Unload(*this);
}

void frmHorizontalLine::Form_QueryUnload(bool& cancel, platform::UnloadMode mode) {
    (void)cancel;
    if (mode == platform::UnloadMode::FormControlMenu) {
        g_bDialogOk = false;
    }
}

}  // namespace murtesk
