// The date input dialog: one date and time to the second, shown from g_InputDate and handed back
// there on OK (g_bDialogOk true). Cancel and the frame's close box leave g_InputDate as it was and
// set g_bDialogOk false. The year may be typed; the day must exist in its month.
#pragma once

#include "controls.h"
#include "form.h"

namespace murtesk {

class frmInputDate : public platform::Form {
public:
    explicit frmInputDate(platform::UiServices& ui);

    platform::ComboBox cmbyyyy;  // editable: a year outside the list may be typed
    platform::ComboBox cmbmm;
    platform::ComboBox cmbdd;
    platform::ComboBox cmbhh;
    platform::ComboBox cmbnn;
    platform::ComboBox cmbss;
    platform::CommandButton cmdOK;
    platform::CommandButton cmdCancel;

    void Form_Load() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void cmdOK_Click();
    void cmdCancel_Click();
};

}  // namespace murtesk
