// Level-over ranges and range files on recordings imported through the built analysis library: the
// orange ranges equal a scan of the level file done here, and a ".dla" saved from one measurement
// opens on the other moved by the difference of their starts times the level rate.
#include "frmLevelOverArea.h"
#include "frmMeasure.h"
#include "frmOctCalc.h"
#include "import_recordings.h"
#include "mainscreen_fixture.h"

#include "model/shared_procedures.h"
#include "platform/dates.h"
#include "platform/numbers.h"

#include <algorithm>
#include <cmath>

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

// The runs of positions (1-based) whose level is at or above `threshold`.
RangeList RunsAtOrAbove(const std::vector<float>& levels, double threshold) {
    RangeList runs;
    for (std::size_t i = 0; i < levels.size(); ++i) {
        if (levels[i] < threshold) {
            continue;
        }
        const auto p = static_cast<std::int64_t>(i + 1);
        if (!runs.empty() && runs.back().second == p - 1) {
            runs.back().second = p;
        } else {
            runs.emplace_back(p, p);
        }
    }
    return runs;
}

class RangeCommandsEndToEnd : public MainScreenTest {
protected:
    RangeCommandsEndToEnd() {
        g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
        g_NewCalcScreen = [](platform::UiServices& u) { return std::make_unique<frmOctCalc>(u); };
    }
    CPreserve& Records() { return static_cast<PreserveDocument&>(g_PreserveDoc()).Preserve(); }
    frmOctCalc& Calc() { return static_cast<frmOctCalc&>(*forms.octCalc); }
};

TEST_F(RangeCommandsEndToEnd, OrangeRangesAndARangeFileAcrossTwoRecordings) {
    const std::string project = Data("road.qvd");
    PreserveDocument empty;
    empty.SetSaveFilePath(project);
    ASSERT_TRUE(empty.FileWrite(project));
    Start({project});
    ImportRecordings(ui, (home / "data").string(), {10.0, 10.0});
    ASSERT_EQ(Records().Measures.count(), 2);
    // The second recording starts 3 s before the first.
    CMeasure& second = Records().Measures.Item(2);
    second.StartTime = platform::AddSeconds(Records().Measures.Item(1).StartTime, -3.0);
    second.EndTime = platform::AddSeconds(second.StartTime, 10.0);
    Main().ShowLastMeasure();
    Main().ListView1.SelectedIndex = 0;
    Main().cmdOK_Click();
    ASSERT_TRUE(Calc().Visible) << ::testing::PrintToString(ui.MessageTexts());

    // Orange ranges of the shown band at its median level.
    const std::int16_t slot = Calc().Shown().band;
    const CChMeasure& ch = Records().Measures.Item(1).ChMeasures.Item(1);
    const std::vector<float> levels =
        ReadFloats(*ch.LevelData.PathIn(GetBandFolder(project, ch.ChMeasureCondition.oct1or3, slot)));
    ASSERT_GT(levels.size(), 10u);
    std::vector<float> sorted = levels;
    std::nth_element(sorted.begin(), sorted.begin() + sorted.size() / 2, sorted.end());
    const double threshold = std::round(sorted[sorted.size() / 2] * 10.0) / 10.0;
    ui.OnModal("frmLevelOverArea", [threshold](platform::Form& f) {
        auto& d = static_cast<frmLevelOverArea&>(f);
        d.txtLevel.Text = platform::NumberToText(threshold);
        d.cmdOK_Click();
    });
    Calc().mnuLevelOverArea_Click();
    const CBandLCalcInfo& band = ch.BandLCalcInfos.Item(slot);
    const RangeList orange = RunsAtOrAbove(levels, threshold);
    ASSERT_FALSE(orange.empty());
    EXPECT_EQ(Ranges(band.LevelOverScopes), orange);

    // The orange ranges become the excluded ranges of the shown band, saved and opened on the other
    // measurement: 3 s later there, so every range moves by 3 × the rate.
    Calc().optAreaBand.Select(1);
    Calc().cmdLevelOverDelete_Click();
    ASSERT_EQ(Ranges(band.Scopes), orange);
    const std::string file = (home / "data" / "orange.dla").string();
    ASSERT_TRUE(Calc().WriteRangeFile(band.Scopes, file, "failed", "saved"));
    Calc().cmdNext_Click();
    ASSERT_EQ(Calc().Shown().measureIndex, 2);
    ASSERT_EQ(Calc().Shown().band, slot);
    const CChMeasure& other = Records().Measures.Item(2).ChMeasures.Item(1);
    const auto shift = static_cast<std::int64_t>(3 * other.ChMeasureCondition.LevelOutHz);
    const auto n = static_cast<std::int64_t>(
        other.LevelData.getDataNumNoWait(GetBandFolder(project, other.ChMeasureCondition.oct1or3, slot)));
    RangeList moved;
    for (const auto& [s, e] : orange) {
        if (s + shift <= n) {
            moved.emplace_back(s + shift, std::min(e + shift, n));
        }
    }
    ASSERT_TRUE(Calc().ReadDeleteAreaFrom(file));
    EXPECT_EQ(Ranges(other.BandLCalcInfos.Item(slot).Scopes), moved);
}

}  // namespace
}  // namespace murtesk::testing
