#include "model/band_recalc.h"

#include <gtest/gtest.h>

#include <cmath>
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

// The exposure level of a range, read in slices on several threads: 10 log10 of the energy sum of
// the values the file holds in S..E, less 10 log10 of the rate; -60 when none is read.
TEST_F(BandRecalcTest, ExposureLevelsOfARangeAreReadInSlicesAndCutToTheFile) {
    CData data;
    data.SaveFileName = "ch.lvl";
    WriteLevels("ch.lvl", {40, 50, 60, 70, 80});
    const double fromTwo = 10.0 * std::log10(1e5 + 1e6 + 1e7 + 1e8) - 10.0 * std::log10(4.0);
    struct Case {
        std::int32_t S, E, slice;
        double rate, expected;
    };
    const Case cases[] = {{2, 5, 1, 4.0, fromTwo},      {2, 9, 3, 4.0, fromTwo}, {2, 5, 1000, 4.0, fromTwo},
                          {1, 1, 2, 10.0, 40.0 - 10.0}, {6, 9, 2, 4.0, -60.0},   {0, 3, 2, 4.0, -60.0},
                          {3, 2, 2, 4.0, -60.0},        {1, 5, 2, 0.0, -60.0}};
    std::deque<CLCalc> calcs;
    for (const Case& c : cases) {
        calcs.emplace_back(context_);
        std::vector<BandLE> one{{&calcs.back(), &data, BandDir(), c.S, c.E, c.rate}};
        GetLEBands(one, 1, c.slice);
        EXPECT_NEAR(calcs.back().LE, c.expected, 1e-9) << c.S << ".." << c.E << " in slices of " << c.slice;
    }
    // All at once on four threads: the same levels.
    std::deque<CLCalc> spread;
    std::vector<BandLE> bands;
    for (const Case& c : cases) {
        spread.emplace_back(context_);
        bands.push_back({&spread.back(), &data, BandDir(), c.S, c.E, c.rate});
    }
    GetLEBands(bands, 4, 2);
    for (std::size_t i = 0; i < bands.size(); ++i) {
        EXPECT_NEAR(spread[i].LE, calcs[i].LE, 1e-9) << i;
    }
}

}  // namespace
}  // namespace murtesk
