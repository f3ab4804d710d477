// The level chart of the calculation screen on real level files: the window's points, the read-outs,
// the scroll bar and what moving it does, the dialogs' hand-overs, windows that cannot be drawn,
// and the range overlay.
#include "calc_fixture.h"

#include "frmHorizontalLine.h"

namespace murtesk::testing {
namespace {

using LevelChart = CalcScreenTest;

ChannelSpec Rate10(std::int64_t values, std::int64_t windowStart = 0, std::int64_t width = 60) {
    ChannelSpec c;
    c.values = values;
    c.windowStart = windowStart;
    c.windowWidth = width;
    return c;
}

TEST_F(LevelChart, DrawsTheWindowsValuesWithTheCursorOnTheFirst) {
    AddMeasure(3600, {Rate10(36000, 30)});
    Show(1);
    const platform::LevelChartModel& chart = calc.Chart2DLevelWave;
    ASSERT_EQ(chart.LevelCount(), 601);
    EXPECT_EQ(chart.LevelPoint(1).y, LevelAt(301));
    EXPECT_EQ(chart.LevelPoint(601).y, LevelAt(901));
    EXPECT_DOUBLE_EQ(chart.LevelPoint(601).x, 60.0);
    EXPECT_EQ(chart.XMin(), 0.0);
    EXPECT_EQ(chart.XMax(), 60.0);
    EXPECT_EQ(chart.YMax(), 120.0);
    EXPECT_EQ(chart.TimeLabel(0.0), "15日 09:00:30");
    EXPECT_EQ(chart.CursorPoint(), 1);
    EXPECT_EQ(calc.lblCLp.Caption, "Ｌp 30.1dB");
    EXPECT_EQ(calc.lblCymdhms.Caption, "2023/03/15 09:00:30");
    EXPECT_TRUE(chart.Line().empty());
    EXPECT_FALSE(chart.LevelMarker());
    // The whole set-up asked the chart for one repaint.
    EXPECT_EQ(chart.Repaints(), 1u);
}

TEST_F(LevelChart, ScrollBarFollowsTheWindow) {
    AddMeasure(3600, {Rate10(0, 900), Rate10(0, 0, 3600), Rate10(0, 10, 3600)});
    Show(1);
    EXPECT_EQ(std::vector<int>(
                  {calc.scrGraph.Max, calc.scrGraph.LargeChange, calc.scrGraph.SmallChange, calc.scrGraph.Value}),
              std::vector<int>({1000, 17, 2, 250}));
    ChooseChannel(1);
    EXPECT_EQ(calc.scrGraph.Max, 0);
    EXPECT_EQ(calc.scrGraph.LargeChange, 32767);
    ChooseChannel(2);
    EXPECT_EQ(calc.scrGraph.Max, 1000);
    EXPECT_EQ(calc.scrGraph.Value, 1000);
}

float NoPowerFirst(std::int64_t p) { return p == 1 ? -1000.0f : LevelAt(p); }

TEST_F(LevelChart, ReadOutOfNoPowerIsNoLevel) {
    AddMeasure(60, {Rate10(0)});
    WriteLevels(Channel(1, 1), 2, 601, NoPowerFirst);
    Show(1);
    EXPECT_EQ(calc.lblCLp.Caption, "Ｌp ---dB");
}

TEST_F(LevelChart, LineAndMarkerComeFromTheChannel) {
    AddMeasure(60, {Rate10(600)});
    Channel(1, 1).HorizontalLine.OkFlg = -1;
    Channel(1, 1).HorizontalLine.RecLevel = 70.0;
    Channel(1, 1).ChMeasureCondition.WaveFileOut.OkFlg = -1;
    Channel(1, 1).ChMeasureCondition.WaveFileOut.RecLevel = 85.0;
    Show(1);
    // 600 values of a 601-point window: the line spans n / rate.
    EXPECT_EQ(calc.Chart2DLevelWave.Line(), (std::vector<platform::ChartPoint>{{0.0, 70.0}, {60.0, 70.0}}));
    EXPECT_EQ(calc.Chart2DLevelWave.LevelMarker(), 85.0);
}

TEST_F(LevelChart, ALineBelongsToItsChannel) {
    AddMeasure(60, {Rate10(600)});
    AddMeasure(60, {Rate10(0)});  // no level data
    Channel(1, 1).HorizontalLine.OkFlg = -1;
    Channel(1, 1).HorizontalLine.RecLevel = 70.0;
    Show(1);
    ASSERT_EQ(calc.Chart2DLevelWave.Line().size(), 2u);
    Show(2);
    EXPECT_TRUE(calc.Chart2DLevelWave.Line().empty());
}

TEST_F(LevelChart, HorizontalLineDialogEditsACopyTakenBackOnOk) {
    AddMeasure(60, {Rate10(601)});
    Show(1);
    ui.OnModal("frmHorizontalLine", [](platform::Form& f) {
        auto& d = static_cast<frmHorizontalLine&>(f);
        EXPECT_NE(g_ChMeasure.get(), nullptr);
        d.chkOk.Value = true;
        d.chkOk_Click();
        d.txtLevel.Text = "70";
        d.cmdOK_Click();
    });
    calc.mnuHorizontalLine_Click();
    EXPECT_FALSE(g_ChMeasure);
    EXPECT_EQ(Channel(1, 1).HorizontalLine.OkFlg, -1);
    EXPECT_EQ(calc.Chart2DLevelWave.Line(), (std::vector<platform::ChartPoint>{{0.0, 70.0}, {60.1, 70.0}}));

    // Cancel changes nothing; switching the line off empties series 2.
    ui.OnModal("frmHorizontalLine", [](platform::Form& f) {
        auto& d = static_cast<frmHorizontalLine&>(f);
        d.chkOk.Value = false;
        d.cmdCancel_Click();
    });
    calc.mnuHorizontalLine_Click();
    EXPECT_EQ(Channel(1, 1).HorizontalLine.OkFlg, -1);
    EXPECT_EQ(calc.Chart2DLevelWave.Line().size(), 2u);
    ui.OnModal("frmHorizontalLine", [](platform::Form& f) {
        auto& d = static_cast<frmHorizontalLine&>(f);
        d.chkOk.Value = false;
        d.cmdOK_Click();
    });
    calc.mnuHorizontalLine_Click();
    EXPECT_EQ(Channel(1, 1).HorizontalLine.OkFlg, 0);
    EXPECT_EQ(Channel(1, 1).HorizontalLine.RecLevel, 70.0);
    EXPECT_TRUE(calc.Chart2DLevelWave.Line().empty());
}

TEST_F(LevelChart, GraphAxisHandOverRedrawsAndReselectsTheStatistic) {
    AddMeasure(600, {Rate10(6000)});
    CBandLCalcInfo& w = Channel(1, 1).BandLCalcInfos.Item(2);
    w.Scopes.Add(CScope(Variant(std::int32_t{1}), Variant(std::int32_t{50})));
    Show(1);
    calc.log.clear();
    calc.edit = [](CChMeasure& copy) {
        EXPECT_EQ(copy.BandLCalcInfos.count(), 0);  // the dialog gets the axes, not the range lists
        SetWindow(copy, kMeasureStart, 120, 30);
        copy.CalcXYAxis.YAxisMax = 90.0;
    };
    calc.ok = false;
    calc.cmdSetLevelWave_Click();
    EXPECT_EQ(calc.log, (std::vector<std::string>{"frmSetCalcGraph"}));
    EXPECT_EQ(Channel(1, 1).CalcXYAxis.YAxisMax, 120.0);
    EXPECT_FALSE(g_ChMeasure);

    calc.log.clear();
    calc.ok = true;
    calc.cmdSetLevelWave_Click();
    EXPECT_EQ(g_MeasStartTime, kMeasureStart);
    EXPECT_FALSE(g_ChMeasure);
    EXPECT_EQ(Channel(1, 1).CalcXYAxis.YAxisMax, 90.0);
    EXPECT_EQ(Channel(1, 1).BandLCalcInfos.Item(2).Scopes.count(), 1);
    EXPECT_EQ(calc.Chart2DLevelWave.LevelCount(), 301);
    EXPECT_EQ(calc.Chart2DLevelWave.LevelPoint(1).y, LevelAt(1201));
    EXPECT_EQ(calc.log, (std::vector<std::string>{"frmSetCalcGraph", "setGraphAxisAndScroll", "setGraphOfCalcFFT",
                                                  "setGraphOfCSFFT", "setGraphOfForm", "setFormOfCursorBandLevel",
                                                  "setFormOfGraphArea", "cmbCalcL_Click 0"}));
}

TEST_F(LevelChart, ScrollingKeepsTheCursorOnItsValueOrPutsItOnTheFirst) {
    AddMeasure(600, {Rate10(6000)});
    Show(1);
    calc.Chart2DLevelWave.SetCursorPoint(400);
    calc.ChartController().SetReadOut({"Ｌp 40.0dB", "cursor time"});
    // 17 × 600 / 1000 = 10.2 s: the window starts at 10 s, position 101.
    calc.scrGraph.Value = 17;
    calc.scrGraph_Change();
    EXPECT_EQ(calc.Chart2DLevelWave.LevelPoint(1).y, LevelAt(101));
    EXPECT_EQ(calc.Chart2DLevelWave.CursorPoint(), 300);
    EXPECT_EQ(calc.lblCLp.Caption, "Ｌp 40.0dB");
    EXPECT_EQ(calc.lblCymdhms.Caption, "cursor time");
    EXPECT_EQ(platform::WholeSecondsBetween(kMeasureStart, Channel(1, 1).CalcXYAxis.XAxisMin.AsDouble()), 10);
    EXPECT_EQ(Channel(1, 1).CalcXYAxis.getXWidthSec(), 60);
    // 500 → 300 s: the cursor's value has left the window.
    calc.scrGraph.Value = 500;
    calc.scrGraph_Change();
    EXPECT_EQ(calc.Chart2DLevelWave.CursorPoint(), 1);
    EXPECT_EQ(calc.lblCLp.Caption, "Ｌp 300.1dB");
    // To the end: the window starts at the measurement's end, beyond the data.
    calc.scrGraph.Value = 1000;
    calc.scrGraph_Change();
    EXPECT_EQ(calc.Chart2DLevelWave.LevelCount(), 0);
    EXPECT_EQ(calc.lblCLp.Caption, " ");
}

TEST_F(LevelChart, ADoubleChangeOfABarThatStoppedMovingIsIgnored) {
    // A 60 s measurement under a 120 s window that starts 30 s in.
    AddMeasure(60, {Rate10(600, 30, 120)});
    Show(1);
    ASSERT_EQ(calc.scrGraph.Max, 1000);
    ASSERT_EQ(calc.scrGraph.Value, 1000);
    calc.scrGraph.Value = 5;  // 5 × 60 / 1000 = 0.3 s: the measurement's start
    calc.scrGraph_Change();
    EXPECT_EQ(calc.scrGraph.Max, 0);
    EXPECT_EQ(calc.scrGraph.Value, 0);
    EXPECT_EQ(Channel(1, 1).CalcXYAxis.XAxisMin.AsDouble(), kMeasureStart);
    const auto before = calc.Chart2DLevelWave.Repaints();
    calc.scrGraph.Value = 3;
    calc.scrGraph_Change();  // the bar pulling its value to its maximum of 0
    EXPECT_EQ(calc.Chart2DLevelWave.Repaints(), before);
    EXPECT_EQ(Channel(1, 1).CalcXYAxis.XAxisMin.AsDouble(), kMeasureStart);
}

TEST_F(LevelChart, WindowsThatCannotBeDrawnGiveAnEmptyChart) {
    ChannelSpec zeroRate = Rate10(600);
    zeroRate.rate = 0.0;
    AddMeasure(60, {Rate10(0), Rate10(400), zeroRate, Rate10(600)});
    SetWindow(Channel(1, 4), kMeasureStart, 60, -10);  // reversed
    Show(1);
    EXPECT_EQ(calc.Chart2DLevelWave.LevelCount(), 0);  // no level file
    EXPECT_EQ(calc.Chart2DLevelWave.RangeSeriesCount(), 4);
    EXPECT_EQ(calc.Chart2DLevelWave.CursorPoint(), 0);
    EXPECT_EQ(calc.lblCLp.Caption, " ");
    EXPECT_EQ(calc.lblCymdhms.Caption, " ");
    ChooseChannel(1);
    EXPECT_EQ(calc.Chart2DLevelWave.LevelCount(), 400);  // a file shorter than the window
    for (const int channel : {2, 3}) {
        ChooseChannel(channel);
        EXPECT_EQ(calc.Chart2DLevelWave.LevelCount(), 0) << channel;
        EXPECT_EQ(calc.scrGraph.Max, 0) << channel;
        calc.scrGraph.Value = 10;
        calc.scrGraph_Change();
    }
    // A measurement that ends before it starts: a fixed bar, the window still drawn.
    AddMeasure(-30, {Rate10(601)});
    Show(2);
    EXPECT_EQ(calc.scrGraph.Max, 0);
    EXPECT_EQ(calc.Chart2DLevelWave.LevelCount(), 601);
}

// ---- The range overlay

class RangeOverlay : public CalcScreenTest {
protected:
    void SetUp() override {
        AddMeasure(600, {Rate10(6000, 30, 60)});  // w0 = 301, W = 60
    }
    CBandLCalcInfo& W() { return Channel(1, 1).BandLCalcInfos.Item(2); }
    static void Add(CScopes& list, std::int32_t s, std::int32_t e) { list.Add(CScope(Variant(s), Variant(e))); }
};

TEST_F(RangeOverlay, RangesAreClippedToTheWindowAndNumberedInDrawingOrder) {
    Add(W().LevelOverScopes, 100, 200);  // before the window: k 1, no points
    Add(W().LevelOverScopes, 311, 350);  // k 2: 1.0 .. 4.9
    Add(W().MarkScopes, 1, 10);          // k 3, label [1] far left
    Add(W().MarkScopes, 290, 305);       // k 4: from 0 to 0.4, label [2] left of the window
    Add(W().MarkScopes, 500, 500);       // k 5: one position, 19.9 .. 19.9
    Add(W().Scopes, 200, 301);           // k 6: ends on the window's first position (x2 = 0)
    Add(W().Scopes, 851, 1000);          // k 7: 55.0 .. 60 (clipped from 69.9)
    Add(W().Scopes, 2000, 2100);         // k 8: after the window
    Add(W().LEScopes, 901, 950);         // k 9: starts on the right edge (x1 = 60)
    Show(1);
    const platform::LevelChartModel& chart = calc.Chart2DLevelWave;
    EXPECT_EQ(chart.RangeSeriesCount(), 18);
    const std::vector<std::tuple<std::int32_t, double, double, platform::ChartColor>> expected = {
        {2, 1.0, 4.9, {255, 153, 0}},
        {4, 0.0, 0.4, {255, 255, 0}},
        {5, 19.9, 19.9, {255, 255, 0}},
        {7, 55.0, 60.0, {0, 0, 255}}};
    ASSERT_EQ(chart.ShownRanges().size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const auto& [k, x1, x2, color] = expected[i];
        SCOPED_TRACE(k);
        EXPECT_EQ(chart.ShownRanges()[i].range, k);
        EXPECT_NEAR(chart.RangeSeries(2 * k - 1)[0].x, x1, 1e-9);
        EXPECT_NEAR(chart.RangeSeries(2 * k - 1)[1].x, x2, 1e-9);
        EXPECT_EQ(chart.RangeSeries(2 * k - 1)[0].y, 50.0);
        EXPECT_EQ(chart.RangeSeries(2 * k)[1].y, -50.0);
        EXPECT_EQ(chart.RangeSeriesColor(2 * k), color);
    }
    for (const std::int32_t k : {1, 3, 6, 8, 9}) {
        EXPECT_TRUE(chart.RangeSeries(2 * k - 1).empty()) << k;
        EXPECT_TRUE(chart.RangeSeries(2 * k).empty()) << k;
    }
    // Labels for every mark at its own start, those outside the window included.
    ASSERT_EQ(chart.LabelCount(), 3);
    EXPECT_EQ(chart.Label(1)->text, "[1]");
    EXPECT_NEAR(chart.Label(1)->x, -30.0, 1e-9);
    EXPECT_NEAR(chart.Label(2)->x, -1.1, 1e-9);
    EXPECT_EQ(chart.Label(3)->text, "[3]");
    EXPECT_EQ(chart.Label(3)->y, 1.0);
    EXPECT_EQ(chart.Labels().firstShown, 3);
    EXPECT_EQ(chart.Labels().lastShown, 3);

    // Twice in a row: the same overlay.
    const auto before = chart.ShownRanges().size();
    calc.setFormOfGraphArea();
    EXPECT_EQ(chart.ShownRanges().size(), before);
    EXPECT_EQ(chart.RangeSeriesCount(), 18);
}

TEST_F(RangeOverlay, NoRangesAndShortBandListsDrawNothing) {
    Show(1);
    EXPECT_EQ(calc.Chart2DLevelWave.RangeSeriesCount(), 0);
    EXPECT_EQ(calc.Chart2DLevelWave.LabelCount(), 0);
    // A range over the whole window; then a band list shorter than the band type needs, where
    // slot 47 has a level file but no record.
    Add(W().LEScopes, 1, 5000);
    calc.setFormOfGraphArea();
    ASSERT_EQ(calc.Chart2DLevelWave.ShownRanges().size(), 1u);
    EXPECT_EQ(calc.Chart2DLevelWave.RangeSeries(1), (std::vector<platform::ChartPoint>{{0.0, 50.0}, {60.0, 50.0}}));
    EXPECT_EQ(calc.Chart2DLevelWave.RangeSeriesColor(2), (platform::ChartColor{0, 255, 0}));
    WriteLevels(Channel(1, 1), 47, 6000);
    while (Channel(1, 1).BandLCalcInfos.count() > 40) {
        Channel(1, 1).BandLCalcInfos.Delete(Channel(1, 1).BandLCalcInfos.count());
    }
    ChooseBand(47);
    EXPECT_EQ(calc.Chart2DLevelWave.RangeSeriesCount(), 0);
    ChooseBand(2);
    EXPECT_EQ(calc.Chart2DLevelWave.RangeSeriesCount(), 2);
}

}  // namespace
}  // namespace murtesk::testing
