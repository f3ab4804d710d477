// The horizontal-line dialog: switches the orange level line of a channel's graphs on or off and
// sets its level. It edits the HorizontalLine of the channel in g_ChMeasure (a copy the caller
// takes back when g_bDialogOk is true after the dialog). A frame close counts as Cancel.
#pragma once

#include "controls.h"
#include "form.h"

namespace murtesk {

class frmHorizontalLine : public platform::Form {
public:
    explicit frmHorizontalLine(platform::UiServices& ui);

    platform::TextBox txtMEMO;  // a fixed note
    platform::CheckBox chkOk;
    platform::Label fraLevel;  // the group around the level box
    platform::TextBox txtLevel;
    platform::CommandButton cmdOK;
    platform::CommandButton cmdCancel;

    void Form_Load() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void chkOk_Click();
    void cmdOK_Click();
    void cmdCancel_Click();
};

}  // namespace murtesk
