// The version window's model: captions set on loading, FFmpeg named as its libraries report themselves,
// OK closes it, the system-information button reports that there is no such tool here.
#include "fake_ui.h"
#include "frmAbout.h"

#include <gtest/gtest.h>

#include <sstream>
#include <vector>

namespace murtesk {
namespace {

const FfmpegReport kDebianFfmpeg{"5.1.9-0+deb12u1",
                                 {{"libavformat", "GPL version 2 or later"},
                                  {"libavcodec", "GPL version 2 or later"},
                                  {"libswscale", "GPL version 2 or later"},
                                  {"libswresample", "GPL version 2 or later"},
                                  {"libavutil", "GPL version 2 or later"}}};

TEST(frmAbout, ShowsTitleAndVersionOnceLoaded)
{
    platform::testing::FakeUi ui;
    frmAbout form(ui, 7, 1, 0, kDebianFfmpeg);
    EXPECT_EQ(form.Caption, "ﾊﾞｰｼﾞｮﾝ情報 Murtesk");
    EXPECT_EQ(form.lblVersion.Caption, "");
    ui.Load(form);
    EXPECT_EQ(form.lblVersion.Caption, "ﾊﾞｰｼﾞｮﾝ 7.1.0");
    EXPECT_EQ(form.lblTitle.Caption, "Murtesk");
    EXPECT_EQ(form.lblDescription.Caption, "Waveファイル1/3オクターブバンド分析プログラム");
    EXPECT_EQ(form.cmdSysInfo.Caption, "ｼｽﾃﾑ情報(&S)...");

    frmAbout later(ui, 12, 0, 34, kDebianFfmpeg);
    ui.Load(later);
    EXPECT_EQ(later.lblVersion.Caption, "ﾊﾞｰｼﾞｮﾝ 12.0.34");
}

// The libraries' list names FFmpeg with the version and licences its libraries report, never a licence of
// its own: one licence when all say the same, each library's otherwise, and says when none can be read.
TEST(frmAbout, NamesFfmpegAsItsLibrariesReportThemselves)
{
    const struct {
        FfmpegReport ffmpeg;
        std::string line;
    } cases[] = {
        {kDebianFfmpeg, "FFmpeg 5.1.9-0+deb12u1 (FFmpeg developers, GPL version 2 or later)"},
        {{"7.1",
          {{"libavformat", "LGPL version 2.1 or later"},
           {"libavcodec", "GPL version 2 or later"},
           {"libswscale", "LGPL version 2.1 or later"},
           {"libswresample", ""},
           {"libavutil", "LGPL version 2.1 or later"}}},
         "FFmpeg 7.1 (FFmpeg developers, libavformat: LGPL version 2.1 or later, libavcodec: GPL version 2 or "
         "later, libswscale: LGPL version 2.1 or later, libswresample: ライセンスを確認できません, libavutil: LGPL "
         "version 2.1 or later)"},
        {{"", {{"libavformat", ""}, {"libavcodec", ""}, {"libswscale", ""}, {"libswresample", ""}, {"libavutil", ""}}},
         "FFmpeg (FFmpeg developers, ライセンスを確認できません)"},
    };
    for (const auto& c : cases) {
        platform::testing::FakeUi ui;
        frmAbout form(ui, 7, 1, 0, c.ffmpeg);
        std::vector<std::string> lines;
        std::istringstream text(form.Text1.Text);
        for (std::string line; std::getline(text, line);) lines.push_back(line);
        EXPECT_EQ(lines, (std::vector<std::string>{"このプログラムは次のライブラリを使用しています。",
                                                   "Qt 6 (The Qt Company, LGPL v3)", c.line,
                                                   "ALSA (ALSA project, LGPL v2.1)"}));
    }
}

TEST(frmAbout, ModalWindowClosesWithOkAfterTheSystemInformationMessage)
{
    platform::testing::FakeUi ui;
    frmAbout form(ui, 7, 1, 0, kDebianFfmpeg);
    ui.OnModal("frmAbout", [](platform::Form& f) {
        auto& about = static_cast<frmAbout&>(f);
        about.cmdSysInfo_Click();
        about.cmdOK_Click();
    });
    ui.ShowModal(form);
    EXPECT_FALSE(ui.IsLoaded(form));
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, "現時点ではｼｽﾃﾑ情報を使用できません");
    EXPECT_EQ(ui.Messages()[0].Title, "Murtesk");
    EXPECT_EQ(ui.Messages()[0].Buttons, platform::MsgButtons::OK);
}

}  // namespace
}  // namespace murtesk
