// The version window's model: captions set on loading, OK closes it, the system-information
// button reports that there is no such tool here.
#include "fake_ui.h"
#include "frmAbout.h"

#include <gtest/gtest.h>

namespace murtesk {
namespace {

TEST(frmAbout, ShowsTitleAndVersionOnceLoaded)
{
    platform::testing::FakeUi ui;
    frmAbout form(ui, 7, 1, 0);
    EXPECT_EQ(form.Caption, "ﾊﾞｰｼﾞｮﾝ情報 Murtesk");
    EXPECT_EQ(form.lblVersion.Caption, "");
    ui.Load(form);
    EXPECT_EQ(form.lblVersion.Caption, "ﾊﾞｰｼﾞｮﾝ 7.1.0");
    EXPECT_EQ(form.lblTitle.Caption, "Murtesk");
    EXPECT_EQ(form.lblDescription.Caption, "Waveファイル1/3オクターブバンド分析プログラム");
    EXPECT_EQ(form.cmdSysInfo.Caption, "ｼｽﾃﾑ情報(&S)...");

    frmAbout later(ui, 12, 0, 34);
    ui.Load(later);
    EXPECT_EQ(later.lblVersion.Caption, "ﾊﾞｰｼﾞｮﾝ 12.0.34");
}

TEST(frmAbout, ModalWindowClosesWithOkAfterTheSystemInformationMessage)
{
    platform::testing::FakeUi ui;
    frmAbout form(ui, 7, 1, 0);
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
