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

    // Lays the chain's bands out for several threads of its own, or back (BandChainSettings::spread), with
    // `inFlight` blocks in flight at once; the chain starts from silence. Keeps the chain as it is when another
    // cannot be made (false then, unless the layout was already this one).
    bool setLayout(bool spread, int inFlight);
    int inFlight() const;

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

    // Starts the analysis of the next block in a flight slot (below setLayout's inFlight), which then runs as
    // taskCount() tasks (runTask; BlockStream runs them in their order) and ends with finishBlock, blocks in the
    // order begun, which counts the block handed in and appends its levels. An off channel has no tasks. Returns
    // a buffer to fill with a later block (the one that was in this slot, or these samples when the channel is
    // off).
    std::vector<double> beginBlock(int flight, std::vector<double>&& samples);
    int taskCount() const { return isOn() ? m_chain->taskCount() : 0; }
    const std::vector<int>& taskInputs(int task) const { return m_chain->taskInputs(task); }
    bool taskCarries(int task) const { return m_chain->taskCarries(task); }
    long long taskCost(int task) const { return m_chain->taskCost(task); }
    // The work of a block, in the chain's lane steps (0 when off).
    long long blockCost() const;
    void runTask(int task, int flight) { m_chain->runTask(task, flight); }
    // false when the block (or an earlier one) failed.
    bool finishBlock(int flight);

    int32_t blocksHandedIn() const { return m_blocksHandedIn.load(std::memory_order_relaxed); }
    bool isOn() const { return m_enabled && slotCount(m_bandMode) > 0; }

private:
    bool m_enabled = false;
    std::vector<std::string> m_paths;
    std::array<std::FILE*, kMaxSlots> m_files{};
    std::array<double, 45> m_corrections{};
    int32_t m_lastFinished = 0;
    int32_t m_blocksBegun = 0;
    std::vector<std::vector<double>> m_samples;  // per flight slot, the block being analysed
    std::vector<char> m_running;                 // per flight slot, its analysis was started
    std::atomic<int32_t> m_blocksHandedIn{0};
    int16_t m_bandMode = -1;
    BandChainSettings m_settings;  // of the chain
    std::unique_ptr<BandChain> m_chain;
};

}  // namespace murtesk::analysis
