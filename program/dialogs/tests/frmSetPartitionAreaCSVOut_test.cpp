// The partition dialog's model: the presets it shows, its check of the length and the answer each
// way out gives.
#include "frmSetPartitionAreaCSVOut.h"

#include "fake_ui.h"
#include "globals.h"

#include <gtest/gtest.h>

#include <functional>

namespace murtesk {
namespace {

using platform::testing::FakeUi;

struct LengthInput {
    std::string text;
    const char* refusal;  // null: accepted
};

class PartitionDialogInput : public ::testing::TestWithParam<LengthInput> {};

TEST_P(PartitionDialogInput, AcceptsWholeMinutesFrom1To10000) {
    const LengthInput& in = GetParam();
    FakeUi ui;
    frmSetPartitionAreaCSVOut form(ui);
    form.m_SplitMin = 7;
    form.m_bAllBand = false;
    form.m_bCalcAreaInfluence = true;
    g_bDialogOk = false;
    ui.OnModal("frmSetPartitionAreaCSVOut", [&](platform::Form&) {
        EXPECT_EQ(form.txtSplitMin.Text, "7");
        EXPECT_FALSE(form.chkAllBand.Value);
        EXPECT_TRUE(form.chkCalcAreaInfluence.Value);
        EXPECT_EQ(form.FocusedControl, "txtSplitMin");
        EXPECT_TRUE(form.FocusSelectsAll);
        form.FocusedControl.clear();
        form.txtSplitMin.Text = in.text;
        form.chkAllBand.Value = true;
        form.chkCalcAreaInfluence.Value = false;
        form.cmdOK_Click();
    });
    ui.ShowModal(form);
    if (in.refusal == nullptr) {
        EXPECT_TRUE(ui.Messages().empty());
        EXPECT_EQ(form.m_SplitMin, std::stoi(in.text));
        EXPECT_TRUE(form.m_bAllBand);
        EXPECT_FALSE(form.m_bCalcAreaInfluence);
        EXPECT_TRUE(g_bDialogOk);
        EXPECT_TRUE(ui.IsLoaded(form));  // hidden: the caller reads the fields, then unloads it
        EXPECT_FALSE(form.Visible);
        return;
    }
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, in.refusal);
    EXPECT_EQ(ui.Messages()[0].Title, "入力訂正情報");
    EXPECT_EQ(ui.Messages()[0].Icon, platform::MsgIcon::Information);
    EXPECT_EQ(form.FocusedControl, "txtSplitMin");
    EXPECT_EQ(form.m_SplitMin, 7);
    EXPECT_TRUE(form.m_bCalcAreaInfluence);
    EXPECT_FALSE(g_bDialogOk);  // the fake closes what its script left open by the frame
}

const char* const kRange = "1以上、10000以下の数値を入力してください。";

INSTANTIATE_TEST_SUITE_P(Inputs, PartitionDialogInput,
                         ::testing::Values(LengthInput{"1", nullptr}, LengthInput{"10000", nullptr},
                                           LengthInput{"25", nullptr}, LengthInput{"0", kRange},
                                           LengthInput{"10001", kRange}, LengthInput{"2.5", kRange},
                                           LengthInput{"abc", "数値を入力してください。"}));

TEST(PartitionDialog, CancelAndTheFrameUnloadAndAnswerNo) {
    FakeUi ui;
    frmSetPartitionAreaCSVOut form(ui);
    EXPECT_EQ(form.Caption, "分割計算値出力条件");
    EXPECT_EQ(form.Label1.Caption, "分割時間（分）：");
    EXPECT_EQ(form.chkAllBand.Caption + form.chkCalcAreaInfluence.Caption,
              "全バンドを出力する計算除外範囲を有効とする");
    EXPECT_EQ(form.cmdOK.Caption + form.cmdCancel.Caption, "OkCancel");
    for (const std::function<void()>& way : {std::function<void()>([&] { form.cmdCancel_Click(); }),
                                             std::function<void()>([&] { ui.CloseByFrame(form); })}) {
        g_bDialogOk = true;
        ui.OnModal("frmSetPartitionAreaCSVOut", [&](platform::Form&) {
            form.txtSplitMin.Text = "30";
            way();
        });
        ui.ShowModal(form);
        EXPECT_FALSE(ui.IsLoaded(form));
        EXPECT_FALSE(g_bDialogOk);
        EXPECT_EQ(form.m_SplitMin, 10);
    }
}

}  // namespace
}  // namespace murtesk
