// The band result windows through their form models with the fake services, over small level
// files written value by value: what each read-out, bar and clipboard text holds, computed here the
// plain way from the same values.
#include "band_windows.h"
#include "frmALevel.h"
#include "frmAllBandL.h"
#include "frmOneBandL.h"

#include "band_fixture.h"
#include "fake_ui.h"
#include "platform/binary_file.h"

#include <cmath>

namespace murtesk {
namespace {

using platform::testing::FakeUi;

using testing::Fixed;
using testing::kE;
using testing::kRate;
using testing::kS;
using testing::kShown;

// The list pair of band slot j, as the window's layout table gives it.
int PairOf(std::int16_t oct1or3, std::int16_t j) {
    if (oct1or3 == 3) return 47 - j;
    return j <= 5 ? 39 - j : j <= 8 ? 36 - j : j <= 11 ? 32 - j : j <= 14 ? 28 - j : 24 - j;
}

class BandWindows : public ::testing::TestWithParam<std::int16_t>, public testing::BandChannel {
public:
    BandWindows() : BandChannel(GetParam()) {}

    static double NoLevel(double v) { return v <= -60.0 ? -60.0 : v; }

    platform::Label& ValueLabel(BandPanelForm& f, std::int16_t slot) {
        return slot == 1 ? f.gridCalc.FValue
                         : slot == 2 ? f.gridCalc.WValue
                                     : f.gridCalc.Values[static_cast<std::size_t>(PairOf(GetParam(), slot))];
    }

    FakeUi ui_;
};

TEST_P(BandWindows, AllBandShowsEachStatisticOfEverySlotAndCopiesIt) {
    frmAllBandL f(ui_);
    ui_.Show(f);
    ui_.DoEvents();
    ASSERT_EQ(f.cmbCalcL.ListCount(), 106);
    EXPECT_EQ(f.cmbCalcL.Items[2], "Ｌeq(Lmax-10dB)");
    EXPECT_EQ(f.cmbCalcL.ItemData[2], 102);
    EXPECT_EQ(f.FocusedControl, "cmbCalcL");
    EXPECT_FALSE(ui_.Busy());
    EXPECT_TRUE(f.cmdA.Visible);  // A weighting
    int shown = 0;
    for (const auto& name : f.gridCalc.Names) shown += name.Visible;
    EXPECT_EQ(shown, GetParam() == 3 ? 45 : 15);
    EXPECT_EQ(f.chartCalcFFT.BandMarks().front(), (platform::BandAxisMark{"AP", 1.25}));
    EXPECT_EQ(f.chartCalcFFT.BandMarks().back(), (platform::BandAxisMark{"W", n_ - 0.25}));

    const std::size_t files = HistogramFiles();
    EXPECT_EQ(files, 2u * static_cast<std::size_t>(n_));
    for (const auto& [index, statistic] :
         std::vector<std::pair<int, std::function<double(const testing::OracleStats&)>>>{
             {0, [](const testing::OracleStats& s) { return s.leq; }},
             {3, [](const testing::OracleStats& s) { return s.le; }}}) {
        f.cmbCalcL.Select(index);
        f.cmbCalcL_Click();
        for (std::int16_t j = 1; j <= n_; ++j) {
            const double v = NoLevel(statistic(Expected(j)));
            const int entry = j == 1 ? 1 : j == 2 ? n_ : n_ + 2 - j;  // F, the bands rising, W
            EXPECT_NEAR(f.chartCalcFFT.Levels()[static_cast<std::size_t>(entry - 1)], v, 1e-3) << "slot " << j;
            EXPECT_EQ(ValueLabel(f, j).Caption, v > -60.0 ? Fixed(v) + "dB" : "---") << "slot " << j;
        }
    }
    EXPECT_EQ(HistogramFiles(), files);  // a choice only evaluates again

    f.cmbCalcL.Select(0);
    f.cmbCalcL_Click();
    f.cmdCopyCalc_Click();
    const std::string text = ui_.ClipboardText();
    const std::string frame = "//////////////////////////////\r\n";
    std::string expected = frame + "動特性FAST Ｌeq\r\n[F特性AP] , " + Fixed(Expected(1).leq) +
                           "\r\n[A特性] , " + "61.3\r\n" + "[" + (GetParam() == 3 ? "0.8Hz" : "1Hz") + "] , " +
                           Fixed(Expected(n_).leq) + "\r\n";
    EXPECT_EQ(text.substr(0, expected.size()), expected);
    // The highest bands: -59.96 reads "-60.0", exactly -60 "---".
    const std::string top = GetParam() == 3 ? "[16kHz] , ---\r\n[20kHz] , -60.0\r\n" : "[8kHz] , ---\r\n[16kHz] , -60.0\r\n";
    EXPECT_EQ(text.substr(text.size() - top.size() - frame.size()), top + frame);
    std::size_t lines = 0;
    for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string::npos; at += 2) ++lines;
    EXPECT_EQ(lines, GetParam() == 3 ? 50u : 20u);
    EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1);
    EXPECT_EQ(GetParam() == 3, text.find("[12_5kHz] , ---\r\n") != std::string::npos);

    f.cmdCalcBarOrList_Click();
    EXPECT_TRUE(f.vsElasticCalcList.Visible);
    EXPECT_EQ(f.cmdCalcBarOrList.ToolTipText, "バー");
    f.cmdCalcBarOrList_Click();
    EXPECT_EQ(f.cmdCalcBarOrList.ToolTipText, "リスト");
    EXPECT_FALSE(f.vsElasticCalcList.Visible);

    f.cmdCancel_Click();
    EXPECT_EQ(HistogramFiles(), 0u);
}

TEST_P(BandWindows, WeightedLevelsTakeTheValuesAsShown) {
    frmAllBandL f(ui_);
    ui_.Show(f);
    ui_.DoEvents();
    std::vector<std::string> readOuts;
    std::string copy;
    ui_.OnModal("frmALevel", [&](platform::Form& form) {
        auto& a = dynamic_cast<frmALevel&>(form);
        EXPECT_EQ(a.m_OctaveBand1.has_value(), GetParam() == 1);
        EXPECT_EQ(a.m_OctaveBand3.has_value(), GetParam() == 3);
        EXPECT_EQ(a.chartCalcFFT.BandMarks().front(), (platform::BandAxisMark{"F", 1.25}));
        readOuts = {a.gridCalc.FValue.Caption, a.gridCalc.WValue.Caption};
        // Bands handed as "---": 2 kHz (A +1.2 dB), 1 kHz (0 dB), 125 Hz (-16.1 dB).
        for (const std::int16_t j : GetParam() == 3 ? std::vector<std::int16_t>{13, 16, 25} : std::vector<std::int16_t>{6, 7, 10})
            readOuts.push_back(ValueLabel(a, j).Caption);
        a.cmdCopyCalc_Click();
        copy = ui_.ClipboardText();
        ui_.Unload(form, platform::UnloadMode::FormControlMenu);
    });
    f.cmdA_Click();
    EXPECT_EQ(readOuts,
              (std::vector<std::string>{Fixed(Expected(1).leq) + "dB", "61.3dB", "-58.8dB", "---", "---"}));
    const std::string head = "//////////////////////////////\r\n[F特性AP] , " + Fixed(Expected(1).leq) +
                             "\r\n[補正特性] , 61.3\r\n";
    EXPECT_EQ(copy.substr(0, head.size()), head);
    EXPECT_NE(copy.find(GetParam() == 3 ? "[2kHz] , -58.8\r\n[2.5kHz] , " : "[2kHz] , -58.8\r\n[4kHz] , "),
              std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(Modes, BandWindows, ::testing::Values(std::int16_t{1}, std::int16_t{3}),
                         [](const auto& info) { return info.param == 3 ? "ThirdOctave" : "Octave"; });

class BandWindowsOctave : public BandWindows {};
INSTANTIATE_TEST_SUITE_P(Octave, BandWindowsOctave, ::testing::Values(std::int16_t{1}));

TEST_P(BandWindowsOctave, ClipboardRefusedSaysSoAndNoSelectionCopiesNothing) {
    frmAllBandL f(ui_);
    ui_.Show(f);
    ui_.DoEvents();
    ui_.FailClipboard(true);
    f.cmdCopyCalc_Click();
    ASSERT_EQ(ui_.Messages().size(), 1u);
    EXPECT_EQ(ui_.Messages()[0].Text, "現在クリップボードが使用できない状態です。");
    EXPECT_EQ(ui_.Messages()[0].Title, "コピー失敗");
    EXPECT_EQ(ui_.Messages()[0].Icon, platform::MsgIcon::Information);
    ui_.FailClipboard(false);
    f.cmbCalcL.Select(-1);
    f.cmbCalcL_Click();
    f.cmdCopyCalc_Click();
    EXPECT_EQ(ui_.ClipboardText(), "");
    EXPECT_EQ(ui_.Messages().size(), 1u);
}

TEST_P(BandWindowsOctave, FlatChannelHidesTheWeightedButtonAndOddModeShowsNothing) {
    channel_->ChMeasureCondition.w = -1;
    channel_->ChMeasureCondition.oct1or3 = 2;
    channel_->HzYAxis.XAxisUnit = 1;
    ui_.OnModal("frmAllBandL", [&](platform::Form& form) {
        auto& f = dynamic_cast<frmAllBandL&>(form);
        EXPECT_FALSE(f.cmdA.Visible);
        EXPECT_TRUE(f.chartCalcFFT.AutomaticTop());
        EXPECT_EQ(f.chartCalcFFT.Levels(), std::vector<double>(17, -60.0));
        EXPECT_EQ(f.gridCalc.FValue.Caption, "---");
    });
    ShowBandResultWindow(ui_, BandResultWindow::frmAllBandL);  // closed by its frame
    EXPECT_EQ(HistogramFiles(), 0u);
}

TEST_P(BandWindowsOctave, WeightedWindowWithoutBandsShowsNoLevel) {
    ALevelHandOver none;
    none.m_HzYAxis.YAxisMin = std::nan("");
    none.m_HzYAxis.YAxisMax = -70.0;
    ui_.OnModal("frmALevel", [&](platform::Form& form) {
        auto& a = dynamic_cast<frmALevel&>(form);
        EXPECT_EQ(a.chartCalcFFT.Levels(), std::vector<double>(47, -60.0));
        EXPECT_TRUE(a.chartCalcFFT.AutomaticTop());
        EXPECT_EQ(a.chartCalcFFT.LevelBottom(), -60.0);
        EXPECT_EQ(a.chartCalcFFT.ShownTop(), -50.0);
        EXPECT_EQ(a.gridCalc.Values[44].Caption, "---");
    });
    ShowALevelWindow(ui_, none);
}

TEST_P(BandWindowsOctave, OneBandShowsEveryStatisticOnceWithItsOwnRule) {
    g_BandIndex = 4;  // -60.0 throughout: a value, not "no value"
    channel_->BandLCalcInfos.Item(4).MarkScopes.SimpleAdd(std::make_shared<CScope>(Variant(kS), Variant(kE)));
    frmOneBandL one(ui_);
    ui_.Show(one);
    ui_.DoEvents();
    EXPECT_EQ(one.lblLeq.Caption, "-60.0dB");
    EXPECT_EQ(one.lblLmax.Caption, "-60.0dB");
    EXPECT_EQ(one.lblLx.Caption, "-60.0dB");
    EXPECT_EQ(one.cmbLx.ListCount(), 100);
    EXPECT_EQ(one.FocusedControl, "cmbLx");
    ui_.Unload(one, platform::UnloadMode::FormControlMenu);
    EXPECT_EQ(HistogramFiles(), 0u);

    g_CalcAreaInfluence = 1;
    channel_->BandLCalcInfos.Item(1).MarkScopes.SimpleAdd(std::make_shared<CScope>(Variant(kS), Variant(kE)));
    g_BandIndex = 1;
    channel_->BandLCalcInfos.Item(1).Scopes.SimpleAdd(std::make_shared<CScope>(Variant(200), Variant(300)));
    frmOneBandL f(ui_);
    ui_.Show(f);
    ui_.DoEvents();
    std::vector<std::pair<std::int64_t, float>> values;
    for (std::int64_t p = kS; p < 200; ++p) values.emplace_back(p, levels_[1](p));
    const testing::OracleStats s = testing::Oracle(values, kRate);
    EXPECT_EQ(f.lblLeq.Caption, Fixed(s.leq) + "dB");
    EXPECT_EQ(f.lblL90.Caption, Fixed(s.Lx(90)) + "dB");
    EXPECT_EQ(f.lblLE.Caption, Fixed(s.le) + "dB");
    EXPECT_EQ(f.lblLeqMinus10.Caption, Fixed(s.upperLeq) + "dB");
    EXPECT_EQ(f.lblLx.Caption, Fixed(s.Lx(1)) + "dB");
    f.cmbLx.Select(49);
    f.cmbLx_Click();
    EXPECT_EQ(f.lblLx.Caption, f.lblL50.Caption);
    f.cmbLx.Select(99);
    f.cmbLx_Click();
    EXPECT_EQ(f.lblLx.Caption, Fixed(s.rounded.front()) + "dB");
    const BandStatistics* built = f.Statistics();
    f.Form_Activate();
    EXPECT_EQ(f.Statistics(), built);  // no second build
    EXPECT_EQ(HistogramFiles(), 2u);
    f.cmdCancel_Click();
    EXPECT_EQ(HistogramFiles(), 0u);

    // A mark its own excluded ranges cover: twelve times "---dB".
    g_BandIndex = 2;
    channel_->BandLCalcInfos.Item(2).MarkScopes.SimpleAdd(std::make_shared<CScope>(Variant(kS), Variant(kE)));
    channel_->BandLCalcInfos.Item(2).Scopes.SimpleAdd(std::make_shared<CScope>(Variant(1), Variant(300)));
    frmOneBandL covered(ui_);
    ui_.Show(covered);
    ui_.DoEvents();
    for (const platform::Label* l : {&covered.lblLeq, &covered.lblLmax, &covered.lblL5, &covered.lblL10, &covered.lblL25,
                                     &covered.lblL50, &covered.lblL75, &covered.lblL90, &covered.lblL95, &covered.lblLE,
                                     &covered.lblLeqMinus10, &covered.lblLx})
        EXPECT_EQ(l->Caption, "---dB");
    ui_.Unload(covered);
}

// Former bug: on a read-only project every read-out said "no value" and nobody said why.
TEST_P(BandWindowsOctave, StatisticsThatCannotBeStoredAreToldOncePerWindow) {
    channel_->BandLCalcInfos.Item(1).MarkScopes.SimpleAdd(std::make_shared<CScope>(Variant(kS), Variant(kE)));
    g_BandIndex = 1;
    platform::SetWriteLimitForTests(0);  // no histogram file can be written
    frmAllBandL all(ui_);
    ui_.Show(all);
    ui_.DoEvents();
    frmOneBandL one(ui_);
    ui_.Show(one);
    ui_.DoEvents();
    platform::SetWriteLimitForTests(-1);
    EXPECT_EQ(ui_.MessageTexts(), std::vector<std::string>(2, "統計データを保存できませんでした．"));
    EXPECT_EQ(ui_.Messages()[0].Icon, platform::MsgIcon::Exclamation);
    EXPECT_EQ(one.lblLeq.Caption, "---dB");
    ui_.Unload(one);
    ui_.Unload(all);
}

}  // namespace
}  // namespace murtesk
