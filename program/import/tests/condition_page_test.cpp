// The condition page: showing and storing a channel, the refused channel change, every check with
// its exact message, the band lists of each analysis kind, and the "共通" copies.
#include "band_frequency.h"
#include "import_fakes.h"

#include <gtest/gtest.h>

namespace murtesk::import::testing {
namespace {

using platform::MsgIcon;

class ConditionPage : public ::testing::Test, public DialogFixture {
protected:
    // The dialog after a successful check of three-channel recordings, channel 1 on show.
    frmWavFileReadAD& OpenOnConditions(int channels = 3)
    {
        const std::string cal = folder.Touch("cal.wav");
        const std::string rec = folder.Touch("rec.wav");
        library.Add(cal, channels);
        library.Add(rec, channels);
        frmWavFileReadAD& f = Open();
        f.txtCSVPathName.Text = cal;
        f.lstWaveFile.AddItem(rec);
        f.cmdNext_Click();
        EXPECT_TRUE(f.vsElastic2.Visible);
        ui.ClearTranscript();
        return f;
    }
    void Choose(platform::ComboBox& list, const std::string& text)
    {
        for (int i = 0; i < list.ListCount(); ++i) {
            if (list.Items[static_cast<std::size_t>(i)] == text) {
                list.ListIndex = i;
                return;
            }
        }
        FAIL() << "no item " << text;
    }
    void ChooseChannel(int index)
    {
        form->cmbCh.ListIndex = index;
        form->cmbCh_Click();
    }
    void ExpectOneMessage(const std::string& text, const std::string& focus)
    {
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].Text, text);
        EXPECT_EQ(ui.Messages()[0].Title, "入力訂正情報");
        EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::Information);
        EXPECT_EQ(form->FocusedControl, focus);
    }
};

TEST_F(ConditionPage, ShowsTheStoredCondition)
{
    document.channels.resize(3);
    CChMeasureCondition& c = document.channels[1];
    c.oct1or3 = 3;
    c.StartHz = GetBandCenterHz(3, 40);
    c.EndHz = 1000.0;
    c.w = 0;
    c.setCR(2);  // SLOW
    c.LevelOutHz = 100.0;
    c.CALPattern = 2;
    c.LVL = 0.5;
    frmWavFileReadAD& f = OpenOnConditions();
    ChooseChannel(1);
    EXPECT_EQ(f.m_ShownCh, 1);
    EXPECT_EQ(f.cmbOct1or3.ListIndex, 1);
    EXPECT_EQ(f.cmbStartBand.ListCount(), 46);
    EXPECT_EQ(f.cmbStartBand.SelectedData(), 40);
    EXPECT_EQ(f.cmbEndBand.SelectedData(), 16);
    EXPECT_EQ(f.cmbW.Items[static_cast<std::size_t>(f.cmbW.ListIndex)], "Ｌvz");
    EXPECT_EQ(f.cmbTimeWeighting.Items[static_cast<std::size_t>(f.cmbTimeWeighting.ListIndex)], "SLOW");
    EXPECT_EQ(f.cmbLevelIntervalMS.Items[static_cast<std::size_t>(f.cmbLevelIntervalMS.ListIndex)], "10ms");
    EXPECT_EQ(f.cmbCALWavePattern.ListIndex, 2);
    EXPECT_EQ(f.txtCalLevel.Text, "0.5");
    EXPECT_EQ(f.txtCAL0p.Text, "16000");
    EXPECT_EQ(f.txtZeroPlus.Text, "0");
}

TEST_F(ConditionPage, ChangingTheChannelStoresTheOneOnShow)
{
    frmWavFileReadAD& f = OpenOnConditions();
    Choose(f.cmbOct1or3, "1/3ｵｸﾀｰﾌﾞﾊﾞﾝﾄﾞ");
    f.cmbOct1or3_Click();
    Choose(f.cmbStartBand, "t31");
    Choose(f.cmbEndBand, "t7");
    Choose(f.cmbW, "C");
    Choose(f.cmbTimeWeighting, "VL");
    Choose(f.cmbLevelIntervalMS, "1ms");
    Choose(f.cmbCALWavePattern, "矩形波");
    f.txtCAL0p.Text = "1234.5";
    f.txtCalLevel.Text = "-20";
    f.txtZeroPlus.Text = " -3 ";
    ChooseChannel(2);
    EXPECT_TRUE(ui.Messages().empty());
    const CChMeasureCondition& c = document.channels[0];
    EXPECT_EQ(c.oct1or3, 3);
    EXPECT_NEAR(c.StartHz, 31.6228, 1e-3);
    EXPECT_NEAR(c.EndHz, 7943.28, 1e-2);
    EXPECT_EQ(c.w, 4);
    EXPECT_DOUBLE_EQ(c.CR, 0.63);
    EXPECT_EQ(c.LevelOutHz, 1000.0);
    EXPECT_EQ(c.CALPattern, 1);
    EXPECT_EQ(c.CAL, 1234.5);
    EXPECT_EQ(c.LVL, -20.0);
    EXPECT_EQ(c.ZeroPlus, -3.0);
    EXPECT_EQ(f.m_ShownCh, 2);

    // Back on channel 1 the stored values come back.
    ChooseChannel(0);
    EXPECT_EQ(f.cmbStartBand.Items[static_cast<std::size_t>(f.cmbStartBand.ListIndex)], "t31");
    EXPECT_EQ(f.cmbTimeWeighting.Items[static_cast<std::size_t>(f.cmbTimeWeighting.ListIndex)], "VL");
    EXPECT_EQ(f.txtZeroPlus.Text, "-3");
}

TEST_F(ConditionPage, RefusedChangeKeepsTheChannelAndStoresNothing)
{
    frmWavFileReadAD& f = OpenOnConditions();
    const CChMeasureCondition before = document.channels[0];
    f.txtCalLevel.Text = "95";
    f.txtZeroPlus.Text = "abc";
    ChooseChannel(1);
    ExpectOneMessage("数値を入力してください。", "txtZeroPlus");
    EXPECT_TRUE(f.FocusSelectsAll);
    EXPECT_EQ(f.cmbCh.ListIndex, 0);
    EXPECT_EQ(f.m_ShownCh, 0);
    EXPECT_EQ(f.txtZeroPlus.Text, "abc");
    EXPECT_TRUE(document.channels[0].IsMeEqualTo(before));
    EXPECT_EQ(document.channels[0].LVL, before.LVL);
}

struct StoreCheck {
    const char* name;
    const char* cal;
    const char* level;
    const char* zero;
    const char* message;
    const char* focus;
};

class StoreChecks : public ConditionPage, public ::testing::WithParamInterface<StoreCheck> {};

TEST_P(StoreChecks, RefuseWithTheirMessage)
{
    const StoreCheck& c = GetParam();
    frmWavFileReadAD& f = OpenOnConditions();
    f.txtCAL0p.Text = c.cal;
    f.txtCalLevel.Text = c.level;
    f.txtZeroPlus.Text = c.zero;
    EXPECT_FALSE(f.SaveChCondition(0));
    ExpectOneMessage(c.message, c.focus);
}

INSTANTIATE_TEST_SUITE_P(
    Fields, StoreChecks,
    ::testing::Values(StoreCheck{"CalNotNumber", "x", "94", "0", "数値を入力してください。", "txtCAL0p"},
                      StoreCheck{"CalZero", "0", "94", "0", "0より大きい数値を入力してください。", "txtCAL0p"},
                      StoreCheck{"CalEmpty", "", "abc", "abc", "数値を入力してください。", "txtCAL0p"},
                      StoreCheck{"LevelBelow", "100", "-30", "0", "-20以上、170以下の数値を入力してください。", "txtCalLevel"},
                      StoreCheck{"LevelAbove", "100", "170.5", "0", "-20以上、170以下の数値を入力してください。", "txtCalLevel"},
                      StoreCheck{"LevelNotNumber", "100", "9 4", "0", "数値を入力してください。", "txtCalLevel"},
                      StoreCheck{"ZeroNotNumber", "100", "94", "1e", "数値を入力してください。", "txtZeroPlus"},
                      StoreCheck{"ZeroInfinite", "100", "94", "inf", "数値を入力してください。", "txtZeroPlus"}),
    [](const ::testing::TestParamInfo<StoreCheck>& info) { return std::string(info.param.name); });

TEST_F(ConditionPage, StartBandAboveEndBandIsRefused)
{
    frmWavFileReadAD& f = OpenOnConditions();
    Choose(f.cmbStartBand, "o5");  // 4 kHz
    Choose(f.cmbEndBand, "o10");   // 125 Hz
    EXPECT_FALSE(f.SaveChCondition(0));
    ExpectOneMessage("開始分析バンド帯域中心周波数は終了分析バンド帯域中心周波数以下の周波数帯域でなければなりません。",
                     "cmbStartBand");
    EXPECT_EQ(document.channels[0].EndHz, CChMeasureCondition().EndHz);
}

TEST_F(ConditionPage, NoBandAnalysisDisablesTheEndBand)
{
    frmWavFileReadAD& f = OpenOnConditions();
    EXPECT_TRUE(f.cmbEndBand.Enabled);
    Choose(f.cmbStartBand, "計算しない");
    f.cmbStartBand_Click();
    EXPECT_FALSE(f.cmbEndBand.Enabled);
    ASSERT_TRUE(f.SaveChCondition(0));
    EXPECT_EQ(document.channels[0].StartHz, 0.0);
    ChooseChannel(1);
    ChooseChannel(0);
    EXPECT_EQ(f.cmbStartBand.Items[static_cast<std::size_t>(f.cmbStartBand.ListIndex)], "計算しない");
    EXPECT_FALSE(f.cmbEndBand.Enabled);
}

TEST_F(ConditionPage, BandListsFollowTheKindAndCarryTheStoredFrequencies)
{
    document.channels.resize(3);
    document.channels[0].oct1or3 = 1;
    document.channels[0].StartHz = GetBandCenterHz(1, 12);  // 31.5 Hz
    document.channels[0].EndHz = GetBandCenterHz(1, 4);     // 8 kHz
    frmWavFileReadAD& f = OpenOnConditions();
    EXPECT_EQ(f.cmbStartBand.ListCount(), 16);
    EXPECT_EQ(f.cmbStartBand.Items.front(), "o17");
    EXPECT_EQ(f.cmbStartBand.Items.back(), "計算しない");
    EXPECT_EQ(f.cmbEndBand.Items.front(), "o3");
    EXPECT_EQ(f.cmbEndBand.Items.back(), "o17");
    EXPECT_EQ(f.cmbStartBand.SelectedData(), 12);

    Choose(f.cmbOct1or3, "1/3ｵｸﾀｰﾌﾞﾊﾞﾝﾄﾞ");
    f.cmbOct1or3_Click();
    EXPECT_EQ(f.cmbStartBand.ListCount(), 46);
    EXPECT_EQ(f.cmbStartBand.SelectedData(), 31);
    EXPECT_EQ(f.cmbEndBand.SelectedData(), 7);
}

TEST_F(ConditionPage, UnknownCodesShowTheFirstChoices)
{
    document.channels.resize(3);
    document.channels[0].w = 9;  // user characteristic 4 of 2
    document.channels[0].CR = 0.5;
    document.userNames = {"u1", "u2"};
    frmWavFileReadAD& f = OpenOnConditions();
    EXPECT_EQ(f.cmbW.ListIndex, 0);
    EXPECT_EQ(f.cmbTimeWeighting.ListIndex, -1);
    // Storing without a time weighting keeps the constant as it was.
    ASSERT_TRUE(f.SaveChCondition(0));
    EXPECT_EQ(document.channels[0].CR, 0.5);
    EXPECT_EQ(document.channels[0].w, 3);
}

TEST_F(ConditionPage, CopiesGoToEveryChannelWithTheirOwnRanges)
{
    frmWavFileReadAD& f = OpenOnConditions();
    f.txtCalLevel.Text = "-30";
    f.cmdCommonLevel_Click();
    EXPECT_TRUE(ui.Messages().empty());
    for (const CChMeasureCondition& c : document.channels) EXPECT_EQ(c.LVL, -30.0);

    f.txtCAL0p.Text = "0.5";
    f.cmdCommonCAL0p_Click();
    ExpectOneMessage("1以上、100000以下の数値を入力してください。", "txtCAL0p");
    for (const CChMeasureCondition& c : document.channels) EXPECT_EQ(c.CAL, 16000.0);

    ui.ClearTranscript();
    f.txtZeroPlus.Text = "-10001";
    f.cmdCommonZeroPlus_Click();
    ExpectOneMessage("-10000以上、10000以下の数値を入力してください。", "txtZeroPlus");

    ui.ClearTranscript();
    f.txtCalLevel.Text = "171";
    f.cmdCommonLevel_Click();
    ExpectOneMessage("-60以上、170以下の数値を入力してください。", "txtCalLevel");

    ui.ClearTranscript();
    f.txtZeroPlus.Text = "12.5";
    f.cmdCommonZeroPlus_Click();
    f.txtCAL0p.Text = "100000";
    f.cmdCommonCAL0p_Click();
    Choose(f.cmbW, "G");
    f.cmdCommonW_Click();
    Choose(f.cmbTimeWeighting, "IMPULSE");
    f.cmdCommonTW_Click();
    Choose(f.cmbLevelIntervalMS, "10ms");
    f.cmdCommonLevelIntervalMS_Click();
    Choose(f.cmbCALWavePattern, "三角波");
    f.cmdCommonCALWave_Click();
    EXPECT_TRUE(ui.Messages().empty());
    for (const CChMeasureCondition& c : document.channels) {
        EXPECT_EQ(c.ZeroPlus, 12.5);
        EXPECT_EQ(c.CAL, 100000.0);
        EXPECT_EQ(c.w, 2);
        EXPECT_DOUBLE_EQ(c.CR, 0.035);
        EXPECT_EQ(c.LevelOutHz, 100.0);
        EXPECT_EQ(c.CALPattern, 2);
        EXPECT_EQ(c.LVL, -30.0);  // copies store nothing else
    }
}

TEST_F(ConditionPage, BandCopyTakesEvenAReversedPair)
{
    frmWavFileReadAD& f = OpenOnConditions();
    Choose(f.cmbOct1or3, "1/3ｵｸﾀｰﾌﾞﾊﾞﾝﾄﾞ");
    f.cmbOct1or3_Click();
    Choose(f.cmbStartBand, "t10");
    Choose(f.cmbEndBand, "t20");
    f.cmdComonBand_Click();
    EXPECT_TRUE(ui.Messages().empty());
    for (const CChMeasureCondition& c : document.channels) {
        EXPECT_EQ(c.oct1or3, 3);
        EXPECT_NEAR(c.StartHz, 3981.07, 1e-2);
        EXPECT_NEAR(c.EndHz, 398.107, 1e-3);
    }
}

}  // namespace
}  // namespace murtesk::import::testing
