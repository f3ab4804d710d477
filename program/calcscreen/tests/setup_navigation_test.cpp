// The calculation screen's set-up, channel and band choice, return and navigation, on real
// project folders with the fake services.
#include "calc_fixture.h"

#include "model/preserve.h"

namespace murtesk::testing {
namespace {

using ScreenSetUp = CalcScreenTest;

TEST_F(ScreenSetUp, LoadFillsTheChoosers) {
    EXPECT_EQ(calc.m_TextFilePeriod, 1);
    EXPECT_EQ(calc.m_TextFileArea, 0);
    ASSERT_EQ(calc.cmbScrollSec.ListCount(), 100);
    EXPECT_EQ(calc.cmbScrollSec.Items[0], "1秒");
    EXPECT_EQ(calc.cmbScrollSec.Items[99], "100秒");
    EXPECT_EQ(calc.cmbScrollSec.ItemData[99], 100);
    EXPECT_EQ(calc.cmbScrollSec.ListIndex, 0);
    EXPECT_EQ(calc.optMouseAction.Selected(), 0);
    EXPECT_EQ(calc.optAreaBand.Selected(), 0);
    ASSERT_EQ(calc.cmbCalcL.ListCount(), 105);
    const std::vector<std::pair<int, std::pair<std::string, int>>> calcL = {
        {0, {"Ｌeq", -1}},     {1, {"Ｌmax", 0}},      {2, {"Ｌ1", 1}},        {100, {"Ｌ99", 99}},
        {101, {"Ｌmin", 100}}, {102, {"ＬFmax", 103}}, {103, {"ＬWmax", 104}}, {104, {"ＬE", 101}}};
    for (const auto& [index, entry] : calcL) {
        EXPECT_EQ(calc.cmbCalcL.Items[static_cast<std::size_t>(index)], entry.first);
        EXPECT_EQ(calc.cmbCalcL.ItemData[static_cast<std::size_t>(index)], entry.second);
    }
    EXPECT_EQ(calc.cmbCalcL.ListIndex, -1);
    ASSERT_EQ(calc.cmbLx.ListCount(), 100);
    EXPECT_EQ(calc.cmbLx.Items[99], "min");
    EXPECT_EQ(calc.cmbLx.ItemData[99], 100);
}

TEST_F(ScreenSetUp, CascadeRunsInOrderAndShowsTheMeasurement) {
    AddMeasure(3600, {{}, {}});
    AddMeasure(3600, {{}});
    Show(1);
    EXPECT_EQ(g_SaveTime, (std::array<std::int32_t, 2>{-1, -1}));
    EXPECT_EQ(calc.Caption, "Murtesk 演算画面 " + ProjectPath() + " 測定番号:1");
    EXPECT_EQ(calc.lblDisplayMeas.Caption, "<<データ 1/2 >>");
    EXPECT_EQ(calc.lblStartymdhms.Caption, "2023/03/15 09:00:00");
    EXPECT_EQ(calc.lblEndymdhms.Caption, "2023/03/15 10:00:00");
    EXPECT_EQ(calc.cmbCh.Items, (std::vector<std::string>{"ch1", "ch2"}));
    EXPECT_EQ(calc.log,
              (std::vector<std::string>{"setGraphOfCSFFT", "setFormOfCSFFTLabel", "setGraphOfCalcFFT",
                                        "setFormOfCalcFFTLabel", "setGraphAxisAndScroll", "setGraphOfForm",
                                        "setGraphOfCSFFT", "setFormOfCSFFTLabel", "setFormOfCalcArea",
                                        "cmbCalcL_Click 0", "cmbLx_Click 0", "setFormOfLE", "setFormOfMarkArea"}));
    // The first set-up of the run shows W; the band names follow the channel's condition.
    EXPECT_EQ(calc.Shown().band, 2);
    EXPECT_EQ(calc.cmbGraphBand.ListIndex, 1);
    ASSERT_EQ(calc.cmbGraphBand.ListCount(), 47);
    EXPECT_EQ(calc.cmbGraphBand.Items[0], "Ｆ特性");
    EXPECT_EQ(calc.cmbGraphBand.Items[1], "Ａ特性");
    EXPECT_EQ(calc.cmbGraphBand.Items[2], "20kHz帯域");
    EXPECT_EQ(calc.cmbGraphBand.Items[46], "0.8Hz帯域");
    EXPECT_EQ(calc.lblOct1or3.Caption, "１／３オクターブバンド");
    EXPECT_EQ(calc.lblTimeWeighting.Caption, "ＦＡＳＴ");
    EXPECT_EQ(calc.txtMEMO.Text, "memo 1-1");
    EXPECT_TRUE(calc.cmdACursor.Visible);
}

TEST_F(ScreenSetUp, NavigationButtonsAndChannelCommandsFollowTheMeasurements) {
    AddMeasure(60, {{}, {}});
    AddMeasure(60, {{}});
    AddMeasure(60, {{}});
    const auto buttons = [&] {
        return std::vector<bool>{calc.cmdFirst.Enabled, calc.cmdBack.Enabled, calc.cmdNext.Enabled,
                                 calc.cmdEnd.Enabled};
    };
    Show(1);
    EXPECT_EQ(buttons(), (std::vector<bool>{false, false, true, true}));
    EXPECT_TRUE(calc.cmdLinkCh.Visible && calc.cmdLinkChMark.Visible && calc.cmdLinkChDelArea.Visible);
    Show(2);
    EXPECT_EQ(buttons(), (std::vector<bool>{true, true, true, true}));
    EXPECT_FALSE(calc.cmdLinkCh.Visible || calc.cmdLinkChMark.Visible || calc.cmdLinkChDelArea.Visible);
    EXPECT_TRUE(calc.cmdAxisSame.Visible);  // one channel, three measurements
    Show(3);
    EXPECT_EQ(buttons(), (std::vector<bool>{true, true, false, false}));

    // A project of one measurement with one channel.
    Records().Measures.Delete(3);
    Records().Measures.Delete(2);
    Records().Measures.Item(1).ChMeasures.Delete(2);
    Show(1);
    EXPECT_EQ(buttons(), (std::vector<bool>{false, false, false, false}));
    EXPECT_FALSE(calc.cmdAxisSame.Visible);
}

TEST_F(ScreenSetUp, ChannelPositionCarriesOverAndTheListStopsAtAChannelNotAnalysed) {
    ChannelSpec none;
    none.oct1or3 = 0;
    AddMeasure(60, {{}, {}, {}});
    AddMeasure(60, {{}, none, {}});
    AddMeasure(60, {{}, {}});
    Show(1);
    ChooseChannel(1);
    EXPECT_EQ(calc.Shown().channel.get(), &Channel(1, 2));
    Show(3);
    EXPECT_EQ(calc.cmbCh.ListIndex, 1);
    EXPECT_EQ(calc.Shown().channel.get(), &Channel(3, 2));
    Show(2);
    EXPECT_EQ(calc.cmbCh.Items, (std::vector<std::string>{"ch1"}));
    EXPECT_EQ(calc.Shown().channel.get(), &Channel(2, 1));
}

struct BandCase {
    std::int16_t fromMode;
    std::int16_t slot;
    std::int16_t toMode;
    std::int16_t expected;
};

class BandTranslation : public CalcScreenTest, public ::testing::WithParamInterface<BandCase> {};

TEST_P(BandTranslation, KeepsTheBandAcrossBandModes) {
    const BandCase c = GetParam();
    ChannelSpec from;
    from.oct1or3 = c.fromMode;
    ChannelSpec to;
    to.oct1or3 = c.toMode;
    AddMeasure(60, {from, to});
    Show(1);
    ChooseBand(c.slot);
    ChooseChannel(1);
    EXPECT_EQ(calc.Shown().band, c.expected);
    EXPECT_EQ(calc.cmbGraphBand.ListIndex, c.expected - 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, BandTranslation,
                         ::testing::Values(BandCase{3, 5, 1, 3},    // 12.5 kHz to 16 kHz
                                           BandCase{3, 3, 1, 3},    // 20 kHz to 16 kHz
                                           BandCase{3, 47, 1, 17},  // 0.8 Hz to 1 Hz
                                           BandCase{3, 9, 1, 5},    // 5 kHz to 4 kHz
                                           BandCase{1, 17, 3, 46},  // 1 Hz to 1 Hz
                                           BandCase{1, 3, 3, 4},    // 16 kHz to 16 kHz
                                           BandCase{1, 1, 3, 1},    // F and W stay
                                           BandCase{3, 2, 1, 2}, BandCase{1, 8, 1, 8}),
                         [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST_F(ScreenSetUp, AMeasurementWhoseFirstChannelIsNotAnalysedShowsEmptyPanels) {
    ChannelSpec none;
    none.oct1or3 = 0;
    ChannelSpec analysed;
    analysed.values = 1000;
    AddMeasure(60, {analysed});
    AddMeasure(60, {none, analysed});
    Show(1);
    calc.txtMEMO.Text = "typed on 1";
    Show(2);
    EXPECT_EQ(calc.cmbCh.ListCount(), 0);
    EXPECT_EQ(calc.cmbGraphBand.ListCount(), 0);
    EXPECT_EQ(calc.Chart2DLevelWave.LevelCount(), 0);
    EXPECT_EQ(calc.scrGraph.Max, 0);
    EXPECT_FALSE(calc.txtMEMO.Enabled);
    EXPECT_FALSE(calc.cmdAddDel.Enabled || calc.cmdAddMark.Enabled || calc.cmdChangeLEArea.Enabled ||
                 calc.mnuToolArea.Enabled || calc.optMouseAction.Enabled || calc.mnuHorizontalLine.Enabled);
    EXPECT_EQ(Channel(1, 1).ChMeasureCondition.Account, "typed on 1");
    // What is typed now belongs to no channel; the next measurement shows its own again.
    calc.txtMEMO.Text = "typed on 2";
    calc.cmdNext_Click();  // disabled here, but harmless
    Show(1);
    EXPECT_EQ(Channel(1, 1).ChMeasureCondition.Account, "typed on 1");
    EXPECT_TRUE(calc.cmdAddDel.Enabled);
    EXPECT_TRUE(calc.txtMEMO.Enabled);
    EXPECT_EQ(calc.Chart2DLevelWave.LevelCount(), 601);
}

TEST_F(ScreenSetUp, CloseBoxReturnsLikeTheReturnCommand) {
    AddMeasure(60, {{}, {}});
    ui.Show(calc);
    Show(1);
    calc.txtMEMO.Text = "first channel";
    ChooseChannel(1);
    EXPECT_EQ(Channel(1, 1).ChMeasureCondition.Account, "first channel");
    calc.txtMEMO.Text = "second channel";
    EXPECT_FALSE(ui.CloseByFrame(calc));  // the unload is cancelled: the screen lives on
    EXPECT_TRUE(ui.IsLoaded(calc));
    EXPECT_FALSE(calc.Visible);
    EXPECT_TRUE(main.Visible);
    EXPECT_EQ(main.saves, 1);
    EXPECT_EQ(Channel(1, 2).ChMeasureCondition.Account, "second channel");
}

TEST_F(ScreenSetUp, ReturnSavesAProjectThatReadsBackWithTheMemo) {
    AddMeasure(60, {{}, {}});
    AddMeasure(60, {{}});
    main.EditForm();
    main.list.Rows[1].Checked = true;
    Show(1);
    ChooseChannel(1);
    calc.txtMEMO.Text = "second channel";
    calc.cmdREC_Click();
    EXPECT_EQ(main.saves, 1);
    EXPECT_FALSE(calc.Shown().measure);
    EXPECT_TRUE(calc.Shown().channel);
    EXPECT_FALSE(main.list.Rows[0].Checked);
    EXPECT_TRUE(main.list.Rows[1].Checked);  // kept by position over the refill
    EXPECT_TRUE(main.Visible);
    EXPECT_FALSE(calc.Visible);

    PreserveDocument reread;
    ASSERT_TRUE(reread.FileRead(ProjectPath()));
    EXPECT_EQ(reread.Preserve().Measures.Item(1).ChMeasures.Item(2).ChMeasureCondition.Account, "second channel");
    EXPECT_TRUE(reread.Preserve().Measures.IsMeEqualTo(Records().Measures));
}

// A memo typed with characters the files cannot keep is told once, when the user leaves the box or
// else when the screen saves; the box keeps what was typed. A memo shown as the record holds it (an
// import's recording path) is not told about.
TEST_F(ScreenSetUp, AMemoTheFilesCannotKeepIsToldOnceBeforeTheSave) {
    AddMeasure(60, {{}, {}});
    Channel(1, 1).ChMeasureCondition.Account = "/rec/mono_é.wav";
    Show(1);
    calc.cmdREC_Click();
    Show(1);
    EXPECT_TRUE(ui.Messages().empty());
    calc.txtMEMO.Text = "1〜2 Café";
    calc.txtMEMO_Change();
    calc.txtMEMO_LostFocus();
    calc.txtMEMO_LostFocus();
    const std::string told =
        "メモに保存できない文字があります．\r\n保存すると次のように置き換わります．\r\n\r\n"
        "「〜」→「～」\r\n「é」→「?」";
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{told});
    ChooseChannel(1);
    calc.txtMEMO.Text = "e\xCC\x81";  // e and a combining acute accent
    calc.txtMEMO_Change();
    calc.cmdREC_Click();
    EXPECT_EQ(ui.MessageTexts(),
              (std::vector<std::string>{told,
                                        "メモに保存できない文字があります．\r\n"
                                        "保存すると次のように置き換わります．\r\n\r\nU+0301→「?」"}));
    EXPECT_EQ(calc.txtMEMO.Text, "e\xCC\x81");
    PreserveDocument reread;
    ASSERT_TRUE(reread.FileRead(ProjectPath()));
    EXPECT_EQ(reread.Preserve().Measures.Item(1).ChMeasures.Item(1).ChMeasureCondition.Account, "1～2 Caf?");
    EXPECT_EQ(reread.Preserve().Measures.Item(1).ChMeasures.Item(2).ChMeasureCondition.Account, "e?");
}

TEST_F(ScreenSetUp, NavigationAdoptsTheConditionSavesAndShowsTheTarget) {
    AddMeasure(60, {{}});
    AddMeasure(60, {{}});
    AddMeasure(60, {{}});
    Show(2);
    calc.txtMEMO.Text = "edited";
    calc.cmdNext_Click();
    EXPECT_EQ(main.m_MeasureIndex, 3);
    EXPECT_EQ(calc.Shown().measureIndex, 3);
    EXPECT_EQ(Records().MeasureCondition.Account, "measure 3");
    EXPECT_EQ(Channel(2, 1).ChMeasureCondition.Account, "edited");
    calc.cmdFirst_Click();
    EXPECT_EQ(calc.Shown().measureIndex, 1);
    calc.cmdEnd_Click();
    EXPECT_EQ(calc.Shown().measureIndex, 3);
    calc.cmdBack_Click();
    EXPECT_EQ(calc.Shown().measureIndex, 2);
    EXPECT_EQ(main.saves, 4);
    EXPECT_TRUE(ui.Messages().empty());

    PreserveDocument reread;
    ASSERT_TRUE(reread.FileRead(ProjectPath()));
    EXPECT_TRUE(reread.Preserve().Measures.IsMeEqualTo(Records().Measures));
}

TEST_F(ScreenSetUp, ASaveThatFailsEndsTheRun) {
    AddMeasure(60, {{}});
    AddMeasure(60, {{}});
    Show(1);
    platform::SetWriteLimitForTests(0);
    calc.cmdNext_Click();
    EXPECT_EQ(main.m_MeasureIndex, 2);  // changed before the save
    EXPECT_EQ(calc.Shown().measureIndex, 1);
    ASSERT_EQ(ui.Messages().size(), 2u);
    EXPECT_EQ(ui.Messages()[0].Text, "データ保存に失敗しました．");
    EXPECT_EQ(ui.Messages()[1].Text, "保存できなくなりました.終了します.");
    EXPECT_EQ(ui.Messages()[1].Title, "お詫び");
    EXPECT_EQ(ui.Messages()[1].Icon, platform::MsgIcon::Critical);
    EXPECT_FALSE(ui.IsLoaded(main));
    EXPECT_FALSE(fs::exists(ProjectPath()));
}

TEST_F(ScreenSetUp, TheShownChannelOutlivesItsMeasurement) {
    AddMeasure(60, {{}, {}});
    AddMeasure(60, {{}});
    Show(1);
    calc.cmdREC_Click();
    const std::shared_ptr<CChMeasure> shown = calc.Shown().channel;
    Records().Measures.Delete(1);  // the main screen deletes the measurement
    g_ResetPreserve();             // and then opens another project
    g_PreserveDoc().SetSaveFilePath(ProjectPath());
    AddMeasure(60, {{}, {}});
    calc.txtMEMO.Text = "into the old channel";
    Show(1);
    EXPECT_EQ(shown->ChMeasureCondition.Account, "into the old channel");
    EXPECT_EQ(Channel(1, 1).ChMeasureCondition.Account, "memo 1-1");
    EXPECT_EQ(calc.Shown().channel.get(), &Channel(1, 1));
}

}  // namespace
}  // namespace murtesk::testing
