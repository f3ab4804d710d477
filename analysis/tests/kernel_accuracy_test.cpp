// Levels computed with the kernel in force (MURTESK_DSP_KERNEL, else the best the processor has) against the
// baseline kernel's: the external test recordings, calibrated tones, and tones at the class 1 acceptance limits of
// the one-third-octave filters, which the kernel in force must also meet. scripts/test runs these once per kernel.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

#include "BandLevel.h"
#include "LaneKernel.h"
#include "dsp/tests/chain_signals.h"
#include "sample_decoder.h"
#include "wav_reader.h"

namespace murtesk::analysis {
namespace {

using dsp::BandChainConfig;
using dsp::CBandLevelChain;
using dsp::Kernel;
using dsp::chain_test::Config;

// Levels of every slot over every block, slot by slot; empty when a block failed (too short for the filters at the
// rate they run).
using Levels = std::vector<std::vector<float>>;

Levels Analyse(Kernel kernel, const BandChainConfig& config, const std::vector<std::vector<double>>& blocks) {
    const Kernel before = dsp::ActiveKernel().kernel;
    EXPECT_TRUE(dsp::SelectKernel(kernel));
    CBandLevelChain chain;
    const bool configured = chain.Configure(config);
    dsp::SelectKernel(before);
    EXPECT_TRUE(configured);
    if (!configured) return {};
    EXPECT_EQ(chain.kernel().kernel, kernel);
    Levels levels(chain.slotCount());
    int n = 0;
    for (const auto& block : blocks) {
        if (!chain.Compute(++n, block.data(), static_cast<int>(block.size()))) return {};
        EXPECT_TRUE(chain.MakeLevels());
        for (int s = 0; s < chain.slotCount(); ++s)
            levels[s].insert(levels[s].end(), chain.Levels(s), chain.Levels(s) + chain.stepsPerBlock());
    }
    return levels;
}

class KernelAccuracy : public ::testing::Test {
protected:
    void SetUp() override {
        const char* wanted = std::getenv("MURTESK_DSP_KERNEL");
        if (wanted && std::strcmp(wanted, dsp::KernelName(dsp::ActiveKernel().kernel)) != 0)
            GTEST_SKIP() << "this processor cannot run the " << wanted << " kernel";
        RecordProperty("kernel", dsp::KernelName(dsp::ActiveKernel().kernel));
    }

    // The kernel in force gives the baseline's levels within 0.001 dB, and returns them. Its lane layout changes
    // no bit: a kernel of plain multiplies and adds gives the baseline's levels (two lanes) exactly, a fused one
    // those of the four-lane fma kernel.
    static Levels Compare(const BandChainConfig& config, const std::vector<std::vector<double>>& blocks) {
        const Levels want = Analyse(Kernel::kBaseline, config, blocks);
        const dsp::KernelOps& active = dsp::ActiveKernel();
        const Levels got = Analyse(active.kernel, config, blocks);
        EXPECT_EQ(got.size(), want.size());
        for (size_t s = 0; s < std::min(got.size(), want.size()); ++s) {
            EXPECT_EQ(got[s].size(), want[s].size());
            for (size_t j = 0; j < std::min(got[s].size(), want[s].size()); ++j)
                EXPECT_NEAR(got[s][j], want[s][j], 0.001) << "slot " << s << " step " << j;
        }
        const Levels same = active.fused ? Analyse(Kernel::kFma, config, blocks) : want;
        EXPECT_EQ(got.size(), same.size());
        for (size_t s = 0; s < std::min(got.size(), same.size()); ++s)
            EXPECT_TRUE(got[s].size() == same[s].size() &&
                        std::memcmp(got[s].data(), same[s].data(), got[s].size() * sizeof(float)) == 0)
                << "slot " << s << ": the lane layout changed a level";
        return got;
    }
};

std::vector<std::vector<double>> Tone(double f, double rms, double rate, int blocks) {
    const int n = static_cast<int>(rate);
    std::vector<std::vector<double>> out(blocks, std::vector<double>(n));
    for (int b = 0; b < blocks; ++b)
        for (int i = 0; i < n; ++i)
            out[b][i] = rms * std::numbers::sqrt2 * std::sin(2 * std::numbers::pi * f * (b * n + i) / rate);
    return out;
}


int SlotOf(int mode, double centre) {
    const auto bands = dsp::BandTable(mode);
    for (size_t b = 0; b < bands.size(); ++b)
        if (std::fabs(bands[b].centre / centre - 1.0) < 0.01) return static_cast<int>(b) + 2;
    return -1;
}

// Mean of the second half of a slot's steps as a power, in dB: the tone's steady level.
double Steady(const std::vector<float>& levels) {
    double sum = 0;
    const size_t from = levels.size() / 2;
    for (size_t j = from; j < levels.size(); ++j) sum += std::pow(10.0, levels[j] / 10.0);
    return 10 * std::log10(sum / static_cast<double>(levels.size() - from));
}

std::filesystem::path scipyFolder() {
    const char* root = std::getenv("MURTESK_TESTDATA");
    return std::filesystem::path(root ? root : "../shared/testdata") / "wav" / "scipy";
}

// Every external recording the reader accepts and that holds more than a few frames, each channel analysed in
// one-third octaves and in octaves over three one-second blocks of the recording repeated end to end.
TEST_F(KernelAccuracy, ExternalRecordingsGiveTheBaselineLevels) {
    int analysed = 0;
    for (const auto& entry : std::filesystem::directory_iterator(scipyFolder())) {
        WavReader reader;
        if (entry.path().extension() != ".wav" || !reader.open(entry.path().string()) ||
            reader.findData() != WavError::None)
            continue;
        const WavFormat& f = reader.format();
        const auto frames = static_cast<size_t>(reader.dataBytes() / f.blockAlign);
        std::vector<uint8_t> bytes(frames * f.blockAlign);
        ASSERT_TRUE(reader.read(bytes.data(), bytes.size()));
        const SampleDecoder decoder(f);
        if (frames < 100) continue;
        for (unsigned ch = 0; ch < f.channels; ++ch) {
            std::vector<double> samples(frames);
            decoder.decode(bytes.data(), frames, ch, samples.data());
            std::vector<std::vector<double>> blocks(3, std::vector<double>(f.sampleRate));
            for (size_t i = 0; i < 3 * static_cast<size_t>(f.sampleRate); ++i)
                blocks[i / f.sampleRate][i % f.sampleRate] = samples[i % frames];
            for (int mode : {dsp::kThirdOctave, dsp::kOctave}) {
                SCOPED_TRACE(entry.path().filename().string() + " channel " + std::to_string(ch));
                analysed += !Compare(Config(mode, f.sampleRate, dsp::kWeightA), blocks).empty();
            }
        }
    }
    EXPECT_EQ(analysed, 18);  // 44.1 kHz (5 channels), 48 kHz (2) and 8 kHz (2) recordings, two modes each
}

// A tone of the calibration rms reads LVL (94 dB) in F, in W where the weighting is 0 dB, and in its band.
struct Calibrated {
    int mode;
    double rate;
    double tone;
    int weighting;
};

void PrintTo(const Calibrated& t, std::ostream* os) {
    *os << (t.mode == dsp::kOctave ? "octave" : "third-octave") << ", " << t.rate << " Hz rate, " << t.tone
        << " Hz tone, weighting " << t.weighting;
}

class CalibratedTones : public KernelAccuracy, public ::testing::WithParamInterface<Calibrated> {};

TEST_P(CalibratedTones, ReadTheCalibrationLevel) {
    const Calibrated t = GetParam();
    const Levels levels = Compare(Config(t.mode, t.rate, t.weighting), Tone(t.tone, 7000.0, t.rate, 3));
    ASSERT_FALSE(levels.empty());
    EXPECT_NEAR(Steady(levels[0]), 94.0, 0.1);  // 0.1 dB: the accuracy asked of the chain
    if (t.weighting == dsp::kWeightA) {
        EXPECT_NEAR(Steady(levels[1]), 94.0, 0.1);  // A weighting is 0 dB at 1 kHz
    }
    EXPECT_NEAR(Steady(levels[SlotOf(t.mode, t.tone)]), 94.0, 0.1);
}

INSTANTIATE_TEST_SUITE_P(Tones, CalibratedTones,
                         ::testing::Values(Calibrated{dsp::kThirdOctave, 48000, 1000, dsp::kWeightA},
                                           Calibrated{dsp::kOctave, 48000, 1000, dsp::kWeightA},
                                           Calibrated{dsp::kThirdOctave, 48000, 31.6228, dsp::kWeightC},
                                           Calibrated{dsp::kThirdOctave, 44100, 12589.3, dsp::kWeightLvz},
                                           Calibrated{dsp::kOctave, 8000, 125.893, dsp::kWeightG},
                                           Calibrated{dsp::kThirdOctave, 1000, 100, dsp::kWeightLvxy}));

// Class 1 acceptance limits for one-third-octave filters: relative attenuation (dB) against the normalised
// frequency, upper side (the lower side mirrors at 1 / omega); the breakpoints themselves are tested.
struct Limit {
    double omega, most, least;  // attenuation at most (pass band) / at least (stop band)
};
constexpr Limit kLimits[] = {{1.02667, 0.5, -0.4}, {1.05575, 0.7, -0.4}, {1.08746, 1.4, -0.4}, {1.12202, 5.3, -0.4},
                             {1.29437, 1e9, 16.6}, {1.88173, 1e9, 40.5}, {3.05365, 1e9, 60.0}, {5.39195, 1e9, 70.0}};

class ClassOneLimits : public KernelAccuracy, public ::testing::WithParamInterface<double> {};

// Measured through the chain at 48 kHz: a band at the block's rate, one at a thinned rate and one filtered from the
// held signal.
TEST_P(ClassOneLimits, TonesAtTheBreakpointsMeetThem) {
    const double centre = GetParam();
    const int slot = SlotOf(dsp::kThirdOctave, centre);
    const BandChainConfig c = Config(dsp::kThirdOctave, 48000, -1);
    const auto level = [&](double f) { return Steady(Compare(c, Tone(f, 7000.0, 48000, 2))[slot]); };
    const double atCentre = level(centre);
    EXPECT_NEAR(atCentre, 94.0, 0.1);
    for (const Limit& l : kLimits)
        for (const double omega : {l.omega, 1.0 / l.omega}) {
            if (omega * centre >= 24000.0) continue;
            const double attenuation = atCentre - level(omega * centre);
            EXPECT_LE(attenuation, l.most) << centre << " Hz at " << omega;
            EXPECT_GE(attenuation, l.least) << centre << " Hz at " << omega;
        }
}

INSTANTIATE_TEST_SUITE_P(Bands, ClassOneLimits, ::testing::Values(10000.0, 1000.0, 100.0));

}  // namespace
}  // namespace murtesk::analysis
