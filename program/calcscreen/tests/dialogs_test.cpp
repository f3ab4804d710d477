// The horizontal-line dialog over a channel copy in g_ChMeasure: the level shown on opening, the
// bounds of the level, a line switched off, Cancel and the close box.
#include "frmHorizontalLine.h"
#include "globals.h"

#include "fake_ui.h"
#include "model/ch_measure.h"
#include "model/input_checks.h"
#include "model/stats_context.h"

#include <gtest/gtest.h>

namespace murtesk {
namespace {

using platform::testing::FakeUi;

class HorizontalLine : public ::testing::Test {
protected:
    void SetUp() override {
        g_ChMeasure = std::make_shared<CChMeasure>(context);
        g_bDialogOk = true;
    }
    void TearDown() override { g_ChMeasure.reset(); }

    // Opens the dialog, lets `act` work it, and returns whether it closed.
    bool Run(const std::function<void(frmHorizontalLine&)>& act) {
        frmHorizontalLine dialog(ui);
        ui.Load(dialog);
        act(dialog);
        return !ui.IsLoaded(dialog);
    }

    StatsContext context{[] { return std::string("/tmp/none.qvd"); }, [] { return 45000.0; }};
    FakeUi ui;
};

struct LevelCase {
    const char* text;
    bool accepted;
    const char* message;  // when refused
};

class HorizontalLineLevel : public HorizontalLine, public ::testing::WithParamInterface<LevelCase> {};

TEST_P(HorizontalLineLevel, OkChecksTheLevelBounds) {
    const LevelCase c = GetParam();
    g_ChMeasure->HorizontalLine.RecLevel = 80.0;
    const bool closed = Run([&](frmHorizontalLine& d) {
        d.chkOk.Value = true;
        d.chkOk_Click();
        d.txtLevel.Text = c.text;
        d.cmdOK_Click();
        if (!c.accepted) {
            EXPECT_EQ(d.FocusedControl, "txtLevel");
            EXPECT_TRUE(d.FocusSelectsAll);
        }
    });
    EXPECT_EQ(closed, c.accepted);
    if (c.accepted) {
        EXPECT_TRUE(g_bDialogOk);
        EXPECT_EQ(g_ChMeasure->HorizontalLine.OkFlg, -1);
        EXPECT_EQ(g_ChMeasure->HorizontalLine.RecLevel, std::stod(c.text));
        EXPECT_TRUE(ui.Messages().empty());
    } else {
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].Text, c.message);
        EXPECT_EQ(ui.Messages()[0].Title, "入力訂正情報");
        EXPECT_EQ(ui.Messages()[0].Icon, platform::MsgIcon::Information);
        EXPECT_EQ(g_ChMeasure->HorizontalLine.OkFlg, 0);
        EXPECT_EQ(g_ChMeasure->HorizontalLine.RecLevel, 80.0);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, HorizontalLineLevel,
                         ::testing::Values(LevelCase{"-60", true, ""}, LevelCase{"170", true, ""},
                                           LevelCase{"72.5", true, ""},
                                           LevelCase{"-60.5", false, "-60以上、170以下の数値を入力してください。"},
                                           LevelCase{"170.1", false, "-60以上、170以下の数値を入力してください。"},
                                           LevelCase{"abc", false, "数値を入力してください。"}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(HorizontalLine, OpensWithTheLineAndSwitchesItOffKeepingTheLevel) {
    g_ChMeasure->HorizontalLine.OkFlg = -1;
    g_ChMeasure->HorizontalLine.RecLevel = 72.5;
    EXPECT_TRUE(Run([&](frmHorizontalLine& d) {
        EXPECT_EQ(d.Caption, "グラフにオレンジ色の水平線を表示...");
        EXPECT_EQ(d.txtMEMO.Text, "チャンネル別、全バンド共通です。");
        EXPECT_TRUE(d.chkOk.Value);
        EXPECT_EQ(d.txtLevel.Text, "72.5");
        EXPECT_TRUE(d.txtLevel.Enabled);
        d.chkOk.Value = false;
        d.chkOk_Click();
        EXPECT_FALSE(d.txtLevel.Enabled);
        d.txtLevel.Text = "not a level";  // not checked while the line is off
        d.cmdOK_Click();
    }));
    EXPECT_TRUE(g_bDialogOk);
    EXPECT_EQ(g_ChMeasure->HorizontalLine.OkFlg, 0);
    EXPECT_EQ(g_ChMeasure->HorizontalLine.RecLevel, 72.5);

    // Switched on again, it shows that level (70 as a whole number).
    g_ChMeasure->HorizontalLine.RecLevel = 70.0;
    Run([&](frmHorizontalLine& d) {
        EXPECT_FALSE(d.chkOk.Value);
        EXPECT_FALSE(d.txtLevel.Enabled);
        EXPECT_EQ(d.txtLevel.Text, "70");
        d.cmdCancel_Click();
    });
    EXPECT_FALSE(g_bDialogOk);
}

TEST_F(HorizontalLine, CloseBoxMeansCancel) {
    frmHorizontalLine dialog(ui);
    ui.Load(dialog);
    dialog.chkOk.Value = true;
    dialog.txtLevel.Text = "90";
    EXPECT_TRUE(ui.CloseByFrame(dialog));
    EXPECT_FALSE(g_bDialogOk);
    EXPECT_EQ(g_ChMeasure->HorizontalLine.OkFlg, 0);
}

}  // namespace
}  // namespace murtesk
