// CChAnalyzer: one channel of the analysis engine. Holds the channel's calculation condition, owns its
// level-data files (one per output slot: raw little-endian 4-byte float dB values, one per level step) and
// passes each block through the band-level chain.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "band_chain.h"

namespace murtesk::analysis {

struct ChannelCondition {
    int32_t weighting = 0;
    int32_t bandMode = -1;
    double cr = 0.125;
    double levelOutHz = 10.0;
    const double* corrections = nullptr;  // 15 or 45 values, may be null
    double lvl = 94.0;
    double calRms = 7000.0;
    double lowHz = 0.0;
    double highHz = 22600.6;
};

class CChAnalyzer {
public:
    static constexpr int kMaxSlots = 47;

    CChAnalyzer() = default;
    ~CChAnalyzer();
    CChAnalyzer(const CChAnalyzer&) = delete;
    CChAnalyzer& operator=(const CChAnalyzer&) = delete;

    // Band mode -1 switches the channel off (always accepted). Otherwise 1 when the condition is usable and the
    // band chain could be made for it: band mode 1 or 3, finite values, and what the chain asks (dsp's
    // CBandLevelChain::Configure). A refused condition leaves the channel off.
    int32_t configure(const ChannelCondition& condition, double sampleRate, int32_t samplesPerBlock);

    // Lays the chain's bands out for several threads of its own, or back (BandChainSettings::spread); the chain
    // starts from silence. Keeps the chain as it is when another cannot be made.
    void setSpread(bool spread);

    // 1 when stored, or when the channel is off (nothing to store); 0 for an output outside the mode.
    int32_t setOutputPath(int32_t output, const char* path);

    // The level files, one per output, which the engine creates side by side: startFiles readies the channel to
    // start from silence and returns how many files it writes (none when off); openFile creates the file of one
    // output for writing, each output once, from any thread (false when it cannot); removeCreated closes and
    // removes the files created.
    size_t startFiles();
    bool openFile(size_t output);
    void removeCreated();
    // Closes every output's file; false when one could not be written to its end.
    bool closeFiles();
    // Removes every output's file (the channel's files must be closed).
    void deleteFiles();

    // Hands in the next block (its number is the count of blocks handed in) and starts its analysis, which then
    // runs as taskCount() tasks (advance each until it is done, each task on one thread at a time; BandWorkers)
    // and ends with finishBlock, which appends the block's levels. An off channel has no tasks. Returns a buffer
    // to fill with a later block (the block before this one, or these samples when the channel is off).
    std::vector<double> beginBlock(std::vector<double>&& samples);
    int taskCount() const { return m_running ? m_chain->taskCount() : 0; }
    TaskStep advance(int task) { return m_chain->advance(task); }
    // false when the block (or an earlier one) failed.
    bool finishBlock();

    int32_t blocksHandedIn() const { return m_blocksHandedIn.load(std::memory_order_relaxed); }
    bool isOn() const { return m_enabled && slotCount(m_bandMode) > 0; }

private:
    bool m_enabled = false;
    std::vector<std::string> m_paths;
    std::array<std::FILE*, kMaxSlots> m_files{};
    std::array<double, 45> m_corrections{};
    int32_t m_lastFinished = 0;
    std::vector<double> m_samples;  // the block being analysed
    bool m_running = false;         // its analysis was started
    std::atomic<int32_t> m_blocksHandedIn{0};
    int16_t m_bandMode = -1;
    BandChainSettings m_settings;  // of the chain
    std::unique_ptr<BandChain> m_chain;
};

}  // namespace murtesk::analysis
