#include "frmAbout.h"

#include <algorithm>
#include <string>

namespace murtesk {

namespace {

// "FFmpeg <version> (FFmpeg developers, <licence>)": one licence when every library reports the same,
// else each library with its own.
std::string FfmpegLine(const FfmpegReport& ffmpeg)
{
    const auto licence = [](const std::string& reported) {
        return reported.empty() ? std::string("ライセンスを確認できません") : reported;
    };
    const auto& libraries = ffmpeg.licences;
    std::string licences;
    if (libraries.empty()) {
        licences = licence("");
    } else if (std::all_of(libraries.begin(), libraries.end(),
                           [&](const auto& library) { return library.second == libraries.front().second; })) {
        licences = licence(libraries.front().second);
    } else {
        for (const auto& [name, reported] : libraries)
            licences += (licences.empty() ? "" : ", ") + name + ": " + licence(reported);
    }
    return "FFmpeg" + (ffmpeg.version.empty() ? std::string() : " " + ffmpeg.version) + " (FFmpeg developers, " +
           licences + ")";
}

}  // namespace

frmAbout::frmAbout(platform::UiServices& ui, int major, int minor, int revision, const FfmpegReport& ffmpeg)
    : Form(ui, "frmAbout"), major_(major), minor_(minor), revision_(revision)
{
    Caption = "ﾊﾞｰｼﾞｮﾝ情報 Murtesk";
    lblDescription.Caption = "Waveファイル1/3オクターブバンド分析プログラム";
    lblDisclaimer.Caption =
        "警告: このプログラムは著作権法および国際条約により保護されています。"
        "このプログラムの全部または一部を無断で複製したり配布したりすることは禁じられています。";
    Text1.Text =
        "このプログラムは次のライブラリを使用しています。\n"
        "Qt 6 (The Qt Company, LGPL v3)\n" +
        FfmpegLine(ffmpeg) +
        "\n"
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
