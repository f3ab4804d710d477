// The range editors without the form: each list of a band set edited, and the statistics that hang
// on it recomputed, against values worked out here from the written levels.
#include "range_editors.h"
#include "calc_fixture.h"
#include "range_work.h"

#include <cmath>

namespace murtesk::testing {
namespace {

constexpr float kSix[] = {40.0f, 50.0f, 60.0f, 70.0f, 80.0f, 90.0f};
float Six(std::int64_t p) { return kSix[(p - 1) % 6]; }

// The energy mean (Leq) and sum (LE at one value per second) of levels.
double Leq(std::initializer_list<double> levels) {
    double sum = 0.0;
    for (const double l : levels) sum += std::pow(10.0, l / 10.0);
    return 10.0 * std::log10(sum / static_cast<double>(levels.size()));
}
double Sum(std::initializer_list<double> levels) { return Leq(levels) + 10.0 * std::log10(levels.size()); }

using RangeList = std::vector<std::pair<std::int64_t, std::int64_t>>;
RangeList Ranges(const CScopes& list) {
    RangeList out;
    for (const auto& r : list) out.emplace_back(*ScopePosition(r->S), *ScopePosition(r->E));
    return out;
}

// One-third-octave channel at one value per second: slots 1, 2 and 3 hold six levels, slot 5 one
// value, slot 4 no file. The set is slots 1 to 5.
class RangeEditors : public ::testing::Test, public CalcProject {
protected:
    RangeEditors() : CalcProject(::testing::UnitTest::GetInstance()->current_test_info()->name()) {
        ChannelSpec spec;
        spec.rate = 1.0;
        AddMeasure(60, {spec});
        for (const std::int16_t slot : {1, 2, 3}) WriteLevels(Ch(), slot, 6, Six);
        WriteLevels(Ch(), 5, 1, Six);
        set.channel = &Ch();
        set.projectPath = ProjectPath();
        set.slots = {1, 2, 3, 4, 5};
    }
    static CChMeasure& Ch() { return Channel(1, 1); }
    static CBandLCalcInfo& Band(std::int16_t slot) { return Ch().BandLCalcInfos.Item(slot); }
    BandSet set;
};

TEST_F(RangeEditors, ExcludedAndTargetEditsRecomputeWhatEachBandKeeps) {
    struct Step {
        const char* what;
        std::function<bool()> edit;
        RangeList filed;   // excluded ranges of slot 1 afterwards
        double leq;        // of slot 1's target
        std::int32_t num;  // values counted
    };
    const std::vector<Step> steps = {
        {"exclude 4-6", [&] { return ExcludedRanges(set).Add(4, 6); }, {{4, 6}}, Leq({40, 50, 60}), 3},
        {"target 5", [&] { return TargetRanges(set).Add(5, 5); }, {{4, 4}, {6, 6}}, Leq({40, 50, 60, 80}), 4},
        {"merge 1-2",
         [&] {
             CScopes list;
             list.SimpleAdd(calc::NewRange(1, 2));
             return ExcludedRanges(set).Merge(list);
         },
         {{1, 2}, {4, 4}, {6, 6}},
         Leq({60, 80}),
         2},
        {"target all", [&] { return TargetRanges(set).All(); }, {}, Leq({40, 50, 60, 70, 80, 90}), 6},
    };
    for (const Step& step : steps) {
        ASSERT_TRUE(step.edit()) << step.what;
        for (const std::int16_t slot : {1, 2, 3}) {
            EXPECT_EQ(Ranges(Band(slot).Scopes), step.filed) << step.what << " slot " << slot;
            EXPECT_NEAR(Band(slot).LCalc.getLeq(), step.leq, 0.0005) << step.what << " slot " << slot;
            EXPECT_EQ(Band(slot).LCalc.getNum(), step.num) << step.what << " slot " << slot;
        }
    }
    // A band without a file keeps the first excluded range as given; the target leaves it alone.
    EXPECT_EQ(Ranges(Band(4).Scopes), (RangeList{{1, 2}, {4, 6}}));

    // Deleting one range of one band recomputes that band alone.
    ExcludedRanges(set).Add(2, 3);
    ASSERT_TRUE(ExcludedRanges(set).Delete(2, 1));
    EXPECT_EQ(Ranges(Band(2).Scopes), RangeList{});
    EXPECT_NEAR(Band(2).LCalc.getLeq(), Leq({40, 50, 60, 70, 80, 90}), 0.0005);
    EXPECT_NEAR(Band(1).LCalc.getLeq(), Leq({40, 70, 80, 90}), 0.0005);
}

TEST_F(RangeEditors, LEMarkAndLevelOverLists) {
    LERanges(set).Set(2, 5);
    for (const std::int16_t slot : {1, 2, 3}) {
        EXPECT_EQ(Ranges(Band(slot).LEScopes), (RangeList{{2, 5}})) << slot;
        EXPECT_NEAR(Band(slot).AllLCalc.LE, Sum({50, 60, 70, 80}), 1e-9) << slot;
    }

    const MarkRanges marks(set);
    marks.Add(1, 2);
    marks.Add(5, 6);
    marks.Erase(2, 5);  // slots with fewer than two values keep their marks
    EXPECT_EQ(Ranges(Band(1).MarkScopes), (RangeList{{1, 1}, {6, 6}}));
    EXPECT_EQ(Ranges(Band(4).MarkScopes), (RangeList{{1, 2}, {5, 6}}));
    CScopes more;
    more.SimpleAdd(calc::NewRange(3, 4));
    marks.Merge(more);
    EXPECT_EQ(Ranges(Band(3).MarkScopes), (RangeList{{1, 1}, {3, 4}, {6, 6}}));
    marks.Clear();
    EXPECT_EQ(Band(4).MarkScopes.count(), 0);

    Band(2).OverLevel = 65.0;
    BandSet shown = set;
    shown.slots = {2};
    LevelOverRanges(shown).Find(2);  // in slices of two values: a run across slices stays one
    EXPECT_EQ(Ranges(Band(2).LevelOverScopes), (RangeList{{4, 6}}));
    EXPECT_EQ(Band(1).LevelOverScopes.count(), 0);
}

}  // namespace
}  // namespace murtesk::testing
