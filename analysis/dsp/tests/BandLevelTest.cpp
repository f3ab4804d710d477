// The band-level chain on signals with known levels, its thinning schedules, its continuity across blocks,
// its band filters against the class 1 acceptance limits, and blocks in flight.
#include "BandLevel.h"
#include "LaneKernel.h"
#include "LanePass.h"
#include "chain_signals.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <numbers>
#include <ostream>
#include <random>
#include <vector>

using namespace murtesk::dsp;

namespace {

using chain_test::Config;
using chain_test::Sine;

// Band corrections first, first + step, ... for the 45 bands.
std::vector<double> Corrections(double first, double step) {
    std::vector<double> corr(45);
    for (int i = 0; i < 45; ++i) corr[i] = first + step * i;
    return corr;
}

int SlotOf(const CBandLevelChain& chain, double centre) {
    for (int b = 0; b < chain.bandCount(); ++b)
        if (std::fabs(chain.band(b).centre / centre - 1.0) < 0.01) return b + 2;
    return -1;
}

// Runs whole blocks of x through the chain; returns the levels of the last block.
std::vector<std::vector<float>> LastLevels(CBandLevelChain& chain, const std::vector<double>& x, int block) {
    for (int i = 0; i * block < static_cast<int>(x.size()); ++i) EXPECT_TRUE(chain.Compute(i + 1, x.data() + i * block, block));
    EXPECT_TRUE(chain.MakeLevels());
    std::vector<std::vector<float>> out(chain.slotCount());
    for (int s = 0; s < chain.slotCount(); ++s)
        out[s].assign(chain.Levels(s), chain.Levels(s) + chain.stepsPerBlock());
    return out;
}

TEST(BandChain, CalibratedSineReadsTheCalibrationLevel) {
    for (int mode : {kOctave, kThirdOctave}) {
        CBandLevelChain chain;
        ASSERT_TRUE(chain.Configure(Config(mode, 48000, kWeightA)));
        // An rms of CALrms (7000) stands for LVL (94 dB); A weighting is 0 dB at 1 kHz.
        const auto levels = LastLevels(chain, Sine(1000, 7000 * std::sqrt(2.0), 48000, 96000), 48000);
        const int band = SlotOf(chain, 1000);
        for (int j = 0; j < chain.stepsPerBlock(); ++j) {
            EXPECT_NEAR(levels[0][j], 94.0, 0.1) << "F " << j;  // 0.1 dB: the accuracy asked of the chain
            EXPECT_NEAR(levels[1][j], 94.0, 0.1) << "W " << j;
            EXPECT_NEAR(levels[band][j], 94.0, 0.1) << "band " << j;
        }
        // Two bands away the tone is gone.
        EXPECT_LT(levels[mode == kOctave ? band + 2 : band + 4][5], 40.0);
    }
}

TEST(BandChain, DcStepFollowsTheTimeWeighting) {
    CBandLevelChain chain;
    BandChainConfig c = Config(kOctave, 48000, -1);
    c.cr = 0.125;
    ASSERT_TRUE(chain.Configure(c));
    const std::vector<double> x(48000, 3500.0);
    const auto levels = LastLevels(chain, x, 48000);
    // Squares of 3500 from rest through y = a x² + (1 - a) y[-1], 1 - a = exp(-1 / (R CR)); step j at sample 4800 j.
    const double keep = std::exp(-1.0 / 6000.0);
    for (int j = 0; j < 10; ++j) {
        const double ms = 3500.0 * 3500.0 * (1.0 - std::pow(keep, 4800.0 * j + 1));
        EXPECT_NEAR(levels[0][j], 10 * std::log10(ms) + 94.0 - 20 * std::log10(7000.0), 0.001) << j;
        EXPECT_EQ(levels[1][j], -1000.0f);  // no weighting
    }
}

TEST(BandChain, NoPowerReadsMinus1000PlusTheCorrection) {
    const std::vector<double> corr = Corrections(-3.0, 0.5);
    BandChainConfig c = Config(kThirdOctave, 22050, kWeightC);
    c.corrections = corr.data();
    c.highestHz = 5000;
    CBandLevelChain chain;
    ASSERT_TRUE(chain.Configure(c));
    std::vector<double> x = Sine(3000, 1000, 22050, 22050);
    const auto levels = LastLevels(chain, x, 22050);
    EXPECT_GT(levels[0][3], 0.0f);
    // 20 kHz is beyond the Nyquist frequency, 6300 Hz above the highest frequency asked for.
    EXPECT_EQ(levels[SlotOf(chain, 20000)][3], static_cast<float>(-1000.0 + corr[0]));
    EXPECT_EQ(levels[SlotOf(chain, 6310)][3], static_cast<float>(-1000.0 + corr[5]));
    EXPECT_GT(levels[SlotOf(chain, 3160)][3], 0.0f);

    CBandLevelChain silent;
    ASSERT_TRUE(silent.Configure(c));
    const auto quiet = LastLevels(silent, std::vector<double>(22050, 0.0), 22050);
    EXPECT_EQ(quiet[0][0], -1000.0f);
    EXPECT_EQ(quiet[1][9], -1000.0f);
    EXPECT_EQ(quiet[SlotOf(silent, 1000)][2], static_cast<float>(-1000.0 + corr[13]));
}

TEST(BandChain, SettlingFiltersGiveNoLevelBelowTheNoPowerValue) {
    // The first steps of a block from rest see only the start of each filter's response: powers far below any
    // level that means something. They read as no power, never below it.
    const std::vector<double> corr = Corrections(-5.0, 0.25);
    BandChainConfig c = Config(kThirdOctave, 48000, kWeightA);
    c.corrections = corr.data();
    c.levelOutHz = 1000;
    CBandLevelChain chain;
    ASSERT_TRUE(chain.Configure(c));
    const auto levels = LastLevels(chain, Sine(1000, 7000, 48000, 48000), 48000);
    for (int s = 0; s < chain.slotCount(); ++s) {
        const float noPower = static_cast<float>(-1000.0 + (s >= 2 ? corr[s - 2] : 0.0));
        for (int j = 0; j < chain.stepsPerBlock(); ++j) ASSERT_GE(levels[s][j], noPower) << s << " " << j;
    }
}

// A tone burst against the detector simulated here sample by sample: an exponential average of the squares with
// the time constant CR, and for IMPULSE (CR 0.035 s) a peak hold whose peaks fall with 1.5 s.
struct Burst {
    double rate;
    double cr;
    double tone;
    friend std::ostream& operator<<(std::ostream& o, const Burst& b) {
        return o << b.rate << " Hz, CR " << b.cr << " s, " << b.tone << " Hz";
    }
};

// Every step of a slot over x in one-second blocks, with each kernel the processor has (a chain runs the kernel
// active when it is configured).
std::vector<std::pair<Kernel, std::vector<float>>> SlotLevels(const BandChainConfig& c, const std::vector<double>& x,
                                                               int slot) {
    const Kernel before = ActiveKernel().kernel;
    std::vector<std::pair<Kernel, std::vector<float>>> out;
    for (int k = 0; k < kKernelCount; ++k) {
        if (!SelectKernel(static_cast<Kernel>(k))) continue;
        CBandLevelChain chain;
        EXPECT_TRUE(chain.Configure(c));
        std::vector<float> levels;
        for (int b = 0; b * c.samplesPerBlock < static_cast<int>(x.size()); ++b) {
            EXPECT_TRUE(chain.Compute(b + 1, x.data() + b * c.samplesPerBlock, c.samplesPerBlock));
            EXPECT_TRUE(chain.MakeLevels());
            levels.insert(levels.end(), chain.Levels(slot), chain.Levels(slot) + chain.stepsPerBlock());
        }
        out.emplace_back(static_cast<Kernel>(k), std::move(levels));
    }
    SelectKernel(before);
    return out;
}

// Two seconds of a 74 dB tone, then two of silence: steps 0..39, the burst ends at step 20.
std::vector<double> ToneBurst(double f, double rate) {
    const int n = static_cast<int>(rate);
    std::vector<double> x = Sine(f, 700.0 * std::sqrt(2.0), rate, 4 * n);
    std::fill(x.begin() + 2 * n, x.end(), 0.0);
    return x;
}

// The fall of IMPULSE's held level: 10 lg(e) / 1.5 s, 2.9 dB/s.
const double kImpulseFall = 10.0 * std::log10(std::numbers::e) / 1.5;

class TimeWeighting : public ::testing::TestWithParam<Burst> {};

// The flat level runs on the block itself: the burst's rise, its decay and every step between are the detector's.
TEST_P(TimeWeighting, FlatLevelIsTheDetectorsAtEveryStep) {
    const Burst d = GetParam();
    BandChainConfig c = Config(kThirdOctave, d.rate, -1);
    c.cr = d.cr;
    const std::vector<double> x = ToneBurst(d.tone, d.rate);

    const double alpha = 1.0 - std::exp(-1.0 / (d.rate * d.cr));
    const double fall = d.cr == 0.035 ? std::exp(-1.0 / (d.rate * 1.5)) : 0.0;
    const int step = static_cast<int>(d.rate) / 10;
    double y = 0.0, held = 0.0;
    std::vector<double> want;
    for (std::size_t i = 0; i < x.size(); ++i) {
        y += alpha * (x[i] * x[i] - y);
        held = std::max(y, held * fall);
        if (i % step == 0)
            want.push_back(held > 0.0 ? std::max(10 * std::log10(held) + 94.0 - 20 * std::log10(7000.0), -1000.0)
                                      : -1000.0);
    }
    for (const auto& [kernel, got] : SlotLevels(c, x, 0)) {
        SCOPED_TRACE(KernelName(kernel));
        ASSERT_EQ(got.size(), want.size());
        // 0.001 dB: the levels are stored as floats.
        for (std::size_t j = 0; j < got.size(); ++j) EXPECT_NEAR(got[j], want[j], 0.001) << "step " << j;
        if (d.cr == 0.035) {
            // 0.3 s and 1 s after the end, the held 74 dB less the fall (0.1 dB: the tone's ripple on the average).
            EXPECT_NEAR(got[23], 74.0 - 0.3 * kImpulseFall, 0.1);
            EXPECT_NEAR(got[30], 74.0 - kImpulseFall, 0.1);
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, TimeWeighting,
                         ::testing::Values(Burst{48000, 0.125, 1000}, Burst{48000, 0.035, 1000},
                                           Burst{8000, 0.01, 1000}, Burst{1000, 0.001, 100},
                                           Burst{1000, 0.035, 100}));

struct BandBurst {
    int mode;
    double rate;
    double centre;
    double cr;
    double bandRate;  // the rate the band runs at
    friend std::ostream& operator<<(std::ostream& o, const BandBurst& b) {
        return o << "mode " << b.mode << ", " << b.rate << " Hz, band " << b.centre << " Hz, CR " << b.cr << " s";
    }
};

class BandTimeWeighting : public ::testing::TestWithParam<BandBurst> {};

// A band that runs at a low rate falls after the burst as the detector does: as e^(-t / CR), or as IMPULSE's held
// peak. The band filter's own ringing has died 0.3 s after the end.
TEST_P(BandTimeWeighting, BandFallsAtTheDetectorsRate) {
    const BandBurst d = GetParam();
    BandChainConfig c = Config(d.mode, d.rate, -1);
    c.cr = d.cr;
    CBandLevelChain chain;
    ASSERT_TRUE(chain.Configure(c));
    const int slot = SlotOf(chain, d.centre);
    ASSERT_EQ(chain.bandRun(slot - 2).rate, d.bandRate);
    const double fall = d.cr == 0.035 ? kImpulseFall : 10.0 * std::log10(std::numbers::e) / d.cr;
    for (const auto& [kernel, got] : SlotLevels(c, ToneBurst(d.centre, d.rate), slot)) {
        SCOPED_TRACE(KernelName(kernel));
        ASSERT_EQ(got.size(), 40u);
        // 0.005 dB/s: a twentieth of what a time constant of CR + 1 / (2 R) changes for FAST at these rates.
        EXPECT_NEAR((got[23] - got[30]) / 0.7, fall, 0.005);
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, BandTimeWeighting,
                         ::testing::Values(BandBurst{kThirdOctave, 48000, 125, 0.125, 1500},
                                           BandBurst{kThirdOctave, 48000, 125, 0.035, 1500},
                                           BandBurst{kOctave, 8000, 63, 0.125, 1000},
                                           BandBurst{kOctave, 8000, 63, 0.035, 1000}));

struct Schedule {
    int mode;
    double rate;
    std::vector<double> bandRates;  // highest band first
    int firstFromHeld;              // index of the first band filtered from the held signal, -1 none
};

class ThinningSchedule : public ::testing::TestWithParam<Schedule> {};

TEST_P(ThinningSchedule, BandsRunAtTheExpectedRates) {
    const Schedule s = GetParam();
    CBandLevelChain chain;
    ASSERT_TRUE(chain.Configure(Config(s.mode, s.rate, -1)));
    const std::vector<double> x(static_cast<int>(s.rate), 0.0);
    ASSERT_TRUE(chain.Compute(1, x.data(), static_cast<int>(x.size())));
    for (int b = 0; b < chain.bandCount(); ++b) {
        const double expected = b < static_cast<int>(s.bandRates.size()) ? s.bandRates[b] : s.bandRates.back();
        EXPECT_EQ(chain.bandRun(b).rate, expected) << "band " << b;
        EXPECT_EQ(chain.bandRun(b).fromHeld, s.firstFromHeld >= 0 && b >= s.firstFromHeld) << "band " << b;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Rates, ThinningSchedule,
    ::testing::Values(
        // 44.1 kHz: 44100 -> 22050 -> 11025 -> 2205 (odd rates thin by 5; never by 1, never to a fraction).
        Schedule{kOctave, 44100, {44100, 44100, 44100, 22050, 11025, 11025, 2205}, 7},
        Schedule{kOctave, 48000, {48000, 48000, 24000, 12000, 6000, 3000, 1500}, 7},
        Schedule{kOctave, 11025, {0, 0, 11025, 11025, 11025, 11025, 2205}, 7},
        Schedule{kThirdOctave, 48000,
                 {48000, 48000, 48000, 48000, 24000, 24000, 24000, 12000, 12000, 12000, 6000, 6000, 6000, 3000,
                  3000, 3000, 1500},
                 17}));

double BandLevelOfTone(int mode, double rate, double tone, double centre) {
    CBandLevelChain chain;
    EXPECT_TRUE(chain.Configure(Config(mode, rate, -1)));
    const int n = static_cast<int>(rate);
    const auto levels = LastLevels(chain, Sine(tone, 10000, rate, 2 * n), n);
    const int slot = SlotOf(chain, centre);
    float worst = -2000;
    for (int j = 0; j < chain.stepsPerBlock(); ++j) worst = std::max(worst, levels[slot][j] - levels[0][j]);
    return worst;
}

TEST(BandChain, OctaveBandsDoNotAliasTonesFromAbove) {
    // Thinning below 4 times a band's lower edge folded these tones into the band.
    EXPECT_LT(BandLevelOfTone(kOctave, 44100, 1500, 500), -60.0);
    EXPECT_LT(BandLevelOfTone(kOctave, 8000, 650, 250), -60.0);
}

struct SplitCase {
    int mode;
    double rate;
    int weighting;
    double cr = 0.125;
};

class BlockSplit : public ::testing::TestWithParam<SplitCase> {};

// The two blocks also run with the bands at the two highest rates laid out one to a pass: the layout changes nothing
// either.
TEST_P(BlockSplit, TwoBlocksEqualOneLongBlock) {
    const SplitCase s = GetParam();
    const int n = static_cast<int>(s.rate);
    std::mt19937 gen(3);
    std::normal_distribution<double> dist(0.0, 3000.0);
    std::vector<double> x(2 * n);
    for (auto& v : x) v = dist(gen);

    BandChainConfig longCfg = Config(s.mode, s.rate, s.weighting);
    longCfg.samplesPerBlock = 2 * n;
    longCfg.cr = s.cr;
    BandChainConfig splitCfg = Config(s.mode, s.rate, s.weighting);
    splitCfg.spreadTop = true;
    splitCfg.cr = s.cr;
    CBandLevelChain whole, split;
    ASSERT_TRUE(whole.Configure(longCfg));
    ASSERT_TRUE(split.Configure(splitCfg));
    ASSERT_TRUE(whole.Compute(1, x.data(), 2 * n));
    std::vector<std::vector<double>> parts(split.slotCount());
    for (int b = 0; b < 2; ++b) {
        ASSERT_TRUE(split.Compute(b + 1, x.data() + b * n, n));
        for (int slot = 0; slot < split.slotCount(); ++slot)
            parts[slot].insert(parts[slot].end(), split.MeanSquares(slot),
                               split.MeanSquares(slot) + split.MeanSquareCount(slot));
    }
    for (int slot = 0; slot < split.slotCount(); ++slot) {
        ASSERT_EQ(static_cast<int>(parts[slot].size()), whole.MeanSquareCount(slot)) << slot;
        EXPECT_EQ(std::memcmp(parts[slot].data(), whole.MeanSquares(slot), parts[slot].size() * sizeof(double)), 0)
            << "slot " << slot;
    }
}

// Three blocks in flight at once, each task run on all three before the next task starts (block 3's first passes
// run before block 1 ends): the mean squares are the bytes of the blocks computed one after another.
TEST_P(BlockSplit, BlocksInFlightEqualBlocksInTurn) {
    const SplitCase s = GetParam();
    const int n = static_cast<int>(s.rate);
    std::mt19937 gen(5);
    std::normal_distribution<double> dist(0.0, 3000.0);
    std::vector<double> x(3 * n);
    for (auto& v : x) v = dist(gen);

    BandChainConfig c = Config(s.mode, s.rate, s.weighting);
    c.cr = s.cr;
    CBandLevelChain inTurn, inFlight;
    ASSERT_TRUE(inTurn.Configure(c));
    c.inFlight = 3;
    ASSERT_TRUE(inFlight.Configure(c));
    for (int b = 0; b < 3; ++b) ASSERT_TRUE(inFlight.Begin(b + 1, x.data() + b * n, n, b));
    for (int t = 0; t < inFlight.TaskCount(); ++t)
        for (int b = 0; b < 3; ++b) inFlight.RunTask(t, b);
    for (int b = 0; b < 3; ++b) {
        ASSERT_TRUE(inTurn.Compute(b + 1, x.data() + b * n, n));
        ASSERT_TRUE(inFlight.End(b));
        for (int slot = 0; slot < inTurn.slotCount(); ++slot) {
            ASSERT_EQ(inFlight.MeanSquareCount(slot), inTurn.MeanSquareCount(slot)) << slot;
            EXPECT_EQ(std::memcmp(inFlight.MeanSquares(slot), inTurn.MeanSquares(slot),
                                  sizeof(double) * inTurn.MeanSquareCount(slot)),
                      0)
                << "block " << b + 1 << " slot " << slot;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Rates, BlockSplit,
                         ::testing::Values(SplitCase{kThirdOctave, 48000, kWeightA},
                                           SplitCase{kOctave, 44100, kWeightC},
                                           SplitCase{kOctave, 8000, kWeightG},
                                           SplitCase{kThirdOctave, 8000, kWeightLvz},
                                           SplitCase{kOctave, 12000, kWeightLvxy},
                                           SplitCase{kThirdOctave, 44100, kWeightA, kImpulseCr}));

// Class 1 acceptance limits for one-third-octave filters, relative attenuation in dB against the normalised
// frequency (upper side; the lower side mirrors at 1 / omega). Linear in lg omega between breakpoints.
double Interp(const std::vector<std::pair<double, double>>& pts, double omega) {
    const double lg = std::log10(omega);
    if (lg <= std::log10(pts.front().first)) return pts.front().second;
    for (std::size_t i = 1; i < pts.size(); ++i) {
        const double a = std::log10(pts[i - 1].first), b = std::log10(pts[i].first);
        if (lg <= b) return pts[i - 1].second + (pts[i].second - pts[i - 1].second) * (lg - a) / (b - a);
    }
    return pts.back().second;
}

TEST(BandChain, ThirdOctaveFiltersMeetClass1LimitsAt48kHz) {
    CBandLevelChain chain;
    ASSERT_TRUE(chain.Configure(Config(kThirdOctave, 48000, -1)));
    const std::vector<double> x(48000, 0.0);
    ASSERT_TRUE(chain.Compute(1, x.data(), 48000));
    const double edge = 1.12202;
    const std::vector<std::pair<double, double>> passMax = {
        {1.0, 0.4}, {1.02667, 0.5}, {1.05575, 0.7}, {1.08746, 1.4}, {edge, 5.3}};
    const std::vector<std::pair<double, double>> stopMin = {
        {edge, 1.2}, {1.29437, 16.6}, {1.88173, 40.5}, {3.05365, 60.0}, {5.39195, 70.0}};

    std::vector<CFilterDesign> upstream;  // low-passes the current signal has been through
    for (int b = 0; b < chain.bandCount(); ++b) {
        const BandInfo& band = chain.band(b);
        const BandRun& run = chain.bandRun(b);
        ASSERT_TRUE(run.computed);
        std::vector<CFilterDesign> filters = upstream;
        CFilterDesign lp, hp;
        if (run.lowPass) {
            ASSERT_TRUE(lp.Design(kButterworth, 0.01, kLowPass, 22, run.rate, band.upper));
            filters.push_back(lp);
            if (!run.fromHeld) upstream.push_back(lp);
        }
        ASSERT_TRUE(hp.Design(kButterworth, 0.03, kHighPass, 22, run.rate, band.lower));
        filters.push_back(hp);
        const auto attenuation = [&](double f) {
            double g = 0;
            for (const auto& d : filters) g += d.GainDb(f);
            return -g;
        };
        const double a1 = attenuation(band.centre);
        const double nyquist = run.rate / 2;
        for (double lg = -3.5; lg <= 3.5; lg += std::fabs(lg) < 0.8 ? 0.002 : 0.02) {
            const double omega = std::pow(10.0, lg);
            const double f = omega * band.centre;
            if (f >= nyquist) break;
            const double dA = attenuation(f) - a1;
            const double side = omega >= 1 ? omega : 1 / omega;
            if (side <= edge) {
                EXPECT_GE(dA, -0.4) << band.centre << " Hz at " << omega;
                EXPECT_LE(dA, Interp(passMax, side)) << band.centre << " Hz at " << omega;
            } else {
                EXPECT_GE(dA, Interp(stopMin, side)) << band.centre << " Hz at " << omega;
            }
        }
    }
}

struct PackingCase {
    int lanes;
    std::vector<bool> lowPass;
    int most;
};

class LanePacking : public ::testing::TestWithParam<PackingCase> {};

// The runs PackRuns cuts cost the fewest sections per lane, then passes, of every split of the bands into runs
// of at most `most` (each run's depth as CLanePass lays it out, found here by trying every split).
TEST_P(LanePacking, RunsAreTheCheapestSplit) {
    const PackingCase c = GetParam();
    const int m = static_cast<int>(c.lowPass.size());
    const auto costOf = [&](const std::vector<int>& starts) {
        std::pair<int, int> cost{0, static_cast<int>(starts.size())};
        for (std::size_t k = 0; k < starts.size(); ++k) {
            const int end = k + 1 < starts.size() ? starts[k + 1] : m;
            if (end - starts[k] > c.most) return std::pair<int, int>{INT_MAX, 0};
            std::vector<int> lengths;
            for (int i = starts[k]; i < end; ++i) {
                if (c.lowPass[i]) lengths.push_back(11);
                lengths.push_back(12);
            }
            const int depth = CLanePass::DepthFor(c.lanes, lengths);
            if (depth == 0) return std::pair<int, int>{INT_MAX, 0};
            cost.first += depth;
        }
        return cost;
    };
    std::pair<int, int> best{INT_MAX, 0};
    for (int cuts = 0; cuts < (1 << (m - 1)); ++cuts) {
        std::vector<int> starts{0};
        for (int i = 1; i < m; ++i)
            if (cuts & (1 << (i - 1))) starts.push_back(i);
        best = std::min(best, costOf(starts));
    }
    const std::vector<int> starts = CBandLevelChain::PackRuns(c.lowPass, c.lanes, c.most);
    ASSERT_FALSE(starts.empty());
    EXPECT_EQ(starts.front(), 0);
    EXPECT_TRUE(std::is_sorted(starts.begin(), starts.end()));
    EXPECT_EQ(costOf(starts), best);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, LanePacking,
    ::testing::Values(PackingCase{8, {true, true, true}, 3}, PackingCase{8, {true, true, true, false}, 4},
                      PackingCase{4, {true, true, true, true, true}, 5}, PackingCase{8, {true, true, true}, 1},
                      PackingCase{16, {true, true, true, true, true, true}, 6},
                      PackingCase{8, {false, true, true, true, true, true, true}, 7}));

TEST(BandChain, ConfigurationAndFailures) {
    CBandLevelChain chain;
    EXPECT_FALSE(chain.Configure(Config(2, 48000, 3)));
    BandChainConfig c = Config(kOctave, 48000, 3);
    c.levelOutHz = 0.5;
    EXPECT_FALSE(chain.Configure(c));
    c.levelOutHz = 1000.5;
    EXPECT_FALSE(chain.Configure(c));
    c.levelOutHz = 1000.0;
    EXPECT_TRUE(chain.Configure(c));
    c.levelOutHz = 10;
    c.calRms = 0;  // would make every level infinite
    EXPECT_FALSE(chain.Configure(c));

    // 2.5 steps per second: the slots would hold 3 values but a block has 2 whole steps, so no block could be
    // written; 2.4 gives 2 of each.
    c = Config(kOctave, 8000, 3);
    c.levelOutHz = 2.5;
    EXPECT_FALSE(chain.Configure(c));
    c.levelOutHz = 2.4;
    ASSERT_TRUE(chain.Configure(c));
    const std::vector<double> x(8000, 1.0);
    ASSERT_TRUE(chain.Compute(1, x.data(), 8000));
    EXPECT_EQ(chain.MeanSquareCount(0), 2);
    EXPECT_TRUE(chain.MakeLevels());

    // The vibration low-pass at 240 Hz cannot be designed at 480 Hz and below: refused before any block.
    EXPECT_FALSE(chain.Configure(Config(kOctave, 480, kWeightLvz)));
    EXPECT_TRUE(chain.Configure(Config(kOctave, 481, kWeightLvz)));

    // A block that fails makes every later one fail until the state is reset.
    c = Config(kOctave, 1000, kWeightLvz);
    ASSERT_TRUE(chain.Configure(c));
    const std::vector<double> y(1001, 1.0);
    EXPECT_FALSE(chain.Compute(1, y.data(), 1001));
    EXPECT_FALSE(chain.Compute(2, y.data(), 1000));
    EXPECT_EQ(chain.counters()[0], -1);
    chain.Reset();
    EXPECT_TRUE(chain.Compute(1, y.data(), 1000));

    // Blocks of up to ten seconds, whatever their step count; a rate below LevelOutHz interpolates its steps.
    c = Config(kOctave, 800, kWeightA);
    c.levelOutHz = 1000;
    ASSERT_TRUE(chain.Configure(c));
    EXPECT_EQ(chain.stepsPerBlock(), 1000);
    c.samplesPerBlock = 8000;
    EXPECT_TRUE(chain.Configure(c));
    c.samplesPerBlock = 8001;
    EXPECT_FALSE(chain.Configure(c));
}

}  // namespace
