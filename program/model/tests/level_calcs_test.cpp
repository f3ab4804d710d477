#include "model/level_calcs.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "platform/binary_file.h"
#include "stats_fixture.h"

namespace murtesk {
namespace {

using testing::MakeScopes;

class CLCalcsTest : public testing::ScratchProject {
protected:
    // A member over the levels of its own series; `offset` moves the series' start.
    std::shared_ptr<CLCalc> Member(const std::vector<float>& levels, std::int32_t offset = 0) {
        CData data;
        data.SaveFileName = "m" + std::to_string(files_++) + ".lvl";
        std::vector<float> series(static_cast<std::size_t>(offset), -1000.0f);
        series.insert(series.end(), levels.begin(), levels.end());
        WriteLevels(data.SaveFileName, series);
        auto calc = std::make_shared<CLCalc>(context_);
        EXPECT_TRUE(calc->resetNew(MakeScopes({{offset + 1, static_cast<std::int32_t>(series.size())}}), data, BandDir()));
        return calc;
    }
    int files_ = 0;
};

TEST_F(CLCalcsTest, CombinesTheMembersValues) {
    CLCalcs all(context_);
    all.Add(Member({40, 50}));
    all.Add(Member({60}, 4));
    EXPECT_DOUBLE_EQ(all.getLx(50), 50.0);
    EXPECT_DOUBLE_EQ(all.getLx(100), 40.0);
    EXPECT_EQ(all.getLevelNum(), 3);
    EXPECT_NEAR(all.getLeq(), 55.682, 0.0005);
    EXPECT_EQ(all.getLmax(), 60);
    EXPECT_EQ(all.getLmaxPos(), 5);  // within the second member's own series
}

TEST_F(CLCalcsTest, EmptyList) {
    const CLCalcs none(context_);
    EXPECT_DOUBLE_EQ(none.getLx(50), -60);
    EXPECT_DOUBLE_EQ(none.getLeq(), -60);
    EXPECT_EQ(none.getLevelNum(), 0);
    EXPECT_DOUBLE_EQ(none.getLmax(), -60);
    EXPECT_EQ(none.getLmaxPos(), 1);
}

TEST_F(CLCalcsTest, FirstOfEqualMaximaWins) {
    CLCalcs all(context_);
    all.Add(Member({70, 30}));
    all.Add(Member({30, 70}, 10));
    EXPECT_EQ(all.getLmaxPos(), 1);
}

TEST_F(CLCalcsTest, LeqKeepsEveryMemberThatHoldsEnergy) {
    // Low levels (vibration, quiet bands) are real energy: two members at -3 dB combine to -3 dB.
    CLCalcs all(context_);
    all.Add(Member({-3}));
    all.Add(Member({-3}));
    all.Add(Member({-1000}));  // holds nothing and is left out of the sum
    EXPECT_NEAR(all.getLeq(), -3.0, 1e-9);
}

// Former bug: the members' bin counts were summed in 32 bits, which overflowed (undefined
// behaviour, and a wrong Lx), and Leq divided by a count cut to 32 bits.
TEST_F(CLCalcsTest, LargeHistogramsCombineIn64Bits) {
    constexpr std::int32_t kBig = 2'000'000'000;
    CLCalcs all(context_);
    for (int m = 0; m < 2; ++m) {
        auto calc = std::make_shared<CLCalc>(context_);
        LevelHistogram counts{};
        counts[1000] = kBig;  // 40 dB
        if (m == 1) counts[1200] = kBig / 2;  // 60 dB
        ASSERT_TRUE(calc->LxData.SaveData(counts, LCalcDir()));
        calc->m_dBSum = 10 * std::log10(kBig * 1e4 + (m == 1 ? kBig / 2 * 1e6 : 0.0));
        calc->Lmax = m == 1 ? 60 : 40;
        all.Add(calc);
    }
    // 5e9 values: 4e9 at 40 dB, 1e9 at 60 dB.
    EXPECT_DOUBLE_EQ(all.getLx(50), 40.0);
    EXPECT_DOUBLE_EQ(all.getLx(10), 60.0);
    EXPECT_DOUBLE_EQ(all.getLx(100), 40.0);
    EXPECT_NEAR(all.getLeq(), 10 * std::log10((4e9 * 1e4 + 1e9 * 1e6) / 5e9), 1e-9);
    EXPECT_EQ(all.getLevelNum(), std::numeric_limits<std::int32_t>::max());
}

TEST_F(CLCalcsTest, RemovingMembersDeletesTheirFiles) {
    CLCalcs all(context_);
    all.Add(Member({40}));
    all.Add(Member({50}));
    all.Add(Member({60}));
    ASSERT_EQ(std::distance(std::filesystem::directory_iterator(LCalcDir()), {}), 3);
    all.Delete(2);
    EXPECT_EQ(all.Item(2).getLmax(), 60);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(LCalcDir()), {}), 2);
    all.AllDelete();
    EXPECT_EQ(all.count(), 0);
    EXPECT_TRUE(std::filesystem::is_empty(LCalcDir()));
    EXPECT_THROW(all.Delete(1), std::out_of_range);
}

TEST_F(CLCalcsTest, RecordRoundTrip) {
    CLCalcs all(context_);
    all.Add(Member({40, 50}));
    all.Add(Member({60}));
    BinaryFile out = BinaryFile::InMemory();
    ASSERT_TRUE(all.MeWrite(out));

    CLCalcs back(context_);
    BinaryFile in = BinaryFile::FromBytes(out.Bytes());
    ASSERT_TRUE(back.MeRead(in));
    EXPECT_TRUE(back.IsMeEqualTo(all));
    EXPECT_EQ(back.getLevelNum(), 3);

    const CLCalcs copy = all.MeCopy();
    EXPECT_TRUE(copy.IsMeEqualTo(all));
    EXPECT_NE(copy.ItemShared(1), all.ItemShared(1));

    // A damaged second member keeps the first and fails.
    std::string cut = out.Bytes();
    cut.resize(cut.size() - 10);
    BinaryFile damaged = BinaryFile::FromBytes(cut);
    CLCalcs partial(context_);
    EXPECT_FALSE(partial.MeRead(damaged));
    EXPECT_EQ(partial.count(), 1);
}

}  // namespace
}  // namespace murtesk
