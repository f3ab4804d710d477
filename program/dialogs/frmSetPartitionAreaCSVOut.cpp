#include "frmSetPartitionAreaCSVOut.h"

#include "globals.h"
#include "model/input_checks.h"

#include <cmath>

namespace murtesk {

namespace {

constexpr double kShortestPiece = 1.0;
constexpr double kLongestPiece = 10000.0;

}  // namespace

frmSetPartitionAreaCSVOut::frmSetPartitionAreaCSVOut(platform::UiServices& ui) : Form(ui, "frmSetPartitionAreaCSVOut") {
    Caption = "分割計算値出力条件";
    Label1.Caption = "分割時間（分）：";
    txtSplitMin.Text = "10";
    chkAllBand.Caption = "全バンドを出力する";
    chkCalcAreaInfluence.Caption = "計算除外範囲を有効とする";
    cmdOK.Caption = "Ok";
    cmdCancel.Caption = "Cancel";
}

void frmSetPartitionAreaCSVOut::Form_Activate() {
    txtSplitMin.Text = std::to_string(m_SplitMin);
    chkAllBand.Value = m_bAllBand;
    chkCalcAreaInfluence.Value = m_bCalcAreaInfluence;
    SetFocus("txtSplitMin", true);
}

void frmSetPartitionAreaCSVOut::Form_QueryUnload(bool&, platform::UnloadMode mode) {
    if (mode == platform::UnloadMode::FormControlMenu) {
        g_bDialogOk = false;
    }
}

void frmSetPartitionAreaCSVOut::cmdOK_Click() {
    if (const auto failure = CheckIntegerText(txtSplitMin.Text, kShortestPiece, kLongestPiece)) {
        ui_.MsgBox(*failure, platform::MsgButtons::OK, platform::MsgIcon::Information, kInputCorrectionTitle);
        SetFocus("txtSplitMin", true);
        return;
    }
    m_SplitMin = static_cast<std::int32_t>(std::lround(ParseNumericText(txtSplitMin.Text).value_or(m_SplitMin)));
    m_bAllBand = chkAllBand.Value;
    m_bCalcAreaInfluence = chkCalcAreaInfluence.Value;
    g_bDialogOk = true;
    ui_.Hide(*this);
}

void frmSetPartitionAreaCSVOut::cmdCancel_Click() {
    g_bDialogOk = false;
    ui_.Unload(*this);
}

}  // namespace murtesk
