// A channel's level files: each block's levels appended as floats, write errors reported.
#include "level_files.h"

#include "BandLevel.h"
#include "dsp/tests/chain_signals.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <vector>

namespace murtesk::analysis {
namespace {

using namespace murtesk::dsp;
using chain_test::Config;
using chain_test::Sine;



int SlotOf(const CBandLevelChain& chain, double centre) {
    for (int b = 0; b < chain.bandCount(); ++b)
        if (std::fabs(chain.band(b).centre / centre - 1.0) < 0.01) return b + 2;
    return -1;
}

TEST(LevelFiles, WritesFloatLevelsAndReportsWriteErrors) {
    CBandLevelChain chain;
    BandChainConfig c = Config(kOctave, 8000, kWeightA);
    std::vector<double> corr(15, 1.5);
    c.corrections = corr.data();
    ASSERT_TRUE(chain.Configure(c));
    std::vector<std::FILE*> files(chain.slotCount());
    for (auto& f : files) f = std::tmpfile();
    const std::vector<double> x = Sine(500, 7000 * std::sqrt(2.0), 8000, 8000);
    for (int n = 1; n <= 2; ++n) {
        ASSERT_TRUE(chain.Compute(n, x.data(), 8000));
        ASSERT_TRUE(AppendLevels(chain, n, files.data()));
    }
    const int slot = SlotOf(chain, 500);
    std::fseek(files[slot], 0, SEEK_END);
    ASSERT_EQ(std::ftell(files[slot]), 2 * 10 * 4);
    std::rewind(files[slot]);
    float stored[20];
    ASSERT_EQ(std::fread(stored, 4, 20, files[slot]), 20u);
    EXPECT_EQ(std::memcmp(stored + 10, chain.Levels(slot), 40), 0);
    EXPECT_NEAR(stored[15], 94.0 + 1.5, 0.1);
    for (auto* f : files) std::fclose(f);

    // A stream that cannot be written fails the block.
    std::FILE* readOnly = std::fopen("/dev/null", "rb");
    ASSERT_NE(readOnly, nullptr);
    std::vector<std::FILE*> bad(chain.slotCount(), readOnly);
    ASSERT_TRUE(chain.Compute(3, x.data(), 8000));
    EXPECT_FALSE(AppendLevels(chain, 3, bad.data()));
    std::fclose(readOnly);
}

}  // namespace
}  // namespace murtesk::analysis
