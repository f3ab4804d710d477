// Lane passes against the filters run one after another over the whole signal (CFilterDesign::Run), with every
// kernel the processor has: folded cascades, a chain of cascades inside one pass, outside inputs that are still being
// written, and blocks of any length.
#include "LanePass.h"

#include "FilterDesign.h"
#include "Resampler.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <vector>

using namespace murtesk::dsp;

namespace {

std::vector<double> Noise(int n, unsigned seed) {
    std::mt19937 gen(seed);
    std::normal_distribution<double> dist(0.0, 1000.0);
    std::vector<double> x(n);
    for (auto& v : x) v = dist(gen);
    return x;
}

std::vector<SectionCoefficients> Sections(std::initializer_list<const CFilterDesign*> filters) {
    std::vector<SectionCoefficients> s;
    for (const CFilterDesign* f : filters)
        for (int k = 0; k < f->sections(); ++k) s.push_back({f->a1(k), f->a2(k), f->b0(k), f->b1(k), f->b2(k)});
    return s;
}

// The reference: each filter over the whole signal in turn, the last (a time weighting) on the squares.
std::vector<double> Serial(std::vector<double> x, std::initializer_list<const CFilterDesign*> filters, bool power) {
    int k = 0;
    for (const CFilterDesign* f : filters) {
        FilterMemory mem{};
        const bool last = ++k == static_cast<int>(filters.size());
        EXPECT_TRUE(f->Run(x.data(), x.data(), static_cast<int>(x.size()), mem, power && last));
    }
    return x;
}

// Plain kernels compute the reference to the bit; fused ones round each multiply-add once, which moves these
// well-conditioned band filters by far less than a millionth of the signal's scale.
void ExpectClose(const KernelOps& k, const std::vector<double>& got, const std::vector<double>& want, double scale) {
    ASSERT_EQ(got.size(), want.size());
    if (!k.fused) {
        EXPECT_EQ(std::memcmp(got.data(), want.data(), got.size() * sizeof(double)), 0);
        return;
    }
    for (std::size_t i = 0; i < got.size(); ++i) ASSERT_NEAR(got[i], want[i], 1e-9 * scale) << i;
}

struct Filters {
    CFilterDesign lp1, hp1, lp2, hp2, tw;
    Filters() {
        lp1.Design(kButterworth, 0.01, kLowPass, 22, 48000, 1412.5);
        hp1.Design(kButterworth, 0.03, kHighPass, 22, 48000, 1122.0);
        lp2.Design(kButterworth, 0.01, kLowPass, 22, 48000, 1122.0);
        hp2.Design(kButterworth, 0.03, kHighPass, 21, 48000, 891.3);  // odd: a first-order last section
        tw.DesignTimeWeighting(48000, 0.125);
    }
};

class LanePassKernels : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override {
        if (!KernelAvailable(static_cast<Kernel>(GetParam()))) GTEST_SKIP() << "processor lacks this kernel";
    }
    const KernelOps& ops() const { return KernelOpsOf(static_cast<Kernel>(GetParam())); }
};

// Two bands as the chain lays them out: low-pass 1 feeds its leaf (high-pass, time weighting) and low-pass 2, which
// feeds its own leaf; low-pass 2's output also leaves the pass (a two-lane kernel runs the first band only, its
// low-pass leaving the pass). Blocks of several lengths, memories carried on.
TEST_P(LanePassKernels, ChainedBandsEqualTheFiltersRunInTurn) {
    FlushDenormals flush;
    const Filters f;
    const std::vector<int> blocks = {1000, 23, 4097, 880};
    int total = 0;
    for (int b : blocks) total += b;
    const std::vector<double> x = Noise(total, 7);

    std::vector<double> low2, blockLow2(total), steps1, steps2;
    std::atomic<int> produced{0};
    CLevelTail tail1, tail2;
    const bool both = ops().lanes >= 4;
    std::vector<CLanePass::Cascade> cascades(both ? 4 : 2);
    cascades[0].sections = Sections({&f.lp1});
    cascades[1].sections = Sections({&f.hp1, &f.tw});
    cascades[1].squared = static_cast<int>(cascades[1].sections.size()) - 1;
    cascades[1].fromCascade = 0;
    cascades[1].tail = &tail1;
    if (both) {
        cascades[2].sections = Sections({&f.lp2});
        cascades[2].fromCascade = 0;
        cascades[3].sections = Sections({&f.hp2, &f.tw});
        cascades[3].squared = static_cast<int>(cascades[3].sections.size()) - 1;
        cascades[3].fromCascade = 2;
        cascades[3].tail = &tail2;
    }
    CLanePass::Cascade& leaving = cascades[both ? 2 : 0];
    leaving.out = blockLow2.data();
    leaving.produced = &produced;
    CLanePass pass;
    ASSERT_TRUE(pass.Build(ops(), cascades));

    const CLinearResampler linear;
    int pos = 0;
    for (int b : blocks) {
        std::vector<double> ms1(linear.OutputCount(b, 48000, 100)), ms2(ms1.size());
        tail1.Begin(b, 48000, 100, ms1.data(), static_cast<int>(ms1.size()));
        tail2.Begin(b, 48000, 100, ms2.data(), static_cast<int>(ms2.size()));
        pass.Begin(b);
        pass.SetSource(0, SignalSource{x.data() + pos, 1, nullptr});
        produced = 0;
        pass.Advance(std::numeric_limits<int>::max());
        ASSERT_TRUE(pass.Done());
        ASSERT_TRUE(tail1.Done() && (!both || tail2.Done()));
        EXPECT_EQ(produced.load(), b);
        low2.insert(low2.end(), blockLow2.begin(), blockLow2.begin() + b);
        steps1.insert(steps1.end(), ms1.begin(), ms1.end());
        steps2.insert(steps2.end(), ms2.begin(), ms2.end());
        pos += b;
    }

    // The reference runs each block's tail over that block's power, as the chain does.
    const std::vector<double> wantLow2 = Serial(Serial(x, {&f.lp1}, false), {&f.lp2}, false);
    const std::vector<double> power1 = Serial(Serial(x, {&f.lp1}, false), {&f.hp1, &f.tw}, true);
    const std::vector<double> power2 = Serial(wantLow2, {&f.hp2, &f.tw}, true);
    std::vector<double> want1, want2;
    pos = 0;
    for (int b : blocks) {
        const std::vector<double> p1(power1.begin() + pos, power1.begin() + pos + b);
        const std::vector<double> p2(power2.begin() + pos, power2.begin() + pos + b);
        const std::vector<double> s1 = linear.Resample(p1, 48000, 100), s2 = linear.Resample(p2, 48000, 100);
        want1.insert(want1.end(), s1.begin(), s1.end());
        want2.insert(want2.end(), s2.begin(), s2.end());
        pos += b;
    }
    ExpectClose(ops(), low2, both ? wantLow2 : Serial(x, {&f.lp1}, false), 1000.0);
    ExpectClose(ops(), steps1, want1, want1[want1.size() / 2]);
    if (both) ExpectClose(ops(), steps2, want2, want2[want2.size() / 2]);
}

// A cascade folded over every lane reads an outside signal that is still being written: the pass goes exactly as far
// as the written part allows (values beyond it are NaN here and would spoil the output) and then on.
TEST_P(LanePassKernels, FoldedCascadeFollowsAGrowingInput) {
    FlushDenormals flush;
    const Filters f;
    const int n = 3000;
    const std::vector<double> x = Noise(n, 11);
    std::vector<double> source(n, std::numeric_limits<double>::quiet_NaN());
    std::atomic<int> written{0};
    std::vector<double> out(n);
    std::atomic<int> produced{0};
    std::vector<CLanePass::Cascade> one(1);
    one[0].sections = Sections({&f.lp1, &f.hp2});
    one[0].out = out.data();
    one[0].produced = &produced;
    CLanePass pass;
    ASSERT_TRUE(pass.Build(ops(), one));
    EXPECT_EQ(pass.sectionsPerLane(), (22 + pass.lanes() - 1) / pass.lanes());  // folded over every lane
    pass.Begin(n);
    pass.SetSource(0, SignalSource{source.data(), 1, &written});
    for (int have = 0; have < n;) {
        const int more = std::min(n, have + 127);  // pieces that end one short of a pass block
        for (int i = have; i < more; ++i) source[i] = x[i];
        written.store(more);
        have = more;
        pass.Advance(std::numeric_limits<int>::max());
        for (int i = 0; i < produced.load(); ++i) ASSERT_FALSE(std::isnan(out[i])) << i;
    }
    EXPECT_TRUE(pass.Done());
    ExpectClose(ops(), out, Serial(x, {&f.lp1, &f.hp2}, false), 1000.0);
}

INSTANTIATE_TEST_SUITE_P(Kernels, LanePassKernels, ::testing::Range(0, kKernelCount),
                         [](const ::testing::TestParamInfo<int>& i) {
                             return std::string(KernelName(static_cast<Kernel>(i.param)));
                         });

TEST(LanePass, RefusesMoreCascadesThanLanesAndBackwardInputs) {
    const KernelOps& k = KernelOpsOf(Kernel::kBaseline);
    std::vector<CLanePass::Cascade> many(k.lanes + 1);
    for (auto& c : many) c.sections = {{0.5, 0.0, 1.0, 0.0, 0.0}};
    CLanePass pass;
    EXPECT_FALSE(pass.Build(k, many));
    many.resize(2);
    many[0].fromCascade = 1;
    EXPECT_FALSE(pass.Build(k, many));
}

}  // namespace
