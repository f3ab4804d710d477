// The version window: the program's title and version, what it is for, and the libraries it uses.
#pragma once

#include "controls.h"
#include "form.h"

namespace murtesk {

class frmAbout : public platform::Form {
public:
    // The program's own version numbers.
    frmAbout(platform::UiServices& ui, int major, int minor, int revision);

    void Form_Load() override;
    void cmdOK_Click();
    void cmdSysInfo_Click();
    // This desktop has no system-information tool to start: says so.
    void StartSysInfo();

    platform::Label lblTitle;
    platform::Label lblVersion;
    platform::Label lblDescription;
    platform::Label lblDisclaimer;
    platform::TextBox Text1;
    platform::CommandButton cmdOK;
    platform::CommandButton cmdSysInfo;

private:
    int major_;
    int minor_;
    int revision_;
};

}  // namespace murtesk
