// The graph-axis dialog over a channel copy (units, list choices, the start loop, its checks in
// order) and the common graph axis copy over several measurements, with the fake services.
#include "common_axes.h"
#include "date_scripts.h"
#include "frmCommonGraphAxis.h"
#include "frmSetCalcGraph.h"
#include "globals.h"
#include "preserve_document.h"

#include "fake_ui.h"
#include "model/ch_measure.h"
#include "platform/dates.h"

#include <gtest/gtest.h>

namespace murtesk::testing {
namespace {

using platform::testing::FakeUi;

const Date kStart = platform::DateFromParts(2023, 3, 15, 9, 0, 0);
Date At(double seconds) { return platform::AddSeconds(kStart, seconds); }

class SetCalcGraph : public ::testing::Test {
protected:
    SetCalcGraph() {
        g_MeasStartTime = kStart;
        g_MeasEndTime = At(3600);
        g_ChMeasure = std::make_shared<CChMeasure>(ProgramStatsContext());
        Window(0, 60);
    }
    ~SetCalcGraph() override { g_ChMeasure.reset(); }
    void Window(double start, double width) {
        g_ChMeasure->CalcXYAxis.XAxisMin = Variant::FromDate(At(start));
        g_ChMeasure->CalcXYAxis.XAxisMax = Variant::FromDate(At(start + width));
        g_ChMeasure->CalcXYAxis.XAxisUnit = 3;
    }
    void Load() {
        ui.Load(dialog);
        ui.ClearTranscript();
    }
    FakeUi ui;
    frmSetCalcGraph dialog{ui};
};

TEST_F(SetCalcGraph, WidthOpensInItsLargestWholeUnit) {
    const std::vector<std::tuple<double, std::string, int>> cases = {
        {7200, "2", 2}, {5400, "90", 1}, {90, "90", 0}, {3600, "1", 2}, {61, "61", 0}};
    for (const auto& [seconds, text, unit] : cases) {
        Window(0, seconds);
        frmSetCalcGraph d(ui);
        ui.Load(d);
        EXPECT_EQ(d.txtXAxisWidth1.Text, text) << seconds;
        EXPECT_EQ(d.optTimeUnit1.Selected(), unit) << seconds;
        ui.Unload(d);
    }
}

TEST_F(SetCalcGraph, LevelListsCutToTensButTheBarGraphListsOnlyMatchWholeNumbers) {
    g_ChMeasure->CalcXYAxis.YAxisMax = 57.9;
    g_ChMeasure->CalcXYAxis.YAxisMin = -34.0;
    g_ChMeasure->HzYAxis.YAxisMax = 57.9;
    g_ChMeasure->HzYAxis.YAxisMin = 19.6;
    g_ChMeasure->HzYAxis.XAxisUnit = 1;
    Load();
    EXPECT_EQ(dialog.cmbMaxY1.ListCount(), 23);
    EXPECT_EQ(dialog.cmbMaxY1.Text, "50dB");
    EXPECT_EQ(dialog.cmbMinY1.Text, "-30dB");
    EXPECT_EQ(dialog.cmbHzGraphMaxY.Text, "170dB");  // no entry: the first
    EXPECT_EQ(dialog.cmbHzGraphMinY.Text, "20dB");
    EXPECT_EQ(dialog.cmbMinY1.Items.back(), "160dB");
    EXPECT_TRUE(dialog.chkHzGraphMaxYAuto.Value);
    EXPECT_EQ(dialog.lblStartTime.Caption, "2023/03/15 09:00:00");
}

TEST_F(SetCalcGraph, OkRefusesInOrderAndStaysOpen) {
    Load();
    struct Case {
        std::string width;
        int unit;
        int maxIndex;
        int minIndex;
        std::string message;
    };
    const std::vector<Case> cases = {
        {"9", 2, 0, 0, "1以上、8以下の数値を入力してください。"},
        {"2.5", 1, 0, 0, "1以上、480以下の数値を入力してください。"},
        {"28801", 0, 0, 0, "1以上、28800以下の数値を入力してください。"},
        {"8", 2, 12, 11, "最大値を最小値より大きな値にしてください。"},  // both 50 dB
    };
    for (const Case& c : cases) {
        ui.ClearTranscript();
        dialog.txtXAxisWidth1.Text = c.width;
        dialog.optTimeUnit1.Select(c.unit);
        dialog.cmbMaxY1.Select(c.maxIndex);
        dialog.cmbMinY1.Select(c.minIndex);
        dialog.cmdOK_Click();
        EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{c.message}) << c.width;
        EXPECT_EQ(ui.Messages().back().Title, "入力訂正情報");
        EXPECT_TRUE(ui.IsLoaded(dialog));
    }
    dialog.cmbMinY1.Select(0);
    dialog.cmbHzGraphMaxY.Select(22);  // -50 dB over -60 dB: accepted
    dialog.cmbHzGraphMinY.Select(0);
    g_ChMeasure->CalcXYAxis.XAxisMin = Variant::FromDate(At(3601));
    ui.ClearTranscript();
    dialog.cmdOK_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"表示開始日時は測定時間内にしてください. \r\n"
                                                          "2023/03/15  09:00:00～2023/03/15  10:00:00"});
    EXPECT_TRUE(ui.IsLoaded(dialog));
}

TEST_F(SetCalcGraph, StartLoopsUntilInsideThenOkStoresTheWindow) {
    Load();
    ChooseDateNext(ui, At(-1));    // before the measurement: refused
    ChooseDateNext(ui, At(3600));  // the very end is allowed
    dialog.cmdStartTime_Click();
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(dialog.lblStartTime.Caption, "2023/03/15 10:00:00");

    dialog.txtXAxisWidth1.Text = "2";
    dialog.optTimeUnit1.Select(2);
    dialog.cmbMaxY1.Select(5);  // 120 dB
    dialog.cmbMinY1.Select(8);  // 20 dB
    dialog.chkHzGraphMaxYAuto.Value = false;
    g_bDialogOk = false;
    dialog.cmdOK_Click();
    EXPECT_TRUE(g_bDialogOk);
    EXPECT_FALSE(ui.IsLoaded(dialog));
    const CXYAxis& axis = g_ChMeasure->CalcXYAxis;
    EXPECT_EQ(platform::DateToMilliseconds(axis.XAxisMax.AsDouble()), platform::DateToMilliseconds(At(3600 + 7200)));
    EXPECT_EQ(axis.XAxisUnit, 3);
    EXPECT_EQ(axis.YAxisMax, 120.0);
    EXPECT_EQ(axis.YAxisMin, 20.0);
    EXPECT_EQ(g_ChMeasure->HzYAxis.XAxisUnit, 0);
}

// A measurement of a project saved before starts were whole seconds: 09:00:00.7 to 10:00:00.7,
// shown as 09:00:00 to 10:00:00. The shown ends typed back are inside; a second beyond is not.
struct TypedStart {
    const char* name;
    double seconds;  // after 09:00:00
    bool accepted;
};

class StartOfAFractionalMeasurement : public SetCalcGraph, public ::testing::WithParamInterface<TypedStart> {};

TEST_P(StartOfAFractionalMeasurement, IsHeldAtWholeSeconds) {
    g_MeasStartTime = At(0.7);
    g_MeasEndTime = At(3600.7);
    Load();
    ChooseDateNext(ui, At(GetParam().seconds));
    ui.OnModal("frmInputDate", [](platform::Form& f) { static_cast<frmInputDate&>(f).cmdCancel_Click(); });
    dialog.cmdStartTime_Click();
    EXPECT_EQ(ui.Messages().empty(), GetParam().accepted) << ::testing::PrintToString(ui.MessageTexts());
    EXPECT_EQ(g_ChMeasure->CalcXYAxis.XAxisMin.AsDouble() == At(GetParam().seconds), GetParam().accepted);
    // OK checks the window start again: the typed one, or 09:00:00 itself when it was refused.
    ui.ClearTranscript();
    dialog.cmdOK_Click();
    EXPECT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());
    EXPECT_FALSE(ui.IsLoaded(dialog));
}

INSTANTIATE_TEST_SUITE_P(Cases, StartOfAFractionalMeasurement,
                         ::testing::Values(TypedStart{"ShownStart", 0, true}, TypedStart{"ShownEnd", 3600, true},
                                           TypedStart{"SecondBefore", -1, false},
                                           TypedStart{"SecondAfter", 3601, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(SetCalcGraph, AFrameCloseIsCancel) {
    Load();
    g_bDialogOk = true;
    ui.CloseByFrame(dialog);
    EXPECT_FALSE(g_bDialogOk);
}

// Three measurements: the shown one (09:00 for an hour, two channels), one on another day, and one
// that contains the shown window's start; the third has one channel only.
class CommonAxes : public ::testing::Test {
protected:
    CommonAxes() {
        Add(kStart, 3600, 2);
        Add(platform::AddSeconds(kStart, 86400.0), 3600, 2);
        Add(platform::AddSeconds(kStart, 600.0), 7200, 1);
        CChMeasure& source = Ch(1, 1);
        source.CalcXYAxis.XAxisMin = Variant::FromDate(At(1200));
        source.CalcXYAxis.XAxisMax = Variant::FromDate(At(1290));
        source.CalcXYAxis.XAxisUnit = 3;
        source.CalcXYAxis.YAxisMax = 110.0;
        source.CalcXYAxis.YAxisMin = 10.0;
        source.HzYAxis.YAxisMax = 90.0;
        source.HzYAxis.XAxisUnit = 1;
    }
    void Add(Date start, double length, int channels) {
        CMeasure& m = measures.AddNew();
        m.StartTime = start;
        m.EndTime = platform::AddSeconds(start, length);
        for (int c = 0; c < channels; ++c) {
            CChMeasure& ch = m.ChMeasures.AddNew();
            ch.ChMeasureCondition.oct1or3 = 3;
            ch.CalcXYAxis.XAxisMin = Variant::FromDate(start);
            ch.CalcXYAxis.XAxisMax = Variant::FromDate(platform::AddSeconds(start, 60.0));
            ch.CalcXYAxis.XAxisUnit = 2;
        }
    }
    CChMeasure& Ch(int m, int c) { return measures.Item(m).ChMeasures.Item(c); }
    void Copy(CCommonGraphAxisInfo info, int sourceNo = 1) {
        CopyCommonAxes(measures, measures.Item(1), sourceNo, Ch(1, sourceNo), info);
    }
    static std::int64_t Ms(const Variant& v) { return platform::DateToMilliseconds(v.AsDouble()); }
    CMeasures measures{ProgramStatsContext()};
};

TEST_F(CommonAxes, DefaultsCopyOnlyTheLevelRangeEverywhere) {
    const CXYAxis before = Ch(2, 2).CalcXYAxis;
    Copy(CCommonGraphAxisInfo{});
    for (const auto& [m, c] : {std::pair{1, 2}, std::pair{2, 1}, std::pair{2, 2}, std::pair{3, 1}}) {
        EXPECT_EQ(Ch(m, c).CalcXYAxis.YAxisMax, 110.0);
        EXPECT_EQ(Ch(m, c).CalcXYAxis.YAxisMin, 10.0);
        EXPECT_EQ(Ch(m, c).HzYAxis.YAxisMax, 100.0);
    }
    EXPECT_EQ(Ms(Ch(2, 2).CalcXYAxis.XAxisMax), Ms(before.XAxisMax));
}

TEST_F(CommonAxes, TimeAxisOnAnotherDayKeepsItsStartAndTakesTheWidth) {
    CCommonGraphAxisInfo info;
    info.m_bLevelXAxis = true;
    info.m_bHzGraphYAxis = true;
    info.m_bAllCh = false;
    Ch(1, 2).CalcXYAxis = Ch(1, 1).CalcXYAxis;
    Ch(1, 2).HzYAxis = Ch(1, 1).HzYAxis;
    Copy(info, 2);
    const Date other = platform::AddSeconds(kStart, 86400.0);
    EXPECT_EQ(Ms(Ch(2, 2).CalcXYAxis.XAxisMin), platform::DateToMilliseconds(other));
    EXPECT_EQ(Ms(Ch(2, 2).CalcXYAxis.XAxisMax), platform::DateToMilliseconds(platform::AddSeconds(other, 90.0)));
    EXPECT_EQ(Ch(2, 2).CalcXYAxis.XAxisUnit, 2);
    EXPECT_EQ(Ch(2, 1).CalcXYAxis.XAxisUnit, 2);  // channel 1 is not a target
    EXPECT_EQ(Ch(2, 2).HzYAxis.XAxisUnit, 1);
    EXPECT_EQ(Ch(2, 2).HzYAxis.YAxisMax, 90.0);
    EXPECT_EQ(Ch(2, 1).HzYAxis.YAxisMax, 100.0);
}

TEST_F(CommonAxes, AContainingMeasurementTakesTheWholeWindow) {
    CCommonGraphAxisInfo info;
    info.m_bLevelXAxis = true;
    Copy(info);
    EXPECT_EQ(Ms(Ch(3, 1).CalcXYAxis.XAxisMin), platform::DateToMilliseconds(At(1200)));
    EXPECT_EQ(Ms(Ch(3, 1).CalcXYAxis.XAxisMax), platform::DateToMilliseconds(At(1290)));
    EXPECT_EQ(Ch(3, 1).CalcXYAxis.XAxisUnit, 3);
    // Neither all data nor all channels: nothing at all.
    info.m_bAllData = info.m_bAllCh = false;
    info.m_bLevelYAxis = true;
    Ch(1, 1).CalcXYAxis.YAxisMax = 130.0;
    Copy(info);
    EXPECT_EQ(Ch(1, 2).CalcXYAxis.YAxisMax, 110.0);
}

TEST(CommonGraphAxisDialog, OkStoresTheBoxesAndCancelOrFrameKeepThem) {
    FakeUi ui;
    g_CommonGraphAxisInfo = CCommonGraphAxisInfo{};
    {
        frmCommonGraphAxis d(ui);
        ui.Load(d);
        EXPECT_FALSE(d.chkLevelXAxis.Value);
        EXPECT_TRUE(d.chkAllCh.Value);
        d.chkLevelXAxis.Value = true;
        d.chkAllCh.Value = false;
        d.cmdOK_Click();
        EXPECT_TRUE(g_bDialogOk);
    }
    for (const bool byFrame : {false, true}) {
        frmCommonGraphAxis d(ui);
        ui.Load(d);
        EXPECT_TRUE(d.chkLevelXAxis.Value);
        d.chkHzGraphYAxis.Value = true;
        g_bDialogOk = true;
        byFrame ? (void)ui.CloseByFrame(d) : d.cmdCancel_Click();
        EXPECT_FALSE(g_bDialogOk);
        EXPECT_FALSE(g_CommonGraphAxisInfo.m_bHzGraphYAxis);
    }
    EXPECT_FALSE(g_CommonGraphAxisInfo.m_bAllCh);
    g_CommonGraphAxisInfo = CCommonGraphAxisInfo{};
}

}  // namespace
}  // namespace murtesk::testing
