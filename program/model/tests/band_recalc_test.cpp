#include "model/band_recalc.h"

#include <gtest/gtest.h>

#include <deque>
#include <random>
#include <vector>

#include "stats_fixture.h"

namespace murtesk {
namespace {

using testing::MakeScopes;

class BandRecalcTest : public testing::ScratchProject {};

TEST_F(BandRecalcTest, SpreadBandsGiveTheSameResultsAsOneByOne) {
    constexpr int kBands = 9;
    std::mt19937 random(3);
    std::normal_distribution<float> level(50, 15);
    CData data;
    data.SaveFileName = "ch.lvl";
    const CScopes ranges = MakeScopes({{3, 900}, {1500, 2999}});
    std::deque<CLCalc> spread, single;
    std::vector<BandRecalc> bands;
    for (int b = 0; b < kBands; ++b) {
        const std::string folder = (dir_ / ("band" + std::to_string(b))).string();
        std::filesystem::create_directories(folder);
        std::vector<float> levels(3000);
        for (auto& v : levels) v = level(random);
        WriteBytes(folder, "ch.lvl", std::string(reinterpret_cast<const char*>(levels.data()), levels.size() * 4));
        spread.emplace_back(context_);
        single.emplace_back(context_);
        ASSERT_TRUE(single.back().resetNew(ranges, data, folder));
        bands.push_back({&spread.back(), &ranges, &data, folder, false});
    }
    ASSERT_TRUE(ResetNewBands(bands, 4, 500));
    for (int b = 0; b < kBands; ++b) {
        EXPECT_TRUE(bands[b].Saved);
        EXPECT_DOUBLE_EQ(spread[b].m_dBSum, single[b].m_dBSum) << b;
        EXPECT_EQ(spread[b].LmaxPos, single[b].LmaxPos) << b;
        EXPECT_EQ(spread[b].LxData.getData(LCalcDir()), single[b].LxData.getData(LCalcDir())) << b;
        EXPECT_EQ(spread[b].getNum(), 2398);
    }
}

TEST_F(BandRecalcTest, ReportsABandWhoseHistogramCouldNotBeSaved) {
    CData data;
    data.SaveFileName = "ch.lvl";
    WriteLevels("ch.lvl", {40, 50});
    const CScopes ranges = MakeScopes({{1, 2}});
    CLCalc good(context_), bad(context_);
    bad.LxData.SaveFileName = "";
    std::vector<BandRecalc> bands{{&good, &ranges, &data, BandDir(), false}, {&bad, &ranges, &data, BandDir(), false}};
    EXPECT_FALSE(ResetNewBands(bands));
    EXPECT_TRUE(bands[0].Saved);
    EXPECT_FALSE(bands[1].Saved);
    EXPECT_EQ(good.getNum(), 2);
}

}  // namespace
}  // namespace murtesk
