#include "frmCommonGraphAxis.h"

#include "globals.h"

namespace murtesk {

frmCommonGraphAxis::frmCommonGraphAxis(platform::UiServices& ui) : Form(ui, "frmCommonGraphAxis") {
    Caption = "グラフ軸の共通設定...";
    fraLevel.Caption = "レベル波形グラフ";
    chkLevelXAxis.Caption = "横軸（時間）を共通にする";
    chkLevelYAxis.Caption = "縦軸（レベル）を共通にする";
    fraHzGraph.Caption = "周波数バーグラフ";
    chkHzGraphYAxis.Caption = "縦軸（レベル）を共通にする";
    chkAllData.Caption = "全データ共通";
    chkAllCh.Caption = "全チャンネル共通";
    cmdOK.Caption = "Ok";
    cmdCancel.Caption = "Cancel";
}

void frmCommonGraphAxis::Form_Load() {
    const CCommonGraphAxisInfo& info = g_CommonGraphAxisInfo;
    chkLevelXAxis.Value = info.m_bLevelXAxis;
    chkLevelYAxis.Value = info.m_bLevelYAxis;
    chkHzGraphYAxis.Value = info.m_bHzGraphYAxis;
    chkAllData.Value = info.m_bAllData;
    chkAllCh.Value = info.m_bAllCh;
}

void frmCommonGraphAxis::cmdOK_Click() {
    CCommonGraphAxisInfo& info = g_CommonGraphAxisInfo;
    info.m_bLevelXAxis = chkLevelXAxis.Value;
    info.m_bLevelYAxis = chkLevelYAxis.Value;
    info.m_bHzGraphYAxis = chkHzGraphYAxis.Value;
    info.m_bAllData = chkAllData.Value;
    info.m_bAllCh = chkAllCh.Value;
    g_bDialogOk = true;
    ui_.Unload(*this);
}

void frmCommonGraphAxis::cmdCancel_Click() {
    g_bDialogOk = false;
    ui_.Unload(*this);
}

void frmCommonGraphAxis::Form_QueryUnload(bool& cancel, platform::UnloadMode mode) {
    (void)cancel;
    if (mode == platform::UnloadMode::FormControlMenu) {
        g_bDialogOk = false;
    }
}

}  // namespace murtesk
