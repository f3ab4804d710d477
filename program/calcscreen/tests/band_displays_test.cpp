// The band displays of the calculation screen on real level files: the panels and band charts
// following the band type, the cursor panel and the cursor's moves, the searches, the statistic
// chooser, and dragging on the level chart in pixels of a fixed plot.
#include "calc_fixture.h"

#include "chart_mouse.h"
#include "frmSetCalcGraph.h"
#include "model/band_layout.h"
#include "model/project_files.h"
#include "platform/numbers.h"

#include <cmath>

namespace murtesk::testing {
namespace {

// The screen with its cursor procedures reachable.
class BandCalc : public frmOctCalc {
public:
    using frmOctCalc::frmOctCalc;
    using frmOctCalc::moveCursorTo;
    using frmOctCalc::scrollLevelGraph;
};

class BandDisplays : public ScreenTest<BandCalc> {
protected:
    static ChannelSpec Spec(std::int16_t oct1or3, double rate, std::int64_t values, std::int64_t windowStart = 0,
                            std::int64_t width = 60) {
        ChannelSpec c;
        c.oct1or3 = oct1or3;
        c.rate = rate;
        c.values = values;
        c.windowStart = windowStart;
        c.windowWidth = width;
        return c;
    }
    // The date `seconds` after the measurement's start, as the read-outs show it.
    static std::string At(double seconds) {
        return platform::FormatDisplayDate(platform::AddSeconds(kMeasureStart, seconds));
    }
    double WindowStartSec() const {
        return static_cast<double>(
            platform::WholeSecondsBetween(kMeasureStart, calc.Shown().channel->CalcXYAxis.XAxisMin.AsDouble()));
    }
    int VisibleCells(const std::array<platform::Label, 45>& labels) const {
        int n = 0;
        for (const platform::Label& l : labels) {
            n += l.Visible ? 1 : 0;
        }
        return n;
    }
    void Choose(platform::ComboBox& list, int index, void (frmOctCalc::*click)()) {
        list.ListIndex = index;
        (calc.*click)();
    }
    // Statistics over every whole series: an excluded range far beyond the files.
    void ComputeAllBands() { calc.addCalcDelArea(9'000'000, 9'000'001); }
};

float Constant50(std::int64_t) { return 50.0f; }
float Constant40(std::int64_t) { return 40.0f; }

TEST_F(BandDisplays, PanelsAndChartsFollowTheBandType) {
    AddMeasure(60, {Spec(3, 10, 600), Spec(1, 10, 600)});
    Channel(1, 1).HzYAxis.XAxisUnit = 1;  // automatic top
    Channel(1, 1).HzYAxis.YAxisMin = 20.0;
    Channel(1, 2).HzYAxis.XAxisUnit = 0;
    Channel(1, 2).HzYAxis.YAxisMax = 90.0;
    Show(1);
    EXPECT_EQ(VisibleCells(calc.lblHz), 45);
    EXPECT_EQ(VisibleCells(calc.lbldB), 45);
    EXPECT_EQ(calc.lblCalcHz[42].Caption, "[12_5kHz]");
    EXPECT_EQ(calc.chartCalcFFT.BarCount(), 47);
    EXPECT_TRUE(calc.chartCalcFFT.AutomaticTop());
    EXPECT_EQ(calc.chartCalcFFT.LevelBottom(), 20.0);
    EXPECT_EQ(calc.lblFdB.ForeColor, (platform::ControlColor{255, 0, 0}));

    ChooseChannel(1);
    EXPECT_EQ(VisibleCells(calc.lblHz), 15);
    EXPECT_EQ(VisibleCells(calc.lblCalcdB), 15);
    EXPECT_EQ(calc.lblHz[7].Caption, "[1Hz]");
    EXPECT_FALSE(calc.lblHz[0].Visible);
    EXPECT_EQ(calc.chartCSFFT.BarCount(), 17);
    EXPECT_EQ(calc.chartCSFFT.BandMax(), 17.0);
    EXPECT_EQ(calc.chartCSFFT.BandMarks().back(), (platform::BandAxisMark{"W", 16.75}));
    EXPECT_FALSE(calc.chartCSFFT.AutomaticTop());
    EXPECT_EQ(calc.chartCSFFT.LevelTop(), 90.0);
    // The cursor panel at position 1 of the octave files: 16 kHz (slot 3) in element 36.
    EXPECT_EQ(calc.lbldB[36].Caption, "0.1dB");
    EXPECT_EQ(calc.lbldB[35].Caption, "---");  // slot 4 has no file

    ChooseChannel(0);
    EXPECT_EQ(VisibleCells(calc.lblHz), 45);
    EXPECT_EQ(calc.lblHz[0].Caption, "[0.8Hz]");
}

float EdgeLevels(std::int64_t p) { return p == 1 ? -60.0f : LevelAt(p); }
float JustAbove(std::int64_t p) { return p == 1 ? -59.96f : LevelAt(p); }
float NoValueSentinel(std::int64_t p) { return p == 1 ? -10.0f : LevelAt(p); }

TEST_F(BandDisplays, CursorPanelShowsEverySlotAtTheCursor) {
    AddMeasure(60, {Spec(3, 10, 0)});
    const CChMeasure& ch = Channel(1, 1);
    WriteLevels(ch, 1, 600);
    WriteLevels(ch, 2, 600, NoValueSentinel);
    WriteLevels(ch, 3, 600, EdgeLevels);
    WriteLevels(ch, 5, 600, JustAbove);
    Show(1);
    EXPECT_EQ(calc.lblFdB.Caption, "0.1dB");
    EXPECT_EQ(calc.lblAdB.Caption, "-10.0dB");     // the panel shows what the file holds
    EXPECT_EQ(calc.lbldB[44].Caption, "---");      // -60.0
    EXPECT_EQ(calc.lbldB[42].Caption, "-60.0dB");  // -59.96
    EXPECT_EQ(calc.lbldB[43].Caption, "---");      // no file: no value, drawn at -60
    const std::vector<double>& bars = calc.chartCSFFT.Levels();
    EXPECT_EQ(bars[45], -60.0);
    EXPECT_NEAR(bars[43], -59.96, 1e-5);
    EXPECT_EQ(bars[44], -60.0);
    EXPECT_EQ(calc.CursorBandValue(3), -60.0);
    EXPECT_FALSE(calc.CursorBandValue(4));

    // Where the cursor lands on exactly -10.0 dB there is no value: blank read-outs, empty panel.
    calc.moveCursorTo(1);
    EXPECT_EQ(calc.lblCLp.Caption, " ");
    EXPECT_EQ(calc.lblFdB.Caption, "  ");
    EXPECT_EQ(calc.lbldB[44].Caption, " ");
}

// Former bug: a band whose level file was missing when it was first read showed no data until the
// return to the main screen, also once the file was back: the chart, the cursor panel and its copy.
TEST_F(BandDisplays, ALevelFileThatComesBackIsReadWhenItsBandIsShownAgain) {
    AddMeasure(60, {Spec(3, 10, 600)});  // no file of slot 4
    Show(1);
    ChooseBand(4);
    EXPECT_EQ(calc.Chart2DLevelWave.LevelCount(), 0);
    EXPECT_FALSE(calc.CursorBandValue(4));
    WriteLevels(Channel(1, 1), 4, 600);
    ChooseBand(5);
    ChooseBand(4);
    EXPECT_EQ(calc.Chart2DLevelWave.LevelCount(), 600);
    EXPECT_EQ(calc.lbldB[43].Caption, "0.1dB");
    ASSERT_TRUE(calc.CursorBandValue(4));
    EXPECT_NEAR(*calc.CursorBandValue(4), 0.1, 1e-6);
}

TEST_F(BandDisplays, GraphAxisOkKeepsTheCursorBarsUnderTheNewAxis) {
    AddMeasure(60, {Spec(3, 10, 600)});
    Show(1);
    ui.OnModal("frmSetCalcGraph", [](platform::Form& f) {
        auto& d = static_cast<frmSetCalcGraph&>(f);
        for (int i = 0; i < d.cmbHzGraphMaxY.ListCount() && d.cmbHzGraphMaxY.SelectedData() != 90; ++i) {
            d.cmbHzGraphMaxY.ListIndex = i;
        }
        d.cmdOK_Click();
    });
    calc.cmdSetLevelWave_Click();
    EXPECT_EQ(calc.chartCSFFT.LevelTop(), 90.0);
    EXPECT_EQ(calc.lblCLp.Caption, "Ｌp 0.1dB");
    // Slots 1, 2, 3 and 5 hold 0.1 dB at the cursor's first sample, the others no file: the bars
    // show it, as the labels do.
    std::vector<double> bars(47, -60.0);
    for (const std::int16_t slot : {1, 2, 3, 5}) {
        bars[static_cast<std::size_t>(BandLayout(3).DisplayPosition(slot) - 1)] = static_cast<double>(0.1f);
    }
    EXPECT_EQ(calc.chartCSFFT.Levels(), bars);
    EXPECT_EQ(calc.lblFdB.Caption, "0.1dB");
}

// The cursor read-out of a level at or below -60 dB is "---", as in the panels: at the window's
// start after a redraw, under the mouse, and where moveCursorTo lands.
struct LowLevel {
    const char* name;
    float level;
    std::string lp;
};

float g_lowLevel = 0.0f;
float LowAt1And35(std::int64_t p) { return p == 1 || p == 35 ? g_lowLevel : LevelAt(p); }

class CursorReadOut : public BandDisplays, public ::testing::WithParamInterface<LowLevel> {};

TEST_P(CursorReadOut, OfALowLevel) {
    g_lowLevel = GetParam().level;
    AddMeasure(60, {Spec(3, 10, 0)});
    for (const std::int16_t slot : {1, 2}) {
        WriteLevels(Channel(1, 1), slot, 600, LowAt1And35);
    }
    Show(1);
    EXPECT_EQ(calc.lblCLp.Caption, GetParam().lp) << "after the redraw";
    calc.Chart2DLevelWave.SetPlotRect({100, 20, 400, 200});
    calc.Chart2DLevelWave_MouseMove(0, 50, 120);  // left of the plot: its first point
    ASSERT_EQ(calc.Chart2DLevelWave.CursorPoint(), 1);
    EXPECT_EQ(calc.lblCLp.Caption, GetParam().lp) << "under the mouse";
    calc.moveCursorTo(35);
    EXPECT_EQ(calc.lblCLp.Caption, GetParam().lp) << "moved to";
}

INSTANTIATE_TEST_SUITE_P(Cases, CursorReadOut,
                         ::testing::Values(LowLevel{"NoPower", -1000.0f, "Ｌp ---dB"},
                                           LowLevel{"FilterStart", -508.6f, "Ｌp ---dB"},
                                           LowLevel{"Exactly60Below", -60.0f, "Ｌp ---dB"},
                                           LowLevel{"JustAbove", -59.96f, "Ｌp -60.0dB"},
                                           LowLevel{"Quiet", 12.34f, "Ｌp 12.3dB"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct MoveCase {
    const char* name;
    std::int32_t pos;
    double windowStartSec;
    std::int32_t cursorPoint;
    std::string lp;  // " " without a value
    double timeSec;  // of the read-out, when there is a value
};

class CursorMoves : public BandDisplays, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(CursorMoves, MoveCursorToHoldsTheWindowInTheMeasurement) {
    const MoveCase& c = GetParam();
    AddMeasure(3600, {Spec(3, 1, 3600)});
    Show(1);
    calc.moveCursorTo(c.pos);
    EXPECT_EQ(WindowStartSec(), c.windowStartSec);
    EXPECT_EQ(calc.Chart2DLevelWave.CursorPoint(), c.cursorPoint);
    EXPECT_EQ(calc.lblCLp.Caption, c.lp);
    EXPECT_EQ(calc.lblCymdhms.Caption, c.lp == " " ? " " : At(c.timeSec));
    if (c.lp == " ") {
        EXPECT_EQ(calc.lblFdB.Caption, "  ");
    } else {
        const auto sample = static_cast<std::int64_t>(c.windowStartSec) + c.cursorPoint;
        EXPECT_EQ(calc.lblFdB.Caption, platform::FormatNumber(LevelAt(sample), "0.0") + "dB");
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, CursorMoves,
                         ::testing::Values(MoveCase{"Rate1Pos100", 100, 99, 1, "Ｌp 10.0dB", 99},
                                           MoveCase{"BeforeTheStart", 0, 0, 1, "Ｌp 0.1dB", 0},
                                           MoveCase{"BeyondTheEnd", 5000, 3600, 1400, " ", 0}),
                         [](const auto& info) { return std::string(info.param.name); });

// The cursor shows its sample's time cut to the second, as the range lists and the CSVs give it:
// sample 9758 at 10 values a second lies 975.7 s after the start, which reads 975 s where
// moveCursorTo lands, in the cursor panel's copy and, for every point, under the mouse.
TEST_F(BandDisplays, TheCursorShowsItsSamplesSecondAsTheListsDo) {
    AddMeasure(3600, {Spec(3, 10, 36000)});
    for (std::int16_t slot = 1; slot <= 3; ++slot) {
        Channel(1, 1).BandLCalcInfos.Item(slot).MarkScopes.Add(CScope(std::int32_t{9758}, std::int32_t{9766}));
    }
    Show(1);
    calc.moveCursorTo(9758);
    EXPECT_EQ(calc.lblCymdhms.Caption, At(975));
    EXPECT_EQ(calc.lstMarkArea.List(0), "No.001 " + At(975) + " ～ " + At(976));
    calc.cmdCopyCursor_Click();
    EXPECT_NE(ui.ClipboardText().find(At(975) + " 動特性"), std::string::npos) << ui.ClipboardText();
    calc.Chart2DLevelWave.SetPlotRect({100, 20, 400, 200});
    for (int x = 100; x < 500; x += 7) {
        calc.Chart2DLevelWave_MouseMove(0, x, 120);
        const std::int32_t k = calc.Chart2DLevelWave.CursorPoint();
        EXPECT_EQ(calc.lblCymdhms.Caption, At(975 + std::floor((k - 1) / 10.0))) << "point " << k;
    }
}

TEST_F(BandDisplays, ScrollButtonsKeepTheCursorOnItsSample) {
    AddMeasure(3600, {Spec(3, 1, 3600, 0, 60)});
    Show(1);
    calc.cmbScrollSec.ListIndex = 9;  // 10 s
    calc.cmbLeftScroll_Click();
    EXPECT_EQ(WindowStartSec(), 0);

    calc.Chart2DLevelWave.SetCursorPoint(31);  // sample 31
    calc.ChartController().SetReadOut({"Ｌp 3.1dB", "as it was"});
    calc.cmbRightScroll_Click();
    EXPECT_EQ(WindowStartSec(), 10);
    EXPECT_EQ(calc.Chart2DLevelWave.CursorPoint(), 21);
    EXPECT_EQ(calc.lblCymdhms.Caption, "as it was");
    EXPECT_EQ(calc.lblFdB.Caption, "3.1dB");
    calc.cmbScrollSec.ListIndex = 29;  // 30 s: the sample leaves the window
    calc.cmbRightScroll_Click();
    EXPECT_EQ(calc.Chart2DLevelWave.CursorPoint(), 1);
    EXPECT_EQ(calc.lblCymdhms.Caption, At(40));

    calc.moveCursorTo(3581);
    calc.cmbRightScroll_Click();  // 3610 s: held at the measurement's end
    EXPECT_EQ(WindowStartSec(), 3600);
    EXPECT_EQ(calc.lblCLp.Caption, " ");
}

TEST_F(BandDisplays, SearchesGoToTheStoredPositionOrSaySoWhenThereIsNone) {
    AddMeasure(3600, {Spec(3, 1, 3600)});
    Show(1);
    calc.cmdSearchLmax_Click();
    calc.cmdSearchDelCalc_Click();
    calc.cmdSearchMark_Click();
    calc.cmdSearchLE_Click();  // silent
    ASSERT_EQ(ui.Messages().size(), 3u);
    const char* texts[] = {"Ｌmaxが存在しません.", "検索したい計算除外範囲を選択してください.",
                           "検索したいマーク範囲を選択してください."};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(ui.Messages()[static_cast<std::size_t>(i)].Text, texts[i]);
        EXPECT_EQ(ui.Messages()[static_cast<std::size_t>(i)].Title, "お知らせ");
        EXPECT_EQ(ui.Messages()[static_cast<std::size_t>(i)].Icon, platform::MsgIcon::Information);
    }
    EXPECT_EQ(WindowStartSec(), 0);

    calc.addCalcDelArea(200, 300);
    calc.addMarkArea(1500, 1600);
    calc.setLEArea(2500, 2600);
    const std::pair<void (frmOctCalc::*)(), double> searches[] = {{&frmOctCalc::cmdSearchDelCalc_Click, 199},
                                                                  {&frmOctCalc::cmdSearchMark_Click, 1499},
                                                                  {&frmOctCalc::cmdSearchLE_Click, 2499},
                                                                  // the maximum of 0.1 .. 360.0 outside 200..300
                                                                  {&frmOctCalc::cmdSearchLmax_Click, 3599}};
    for (const auto& [search, start] : searches) {
        (calc.*search)();
        EXPECT_EQ(WindowStartSec(), start);
        EXPECT_EQ(calc.Chart2DLevelWave.CursorPoint(), 1);
    }
    EXPECT_EQ(ui.Messages().size(), 3u);
}

// At 10 values per second a search puts the cursor on the very sample it looks for, in either
// half of a second: the window starts at the whole second at or before it.
enum class Search { Lmax, Excluded, Mark, LE };

struct SearchCase {
    const char* name;
    Search search;
    std::int32_t pos;  // the maximum, or the start of the range searched
};

std::int64_t g_peakAt = 0;
float PeakAtGiven(std::int64_t p) { return p == g_peakAt ? 95.0f : LevelAt(p); }

class SearchLands : public BandDisplays, public ::testing::WithParamInterface<SearchCase> {};

TEST_P(SearchLands, OnThePositionSearched) {
    const SearchCase& c = GetParam();
    g_peakAt = c.search == Search::Lmax ? c.pos : 0;
    AddMeasure(60, {Spec(3, 10, 0)});
    for (const std::int16_t slot : {1, 2, 3}) {
        WriteLevels(Channel(1, 1), slot, 600, PeakAtGiven);
    }
    Show(1);
    switch (c.search) {
    case Search::Lmax:
        ComputeAllBands();
        calc.cmdSearchLmax_Click();
        EXPECT_EQ(calc.lblCLp.Caption, "Ｌp " + calc.lblLmax.Caption);
        break;
    case Search::Excluded:
        calc.addCalcDelArea(c.pos, c.pos + 1);
        calc.cmdSearchDelCalc_Click();
        break;
    case Search::Mark:
        calc.addMarkArea(c.pos, c.pos + 1);
        calc.cmdSearchMark_Click();
        break;
    case Search::LE:
        calc.setLEArea(c.pos, c.pos + 1);
        calc.cmdSearchLE_Click();
        break;
    }
    const double sample = WindowStartSec() * 10.0 + calc.Chart2DLevelWave.CursorPoint();
    EXPECT_EQ(sample, c.pos);
    EXPECT_EQ(calc.lblCLp.Caption, "Ｌp " + platform::FormatNumber(PeakAtGiven(c.pos), "0.0") + "dB");
    EXPECT_EQ(calc.lblFdB.Caption, platform::FormatNumber(PeakAtGiven(c.pos), "0.0") + "dB");
}

INSTANTIATE_TEST_SUITE_P(Cases, SearchLands,
                         ::testing::Values(SearchCase{"LmaxOnASecond", Search::Lmax, 51},
                                           SearchCase{"LmaxHalfWay", Search::Lmax, 56},
                                           SearchCase{"LmaxLastOfASecond", Search::Lmax, 60},
                                           SearchCase{"ExcludedLateInASecond", Search::Excluded, 358},
                                           SearchCase{"MarkLateInASecond", Search::Mark, 127},
                                           SearchCase{"LELateInASecond", Search::LE, 599}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- The statistic chooser

constexpr int kLeq = 0, kLmin = 101, kLFmax = 102, kLWmax = 103, kLE = 104;

TEST_F(BandDisplays, StatisticPanelShowsTheChosenStatisticOfEverySlot) {
    AddMeasure(60, {Spec(3, 10, 600)});
    WriteLevels(Channel(1, 1), 3, 600, Constant50);
    WriteLevels(Channel(1, 1), 47, 600, Constant40);
    Show(1);
    EXPECT_EQ(calc.lblCalcdB[44].Caption, "---");  // no statistics yet
    ComputeAllBands();
    // The refresh after the edit chose "Ｌeq".
    EXPECT_EQ(calc.cmbCalcL.ListIndex, kLeq);
    EXPECT_EQ(calc.lblCalcdB[44].Caption, "50.0dB");  // 20 kHz
    EXPECT_EQ(calc.lblCalcdB[0].Caption, "40.0dB");   // 0.8 Hz
    EXPECT_EQ(calc.lblCalcdB[43].Caption, "---");     // no file
    EXPECT_EQ(calc.chartCalcFFT.Levels()[45], 50.0);
    EXPECT_EQ(calc.chartCalcFFT.Levels()[1], 40.0);
    EXPECT_EQ(calc.chartCalcFFT.Levels()[44], -60.0);
    const std::uint64_t copies = calc.chartCalcFFT.LevelCopies();

    Choose(calc.cmbCalcL, kLmin, &frmOctCalc::cmbCalcL_Click);
    EXPECT_EQ(calc.lblCalcdB[0].Caption, "40.0dB");
    EXPECT_EQ(calc.lblCalcFdB.Caption, "0.1dB");
    EXPECT_EQ(calc.chartCalcFFT.LevelCopies(), copies + 1);  // one copy of the whole array

    Choose(calc.cmbCalcL, kLE, &frmOctCalc::cmbCalcL_Click);
    EXPECT_EQ(calc.lblCalcFdB.Caption, "---");
    EXPECT_EQ(calc.lblCalcdB[44].Caption, "---");
    EXPECT_FALSE(calc.CalcBandValue(3));

    Choose(calc.cmbLx, 99, &frmOctCalc::cmbLx_Click);  // "min"
    EXPECT_EQ(calc.Shown().channel->CalcXYAxis.Lx, 100);
    EXPECT_EQ(calc.lblLx.Caption, "0.1dB");  // W: 0.1 .. 60.0
}

// Former bug: a band whose histogram file was gone showed Leq and Lx of -60 dB beside its real Lmax,
// without a word. It shows no figures, and the screen names, when it shows the measurement, the bands
// whose statistics or level files are missing.
TEST_F(BandDisplays, BandsWhoseFilesAreMissingShowNothingAndAreNamed) {
    AddMeasure(60, {Spec(3, 10, 600)});
    Show(1);
    ComputeAllBands();
    CChMeasure& ch = Channel(1, 1);
    CScopes whole;
    whole.Add(CScope(std::int32_t{1}, std::int32_t{600}));
    ASSERT_TRUE(ch.BandLCalcInfos.Item(5).AllLCalc.resetNew(whole, ch.LevelData, GetBandFolder(ProjectPath(), 3, 5)));
    DeleteFileIn(GetLCalcFolder(ProjectPath()), ch.BandLCalcInfos.Item(2).LCalc.LxData.SaveFileName);
    DeleteFileIn(GetLCalcFolder(ProjectPath()), ch.BandLCalcInfos.Item(3).LCalc.LxData.SaveFileName);
    fs::remove(*ch.LevelData.PathIn(GetBandFolder(ProjectPath(), 3, 5)));
    calc.cmdREC_Click();
    ui.ClearTranscript();
    Show(1);
    ChooseBand(2);
    EXPECT_TRUE(ui.Messages().empty());  // told once the screen shows
    calc.Form_Activate();
    calc.Form_Activate();
    const std::string line = "No.1 measure 1　1ch ";
    EXPECT_EQ(ui.MessageTexts(),
              std::vector<std::string>{"次の測定とバンドの統計データがありません．\r\nその統計値は表示されません．\r\n\r\n" +
                                       line + std::string(GetBandName(3, 2)) + ", " + std::string(GetBandName(3, 3)) +
                                       "\r\n\r\n次の測定とバンドのレベル波形データがありません．\r\n"
                                       "レベル波形データから求める値は表示されません．\r\n\r\n" +
                                       line + std::string(GetBandName(3, 5))});
    for (const platform::Label* label : {&calc.lblLeq, &calc.lblLmax, &calc.lblL5, &calc.lblL50, &calc.lblLx}) {
        EXPECT_EQ(label->Caption, "---dB");
    }
    EXPECT_FALSE(calc.CalcBandValue(2));
    EXPECT_FALSE(calc.CalcBandValue(3));
    EXPECT_TRUE(calc.CalcBandValue(1));
    // Navigating to the measurement again while the screen shows it tells nothing more.
    Show(1);
    EXPECT_EQ(ui.Messages().size(), 1u);
}

// F and W peak at position 50 and tell every other position by its value; every band file holds
// its position over ten.
float PeakAt50(std::int64_t p) { return p == 50 ? 100.0f : static_cast<float>(p % 1000) / 100.0f; }

struct MaxCase {
    const char* name;
    double rate;
    std::int16_t w;
    int item;
    std::int64_t flatRead;  // where slot 1's value is read
    bool bandsDelayed;      // the bands read at their own delayed position
};

class AtTheMaximum : public BandDisplays, public ::testing::WithParamInterface<MaxCase> {};

TEST_P(AtTheMaximum, BandsAreReadAtTheReferenceMaximum) {
    const MaxCase& c = GetParam();
    ChannelSpec spec = Spec(3, c.rate, 0);
    spec.w = c.w;
    AddMeasure(60, {spec});
    const std::int64_t n = static_cast<std::int64_t>(60 * c.rate);
    for (std::int16_t slot = 1; slot <= 47; ++slot) {
        WriteLevels(Channel(1, 1), slot, n, slot <= 2 ? PeakAt50 : LevelAt);
    }
    Show(1);
    ComputeAllBands();
    Choose(calc.cmbCalcL, c.item, &frmOctCalc::cmbCalcL_Click);
    EXPECT_EQ(calc.CalcBandValue(1), static_cast<double>(PeakAt50(c.flatRead)));
    for (const std::int16_t slot : {std::int16_t{3}, std::int16_t{20}, std::int16_t{47}}) {
        const std::int32_t at = c.bandsDelayed ? AddBandDelay(3, slot, 50, c.rate) : 50;
        EXPECT_EQ(calc.CalcBandValue(slot), static_cast<double>(LevelAt(at))) << slot;
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, AtTheMaximum,
                         // Slot 1's own delay is 2 ms: no whole value at 100 values/s, two at 1,000.
                         ::testing::Values(MaxCase{"LFmaxAt100", 100, 3, kLFmax, 50, true},
                                           MaxCase{"LFmaxAt1000", 1000, 3, kLFmax, 52, true},
                                           MaxCase{"LWmaxWithA", 1000, 3, kLWmax, 52, true},
                                           MaxCase{"LWmaxWithUserCharacteristic", 1000, 6, kLWmax, 50, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(BandDisplays, MaximumAtTheSeriesEndLeavesDelayedBandsWithoutValue) {
    AddMeasure(60, {Spec(3, 10, 0)});
    for (std::int16_t slot = 1; slot <= 47; ++slot) {
        WriteLevels(Channel(1, 1), slot, 600);  // rising: the maximum is the last value
    }
    Show(1);
    ComputeAllBands();
    Choose(calc.cmbCalcL, kLFmax, &frmOctCalc::cmbCalcL_Click);
    EXPECT_EQ(calc.lblCalcFdB.Caption, "60.0dB");
    EXPECT_EQ(calc.lblCalcdB[0].Caption, "---");  // 0.8 Hz: its delay passes the file's end
    EXPECT_EQ(calc.chartCalcFFT.Levels()[1], -60.0);
}

// A band whose own target ranges are all excluded has no ＬFmax or ＬWmax, in the panel and in its
// copy, while its neighbours keep the level at the reference maximum.
class MaximumOfAnEmptyBand : public BandDisplays, public ::testing::WithParamInterface<int> {};

TEST_P(MaximumOfAnEmptyBand, ShowsNoValue) {
    AddMeasure(60, {Spec(3, 10, 0)});
    for (std::int16_t slot = 1; slot <= 47; ++slot) {
        WriteLevels(Channel(1, 1), slot, 600, slot <= 2 ? PeakAt50 : LevelAt);
    }
    Show(1);
    ComputeAllBands();
    ChooseBand(20);  // 400 Hz: panel element 27
    calc.optAreaBand.Select(1);
    calc.addCalcDelArea(1, 600);
    Choose(calc.cmbCalcL, GetParam(), &frmOctCalc::cmbCalcL_Click);
    const std::string neighbour = platform::FormatNumber(LevelAt(AddBandDelay(3, 19, 50, 10.0)), "0.0");
    EXPECT_EQ(calc.lblCalcdB[27].Caption, "---");
    EXPECT_EQ(calc.lblCalcdB[28].Caption, neighbour + "dB");
    EXPECT_EQ(calc.chartCalcFFT.Levels()[static_cast<std::size_t>(BandLayout(3).DisplayPosition(20) - 1)], -60.0);

    calc.cmdCopyCalc_Click();
    EXPECT_NE(ui.ClipboardText().find("\r\n[400Hz] , ---\r\n[500Hz] , " + neighbour + "\r\n"), std::string::npos)
        << ui.ClipboardText();
}

INSTANTIATE_TEST_SUITE_P(Cases, MaximumOfAnEmptyBand, ::testing::Values(kLFmax, kLWmax));

// ---- Dragging on the level chart, in pixels of a plot 400 wide from column 100

constexpr int kLeft = 100, kTop = 20, kMid = 120;

struct Drag {
    const char* name;
    std::vector<platform::ChartMouseEvent> events;  // Down, Move and Up; clicks as the chart reports them
    std::optional<std::pair<std::int32_t, std::int32_t>> range;
};

using Kind = platform::ChartMouseEvent::Kind;
platform::ChartMouseEvent Down(int x, int y = kMid, int b = 1) { return {Kind::Down, b, x, y}; }
platform::ChartMouseEvent Move(int x, int y = kMid, int b = 1) { return {Kind::Move, b, x, y}; }
platform::ChartMouseEvent Up(int x, int y = kMid, int b = 1) { return {Kind::Up, b, x, y}; }

class Dragging : public BandDisplays, public ::testing::WithParamInterface<Drag> {
protected:
    // A window 30 s in, 20 s wide at 10 values/s: 201 points, two columns each.
    void ShowWindow(std::int64_t values = 600) {
        AddMeasure(60, {Spec(3, 10, values, 30, 20)});
        Show(1);
        calc.Chart2DLevelWave.SetPlotRect({kLeft, kTop, 400, 200});
    }
    void Play(const std::vector<platform::ChartMouseEvent>& events) {
        platform::ChartMouseTranslator chart;
        for (const platform::ChartMouseEvent& e : events) {
            const auto delivered = e.kind == Kind::Down   ? chart.Press(e.button, e.x, e.y)
                                   : e.kind == Kind::Move ? chart.Move(e.button, e.x, e.y)
                                                          : chart.Release(e.button, e.x, e.y);
            for (const platform::ChartMouseEvent& d : delivered) {
                switch (d.kind) {
                case Kind::Down: calc.Chart2DLevelWave_MouseDown(d.button, d.x, d.y); break;
                case Kind::Move: calc.Chart2DLevelWave_MouseMove(d.button, d.x, d.y); break;
                case Kind::Click: calc.Chart2DLevelWave_Click(); break;
                case Kind::Up: calc.Chart2DLevelWave_MouseUp(d.button, d.x, d.y); break;
                }
            }
        }
    }
    std::vector<std::pair<std::int32_t, std::int32_t>> Excluded() const {
        std::vector<std::pair<std::int32_t, std::int32_t>> list;
        for (const auto& r : calc.Shown().channel->BandLCalcInfos.Item(2).Scopes) {
            list.emplace_back(static_cast<std::int32_t>(r->S.AsDouble()), static_cast<std::int32_t>(r->E.AsDouble()));
        }
        return list;
    }
};

TEST_P(Dragging, ReleaseHandsThePositionsOfTheBand) {
    ShowWindow();
    Play(GetParam().events);
    std::vector<std::pair<std::int32_t, std::int32_t>> expected;
    if (GetParam().range) {
        expected.push_back(*GetParam().range);
    }
    EXPECT_EQ(Excluded(), expected);
    EXPECT_TRUE(calc.Chart2DLevelWave.CursorShown());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Dragging,
    ::testing::Values(
        // Points 11 and 21 lie in columns 120 and 140 of the plot; 300 values come before the window.
        Drag{"LeftToRight", {Down(120), Move(130), Move(140), Up(140)}, {{311, 321}}},
        Drag{"RightToLeft", {Down(140), Move(120), Up(120)}, {{311, 321}}},
        // The last column strictly inside is 498 (point 200); a release outside keeps column 490.
        Drag{"PastTheRightEdge", {Down(480), Move(490), Move(560), Up(560)}, {{491, 496}}},
        Drag{"ToTheEdge", {Down(480), Move(498), Move(499), Up(499)}, {{491, 500}}},
        Drag{"BackToItsStart", {Down(120), Move(130), Move(120), Up(120)}, {{311, 311}}},
        Drag{"PureClick", {Down(120), Up(120)}, std::nullopt},
        Drag{"PressOutsideThePlot", {Down(90), Move(140), Up(140)}, std::nullopt},
        Drag{"RightButton", {Down(120, kMid, 2), Move(140, kMid, 2), Up(140, kMid, 2)}, std::nullopt}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(Dragging, BandFollowsTheMouseOnlyInsideThePlot) {
    ShowWindow();
    Play({Down(120), Move(130)});
    EXPECT_FALSE(calc.Chart2DLevelWave.CursorShown());
    EXPECT_EQ(calc.Chart2DLevelWave.RubberBandShown(), (platform::RubberBand{120, kTop + 1, 130, kTop + 198}));
    Play({Move(150, kTop)});  // on the plot's top row: frozen
    EXPECT_EQ(calc.Chart2DLevelWave.RubberBandShown()->right, 130);
    // The read-outs follow the mouse all the while: point 26 at 32.5 s.
    EXPECT_EQ(calc.lblCLp.Caption, "Ｌp 32.6dB");
    EXPECT_EQ(calc.lblCymdhms.Caption, At(32));
}

TEST_F(Dragging, NoDragOverFewerThanTwoPoints) {
    ShowWindow(301);  // one value in the window
    Play({Down(120), Move(140), Up(140)});
    EXPECT_TRUE(Excluded().empty());
    EXPECT_FALSE(calc.Chart2DLevelWave.RubberBandShown());
    EXPECT_EQ(calc.lblCLp.Caption, "Ｌp 30.1dB");  // the nearest of its one point
}

TEST_F(Dragging, OptionsChooseTheProcedure) {
    ShowWindow();
    CBandLCalcInfo& w = Channel(1, 1).BandLCalcInfos.Item(2);
    const auto drag = [&](int option) {
        calc.optMouseAction.Select(option);
        calc.optAreaBand.Select(1);
        Play({Down(120), Move(140), Up(140)});
    };
    drag(2);
    ASSERT_EQ(w.LEScopes.count(), 1);
    EXPECT_EQ(w.LEScopes.Item(1).S.AsDouble(), 311);
    drag(3);
    ASSERT_EQ(w.MarkScopes.count(), 1);
    EXPECT_EQ(w.MarkScopes.Item(1).E.AsDouble(), 321);
    drag(4);
    EXPECT_EQ(w.MarkScopes.count(), 0);
    drag(0);
    EXPECT_EQ(Excluded(), (std::vector<std::pair<std::int32_t, std::int32_t>>{{311, 321}}));
    drag(1);
    EXPECT_TRUE(Excluded().empty());
    drag(3);
    drag(-1);  // none chosen: the marks are erased
    EXPECT_EQ(w.MarkScopes.count(), 0);
}

// The band files are opened when the measurement is shown and kept while the screen shows it: mouse
// moves, cursor steps and a new set-up of the same measurement read what the files hold without
// opening one. After a return to the main screen, where files may change, they are read afresh.
TEST_F(Dragging, BandFilesStayOpenWhileTheMeasurementIsShown) {
    ShowWindow();
    const auto level = [](std::int64_t p) { return std::optional<double>(LevelAt(p)); };
    // The sample under the cursor: the values before the window (10 a second), then the point.
    const auto cursorSample = [&] {
        return static_cast<std::int64_t>(WindowStartSec()) * 10 + calc.Chart2DLevelWave.CursorPoint();
    };
    const std::uint64_t opens = platform::ReadOpensForTests();
    for (const int x : {120, 300, 497}) {
        calc.Chart2DLevelWave_MouseMove(0, x, kMid);
        EXPECT_EQ(calc.CursorBandValue(1), level(cursorSample())) << x;
        EXPECT_EQ(calc.CursorBandValue(5), level(cursorSample())) << x;
        EXPECT_FALSE(calc.CursorBandValue(4)) << x;  // no file
    }
    calc.cmbRightScroll_Click();
    calc.moveCursorTo(105);
    EXPECT_EQ(calc.CursorBandValue(2), level(cursorSample()));
    Show(1);
    EXPECT_EQ(calc.CursorBandValue(3), level(cursorSample()));
    EXPECT_EQ(platform::ReadOpensForTests(), opens);

    // Back on the main screen the F band's file is replaced by another: shown again, it reads 40 dB.
    calc.cmdREC_Click();
    const std::string flat = *Channel(1, 1).LevelData.PathIn(GetBandFolder(ProjectPath(), 3, 1));
    fs::rename(flat, flat + ".old");
    WriteLevels(Channel(1, 1), 1, 600, Constant40);
    Show(1);
    EXPECT_EQ(calc.CursorBandValue(1), 40.0);
    EXPECT_EQ(calc.CursorBandValue(2), level(cursorSample()));
}

}  // namespace
}  // namespace murtesk::testing
