// What a channel's analysis needs of the band-level chain: for each one-second block, the levels of every
// output slot (0 F, 1 W, 2.. the bands from the highest frequency down; 17 slots in octave mode, 47 in
// one-third-octave mode) at each level step, appended to the slot's level file. The chain carries its filter
// memories from block to block and starts from silence after reset().
#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <vector>


namespace murtesk::analysis {

struct BandChainSettings {
    int32_t weighting = 0;     // negative none, 0 Lvz, 1 Lvxy, 2 G, 3 A, 4 C, above 4 A
    int16_t bandMode = -1;     // 1 octave, 3 one-third octave
    double sampleRate = 48000.0;
    int32_t samplesPerBlock = 48000;
    double cr = 0.125;         // time constant, s
    double levelOutHz = 10.0;  // level steps per second
    double lowHz = 0.0;        // bands whose centre lies outside lowHz..highHz are not computed
    double highHz = 22600.6;
    double lvl = 94.0;         // dB that the calibration rms stands for
    double calRms = 7000.0;    // sample rms of the calibration signal
    const double* corrections = nullptr;  // dB added to each band, 15 or 45 values; null: none
    bool spread = false;  // the bands laid out for several threads on this one chain (the levels are the same)
    int inFlight = 1;     // blocks that may be in flight at once
};

inline int slotCount(int16_t bandMode)
{
    return bandMode == 1 ? 17 : bandMode == 3 ? 47 : 0;
}

class BandChain {
public:
    virtual ~BandChain() = default;

    // Back to silence: every filter and time-weighting memory 0.
    virtual void reset() = 0;

    // Computes block `blockNumber` (1, 2, ...) from its samples. false on any failure; the chain then refuses
    // every later block until reset.
    virtual bool compute(int32_t blockNumber, const std::vector<double>& samples) = 0;

    // compute() split into tasks that may run on different threads, with several blocks in flight
    // (BandChainSettings::inFlight, each in a flight slot; BlockStream): begin a block in a free slot (false: the
    // block failed, its tasks do nothing), run every task on it (taskInputs: the tasks of the same block whose
    // outputs it reads; a carrying task runs on each block after the block before), then end the blocks in the
    // order begun (false: the block failed). samples must stay as they are until end.
    virtual bool begin(int flight, int32_t blockNumber, const std::vector<double>& samples) = 0;
    virtual int taskCount() const = 0;
    virtual const std::vector<int>& taskInputs(int task) const = 0;
    virtual bool taskCarries(int task) const = 0;
    virtual long long taskCost(int task) const = 0;  // lane steps on a whole block
    virtual void runTask(int task, int flight) = 0;
    virtual bool end(int flight) = 0;

    // Appends the levels of the block last computed to files[slot] (one open file per slot), flushing one file
    // in rotation. false when a slot does not hold one value per level step or a file reports an error.
    virtual bool write(int32_t blockNumber, std::FILE* const* files) = 0;
};

// A chain for the settings; null when they are refused or its buffers cannot be had (may throw bad_alloc).
std::unique_ptr<BandChain> makeBandChain(const BandChainSettings& settings);

}  // namespace murtesk::analysis
