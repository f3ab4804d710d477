// The band-level chain of one channel: for every one-second block it computes the flat level F, the weighted
// level W and the octave (15) or one-third-octave (45) band levels as mean squares per level step, keeping
// every filter's memory from block to block, and appends the levels in dB to the channel's level-data files.
//
// Output slots: 0 = F, 1 = W, 2.. the bands from the highest centre frequency down.
// Bands run highest first. Each band's low-pass at its upper edge feeds the next band, and the current signal
// is thinned (by a factor made of 2s and 5s that divides the rate) as soon as the lower bands allow, never
// below 1000 Hz nor below 2.5 (one-third octave) or 4 (octave) times the band's lower edge. When no further
// thinning is possible and the rate is close to 1000 Hz, that signal is held and every lower band is filtered
// from it. Each band then runs a high-pass at its lower edge and the time weighting on the squares; the time
// weighted power is sampled at LevelOutHz by linear interpolation.
#pragma once

#include "CascadePipeline.h"
#include "FilterDesign.h"
#include "Resampler.h"

#include <array>
#include <cstdio>
#include <vector>

namespace murtesk::dsp {

inline constexpr int kMaxBands = 45;
inline constexpr int kMaxSlots = kMaxBands + 2;

enum BandMode { kOctave = 1, kThirdOctave = 3 };

// Frequency weighting codes of output slot 1.
enum Weighting { kWeightLvz = 0, kWeightLvxy = 1, kWeightG = 2, kWeightA = 3, kWeightC = 4 };

struct BandChainConfig {
    int bandMode = kThirdOctave;   // kOctave or kThirdOctave
    int weighting = kWeightA;      // negative: none; above 4: A
    double rate = 48000.0;         // Hz, the rate of the blocks
    int samplesPerBlock = 48000;   // the largest block Compute accepts
    double cr = 0.125;             // time constant of the time weighting, s
    double levelOutHz = 10.0;      // level steps per second, 1..1000
    double lowestHz = 0.0;         // bands whose centre lies outside [lowestHz, highestHz] hold no level
    double highestHz = 22600.6;
    double lvl = 94.0;             // dB that the calibration rms stands for
    double calRms = 7000.0;        // sample rms of the calibration signal
    const double* corrections = nullptr;  // 15 or 45 dB added to the band slots; null: zeros
};

// The filter memories and slot counters of one channel, carried from block to block.
struct CBandFilterState {
    std::array<int, kMaxSlots> counters{};  // block last computed per slot; -1 after a failure
    FilterMemory vibLowPass{}, fTime{}, wWeight{}, wTime{}, vibHighPass{};
    std::array<FilterMemory, kMaxBands> bandLow{}, bandHigh{}, bandTime{};
    void Reset() { *this = CBandFilterState{}; }
};

struct BandInfo {
    double centre, lower, upper;
};

// How a band was filtered in the last block: at which rate, whether through its own low-pass, and whether
// from the held signal.
struct BandRun {
    bool computed = false;
    double rate = 0.0;
    bool lowPass = false;
    bool fromHeld = false;
};

// The centres and edges of the bands of a mode, highest first (15 or 45).
std::vector<BandInfo> BandTable(int bandMode);

class CBandLevelChain {
public:
    // Checks and stores the configuration, resets the filter state and allocates every buffer a block needs.
    // False on a mode other than 1 and 3, a rate, block length, time constant or calibration rms not above 0,
    // LevelOutHz outside 1..1000, no whole level step per block, a step count that is not the block's duration
    // times LevelOutHz rounded (2.5 per second), a block longer than 10 seconds, a vibration or
    // G weighting at a rate that cannot carry its 240 Hz low-pass (480 Hz and below), or memory exhausted.
    // A rate below LevelOutHz is computed: there are more steps than samples.
    bool Configure(const BandChainConfig& config);
    // Back to silence: every filter memory and slot counter 0.
    void Reset() { m_state.Reset(); }

    int slotCount() const { return m_slots; }
    int bandCount() const { return m_slots - 2; }
    int stepsPerBlock() const { return m_steps; }

    // Filters block number blockNo (from 1) of n samples (1..samplesPerBlock) into the mean squares of every
    // slot. On failure (a slot counter already negative, a filter that cannot be designed or run at the
    // current rate) every slot counter becomes -1, so later blocks fail too until Reset.
    bool Compute(int blockNo, const double* samples, int n);

    // The mean squares of a slot from the last Compute.
    const double* MeanSquares(int slot) const { return m_ms[slot].data(); }
    int MeanSquareCount(int slot) const { return m_msCount[slot]; }

    // Turns the mean squares into levels (dB as 4-byte floats, stepsPerBlock per slot): 10 lg(ms) + LVL -
    // 20 lg(CALrms), plus the band's correction for slots 2 on; -1000 (plus the correction) for no power, and
    // for a power whose level would lie below that.
    // False when a slot does not hold exactly stepsPerBlock values.
    bool MakeLevels();
    const float* Levels(int slot) const { return m_levels.data() + static_cast<std::size_t>(slot) * m_steps; }

    // MakeLevels, then appends each slot's levels to files[slot] (slotCount files, all open). Files are flushed
    // in rotation, one per 30 (octave) or 14 (one-third octave) blocks. False on a count mismatch, a short
    // write, a file whose error indicator is set after its write, or a failed flush.
    bool Write(int blockNo, std::FILE* const* files);

    CBandFilterState& state() { return m_state; }
    const BandInfo& band(int b) const { return m_bands[b]; }
    const BandRun& bandRun(int b) const { return m_runs[b]; }

private:
    bool ComputeSlots(int blockNo, const double* samples, int n);
    bool ComputeW(const double* samples, int n);
    bool ComputeBands(const double* samples, int n);
    bool Tail(int slot, const double* power, int n, double rate);
    bool Zero(int slot, int count);
    bool SlotReady(int slot) const { return m_state.counters[slot] >= 0; }
    int ThinningFactor(double rate, double lowerEdge) const;

    BandChainConfig m_cfg;
    int m_slots = 0;
    int m_steps = 0;
    int m_block = 0;
    std::vector<BandInfo> m_bands;
    std::array<BandRun, kMaxBands> m_runs{};
    std::array<double, kMaxBands> m_corr{};
    CBandFilterState m_state;

    CLinearResampler m_linear;
    CDoublingResampler m_doubling;
    CFilterDesign m_design[3];
    CCascadePipeline m_pipe;

    std::vector<double> m_bufA, m_bufB, m_power, m_wIn, m_wRate;
    std::array<std::vector<double>, kMaxSlots> m_ms;
    std::array<int, kMaxSlots> m_msCount{};
    std::vector<float> m_levels;
};

}  // namespace murtesk::dsp
