// The common graph axis dialog: which axes of the shown channel the calculation screen copies, and
// to which channels. It edits g_CommonGraphAxisInfo on Ok and answers through g_bDialogOk; Cancel
// and a close by the window frame answer False and leave the choices alone.
#pragma once

#include "controls.h"
#include "form.h"

namespace murtesk {

class frmCommonGraphAxis : public platform::Form {
public:
    explicit frmCommonGraphAxis(platform::UiServices& ui);

    platform::Label fraLevel;  // "レベル波形グラフ"
    platform::CheckBox chkLevelXAxis;
    platform::CheckBox chkLevelYAxis;
    platform::Label fraHzGraph;  // "周波数バーグラフ"
    platform::CheckBox chkHzGraphYAxis;
    platform::CheckBox chkAllData;
    platform::CheckBox chkAllCh;
    platform::CommandButton cmdOK;
    platform::CommandButton cmdCancel;

    void Form_Load() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void cmdOK_Click();
    void cmdCancel_Click();
};

}  // namespace murtesk
