// The choice of the measurements for a combined calculation: numbers and ranges of numbers are
// collected in a list; OK marks each listed measurement in g_bPluralSelect (made afresh, all
// unmarked, each time the dialog loads) and sets g_bDialogOk. Cancel and a close by the window
// frame clear g_bDialogOk.
#pragma once

#include "controls.h"
#include "form.h"

#include <cstdint>
#include <string>

namespace murtesk {

class frmSelectCalcPlural : public platform::Form {
public:
    explicit frmSelectCalcPlural(platform::UiServices& ui);

    platform::TextBox txtMEMO;
    platform::Label Frame1;
    platform::Label Label1;
    platform::Label Label2;
    platform::TextBox txtStartNo;
    platform::TextBox txtEndNo;
    platform::CommandButton cmdAdd;
    platform::Label Label3;
    platform::ListBox lstNoCondition;
    platform::CommandButton cmdDelete;
    platform::CommandButton cmdOK;
    platform::CommandButton cmdCancel;

    void Form_Load() override;
    void Form_QueryUnload(bool& cancel, platform::UnloadMode mode) override;
    void cmdAdd_Click();
    void cmdDelete_Click();
    void cmdOK_Click();
    void cmdCancel_Click();

private:
    // Checks a number box against 1..n, telling the user and focusing the box when it fails.
    bool CheckNumber(const platform::TextBox& box, const char* name, std::int32_t& value);
    void Focus(const char* control);

    std::int32_t count_ = 0;  // measurements of the project when the dialog loaded
};

}  // namespace murtesk
