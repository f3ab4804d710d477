// CWavAnalyzeEngine: the analysis engine behind the exports. Prepared for a number of channels, a rate and a
// block length, configured channel by channel, then run on a worker thread that reads the WAV file block by
// block, hands each channel's samples to its CChAnalyzer and reports through the status window.
//
// Threads: the caller's thread configures, starts, stops and polls; one worker at a time runs on the engine.
// The stop flag, the status, the window and the block counters are atomics shared with the worker. The worker
// holds the engine by shared ownership, marks itself finished and then sends its final status as its last use
// of the engine, so the handler of that status may replace the engine or start the next run on it.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "band_workers.h"
#include "ch_analyzer.h"
#include "murtesk_window.h"

namespace murtesk::analysis {

class WavReader;
class WorkerThreads;

enum class EngineRun : uint8_t { Idle, Running };

class CWavAnalyzeEngine : public std::enable_shared_from_this<CWavAnalyzeEngine> {
public:
    CWavAnalyzeEngine(int32_t channels, double rate, int32_t samplesPerBlock, const double* dcOffsets);
    virtual ~CWavAnalyzeEngine();
    CWavAnalyzeEngine(const CWavAnalyzeEngine&) = delete;
    CWavAnalyzeEngine& operator=(const CWavAnalyzeEngine&) = delete;

    // Unusable for analysis: no channels, more than a WAV file can match, or the channels could not be made.
    bool failed() const { return m_failed; }
    bool running() const { return m_run.load(std::memory_order_acquire) == EngineRun::Running; }

    int32_t setCalcCondition(int32_t channel, MurteskWindow* window, const ChannelCondition& condition);
    int32_t setFileOutPath(int32_t channel, int32_t output, const char* path);
    // Creates the level files and starts the worker on `workers`; 1 when it runs.
    int32_t readStart(const std::string& path, WorkerThreads& workers);

    // Splits `source` into mono files named by SeparatedFileName(folder, name, c) on a worker; 1 when it runs.
    int32_t startSeparation(MurteskWindow* window, const std::string& source, const std::string& name,
                            const std::string& folder, WorkerThreads& workers);

    void requestStop() { m_stop.store(1, std::memory_order_release); }
    int16_t status() const { return m_status.load(std::memory_order_acquire); }
    int32_t fileOutOrder(int32_t channel) const;
    void setWindow(MurteskWindow* window) { m_window.store(window, std::memory_order_release); }
    // How many threads analyse a block, its channels and the bands of each (the processors available unless set;
    // at least 1). Only while no worker runs.
    // Threads for a run, fixed; by default a run has a thread for each processor this process may run on, and
    // works on those that no other task is running or waiting for (BandWorkers::limitToFreeProcessors).
    void setChannelThreads(unsigned threads) {
        m_channelThreads = threads < 1 ? 1 : threads;
        m_threadsFixed = true;
    }

private:
    // Claims the engine for a run (false while another runs).
    bool claimRun();
    // Creates every channel's level files; on failure removes those it created.
    bool createAllFiles();
    void releaseRun() { m_run.store(EngineRun::Idle, std::memory_order_release); }
    bool stopRequested() const { return m_stop.load(std::memory_order_acquire) != 0; }
    void clearStopAndStatus();
    // Sends a progress status (300), or -1 in its place after a stop request. No window: nothing happens.
    void sendStatus(int16_t status);
    // Ends the run: marks the engine idle, then sends the final status. Must be the worker's last use of the
    // engine.
    void finishRun(int16_t status);

    int16_t analyze(WavReader& reader);
    // false when a level file could not be written to its end.
    bool closeAllFiles();
    void deleteAllFiles();

    int32_t m_channels;
    double m_rate;
    std::array<double, 100> m_dcOffsets{};
    std::vector<std::unique_ptr<CChAnalyzer>> m_analyzers;
    std::atomic<int16_t> m_status{0};
    std::atomic<int16_t> m_stop{0};
    std::atomic<MurteskWindow*> m_window{nullptr};
    int32_t m_samplesPerBlock;
    bool m_failed = false;
    unsigned m_channelThreads = availableProcessors();
    bool m_threadsFixed = false;
    unsigned m_runThreads = 1;  // of the run started last (its helpers, before any limit)
    int m_slots = 1;  // batches of blocks in flight in a run
    int m_batch = 1;  // blocks per batch
    std::atomic<EngineRun> m_run{EngineRun::Idle};
};

}  // namespace murtesk::analysis
