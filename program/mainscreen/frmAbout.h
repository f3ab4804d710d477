// The version window: the program's title and version, what it is for, and the libraries it uses.
#pragma once

#include "controls.h"
#include "form.h"
#include "kinemo_binding.h"

namespace murtesk {

class frmAbout : public platform::Form {
public:
    // The program's own version numbers, and what the FFmpeg libraries the program runs on report of
    // themselves (Kinemo().ReportFfmpeg()): the window names FFmpeg's version and licence as they say them.
    frmAbout(platform::UiServices& ui, int major, int minor, int revision, const FfmpegReport& ffmpeg);

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
