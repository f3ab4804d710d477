// The pipelined cascade against the filters run one after another, value for value.
#include "CascadePipeline.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

using namespace murtesk::dsp;

namespace {

struct Chain {
    CFilterDesign lp, hp, tw;
    Chain() {
        lp.Design(kButterworth, 0.01, kLowPass, 22, 48000, 1412.5);
        hp.Design(kButterworth, 0.03, kHighPass, 21, 48000, 707.9);  // odd: a first-order last section
        tw.DesignTimeWeighting(48000, 0.125);
    }
};

std::vector<double> Noise(int n, unsigned seed) {
    std::mt19937 gen(seed);
    std::normal_distribution<double> dist(0.0, 1000.0);
    std::vector<double> x(n);
    for (auto& v : x) v = dist(gen);
    return x;
}

bool SameBits(const std::vector<double>& a, const std::vector<double>& b) {
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(double)) == 0;
}

class PipelineSplit : public ::testing::TestWithParam<std::vector<int>> {};

TEST_P(PipelineSplit, EqualsTheFiltersRunInSeries) {
    FlushDenormals flush;
    const Chain c;
    const std::vector<int> blocks = GetParam();
    int total = 0;
    for (int b : blocks) total += b;
    const std::vector<double> x = Noise(total, 7);

    FilterMemory m1{}, m2{}, m3{};
    std::vector<double> lowRef(total), outRef(total);
    int pos = 0;
    for (int b : blocks) {
        ASSERT_TRUE(c.lp.Run(x.data() + pos, lowRef.data() + pos, b, m1));
        ASSERT_TRUE(c.hp.Run(lowRef.data() + pos, outRef.data() + pos, b, m2));
        ASSERT_TRUE(c.tw.Run(outRef.data() + pos, outRef.data() + pos, b, m3, true));
        pos += b;
    }

    FilterMemory p1{}, p2{}, p3{};
    std::vector<double> low(total), out(total);
    pos = 0;
    for (int b : blocks) {
        CCascadePipeline p;
        const int tap = p.Add(c.lp, p1);
        p.Add(c.hp, p2);
        ASSERT_EQ(p.Add(c.tw, p3, true), 22);
        std::vector<double> in(x.begin() + pos, x.begin() + pos + b);
        ASSERT_TRUE(p.Run(in.data(), b, in.data(), tap, low.data() + pos));  // output in place
        std::copy(in.begin(), in.end(), out.begin() + pos);
        pos += b;
    }
    EXPECT_TRUE(SameBits(low, lowRef));
    EXPECT_TRUE(SameBits(out, outRef));
    EXPECT_EQ(std::memcmp(p3.data(), m3.data(), sizeof m3), 0);
}

INSTANTIATE_TEST_SUITE_P(Blocks, PipelineSplit,
                         ::testing::Values(std::vector<int>{1000}, std::vector<int>{23, 24, 25, 500},
                                           std::vector<int>{300, 30, 23, 23}));

TEST(Pipeline, RefusesBlocksShorterThanAFilter) {
    const Chain c;
    FilterMemory m{};
    CCascadePipeline p;
    p.Add(c.lp, m);
    std::vector<double> x(22, 1.0);
    EXPECT_FALSE(p.Run(x.data(), 22, x.data()));
    CCascadePipeline full;
    FilterMemory mems[25]{};
    int last = 0;
    for (int i = 0; i < 3; ++i) last = full.Add(c.lp, mems[i]);
    EXPECT_EQ(last, -1);  // 33 sections do not fit
}

}  // namespace
