// The band-level chain of one channel: for every one-second block it computes the flat level F, the weighted
// level W and the octave (15) or one-third-octave (45) band levels as mean squares per level step, keeping
// every filter's memory from block to block, and turns them into levels in dB (the analysis library appends them
// to the channel's level-data files: level_files.h).
//
// Output slots: 0 = F, 1 = W, 2.. the bands from the highest centre frequency down.
// Bands run highest first. Each band's low-pass at its upper edge feeds the next band, and the current signal
// is thinned (by a factor made of 2s and 5s that divides the rate) as soon as the lower bands allow, never
// below 1000 Hz nor below 2.5 (one-third octave) or 4 (octave) times the band's lower edge. When no further
// thinning is possible and the rate is close to 1000 Hz, that signal is held and every lower band is filtered
// from it. Each band then runs a high-pass at its lower edge and the time weighting on the squares; the time
// weighted power (for IMPULSE, its held peaks) is sampled at LevelOutHz by linear interpolation.
//
// How the work is laid out: the bands that share a rate form a level. A lane pass (CLanePass) takes a run of a
// level's bands (one, when spreadTop is set, at the two highest rates), each band as its low-pass beside its
// high-pass and time weighting, the low-pass also feeding the next band; the runs are cut so that the passes fill
// the kernel's lanes (see Plan). The bands filtered from the held signal fill passes of their own, one band to a
// lane, and F and W share one more. A low-pass output that another pass reads (the next pass's first band, the next
// level's thinned input, the held signal) is written out whole.
//
// These passes, and the weighting at its own rate, are a block's tasks. A task reads the whole outputs of the tasks
// before it (TaskInputs) and carries its filter memories from its own previous block, so several blocks may be in
// flight at once (BandChainConfig::inFlight, each in a slot of its own buffers): a task may run on block k + 1 while
// another still runs on block k. Every filter still sees its samples in order, so the levels do not depend on how
// the tasks were spread over threads and blocks, nor on how the bands were laid out.
#pragma once

#include "FilterDesign.h"
#include "LanePass.h"
#include "Resampler.h"

#include <array>
#include <memory>
#include <new>
#include <utility>
#include <vector>

namespace murtesk::dsp {

inline constexpr int kMaxBands = 45;
inline constexpr int kMaxSlots = kMaxBands + 2;

enum BandMode { kOctave = 1, kThirdOctave = 3 };

// IMPULSE: the time constant 0.035 s, and the detector holds the power's peaks and lets them fall with a time
// constant of 1.5 s (2.9 dB/s), as sound level meters do; every other time constant is a plain exponential average.
inline constexpr double kImpulseCr = 0.035, kImpulseDecay = 1.5;

// Frequency weighting codes of output slot 1.
enum Weighting { kWeightLvz = 0, kWeightLvxy = 1, kWeightG = 2, kWeightA = 3, kWeightC = 4 };

struct BandChainConfig {
    int bandMode = kThirdOctave;   // kOctave or kThirdOctave
    int weighting = kWeightA;      // negative: none; above 4: A
    double rate = 48000.0;         // Hz, the rate of the blocks
    int samplesPerBlock = 48000;   // the largest block Compute accepts
    double cr = 0.125;             // time constant of the time weighting, s (kImpulseCr: IMPULSE)
    double levelOutHz = 10.0;      // level steps per second, 1..1000
    double lowestHz = 0.0;         // bands whose centre lies outside [lowestHz, highestHz] hold no level
    double highestHz = 22600.6;
    double lvl = 94.0;             // dB that the calibration rms stands for, within ±1000
    double calRms = 7000.0;        // sample rms of the calibration signal
    const double* corrections = nullptr;  // 15 or 45 dB added to the band slots, each within ±1000; null: zeros
    // The bands at the two highest rates one to a pass (each band's filters folded over the lanes) instead of as
    // many as the lanes take: more, shorter passes, which shortens a block's path through the chain when it has
    // several threads to itself, at some cost per sample. The levels are the same either way.
    bool spreadTop = false;
    // Blocks that may be in flight at once (Begin of a slot while others have not ended), 1..kMaxInFlight; each
    // takes the buffers of a block.
    int inFlight = 1;
};

inline constexpr int kMaxInFlight = 64;

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
    // Checks and stores the configuration, lays out the passes for the active kernel (ActiveKernel()), resets
    // every filter and allocates every buffer a block needs.
    // False on a mode other than 1 and 3, a rate, block length, time constant or calibration rms not above 0,
    // LevelOutHz outside 1..1000, no whole level step per block, a step count that is not the block's duration
    // times LevelOutHz rounded (2.5 per second), a block longer than 10 seconds, a vibration or
    // G weighting at a rate that cannot carry its 240 Hz low-pass (480 Hz and below), or memory exhausted.
    // A rate below LevelOutHz is computed: there are more steps than samples.
    bool Configure(const BandChainConfig& config);
    // Back to silence: every filter memory and slot counter 0.
    void Reset();

    int slotCount() const { return m_slots; }
    int bandMode() const { return m_cfg.bandMode; }
    int bandCount() const { return m_slots - 2; }
    int stepsPerBlock() const { return m_steps; }
    const KernelOps& kernel() const { return *m_kernel; }

    // Filters block number blockNo (from 1) of n samples (1..samplesPerBlock) into the mean squares of every
    // slot, on the calling thread, in flight slot 0. On failure (a slot counter already negative, a block too short
    // for a filter at the rate it runs) every slot counter becomes -1, so later blocks fail too until Reset.
    bool Compute(int blockNo, const double* samples, int n);

    // The same in tasks that may run on different threads, with up to inFlight blocks at once: Begin a block in a
    // free flight slot (false: the block failed, the counters are -1; its tasks do nothing), RunTask every task on
    // it, each once its inputs ran on this block and the task itself ran on the block before (see TaskInputs), then
    // End the slot, blocks in the order begun. samples must stay valid until End.
    bool Begin(int blockNo, const double* samples, int n, int flight = 0);
    int TaskCount() const { return static_cast<int>(m_tasks.size()); }
    // The tasks whose outputs this task reads in the same block (earlier tasks).
    const std::vector<int>& TaskInputs(int task) const { return m_tasks[task].inputs; }
    // False for a task that keeps nothing from block to block (it may run on several blocks at once).
    bool TaskCarries(int task) const { return m_tasks[task].carries; }
    // What a task computes on a block of samplesPerBlock samples, in lane steps (a resampled value counts as 48).
    long long TaskCost(int task) const { return m_tasks[task].cost; }
    void RunTask(int task, int flight);
    // False when the block failed (the counters are then -1). MeanSquares and MakeLevels then take this block.
    bool End(int flight = 0);

    // The mean squares of a slot from the last block ended.
    const double* MeanSquares(int slot) const { return m_flights[m_ended].ms[slot].data(); }
    int MeanSquareCount(int slot) const { return m_flights[m_ended].msCount[slot]; }

    // Turns the mean squares into levels (dB as 4-byte floats, stepsPerBlock per slot): 10 lg(ms) + LVL -
    // 20 lg(CALrms), plus the band's correction for slots 2 on; -1000 (plus the correction) for no power, and
    // for a power whose level would lie below that.
    // False when a slot does not hold exactly stepsPerBlock values.
    bool MakeLevels();
    const float* Levels(int slot) const { return m_levels.data() + static_cast<std::size_t>(slot) * m_steps; }

    // The block last computed for each slot; -1 after a failure.
    const std::array<int, kMaxSlots>& counters() const { return m_counters; }
    const BandInfo& band(int b) const { return m_bands[b]; }
    const BandRun& bandRun(int b) const { return m_runs[b]; }
    // The lane packing of a level's bands (lowPass[i]: band i has a low-pass of its own beside its high-pass and
    // time weighting, else only the latter): the runs of consecutive bands, a lane pass each, whose sections per
    // lane over `lanes` lanes add up to the fewest (every lane of a pass runs as many sections, used or not), then
    // the fewest passes; at most `most` bands a run. Returns where each run starts. Three bands on eight lanes run
    // as two (six sections a lane) and one (three), not as one pass of twelve sections a lane.
    static std::vector<int> PackRuns(const std::vector<bool>& lowPass, int lanes, int most);

    // Section steps of a block of samplesPerBlock samples (sections times the samples each one filters).
    long long SectionSteps() const { return m_sectionSteps; }
    // The lane steps the kernel runs for them (CLanePass::LaneSteps): SectionSteps() / LaneSteps() is the share of
    // the kernel's lanes that do useful work, the lane occupancy of the layout.
    long long LaneSteps() const { return m_laneSteps; }

private:
    // A signal of the chain: the block itself (array -1) or one of the low-pass outputs, taken every stride-th
    // value.
    struct SignalRef {
        int array = -1;
        int stride = 0;  // 0: no signal (the cascade is fed inside its pass)
    };
    struct Level {
        double rate = 0.0;
        int from = -1;  // the band of the previous level whose low-pass output this level's input thins
        int thinning = 1;
        int count = 0;  // samples of the current block
    };
    struct Pass {
        CLanePass pass;
        int level = 0;
        std::vector<SignalRef> sources;                // per cascade (cascades fed inside the pass have none)
        std::vector<std::pair<int, int>> outputs;      // cascade, array it writes
        std::vector<int> tails;                        // output slots whose levels the pass makes
    };
    enum TaskKind { kPassTask, kWeightingInput, kWeightingPass };
    struct Task {
        TaskKind kind = kPassTask;
        int pass = -1;
        bool carries = true;
        std::vector<int> inputs;
        long long cost = 0;
    };
    // Where a slot's time weighting starts in a block: its values and their rate.
    struct TailStart {
        int count = 0;
        double rate = 0.0;
    };
    // Doubles left uninitialised, from the global operator new (as a vector's would be).
    struct FreeDoubles {
        void operator()(double* p) const { ::operator delete(p); }
    };
    using Doubles = std::unique_ptr<double[], FreeDoubles>;
    static Doubles AllocateDoubles(std::size_t n) {
        return Doubles(static_cast<double*>(::operator new(n * sizeof(double))));
    }
    // One block in flight: its samples and the buffers its tasks write.
    struct Flight {
        int block = 0;
        bool begun = false;
        const double* samples = nullptr;
        int n = 0;
        std::vector<int> counts;  // per level
        // Written before they are read in each block: left uninitialised, their pages are first touched by the
        // threads that run the tasks rather than all at once by Configure.
        std::vector<Doubles> arrays;
        Doubles wRate;  // the weighting's input at its own rate
        int wCapacity = 0;
        int wCount = 0;
        std::array<std::vector<double>, kMaxSlots> ms;
        std::array<int, kMaxSlots> msCount{};
        std::array<TailStart, kMaxSlots> tails{};
        std::unique_ptr<bool[]> ran;  // per task: ran through
    };

    // A band as routed: the band whose low-pass output feeds it (-1: its level's input), and whether it has a
    // low-pass of its own.
    struct Planned {
        int band;
        int source;
        bool lowPass;
    };
    struct Routing {
        std::vector<std::vector<Planned>> levels;  // per rate level, its bands highest first
        std::vector<int> fromHeld;                 // the bands filtered from the held signal
        int held = -1;                             // the band whose low-pass output is held
    };

    // Plan: Route, the lane packing of each level (PackRuns), then BuildPasses.
    bool Plan();
    Routing Route();
    bool BuildPasses(const Routing& routing, const std::vector<std::vector<std::vector<Planned>>>& groups);
    bool AddPass(int level, std::vector<CLanePass::Cascade> cascades, std::vector<SignalRef> sources);
    void RunPass(int pass, Flight& f);
    void StartTail(int slot, Flight& f);
    const CResampler& WeightingResampler() const;
    int WeightingCount(int n) const;
    bool CheckBlock(Flight& f, int n);
    int ThinningFactor(double rate, double lowerEdge) const;

    BandChainConfig m_cfg;
    const KernelOps* m_kernel = nullptr;
    int m_slots = 0;
    int m_steps = 0;
    int m_block = 0;
    int m_n = 0;
    const double* m_samples = nullptr;
    std::vector<BandInfo> m_bands;
    std::array<BandRun, kMaxBands> m_runs{};
    std::array<int, kMaxBands> m_bandLevel{};  // level of each band's current signal
    std::array<double, kMaxBands> m_corr{};
    std::array<int, kMaxSlots> m_counters{};
    long long m_sectionSteps = 0;
    long long m_laneSteps = 0;

    CLinearResampler m_linear;
    CDoublingResampler m_doubling;
    CFilterDesign m_vibLowPass, m_weighting, m_vibHighPass;

    std::vector<Level> m_rateLevels;  // counts of a whole block
    std::vector<std::size_t> m_arraySizes;  // low-pass outputs
    std::vector<std::unique_ptr<Pass>> m_passes;
    std::vector<Task> m_tasks;
    std::vector<Flight> m_flights;
    int m_ended = 0;  // the flight slot last ended
    // The weighting when it needs its own rate (A or C below 18 kHz, the vibration and G weightings).
    bool m_ownWeighting = false;
    double m_wRateHz = 0.0;
    std::unique_ptr<CLanePass> m_wLowPass, m_wPass;
    std::array<CLevelTail, kMaxSlots> m_tails;

    std::vector<double> m_wIn;
    std::vector<float> m_levels;
};

}  // namespace murtesk::dsp
