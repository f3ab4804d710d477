// The library's one state object: the current engine (shared with any worker still running on it) and the
// worker threads. Each method is one export with the export's arguments and results; exports.cpp wraps one
// process-wide instance. Tests make their own instances.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>

#include "murtesk_window.h"
#include "worker_threads.h"

namespace murtesk::analysis {

class CWavAnalyzeEngine;

class AnalysisLibrary {
public:
    AnalysisLibrary();
    // Asks the current engine's worker to stop and waits for every worker.
    ~AnalysisLibrary();
    AnalysisLibrary(const AnalysisLibrary&) = delete;
    AnalysisLibrary& operator=(const AnalysisLibrary&) = delete;

    int32_t ReadPreOfWAV(int32_t channels, double rate, int32_t samplesPerBlock, const double* dcOffsets);
    int32_t SetCalcConditionOfWAV(int32_t channel, MurteskWindow* window, int32_t weighting, int32_t bandMode,
                                  double cr, double levelOutHz, const double* corrections, double lvl,
                                  double calRms, double lowHz, double highHz);
    int32_t SetFileOutPathOfWAV(int32_t channel, int32_t output, const char* path);
    int32_t ReadStartOfWAV(const char* path);
    int32_t DoStopOfWAV();
    int16_t GethStatusOfWAV();
    int32_t GetFileOutOrderOfWAV(int32_t channel);
    int32_t SethWndOfWAV(MurteskWindow* window);
    int32_t CALReadOfWAV(const char* path, int32_t* channels, int32_t* rate, int32_t* bits, double* maxima,
                         double* minima, int32_t* format, int32_t* frames);

    int32_t StartSeparateChWaveFile(MurteskWindow* window, const char* source, const char* name, const char* folder);
    int32_t SeparateChWaveFile(const char* source, const char* prefix);

    // Waits until every worker started so far has ended (tests).
    void waitForWorkers() { m_workers.joinAll(); }
    // Threads per block for the channels of engines made from now on (0: one per processor; tests).
    void setChannelThreads(unsigned threads) { m_channelThreads = threads; }

private:
    std::shared_ptr<CWavAnalyzeEngine> engine() const;
    void replaceEngine(std::shared_ptr<CWavAnalyzeEngine> engine);

    mutable std::mutex m_mutex;
    std::shared_ptr<CWavAnalyzeEngine> m_engine;
    WorkerThreads m_workers;
    unsigned m_channelThreads = 0;
};

}  // namespace murtesk::analysis
