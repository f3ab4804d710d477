// The level-over dialog's model: what it shows, its check of the threshold, and the answer each
// way out gives through the hand-over variables.
#include "frmLevelOverArea.h"

#include "fake_ui.h"
#include "globals.h"
#include "model/ch_measure.h"

#include <gtest/gtest.h>

namespace murtesk {
namespace {

using platform::testing::FakeUi;

class LevelOverAreaTest : public ::testing::Test {
protected:
    LevelOverAreaTest() {
        channel->BandLCalcInfos.AddNew();
        CBandLCalcInfo& band = channel->BandLCalcInfos.AddNew();
        band.LevelOverScopes.Add(CScope(std::int32_t{3}, std::int32_t{9}));
        g_ChMeasure = channel;
        g_BandIndex = 2;
        g_bDialogOk = true;
    }
    ~LevelOverAreaTest() override { g_ChMeasure.reset(); }

    CBandLCalcInfo& Band() { return channel->BandLCalcInfos.Item(2); }

    StatsContext context{[] { return std::string("/nonexistent/p.qvd"); }, [] { return 45000.0; }};
    std::shared_ptr<CChMeasure> channel = std::make_shared<CChMeasure>(context);
    FakeUi ui;
    frmLevelOverArea form{ui};
};

TEST_F(LevelOverAreaTest, ShowsTheThresholdInGeneralFormSelected) {
    for (const auto& [level, text] :
         std::vector<std::pair<double, std::string>>{{75.0, "75"}, {82.5, "82.5"}, {-60.0, "-60"}}) {
        Band().OverLevel = level;
        ui.Load(form);
        EXPECT_EQ(form.txtLevel.Text, text);
        EXPECT_EQ(form.FocusedControl, "txtLevel");
        EXPECT_TRUE(form.FocusSelectsAll);
        ui.Unload(form);
    }
    EXPECT_EQ(form.Caption, "指定レベル以上範囲表示（オレンジ色です）...");
    EXPECT_EQ(form.txtMEMO.Text, "表示バンド固有です。\r\n");
    EXPECT_EQ(form.Frame1.Caption, "範囲表示最低レベル");
    EXPECT_EQ(form.cmdOK.Caption + form.cmdNo.Caption + form.cmdCancel.Caption, "表示非表示Cancel");
}

struct LevelInput {
    std::string text;
    const char* refusal;  // null: accepted
};

class LevelOverAreaInputTest : public LevelOverAreaTest, public ::testing::WithParamInterface<LevelInput> {};

TEST_P(LevelOverAreaInputTest, StoresAThresholdFromMinus60To170) {
    const LevelInput& in = GetParam();
    ui.Load(form);
    form.FocusedControl.clear();
    form.txtLevel.Text = in.text;
    form.cmdOK_Click();
    if (in.refusal == nullptr) {
        EXPECT_TRUE(ui.Messages().empty());
        EXPECT_EQ(Band().OverLevel, std::stod(in.text));
        EXPECT_TRUE(g_bDialogOk);
        EXPECT_EQ(g_ChMeasure, channel);
        EXPECT_FALSE(ui.IsLoaded(form));
        return;
    }
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, in.refusal);
    EXPECT_EQ(ui.Messages()[0].Title, "入力訂正情報");
    EXPECT_EQ(ui.Messages()[0].Icon, platform::MsgIcon::Information);
    EXPECT_EQ(Band().OverLevel, 75.0);
    EXPECT_TRUE(ui.IsLoaded(form));
    EXPECT_EQ(form.FocusedControl, "txtLevel");
    EXPECT_TRUE(form.FocusSelectsAll);
}

const char* const kRange = "-60以上、170以下の数値を入力してください。";

INSTANTIATE_TEST_SUITE_P(Inputs, LevelOverAreaInputTest,
                         ::testing::Values(LevelInput{"80", nullptr}, LevelInput{"-60", nullptr},
                                           LevelInput{"170", nullptr}, LevelInput{"82.5", nullptr},
                                           LevelInput{"170.5", kRange}, LevelInput{"-60.5", kRange},
                                           LevelInput{"abc", "数値を入力してください。"},
                                           LevelInput{"", "数値を入力してください。"}));

// Each way out of the dialog and what it leaves: the flag, the hand-over, the band's ranges.
TEST_F(LevelOverAreaTest, EachWayOutAnswersThroughTheHandOver) {
    struct Way {
        const char* name;
        std::function<void()> act;
        bool dialogOk;
        bool channelKept;
        int rangesLeft;
    };
    const std::vector<Way> ways{
        {"hide", [&] { form.cmdNo_Click(); }, false, true, 0},
        {"cancel", [&] { form.cmdCancel_Click(); }, false, false, 1},
        {"frame", [&] { ui.CloseByFrame(form); }, false, false, 1},
    };
    for (const Way& way : ways) {
        SCOPED_TRACE(way.name);
        g_ChMeasure = channel;
        g_bDialogOk = true;
        Band().LevelOverScopes.AllDelete();
        Band().LevelOverScopes.Add(CScope(std::int32_t{3}, std::int32_t{9}));
        ui.Load(form);
        way.act();
        EXPECT_FALSE(ui.IsLoaded(form));
        EXPECT_EQ(g_bDialogOk, way.dialogOk);
        EXPECT_EQ(g_ChMeasure != nullptr, way.channelKept);
        EXPECT_EQ(Band().LevelOverScopes.count(), way.rangesLeft);
        EXPECT_EQ(Band().OverLevel, 75.0);
    }
}

TEST_F(LevelOverAreaTest, NoBandToEditAnswersAsCancelled) {
    g_BandIndex = 3;
    ui.ShowModal(form);
    EXPECT_FALSE(ui.IsLoaded(form));
    EXPECT_FALSE(g_bDialogOk);
    EXPECT_EQ(g_ChMeasure, nullptr);
}

}  // namespace
}  // namespace murtesk
