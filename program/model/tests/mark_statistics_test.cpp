// The pair of statistics of a slot over a list of positions: read once for a short list, slice by
// slice for a long one, it gives what the statistics engine's own passes and getLE give over the
// same values.
#include "model/mark_statistics.h"

#include <cmath>

#include "stats_fixture.h"

namespace murtesk::testing {
namespace {

struct PairCase {
    const char* name;
    std::vector<std::pair<std::int32_t, std::int32_t>> ranges;
    std::int32_t slice;
    friend void PrintTo(const PairCase& c, std::ostream* os) { *os << c.name; }
};

class SlotPairs : public ScratchProject, public ::testing::WithParamInterface<PairCase> {};

TEST_P(SlotPairs, AgreeWithTheEnginesOwnPasses) {
    // 300 values: a quiet start below -60 dB (the energy sum's replacing rule), "no signal"
    // values of -1000 dB and one NaN among traffic levels, a maximum of 88 at 150, 78 at 40.
    std::vector<float> levels(300);
    for (std::size_t i = 0; i < levels.size(); ++i) levels[i] = 50.0f + static_cast<float>(i * 37 % 101) / 10;
    levels[0] = -75.0f;
    levels[1] = -64.0f;
    levels[10] = -1000.0f;
    levels[11] = std::nanf("");
    levels[149] = 88.0f;
    levels[39] = 78.0f;
    WriteLevels("c.lvl", levels);
    CData data;
    data.SaveFileName = "c.lvl";
    CScopes ranges;
    for (const auto& [s, e] : GetParam().ranges) ranges.Add(CScope(s, e));

    CLCalc range(context_), upper(context_), refRange(context_), refUpper(context_);
    SlotPair pair{&range, &upper, &ranges, &data, BandDir(), 10.0};
    ASSERT_TRUE(ComputeSlotPair(LCalcDir(), pair, GetParam().slice));
    ASSERT_TRUE(refRange.resetNew(ranges, data, BandDir()));
    ASSERT_TRUE(refUpper.resetNewMaxMinusNArea(ranges, data, BandDir(), refRange.getLmax(), 10.0));
    std::int32_t n = 0;
    const std::vector<float> values = data.getDataAreas(ranges, n, BandDir());
    const double le = refRange.getLE(values, 10.0);

    for (const auto& [mine, ref] : {std::pair{&range, &refRange}, std::pair{&upper, &refUpper}}) {
        EXPECT_EQ(mine->Scope.E.AsDouble(), ref->Scope.E.AsDouble());
        EXPECT_EQ(mine->getLmax(), ref->getLmax());
        EXPECT_EQ(mine->getLmaxPos(), ref->getLmaxPos());
        EXPECT_NEAR(mine->m_dBSum, ref->m_dBSum, 1e-9);
        EXPECT_EQ(mine->LxData.getData(LCalcDir()), ref->LxData.getData(LCalcDir()));
        EXPECT_EQ(mine->getLx(100), ref->getLx(100));
    }
    EXPECT_NEAR(range.LE, le, 1e-9);
    EXPECT_EQ(pair.Histogram, refRange.LxData.getData(LCalcDir()));
}

INSTANTIATE_TEST_SUITE_P(
    Lists, SlotPairs,
    ::testing::Values(PairCase{"one range, read once", {{1, 300}}, 1 << 20},
                      PairCase{"one range in slices of 7", {{1, 300}}, 7},
                      PairCase{"gaps, past the end, reversed, in slices of 16", {{5, 30}, {41, 60}, {90, 80}, {280, 400}}, 16},
                      PairCase{"gaps, read once", {{5, 30}, {41, 60}, {280, 400}}, 1 << 20},
                      PairCase{"nothing in the file", {{400, 500}}, 1 << 20},
                      PairCase{"empty list", {}, 1 << 20}),
    [](const ::testing::TestParamInfo<PairCase>& info) { return "case" + std::to_string(info.index); });

TEST_F(ScratchProject, PairWithoutUsableRateHasNoExposureLevel) {
    WriteLevels("c.lvl", std::vector<float>(20, 70.0f));
    CData data;
    data.SaveFileName = "c.lvl";
    CScopes ranges = MakeScopes({{1, 20}});
    CLCalc range(context_), upper(context_);
    SlotPair pair{&range, &upper, &ranges, &data, BandDir(), 0.0};
    ASSERT_TRUE(ComputeSlotPair(LCalcDir(), pair));
    EXPECT_EQ(range.LE, kNoLevel);
    EXPECT_EQ(range.Scope.E.AsDouble(), 20.0);
}

}  // namespace
}  // namespace murtesk::testing
