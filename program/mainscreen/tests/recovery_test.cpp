// Recovery of an interrupted measurement from "CMeasure.tmp": the completed measurement (end
// time, axes, the first second excluded, targets), and each outcome: success, a file that does not
// read, a level rate of 0, a save that fails.
#include "jobs_fixture.h"

namespace murtesk::testing {
namespace {

using platform::MsgIcon;

class Recovery : public JobsTest {
protected:
    std::string TmpFile() const { return (home / "CMeasure.tmp").string(); }

    // The interrupted measurement: channel 1 at 10 Hz with 100 values per band (slot 5 holds 5,
    // slot 6 none), channel 2 at 2.5 Hz with 50, channel 3 at 10 Hz with 30 and a level axis of its
    // own.
    void WriteInterrupted(double rate1 = 10.0) {
        CMeasure m(draftContext);
        m.StartTime = 45123.5;
        const double rates[] = {rate1, 2.5, 10.0};
        const int counts[] = {100, 50, 30};
        for (int c = 1; c <= 3; ++c) {
            CChMeasure& ch = m.ChMeasures.AddNew();
            ch.ChMeasureCondition.oct1or3 = 1;
            ch.ChMeasureCondition.LevelOutHz = rates[c - 1];
            ch.LevelData.SaveFileName = "rec" + std::to_string(c) + ".lvl";
            ch.CalcXYAxis.YAxisMin = 20.0;
            ch.CalcXYAxis.YAxisMax = 90.0;
            for (int k = 1; k <= 17; ++k) {
                ch.BandLCalcInfos.AddNew();
                const int n = c == 1 && k == 5 ? 5 : counts[c - 1];
                if (c != 1 || k != 6) {
                    WriteFloats(draft.BandFolder(1, static_cast<std::int16_t>(k)), ch.LevelData.SaveFileName,
                                Levels(9, c, k, n));
                }
            }
        }
        ASSERT_TRUE(m.FileWrite(TmpFile()));
    }
    void StartProject(int measures) {
        for (int i = 0; i < measures; ++i) {
            AddMeasure({{1, 20, 10.0, 2}});
        }
        Start();
        Doc().ChMeasureCondition(0).LevelXYAxis.YAxisMin = 30.0;
        Doc().ChMeasureCondition(0).LevelXYAxis.YAxisMax = 110.0;
        Doc().ChMeasureCondition(1).LevelXYAxis.YAxisMin = 10.0;
        Doc().ChMeasureCondition(1).LevelXYAxis.YAxisMax = 80.0;
    }
};

TEST_F(Recovery, CompletesTheMeasurementFromItsLevelFilesAndSaves) {
    WriteInterrupted();
    StartProject(1);
    ASSERT_TRUE(Main().mnuToolRestore.Enabled);
    Main().mnuToolRestore_Click();

    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, "復旧しました.");
    EXPECT_EQ(ui.Messages()[0].Icon, MsgIcon::None);
    EXPECT_FALSE(ui.Busy());
    EXPECT_FALSE(fs::exists(TmpFile()));
    EXPECT_FALSE(Main().mnuToolRestore.Enabled);
    ASSERT_EQ(Doc().Measures.count(), 2);
    EXPECT_EQ(Main().ListView1.SelectedIndex, 1);
    CPreserve saved(ProgramStatsContext());
    ASSERT_TRUE(saved.FileRead(project));
    EXPECT_TRUE(saved.Measures.IsMeEqualTo(Doc().Measures));

    const CMeasure& m = Doc().Measures.Item(2);
    EXPECT_EQ(platform::WholeSecondsBetween(m.StartTime, m.EndTime), 10);
    const std::pair<double, double> yRanges[] = {{30, 110}, {10, 80}, {20, 90}};
    for (int c = 1; c <= 3; ++c) {
        const CXYAxis& axis = m.ChMeasures.Item(c).CalcXYAxis;
        EXPECT_EQ(axis.XAxisUnit, 3);
        EXPECT_EQ(axis.getXWidthSec(), 60);
        EXPECT_EQ(std::make_pair(axis.YAxisMin, axis.YAxisMax), yRanges[c - 1]) << c;
    }
    struct BandCase {
        int c, k, n;
        std::pair<double, double> excluded;
        std::vector<std::pair<int, int>> targets;
    };
    for (const BandCase& b : std::vector<BandCase>{{1, 1, 100, {1, 10}, {{11, 100}}},
                                                   {1, 17, 100, {1, 10}, {{11, 100}}},
                                                   {1, 5, 5, {1, 5}, {}},
                                                   {1, 6, 0, {1, 0}, {}},
                                                   {2, 3, 50, {1, 2}, {{3, 50}}},
                                                   {3, 2, 30, {1, 10}, {{11, 30}}}}) {
        SCOPED_TRACE("channel " + std::to_string(b.c) + " slot " + std::to_string(b.k));
        const CBandLCalcInfo& band = m.ChMeasures.Item(b.c).BandLCalcInfos.Item(b.k);
        EXPECT_EQ(band.AllLCalc.Scope.S.AsDouble(), 1.0);
        EXPECT_EQ(band.AllLCalc.Scope.E.AsDouble(), b.n);
        EXPECT_EQ(RangesOf(band.Scopes), (std::vector<std::pair<double, double>>{b.excluded}));
        const Expected e = ExpectedOf(Inside(Levels(9, b.c, b.k, b.n), b.targets));
        EXPECT_EQ(band.LCalc.ValueCount(), e.n);
        EXPECT_NEAR(band.LCalc.getLeq(), e.leq, 1e-9);
    }
}

TEST_F(Recovery, IntoAnEmptyProjectTheNewRowShows) {
    WriteInterrupted();
    StartProject(0);
    Main().mnuToolRestore_Click();
    ASSERT_EQ(Main().ListView1.Rows.size(), 1u);
    EXPECT_EQ(Main().ListView1.SelectedIndex, 0);
    EXPECT_EQ(Main().m_MeasureIndex, 1);
}

class RecoveryRefused : public Recovery, public ::testing::WithParamInterface<bool> {};

TEST_P(RecoveryRefused, AFileThatDoesNotReadOrALevelRateOfZeroChangesNothing) {
    if (GetParam()) {
        std::ofstream(TmpFile(), std::ios::binary) << "not a measurement";
    } else {
        WriteInterrupted(0.0);
    }
    StartProject(1);
    Main().mnuToolRestore_Click();
    EXPECT_EQ(ui.MessageTexts(), std::vector<std::string>{"復旧できませんでした."});
    EXPECT_EQ(Doc().Measures.count(), 1);
    EXPECT_TRUE(Main().mnuToolRestore.Enabled);
    EXPECT_TRUE(fs::exists(TmpFile()));
    EXPECT_FALSE(ui.Busy());
}

INSTANTIATE_TEST_SUITE_P(GarbageOrRateZero, RecoveryRefused, ::testing::Bool());

TEST_F(Recovery, AFailedSaveKeepsTheFileUntilASaveHoldsTheMeasurement) {
    WriteInterrupted();
    StartProject(1);
    platform::SetWriteLimitForTests(0);
    Main().mnuToolRestore_Click();
    platform::SetWriteLimitForTests(-1);
    ASSERT_EQ(ui.MessageTexts(),
              (std::vector<std::string>{"データ保存に失敗しました．", "復旧しましたが、保存できませんでした."}));
    EXPECT_EQ(ui.Messages()[1].Icon, MsgIcon::Critical);
    EXPECT_TRUE(fs::exists(TmpFile()));
    EXPECT_EQ(Doc().Measures.count(), 2);

    // In the list already: the command cannot add it again.
    EXPECT_FALSE(Main().mnuToolRestore.Enabled);
    Main().mnuToolRestore_Click();
    EXPECT_EQ(Doc().Measures.count(), 2);

    ASSERT_TRUE(Main().SaveData());
    EXPECT_FALSE(fs::exists(TmpFile()));
}

}  // namespace
}  // namespace murtesk::testing
