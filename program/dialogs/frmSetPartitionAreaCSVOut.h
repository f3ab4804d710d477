// The partition dialog: asks the length of the pieces (minutes) a partitioned statistics output
// cuts each series into, whether every band is written or the W band alone, and whether the
// calculation-excluded ranges are left out. Both screens' partitioned outputs open it with their
// own presets in the public fields.
//
// Its answer: "Ok" checks the length (a whole number 1..10000), stores the three fields, sets
// g_bDialogOk and hides the dialog (the caller reads the fields, then unloads it); Cancel, and a
// close by the window frame, clear g_bDialogOk and unload it.
#pragma once

#include "controls.h"
#include "form.h"

#include <cstdint>
#include <string>

namespace murtesk {

class frmSetPartitionAreaCSVOut : public platform::Form {
public:
    explicit frmSetPartitionAreaCSVOut(platform::UiServices& ui);

    std::int32_t m_SplitMin = 10;
    bool m_bAllBand = true;
    bool m_bCalcAreaInfluence = true;

    platform::Label Label1;
    platform::TextBox txtSplitMin;
    platform::CheckBox chkAllBand;
    platform::CheckBox chkCalcAreaInfluence;
    platform::CommandButton cmdOK;
    platform::CommandButton cmdCancel;

    void Form_Activate() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void cmdOK_Click();
    void cmdCancel_Click();
};

}  // namespace murtesk
