#include "frmAbout.h"

#include <string>

namespace murtesk {

frmAbout::frmAbout(platform::UiServices& ui, int major, int minor, int revision)
    : Form(ui, "frmAbout"), major_(major), minor_(minor), revision_(revision)
{
    Caption = "ﾊﾞｰｼﾞｮﾝ情報 Murtesk";
    lblDescription.Caption = "Waveファイル1/3オクターブバンド分析プログラム";
    lblDisclaimer.Caption =
        "警告: このプログラムは著作権法および国際条約により保護されています。"
        "このプログラムの全部または一部を無断で複製したり配布したりすることは禁じられています。";
    Text1.Text =
        "このプログラムは次のライブラリを使用しています。\n"
        "Qt 6 (The Qt Company, LGPL v3)\n"
        "FFmpeg (FFmpeg developers, LGPL v2.1)\n"
        "ALSA (ALSA project, LGPL v2.1)";
    Text1.Locked = true;
    cmdOK.Caption = "OK";
    cmdSysInfo.Caption = "ｼｽﾃﾑ情報(&S)...";
}

void frmAbout::Form_Load()
{
    lblVersion.Caption =
        "ﾊﾞｰｼﾞｮﾝ " + std::to_string(major_) + "." + std::to_string(minor_) + "." + std::to_string(revision_);
    lblTitle.Caption = std::string(platform::kProgramTitle);
    // Enter, Space and Esc all close the window from its first showing.
    SetFocus("cmdOK");
}

void frmAbout::cmdOK_Click()
{
    ui_.Unload(*this);
}

void frmAbout::cmdSysInfo_Click()
{
    StartSysInfo();
}

void frmAbout::StartSysInfo()
{
    ui_.MsgBox("現時点ではｼｽﾃﾑ情報を使用できません");
}

}  // namespace murtesk
