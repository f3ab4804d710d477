// The range commands over a whole band or channel, over real project folders: level-over ranges
// found across slice boundaries and the dialog's three answers, their conversion into excluded and
// mark ranges, and the copies of ranges to the other channels at other rates.
#include "calc_fixture.h"
#include "range_editors.h"

#include "frmLevelOverArea.h"

namespace murtesk::testing {
namespace {

using RangeList = std::vector<std::pair<std::int64_t, std::int64_t>>;

RangeList Ranges(const CScopes& list) {
    RangeList out;
    for (const auto& r : list) {
        out.emplace_back(*ScopePosition(r->S), *ScopePosition(r->E));
    }
    return out;
}

void SetRanges(CScopes& list, const RangeList& ranges) {
    list.AllDelete();
    for (const auto& [s, e] : ranges) {
        list.SimpleAdd(
            std::make_shared<CScope>(Variant(static_cast<std::int32_t>(s)), Variant(static_cast<std::int32_t>(e))));
    }
}

// Ten levels with runs at or above 50 dB at 1, 3..5 and 7..9.
constexpr float kTen[] = {55, 40, 50, 60, 50, 40, 70, 70, 70, 30};
float Ten(std::int64_t p) { return kTen[p - 1]; }

class LevelOver : public CalcScreenTest {
protected:
    LevelOver() {
        ChannelSpec spec;
        spec.values = 10;
        AddMeasure(60, {spec});
        WriteLevels(Ch(), 2, 10, Ten);
        Show(1);
        ChooseBand(2);
        ui.ClearTranscript();
    }
    static CChMeasure& Ch() { return Channel(1, 1); }
    static CBandLCalcInfo& Band(std::int16_t slot) { return Ch().BandLCalcInfos.Item(slot); }
    void Answer(const std::string& button, const std::string& level = {}) {
        ui.OnModal("frmLevelOverArea", [button, level](platform::Form& f) {
            auto& d = static_cast<frmLevelOverArea&>(f);
            if (button == "表示") {
                d.txtLevel.Text = level;
                d.cmdOK_Click();
            } else if (button == "非表示") {
                d.cmdNo_Click();
            } else {
                d.cmdCancel_Click();
            }
        });
    }
};

TEST_F(LevelOver, RunsAtOrAboveTheLevelStayWholeAcrossSlices) {
    calc.SetLevelSliceLength(4);  // slices 1..4, 5..8, 9..10: two runs cross a boundary
    Answer("表示", "50");
    calc.mnuLevelOverArea_Click();
    EXPECT_EQ(Band(2).OverLevel, 50.0);
    EXPECT_EQ(Ranges(Band(2).LevelOverScopes), (RangeList{{1, 1}, {3, 5}, {7, 9}}));
    EXPECT_EQ(g_ChMeasure, nullptr);
    EXPECT_FALSE(ui.Busy());
}

TEST_F(LevelOver, CancelKeepsEverythingAndHideEmptiesTheRanges) {
    Band(2).OverLevel = 65.0;
    SetRanges(Band(2).LevelOverScopes, {{7, 9}});
    Answer("Cancel");
    calc.mnuLevelOverArea_Click();
    EXPECT_EQ(Band(2).OverLevel, 65.0);
    EXPECT_EQ(Ranges(Band(2).LevelOverScopes), (RangeList{{7, 9}}));

    Answer("非表示");
    calc.mnuLevelOverArea_Click();
    EXPECT_EQ(Band(2).OverLevel, 65.0);
    EXPECT_TRUE(Band(2).LevelOverScopes.count() == 0);
    EXPECT_EQ(g_ChMeasure, nullptr);
}

TEST_F(LevelOver, ConversionToExcludedRangesReachesEveryBandAndEmptiesOnlyTheShownList) {
    SetRanges(Band(2).LevelOverScopes, {{3, 5}, {7, 9}});
    SetRanges(Band(3).LevelOverScopes, {{1, 1}});
    SetRanges(Band(1).Scopes, {{5, 7}});
    calc.cmdLevelOverDelete_Click();
    EXPECT_EQ(Ranges(Band(1).Scopes), (RangeList{{3, 9}}));
    for (const std::int16_t slot : {2, 3, 47}) {
        EXPECT_EQ(Ranges(Band(slot).Scopes), (RangeList{{3, 5}, {7, 9}})) << slot;
    }
    EXPECT_TRUE(Band(2).LevelOverScopes.count() == 0);
    EXPECT_EQ(Ranges(Band(3).LevelOverScopes), (RangeList{{1, 1}}));
    // Band 2's target is 1, 2, 6, 10: 55, 40, 40, 30 dB.
    EXPECT_EQ(Band(2).LCalc.getLmax(), 55.0);
    EXPECT_EQ(ui.MessageTexts().size(), 0u);
}

TEST_F(LevelOver, ConversionToMarksOnTheShownBandOnly) {
    calc.optAreaBand.Select(1);
    SetRanges(Band(2).LevelOverScopes, {{3, 5}, {7, 9}});
    SetRanges(Band(2).MarkScopes, {{5, 7}});
    calc.cmdOrangeMark_Click();
    EXPECT_EQ(Ranges(Band(2).MarkScopes), (RangeList{{3, 9}}));
    EXPECT_TRUE(Band(1).MarkScopes.count() == 0);
    EXPECT_TRUE(Band(2).LevelOverScopes.count() == 0);
}

TEST_F(LevelOver, NothingToConvertSaysSoAndChangesNothing) {
    calc.cmdLevelOverDelete_Click();
    calc.cmdOrangeMark_Click();
    ASSERT_EQ(ui.Messages().size(), 2u);
    for (const auto& m : ui.Messages()) {
        EXPECT_EQ(m.Text,
                  "指定レベル以上のオレンジ範囲がありません.\r\n"
                  "メニューの[ツール]-[指定レベル以上範囲表示...]で\r\n"
                  "指定レベル以上の範囲を表示させてください.");
        EXPECT_EQ(m.Title, "お知らせ");
        EXPECT_EQ(m.Icon, platform::MsgIcon::Information);
    }
    EXPECT_TRUE(Band(1).Scopes.count() == 0 && Band(1).MarkScopes.count() == 0);
}

// Shown channel at 10 values/s (one-third-octave); others at 20 (one-third-octave), 4 (octave),
// and one not analysed.
class ChannelCopies : public CalcScreenTest {
protected:
    ChannelCopies() {
        ChannelSpec shown;
        shown.values = 10;
        ChannelSpec fast = shown;
        fast.rate = 20.0;
        fast.values = 20;
        ChannelSpec slow;
        slow.oct1or3 = 1;
        slow.rate = 4.0;
        slow.values = 4;
        ChannelSpec none;
        none.oct1or3 = 0;
        AddMeasure(60, {shown, fast, slow, none});
        Show(1);
        ChooseBand(10);
        SetRanges(Band(1, 10).Scopes, {{3, 7}});
        SetRanges(Band(1, 10).MarkScopes, {{3, 7}});
        Channel(1, 1).CalcXYAxis.XAxisUnit = 3;
        Channel(1, 1).CalcXYAxis.XAxisMax = platform::AddSeconds(kMeasureStart, 30.0);
    }
    static CBandLCalcInfo& Band(std::int32_t ch, std::int16_t slot) { return Channel(1, ch).BandLCalcInfos.Item(slot); }
};

// 3..7 at 10 values/s spans 0.2 s to 0.7 s: positions 5..14 at 20/s; at 4/s the nearest steps
// begin at 0.25 s (0.8 → 1 step in) and end at 0.75 s (2.8 → 3).
TEST_F(ChannelCopies, ExcludedRangesScaleByRateOnEverySlotOfTheTargetsType) {
    calc.cmdLinkChDelArea_Click();
    for (const std::int16_t slot : {1, 2, 10, 47}) {
        EXPECT_EQ(Ranges(Band(2, slot).Scopes), (RangeList{{5, 14}})) << slot;
    }
    for (const std::int16_t slot : {1, 2, 17}) {
        EXPECT_EQ(Ranges(Band(3, slot).Scopes), (RangeList{{2, 3}})) << slot;
    }
    EXPECT_EQ(Ranges(Band(1, 10).Scopes), (RangeList{{3, 7}}));
    // Channel 2's target is 1..4 and 15..20 of p/10 dB: the maximum is 2.0 dB.
    EXPECT_EQ(Band(2, 1).LCalc.getLmax(), 2.0f);
    for (std::int32_t ch = 2; ch <= 4; ++ch) {
        EXPECT_EQ(Channel(1, ch).CalcXYAxis.XAxisMax.AsDouble(), Channel(1, 1).CalcXYAxis.XAxisMax.AsDouble()) << ch;
        EXPECT_EQ(Channel(1, ch).CalcXYAxis.XAxisUnit, 3) << ch;
    }

    const CScopes first = Band(2, 10).Scopes;
    calc.cmdLinkChDelArea_Click();  // a second copy merges into the same ranges
    EXPECT_EQ(Ranges(Band(2, 10).Scopes), Ranges(first));
}

TEST_F(ChannelCopies, ShownBandOnlyReachesFAndWAlone) {
    calc.optAreaBand.Select(1);
    calc.cmdLinkChMark_Click();
    EXPECT_EQ(Ranges(Band(2, 1).MarkScopes), (RangeList{{5, 14}}));
    EXPECT_EQ(Ranges(Band(2, 2).MarkScopes), (RangeList{{5, 14}}));
    EXPECT_TRUE(Band(2, 10).MarkScopes.count() == 0);
    EXPECT_EQ(Ranges(Band(3, 2).MarkScopes), (RangeList{{2, 3}}));
}

TEST_F(ChannelCopies, AnLEPastTheTargetsFileIsNoLevel) {
    SetRanges(Band(1, 10).LEScopes, {{30, 40}});
    calc.cmdLinkCh_Click();
    EXPECT_EQ(Ranges(Band(2, 1).LEScopes), (RangeList{{59, 80}}));  // 2.9 s to 4.0 s
    EXPECT_EQ(Band(2, 1).AllLCalc.LE, -60.0);
}

// A range keeps its time at the other rate: it starts at the step nearest to its start, (S - 1)
// steps after position 1, and ends with the step that ends nearest to its end.
TEST(ChannelRange, KeepsItsTimeWithHalvesToEven) {
    struct Case {
        std::int32_t S, E;
        double ratio;
        std::int32_t wantS, wantE;
    };
    const Case cases[] = {
        {5, 6, 10.0, 41, 60},    // 0.4 s .. 0.6 s at 10/s, then at 100/s
        {3, 7, 2.0, 5, 14},      // 0.2 s .. 0.7 s
        {3, 7, 0.4, 2, 3},       // 0.8 → 1 step in; 2.8 → 3
        {4, 7, 0.5, 3, 4},       // 1.5 → 2 steps in, 3.5 → 4
        {6, 9, 0.5, 3, 4},       // 2.5 → 2 steps in, 4.5 → 4
        {5, 5, 0.1, 1, 1},       // 4 ms .. 5 ms at 1,000/s: within the first step at 100/s
        {1, 1, 1.0, 1, 1},       // the same rate: as it stands
        {2147483647, 2147483647, 2.0, 2147483647, 2147483647},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ChannelRange(c.S, c.E, c.ratio), std::make_pair(c.wantS, c.wantE))
            << c.S << ".." << c.E << " × " << c.ratio;
    }
}

}  // namespace
}  // namespace murtesk::testing
