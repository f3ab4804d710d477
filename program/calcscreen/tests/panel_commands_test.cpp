// The band panels' commands on real level files: the two clipboard texts against texts written
// here, a clipboard that refuses, the bars/list toggle, and the A-level hand-over weighted by the
// A table's own values.
#include "calc_fixture.h"

namespace murtesk::testing {
namespace {

class PanelCalc : public frmOctCalc {
public:
    using frmOctCalc::frmOctCalc;
    using frmOctCalc::moveCursorTo;
};

float F(std::int64_t) { return 71.25f; }
float W(std::int64_t) { return 65.0f; }
float Top(std::int64_t) { return 40.04f; }
float Quiet(std::int64_t) { return -60.0f; }

class PanelCommands : public ScreenTest<PanelCalc> {
protected:
    // A channel of `oct1or3` at 10 values/s: F, W, the highest band and the third highest with
    // constant levels, every other band without a file.
    void Make(std::int16_t oct1or3) {
        ChannelSpec spec;
        spec.oct1or3 = oct1or3;
        AddMeasure(60, {spec});
        CChMeasure& ch = Channel(1, 1);
        ch.ChMeasureCondition.setCR(0);  // FAST
        WriteLevels(ch, 1, 600, F);
        WriteLevels(ch, 2, 600, W);
        WriteLevels(ch, 3, 600, Top);
        WriteLevels(ch, 5, 600, Quiet);
        Show(1);
    }
    static std::string Lines(const std::vector<std::string>& lines) {
        std::string text;
        for (const std::string& l : lines) {
            text += l + "\r\n";
        }
        return text;
    }
    const std::string frame = std::string(30, '/');
};

TEST_F(PanelCommands, CursorCopyOfAnOctaveChannelHasTwentyLines) {
    Make(1);
    calc.moveCursorTo(100);
    calc.ChartController().SetReadOut({calc.ChartController().ReadOut().level, "2023/03/15 09:00:09"});
    calc.cmdCopyCursor_Click();
    EXPECT_EQ(ui.ClipboardText(), Lines({frame,
                                         "2023/03/15 09:00:09 動特性FAST",
                                         "[F特性AP] , 71.3",
                                         "[A特性] , 65.0",
                                         "[1Hz] , ---",
                                         "[2Hz] , ---",
                                         "[4Hz] , ---",
                                         "[8Hz] , ---",
                                         "[16Hz] , ---",
                                         "[31.5Hz] , ---",
                                         "[63Hz] , ---",
                                         "[125Hz] , ---",
                                         "[250Hz] , ---",
                                         "[500Hz] , ---",
                                         "[1kHz] , ---",
                                         "[2kHz] , ---",
                                         "[4kHz] , ---",
                                         "[8kHz] , ---",
                                         "[16kHz] , 40.0",
                                         frame}));
}

TEST_F(PanelCommands, StatisticCopyOfAOneThirdOctaveChannelHasFiftyLines) {
    Make(3);
    calc.addCalcDelArea(9'000'000, 9'000'001);  // statistics over the whole series
    calc.cmbCalcL.Select(0);                    // Ｌeq
    calc.cmdCopyCalc_Click();
    std::vector<std::string> lines = {frame, "動特性FAST Ｌeq", "[F特性AP] , 71.3", "[A特性] , 65.0"};
    const char* bands[] = {"0.8Hz",   "1Hz",   "1.25Hz", "1.6Hz",  "2Hz",   "2.5Hz",   "3.15Hz",  "4Hz",    "5Hz",
                           "6.3Hz",   "8Hz",   "10Hz",   "12.5Hz", "16Hz",  "20Hz",    "25Hz",    "31.5Hz", "40Hz",
                           "50Hz",    "63Hz",  "80Hz",   "100Hz",  "125Hz", "160Hz",   "200Hz",   "250Hz",  "315Hz",
                           "400Hz",   "500Hz", "630Hz",  "800Hz",  "1kHz",  "1.25kHz", "1.6kHz",  "2kHz",   "2.5kHz",
                           "3.15kHz", "4kHz",  "5kHz",   "6.3kHz", "8kHz",  "10kHz",   "12_5kHz", "16kHz",  "20kHz"};
    for (const char* band : bands) {
        // 20 kHz is 40.04 dB; 12.5 kHz lies at exactly -60 dB and, like the bands without a file, has none.
        lines.push_back("[" + std::string(band) + "] , " + (std::string(band) == "20kHz" ? "40.0" : "---"));
    }
    lines.push_back(frame);
    EXPECT_EQ(lines.size(), 50u);
    EXPECT_EQ(ui.ClipboardText(), Lines(lines));

    calc.cmbCalcL.Select(-1);
    ui.SetClipboardText("kept");
    calc.cmdCopyCalc_Click();
    EXPECT_EQ(ui.ClipboardText(), "kept");
}

TEST_F(PanelCommands, ARefusingClipboardIsReportedAndNothingElseChanges) {
    Make(1);
    ui.SetClipboardText("kept");
    ui.FailClipboard(true);
    ui.ClearTranscript();
    calc.cmdCopyCursor_Click();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, "現在クリップボードが使用できない状態です。");
    EXPECT_EQ(ui.Messages()[0].Title, "コピー失敗");
    EXPECT_EQ(ui.Messages()[0].Icon, platform::MsgIcon::Information);
    ui.FailClipboard(false);
    EXPECT_EQ(ui.ClipboardText(), "kept");
}

TEST_F(PanelCommands, BarsAndListTakeTurns) {
    Make(1);
    EXPECT_FALSE(calc.vsElasticList.Visible);
    calc.cmdBarOrList_Click();
    EXPECT_TRUE(calc.vsElasticList.Visible);
    EXPECT_EQ(calc.cmdBarOrList.ToolTipText, "バー");
    EXPECT_EQ(calc.cmdBarOrList.Picture, platform::kIconBars);
    EXPECT_FALSE(calc.vsElasticCalcList.Visible);
    calc.cmdBarOrList_Click();
    EXPECT_FALSE(calc.vsElasticList.Visible);
    EXPECT_EQ(calc.cmdBarOrList.ToolTipText, "リスト");
    EXPECT_EQ(calc.cmdBarOrList.Picture, platform::kIconList);
}

TEST_F(PanelCommands, ALevelWindowGetsTheShownLevelsWeightedAndFAndWAsShown) {
    struct Restore {
        ~Restore() { g_ShowALevel = ShowALevelNotAvailable; }
    } restore;
    std::optional<ALevelHandOver> handed;
    g_ShowALevel = [&](platform::UiServices&, const ALevelHandOver& h) { handed = h; };
    Make(1);
    calc.Shown().channel->HzYAxis.YAxisMax = 110.0;
    calc.moveCursorTo(100);
    calc.cmdACursor_Click();
    ASSERT_TRUE(handed);
    ASSERT_TRUE(handed->m_OctaveBand1);
    EXPECT_FALSE(handed->m_OctaveBand3);
    const COctaveBand1& b = *handed->m_OctaveBand1;
    EXPECT_DOUBLE_EQ(b.dBAllPass(), 71.3);  // as shown, not weighted
    EXPECT_DOUBLE_EQ(b.dBW(), 65.0);
    EXPECT_NEAR(b.dB16kHz(), 40.0 - 6.6, 1e-9);  // A at 16 kHz: -6.6 dB
    EXPECT_NEAR(b.dB4kHz(), -60.0 + 1.0, 1e-9);  // "---" handed as -60; A at 4 kHz: +1.0 dB
    EXPECT_DOUBLE_EQ(b.dB8kHz(), -60.0);         // -60 - 1.1 held at -60
    EXPECT_EQ(handed->m_HzYAxis.YAxisMax, 110.0);
}

TEST_F(PanelCommands, ALevelBeforeAnyStatisticHandsNoLevelsAndTheLauncherSaysItIsNotReady) {
    Make(3);
    ui.ClearTranscript();
    calc.cmdACalc_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"この機能はまだ使用できません."});
}

}  // namespace
}  // namespace murtesk::testing
