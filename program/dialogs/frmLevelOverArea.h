// The level-over dialog: shows and edits the threshold of the level-over ranges of one band
// (OverLevel of band slot g_BandIndex of the channel g_ChMeasure), or empties those ranges. The
// main screen opens it on a channel record made for the dialog alone, the calculation screen on
// the channel it shows; the band record is changed in place.
//
// Its answer: "表示" sets g_bDialogOk (the threshold was stored); "非表示" clears g_bDialogOk and
// keeps g_ChMeasure (the ranges were emptied); Cancel, and a close by the window frame, clear
// g_bDialogOk and g_ChMeasure (nothing changed).
#pragma once

#include "controls.h"
#include "form.h"

#include <string>

namespace murtesk {

class CBandLCalcInfo;

class frmLevelOverArea : public platform::Form {
public:
    explicit frmLevelOverArea(platform::UiServices& ui);

    platform::TextBox txtMEMO;
    platform::Label Frame1;
    platform::TextBox txtLevel;
    platform::CommandButton cmdOK;
    platform::CommandButton cmdNo;
    platform::CommandButton cmdCancel;

    void Form_Load() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void cmdOK_Click();
    void cmdNo_Click();
    void cmdCancel_Click();

private:
    // The band record the dialog works on; null when the hand-over names none.
    CBandLCalcInfo* Record() const;
    void Close();
};

}  // namespace murtesk
