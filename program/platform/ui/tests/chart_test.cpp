// Chart arithmetic without a display: the plot geometry, the label spacing, the per-column
// summary against a brute-force pass over every point, the chart models' repaint requests, the
// nearest point of a pixel, and the click rule of the chart mouse.
#include "band_chart_model.h"
#include "chart_decimation.h"
#include "chart_geometry.h"
#include "chart_mouse.h"
#include "level_chart_model.h"

#include "platform/dates.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <random>

namespace murtesk::platform {
namespace {

TEST(ChartGeometry, MapsDataToColumnsAndPixels) {
    const ChartGeometry g({40, 10, 100, 50}, 0.0, 60.0, 20.0, 120.0);
    // 100 columns over 60 s: 0.6 s per column.
    EXPECT_EQ(g.ColumnOfX(0.0), 0);
    EXPECT_EQ(g.ColumnOfX(0.59), 0);
    EXPECT_EQ(g.ColumnOfX(0.6), 1);
    EXPECT_EQ(g.ColumnOfX(59.99), 99);
    EXPECT_EQ(g.ColumnOfX(60.0), 99);  // the right end belongs to the last column
    EXPECT_EQ(g.ColumnOfX(-0.01), -1);
    EXPECT_EQ(g.ColumnOfX(60.01), 100);
    EXPECT_EQ(g.ColumnOfX(std::nan("")), 100);
    EXPECT_DOUBLE_EQ(g.PixelX(30.0), 90.0);
    EXPECT_DOUBLE_EQ(g.PixelY(70.0), 35.0);
    EXPECT_NEAR(g.DataX(g.PixelX(12.3)), 12.3, 1e-9);  // round trip, to rounding
    EXPECT_NEAR(g.DataY(g.PixelY(-7.5)), -7.5, 1e-9);
    // Edge pixels: columns 40 and 139, rows 10 and 59.
    EXPECT_TRUE(g.ContainsInclusive(40, 10));
    EXPECT_TRUE(g.ContainsInclusive(139, 59));
    EXPECT_FALSE(g.ContainsInclusive(140, 30));
    EXPECT_FALSE(g.ContainsStrict(40, 30));
    EXPECT_FALSE(g.ContainsStrict(139, 30));
    EXPECT_TRUE(g.ContainsStrict(41, 11));
    EXPECT_FALSE(ChartGeometry({0, 0, 100, 50}, 0.0, 0.0, 0.0, 1.0).Usable());
    EXPECT_FALSE(ChartGeometry({0, 0, 0, 50}, 0.0, 1.0, 0.0, 1.0).Usable());
}

TEST(ChartGeometry, LabelStepsKeepLabelsApart) {
    // 150 px needed between labels (a 100 px label and half of one).
    EXPECT_EQ(TimeTickStep(60.0, 1000, 100), 10.0);              // 5 s would be 83 px
    EXPECT_EQ(TimeTickStep(28800.0, 1000, 100), 7200.0);         // 1 h would be 125 px
    EXPECT_EQ(TimeTickStep(3.0 * 86400.0, 400, 100), 172800.0);  // a day would be 133 px
    EXPECT_EQ(TimeTickStep(1.0, 50, 100), 0.0);
    EXPECT_EQ(TimeTickStep(0.0, 1000, 100), 0.0);
    EXPECT_EQ(LevelTickStep(100.0, 300, 12), 10.0);  // 24 px needed: 5 dB would be 15 px
    EXPECT_EQ(LevelTickStep(230.0, 300, 12), 20.0);
    EXPECT_DOUBLE_EQ(FirstTick(13.0, 0.0, 5.0), 15.0);
    EXPECT_DOUBLE_EQ(FirstTick(15.0, 1.0, 5.0), 16.0);
}

struct DecimationCase {
    int n;
    int width;
    double xStep;
    double xMax;
    bool oddValues;  // NaN and infinities sprinkled in
};

class Decimation : public ::testing::TestWithParam<DecimationCase> {};

TEST_P(Decimation, EqualsBruteForcePerColumn) {
    const DecimationCase c = GetParam();
    std::mt19937 rng(static_cast<unsigned>(c.n * 31 + c.width));
    std::normal_distribution<float> level(60.0f, 15.0f);
    std::vector<float> values(static_cast<std::size_t>(c.n));
    for (float& v : values) {
        v = level(rng);
    }
    if (c.oddValues) {
        const float odd[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                             -std::numeric_limits<float>::infinity()};
        for (std::size_t i = 0; i < values.size(); i += 7) {
            values[i] = odd[(i / 7) % 3];
        }
        // A whole run of NaN, longer than a column.
        for (std::size_t i = values.size() / 3; i < values.size() / 3 + 200 && i < values.size(); ++i) {
            values[i] = std::numeric_limits<float>::quiet_NaN();
        }
    }
    const ChartGeometry g({30, 5, c.width, 200}, 0.0, c.xMax, 0.0, 100.0);
    std::vector<ColumnExtent> fast;
    SummariseColumns(values, c.xStep, g, fast);

    std::vector<ColumnExtent> slow(static_cast<std::size_t>(c.width));
    for (std::size_t k = 0; k < values.size(); ++k) {
        const std::int64_t col = g.ColumnOfX(static_cast<double>(k) * c.xStep);
        const float v = values[k];
        if (col < 0 || col >= c.width || !std::isfinite(v)) {
            continue;
        }
        ColumnExtent& e = slow[static_cast<std::size_t>(col)];
        if (!e.any) {
            e = {v, v, v, v, true};
        }
        e.min = std::min(e.min, v);
        e.max = std::max(e.max, v);
        e.last = v;
    }
    ASSERT_EQ(fast.size(), slow.size());
    for (std::size_t col = 0; col < slow.size(); ++col) {
        SCOPED_TRACE(col);
        ASSERT_EQ(fast[col].any, slow[col].any);
        if (slow[col].any) {
            EXPECT_EQ(fast[col].min, slow[col].min);
            EXPECT_EQ(fast[col].max, slow[col].max);
            EXPECT_EQ(fast[col].first, slow[col].first);
            EXPECT_EQ(fast[col].last, slow[col].last);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, Decimation,
    ::testing::Values(DecimationCase{601, 1000, 0.1, 60.0, false},    // fewer points than columns
                      DecimationCase{36001, 997, 0.1, 3600.0, true},  // 36 per column, odd width
                      DecimationCase{3600001, 1200, 0.001, 3600.0, false},
                      DecimationCase{100000, 640, 0.01, 500.0, true},  // series ends inside the plot
                      DecimationCase{50000, 300, 0.01, 300.0, false},  // points beyond the right end
                      DecimationCase{1, 10, 1.0, 5.0, false}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(LevelChartModel, HoldAsksForOneRepaintAndOverlaySeriesAreNumbered) {
    LevelChartModel chart;
    {
        ChartRedrawHold hold(chart);
        {
            ChartRedrawHold inner(chart);  // a nested hold leaves the outer one in charge
            chart.SetXAxis(0.0, 60.0);
        }
        EXPECT_TRUE(chart.RedrawHeld());
        float* v = chart.PrepareLevels(3);
        v[0] = 1.0f;
        v[1] = 2.0f;
        v[2] = 3.0f;
        chart.SetLevels(3, 0.1);
        chart.SetRanges(3, {{2, 1.0, 4.9, {0, 0, 255}}});
        chart.SetCursorPoint(1);
        EXPECT_EQ(chart.Repaints(), 0u);
    }
    EXPECT_EQ(chart.Repaints(), 1u);
    EXPECT_EQ(chart.BackgroundRevision(), 1u);
    EXPECT_EQ(chart.CursorRevision(), 1u);
    chart.SetCursorPoint(2);  // a cursor move alone leaves the background as drawn
    EXPECT_EQ(chart.BackgroundRevision(), 1u);
    EXPECT_EQ(chart.Repaints(), 2u);

    EXPECT_EQ(chart.LevelPoint(3), (ChartPoint{0.2, 3.0}));
    EXPECT_EQ(chart.RangeSeriesCount(), 6);
    EXPECT_TRUE(chart.RangeSeries(1).empty());
    EXPECT_EQ(chart.RangeSeries(3), (std::vector<ChartPoint>{{1.0, 50.0}, {4.9, 50.0}}));
    EXPECT_EQ(chart.RangeSeries(4), (std::vector<ChartPoint>{{1.0, -50.0}, {4.9, -50.0}}));
    EXPECT_EQ(chart.RangeSeriesColor(4), (ChartColor{0, 0, 255}));
    EXPECT_FALSE(chart.RangeSeriesColor(5).has_value());
}

TEST(LevelChartModel, TimeLabelsCountFromTheBase) {
    LevelChartModel chart;
    chart.SetTimeBase(DateFromParts(2023, 3, 5, 23, 59, 30), "%d日 %H:%M:%S");
    EXPECT_EQ(chart.TimeLabel(0.0), "05日 23:59:30");
    EXPECT_EQ(chart.TimeLabel(45.0), "06日 00:00:15");
    EXPECT_EQ(FormatChartTime(DateFromParts(2024, 1, 2, 3, 4, 5), "%Y/%m %% %q"), "2024/01 % %q");
}

using Kind = ChartMouseEvent::Kind;

struct MouseCase {
    const char* name;
    bool moveToAnotherPixel;  // between press and release
    bool releaseAtThePress;
    std::vector<Kind> onRelease;
};

class MouseTranslation : public ::testing::TestWithParam<MouseCase> {};

TEST_P(MouseTranslation, ClickOnlyForPressAndReleaseOnOnePixelWithoutAMove) {
    const MouseCase& c = GetParam();
    ChartMouseTranslator t;
    EXPECT_EQ(t.Press(kLeftButton, 10, 20), (std::vector<ChartMouseEvent>{{Kind::Down, 1, 10, 20}}));
    t.Move(kLeftButton, 10, 20);  // reported at the press's own pixel: no move
    if (c.moveToAnotherPixel) {
        t.Move(kLeftButton, 11, 20);
        t.Move(kLeftButton, 10, 20);
    }
    const int x = c.releaseAtThePress ? 10 : 12;
    std::vector<Kind> kinds;
    for (const ChartMouseEvent& e : t.Release(kLeftButton, x, 20)) {
        kinds.push_back(e.kind);
        EXPECT_EQ(e.x, x);
    }
    EXPECT_EQ(kinds, c.onRelease);
    // Without a press, a release is no click.
    EXPECT_EQ(t.Release(kLeftButton, x, 20).size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Cases, MouseTranslation,
                         ::testing::Values(MouseCase{"Click", false, true, {Kind::Click, Kind::Up}},
                                           MouseCase{"MovedAndBack", true, true, {Kind::Up}},
                                           MouseCase{"ReleasedElsewhere", false, false, {Kind::Up}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LevelChartModel, NearestPointAndRubberBandOverTheCachedPicture) {
    LevelChartModel chart;
    chart.SetXAxis(0.0, 10.0);
    float* levels = chart.PrepareLevels(101);
    std::fill(levels, levels + 101, 50.0f);
    chart.SetLevels(101, 0.1);
    chart.SetPlotRect({100, 0, 200, 100});  // 20 columns a second: two per point
    EXPECT_EQ(chart.NearestPoint(100), 1);
    EXPECT_EQ(chart.NearestPoint(120), 11);   // middle 1.025 s: point 11 at 1.0 s
    EXPECT_EQ(chart.NearestPoint(121), 12);   // middle 1.075 s: point 12 at 1.1 s
    EXPECT_EQ(chart.NearestPoint(50), 1);     // left of the plot: the first point
    EXPECT_EQ(chart.NearestPoint(400), 101);  // right of it: the last
    const auto background = chart.BackgroundRevision();
    chart.SetRubberBand(RubberBand{120, 1, 130, 98});
    EXPECT_EQ(chart.BackgroundRevision(), background);  // drawn over the picture
    chart.SetYAxis(0.0, 90.0);                          // a new picture ends the band
    EXPECT_FALSE(chart.RubberBandShown());
}

TEST(BandBarChartModel, AutomaticTopFollowsTheHighestBar) {
    BandBarChartModel chart;
    chart.SetBars(3);
    chart.SetLevelAxis(20.0, 100.0, true);
    const std::vector<double> levels = {61.5, -60.0, 40.0};
    chart.SetLevels(levels);
    EXPECT_EQ(chart.ShownTop(), 70.0);
    chart.SetLevels(std::vector<double>{-60.0, -60.0, -60.0});
    EXPECT_EQ(chart.ShownTop(), 30.0);  // at least 10 dB above the bottom
    chart.SetLevelAxis(20.0, 100.0, false);
    EXPECT_EQ(chart.ShownTop(), 100.0);
}

}  // namespace
}  // namespace murtesk::platform
