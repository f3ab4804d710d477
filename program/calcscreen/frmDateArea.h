// The date-range dialog: the start and end of a range of the shown measurement, each changed
// through the date input dialog. It edits g_DateAreaScope in place (dates in S and E), takes only
// dates within g_DateAreaLimit (ends included), refuses on OK an end that is not after the start,
// and answers through g_bDialogOk. A frame close counts as Cancel.
#pragma once

#include "controls.h"
#include "form.h"

namespace murtesk {

class frmDateArea : public platform::Form {
public:
    explicit frmDateArea(platform::UiServices& ui);

    platform::Label fraStartTime;  // the frame around the start
    platform::CommandButton cmdStartTime;
    platform::Label lblStartTime;
    platform::Label fraEndTime;  // the frame around the end
    platform::CommandButton cmdEndTime;
    platform::Label lblEndTime;
    platform::CommandButton cmdOK;
    platform::CommandButton cmdCancel;

    void Form_Load() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void cmdStartTime_Click();
    void cmdEndTime_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    // Asks for the start or the end through the date input dialog until the date lies within the
    // limit or the input is cancelled; a date taken goes into g_DateAreaScope and `label`.
    void EditEnd(bool start, platform::Label& label);
};

}  // namespace murtesk
