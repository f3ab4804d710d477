#include "wav_analyze_engine.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <functional>
#include <new>
#include <thread>

#include "cal_read.h"
#include "murtesk_analysis.h"
#include "sample_decoder.h"
#include "wav_reader.h"
#include "wave_separation.h"
#include "worker_threads.h"

namespace murtesk::analysis {

namespace {

constexpr int16_t kBlockDone = MURTESK_STATUS_BLOCK;
constexpr int16_t kAnalysisDone = MURTESK_STATUS_ANALYSIS_DONE;
constexpr int16_t kSeparationDone = MURTESK_STATUS_SEPARATION_DONE;
constexpr int16_t kGaveUp = MURTESK_STATUS_GAVE_UP;
constexpr int16_t kNoData = MURTESK_STATUS_NO_DATA;
constexpr int16_t kFailed = MURTESK_STATUS_FAILED;
// Threads per channel from which a channel's bands are laid out for several threads.
constexpr unsigned kThreadsToSpread = 8;
// Blocks in flight per thread and channel, at most, and the memory their buffers may take in all (about 32 bytes
// a sample per block and channel).
constexpr int kFlightsPerThread = 2, kMaxFlights = 16;
constexpr double kFlightBytes = 16e6, kBytesPerSample = 32.0;
// The least work handed to another thread at once, in the chains' lane steps (some 50 µs), and the work of the
// blocks that go through the threads together (some 3 ms), at most kMaxBatch blocks.
constexpr long long kMinGrain = 250'000, kBatchCost = 16'000'000;
constexpr int kMaxBatch = 8;
// Threads that create the level files at the start of a run.
constexpr unsigned kFileThreads = 8;

// The worker leaves the processor between steps so that the user-interface thread keeps pace on a busy machine.
void yieldProcessor()
{
    std::this_thread::yield();
}

}  // namespace

CWavAnalyzeEngine::CWavAnalyzeEngine(int32_t channels, double rate, int32_t samplesPerBlock,
                                     const double* dcOffsets)
    : m_channels(channels), m_rate(rate), m_samplesPerBlock(samplesPerBlock)
{
    if (channels <= 0 || channels > kMaxChannels) {
        m_failed = true;
        return;
    }
    try {
        m_analyzers.reserve(static_cast<size_t>(channels));
        for (int32_t c = 0; c < channels; ++c)
            m_analyzers.push_back(std::make_unique<CChAnalyzer>());
    } catch (const std::bad_alloc&) {
        m_analyzers.clear();
        m_failed = true;
        return;
    }
    if (dcOffsets)
        for (int32_t c = 0; c < channels; ++c)
            m_dcOffsets[static_cast<size_t>(c)] = dcOffsets[c];
}

CWavAnalyzeEngine::~CWavAnalyzeEngine() = default;

int32_t CWavAnalyzeEngine::setCalcCondition(int32_t channel, MurteskWindow* window, const ChannelCondition& condition)
{
    if (m_failed || channel < 0 || channel >= static_cast<int32_t>(m_analyzers.size()) || running())
        return 0;
    setWindow(window);
    return m_analyzers[static_cast<size_t>(channel)]->configure(condition, m_rate, m_samplesPerBlock);
}

int32_t CWavAnalyzeEngine::setFileOutPath(int32_t channel, int32_t output, const char* path)
{
    if (m_failed || channel < 0 || channel >= static_cast<int32_t>(m_analyzers.size()) || running())
        return 0;
    return m_analyzers[static_cast<size_t>(channel)]->setOutputPath(output, path);
}

int32_t CWavAnalyzeEngine::fileOutOrder(int32_t channel) const
{
    if (channel < 0 || channel >= static_cast<int32_t>(m_analyzers.size()))
        return 0;
    return m_analyzers[static_cast<size_t>(channel)]->blocksHandedIn();
}

bool CWavAnalyzeEngine::claimRun()
{
    EngineRun idle = EngineRun::Idle;
    return m_run.compare_exchange_strong(idle, EngineRun::Running, std::memory_order_acq_rel);
}

void CWavAnalyzeEngine::clearStopAndStatus()
{
    m_stop.store(0, std::memory_order_release);
    m_status.store(0, std::memory_order_release);
}

bool CWavAnalyzeEngine::closeAllFiles()
{
    bool closed = true;
    for (auto& a : m_analyzers)
        closed = a->closeFiles() && closed;
    return closed;
}

bool CWavAnalyzeEngine::createAllFiles()
{
    // Creating a file costs the file system far more than the levels later written to it (eight channels of one-third
    // octaves have 376 files): the files are created side by side.
    std::vector<std::pair<size_t, size_t>> files;  // channel, output
    for (size_t c = 0; c < m_analyzers.size(); ++c)
        for (size_t s = 0, n = m_analyzers[c]->startFiles(); s < n; ++s)
            files.emplace_back(c, s);
    std::atomic<bool> failed{false};
    {
        BandWorkers workers(std::min(m_runThreads, kFileThreads));
        workers.run(static_cast<int>(files.size()), [&](int i) {
            const auto [channel, output] = files[static_cast<size_t>(i)];
            if (!m_analyzers[channel]->openFile(output))
                failed.store(true, std::memory_order_relaxed);
        });
    }
    if (!failed.load(std::memory_order_relaxed))
        return true;
    for (auto& a : m_analyzers)
        a->removeCreated();
    return false;
}

void CWavAnalyzeEngine::deleteAllFiles()
{
    for (auto& a : m_analyzers) {
        a->closeFiles();
        a->deleteFiles();
    }
}

int32_t CWavAnalyzeEngine::readStart(const std::string& path, WorkerThreads& workers)
{
    if (m_failed || !claimRun())
        return 0;
    auto reader = std::make_shared<WavReader>();
    if (!reader->open(path)) {
        releaseRun();
        return 0;
    }
    clearStopAndStatus();
    // A channel with eight threads or more to itself has its bands laid out for them: with fewer, the usual layout
    // keeps them as busy at less cost.
    const auto on = static_cast<unsigned>(
        std::count_if(m_analyzers.begin(), m_analyzers.end(), [](const auto& a) { return a->isOn(); }));
    m_runThreads = m_channelThreads;
    // Blocks in flight: enough for the threads to find work in later blocks while a block's last tasks wait for
    // its first ones; one thread runs the blocks one after another. Cheap blocks (low rates) go through the
    // threads several at a time, so that each hand-over carries work worth it.
    int slots = 1, batch = 1;
    if (m_runThreads > 1 && on > 0) {
        long long work = 0;
        for (const auto& a : m_analyzers)
            work += a->blockCost();
        batch = static_cast<int>(std::clamp(kBatchCost / std::max(work, 1LL), 1LL, static_cast<long long>(kMaxBatch)));
        const double budget = kFlightBytes / (kBytesPerSample * m_samplesPerBlock * on * batch);
        slots = std::clamp(std::min(kFlightsPerThread * static_cast<int>(m_runThreads) / static_cast<int>(on),
                                    static_cast<int>(budget)),
                           2, kMaxFlights);
    }
    for (auto& a : m_analyzers) {
        // A chain that cannot take more blocks at once runs its blocks one by one.
        if (!a->setLayout(on > 0 && m_runThreads >= kThreadsToSpread * on, slots * batch)) slots = batch = 1;
    }
    if (slots * batch == 1)
        for (auto& a : m_analyzers)
            if (a->inFlight() != 1) a->setLayout(false, 1);
    m_slots = slots;
    m_batch = batch;
    if (!createAllFiles()) {
        releaseRun();
        return 0;
    }
    auto self = shared_from_this();
    const bool started = workers.start([self, reader]() mutable {
        const int16_t status = self->analyze(*reader);
        reader.reset();
        // Nothing of the engine is used after this call; `self` is released as the thread ends.
        self->finishRun(status);
    });
    if (!started) {
        deleteAllFiles();
        releaseRun();
        return 0;
    }
    return 1;
}

int32_t CWavAnalyzeEngine::startSeparation(MurteskWindow* window, const std::string& source, const std::string& name,
                                           const std::string& folder, WorkerThreads& workers)
{
    if (!claimRun())
        return 0;
    setWindow(window);
    clearStopAndStatus();
    auto self = shared_from_this();
    const bool started = workers.start([self, source, name, folder]() mutable {
        const SeparationResult r = SeparateChannels(
            source, [&](int c) { return SeparatedFileName(folder, name, c); },
            [&] {
                yieldProcessor();
                return !self->stopRequested();
            });
        int16_t status = kFailed;
        switch (r.end) {
        case SeparationEnd::Done: status = kSeparationDone; break;
        case SeparationEnd::NoData: status = kNoData; break;
        case SeparationEnd::Stopped: status = kGaveUp; break;
        case SeparationEnd::Failed: status = kFailed; break;
        }
        // Nothing of the engine is used after this call.
        self->finishRun(status);
    });
    if (!started) {
        releaseRun();
        return 0;
    }
    return 1;
}

void CWavAnalyzeEngine::sendStatus(int16_t status)
{
    MurteskWindow* window = m_window.load(std::memory_order_acquire);
    if (!window)
        return;
    if (stopRequested() && status >= 0)
        status = -1;
    m_status.store(status, std::memory_order_release);
    window->send(window->context, WM_WAVSTATUS, 0, status);
}

void CWavAnalyzeEngine::finishRun(int16_t status)
{
    MurteskWindow* window = m_window.load(std::memory_order_acquire);
    if (window) {
        if (stopRequested() && status >= 0)
            status = -1;
        m_status.store(status, std::memory_order_release);
    }
    releaseRun();
    if (window)
        window->send(window->context, WM_WAVSTATUS, 0, status);
}

int16_t CWavAnalyzeEngine::analyze(WavReader& reader)
{
    int32_t blocks = 0;
    const auto fail = [&] {
        reader.close();
        deleteAllFiles();
        return kFailed;
    };
    // A level file that cannot be written to its end at its close fails the run like a failed write.
    const auto giveUp = [&] {
        reader.close();
        if (!closeAllFiles())
            return fail();
        if (blocks == 0)
            deleteAllFiles();
        return kGaveUp;
    };
    try {
        const WavError walk = reader.findData([&] {
            yieldProcessor();
            return !stopRequested();
        });
        if (walk == WavError::Stopped)
            return giveUp();
        if (walk != WavError::None && walk != WavError::NoData)
            return fail();

        if (walk == WavError::None) {
            const WavFormat& f = reader.format();
            if (f.channels > kMaxChannels || f.channels != m_channels ||
                static_cast<double>(f.sampleRate) != std::trunc(m_rate) ||
                static_cast<int64_t>(f.sampleRate) != m_samplesPerBlock)
                return fail();
            const SampleDecoder decoder(f);
            const auto frames = static_cast<size_t>(m_samplesPerBlock);
            const uint64_t blockBytes = static_cast<uint64_t>(frames) * f.blockAlign;
            const size_t channels = m_analyzers.size();
            // A block read from the file and converted, channel by channel, in one flight slot.
            struct Block {
                std::vector<uint8_t> bytes;
                std::vector<std::vector<double>> samples;
                bool read = false;
            };
            std::vector<Block> flights(static_cast<size_t>(m_slots * m_batch));
            for (Block& b : flights) {
                b.bytes.resize(static_cast<size_t>(blockBytes));
                b.samples.resize(channels);
            }
            // Per slot of the stream, its blocks: flights slot * m_batch on.
            std::vector<int> batchBlocks(static_cast<size_t>(m_slots), 0);
            // Every channel's chain tasks form the graph each block goes through, runs of them fused so that each
            // is worth handing to another thread (a channel's tasks apart from the others').
            std::vector<StreamTask> chainTasks;
            std::vector<std::pair<size_t, int>> owners;  // channel, chain task
            long long total = 0;
            for (size_t c = 0; c < channels; ++c) {
                const int offset = static_cast<int>(chainTasks.size());
                for (int t = 0; t < m_analyzers[c]->taskCount(); ++t) {
                    StreamTask task{m_analyzers[c]->taskInputs(t), m_analyzers[c]->taskCarries(t),
                                    m_analyzers[c]->taskCost(t), t == 0};
                    for (int& in : task.inputs) in += offset;
                    total += task.cost;
                    chainTasks.push_back(std::move(task));
                    owners.emplace_back(c, t);
                }
            }
            const FusedGraph graph = fuseTasks(chainTasks, std::max(kMinGrain, total / (2 * m_runThreads)));
            BandWorkers workers(m_runThreads);
            // On a busy machine the spread would only take processors from the other work (and lose more to waiting
            // for them than it gains): the run's threads are limited to the processors left free, looked at again
            // every second.
            auto nextLook = std::chrono::steady_clock::now();
            const auto lookAtTheMachine = [&] {
                const auto now = std::chrono::steady_clock::now();
                if (m_threadsFixed || now < nextLook)
                    return;
                workers.limitToFreeProcessors();
                nextLook = now + std::chrono::seconds(1);
            };
            // The channels' blocks are analysed side by side, several blocks at once, while this thread reads and
            // converts the next ones: every filter still sees its samples in order, so the levels are the same as
            // one block after another. The blocks are taken out in order: each channel appends its levels, and the
            // block counts. A stop seen meanwhile gives up before the next block counts.
            BlockStream stream(workers, graph.tasks, m_slots, [&](int task, int slot) {
                const auto first = graph.first[static_cast<size_t>(task)], last = graph.first[static_cast<size_t>(task) + 1];
                for (int k = 0; k < batchBlocks[static_cast<size_t>(slot)]; ++k)
                    for (int i = first; i < last; ++i) {
                        const auto [channel, t] = owners[static_cast<size_t>(i)];
                        m_analyzers[channel]->runTask(t, slot * m_batch + k);
                    }
            });
            bool more = reader.remainingBytes() >= blockBytes;
            for (;;) {
                // The next blocks into the free slots; a block that cannot be read goes in last, to fail in turn.
                for (int slot = more ? stream.freeSlot() : -1; slot >= 0; slot = more ? stream.freeSlot() : -1) {
                    int& count = batchBlocks[static_cast<size_t>(slot)];
                    for (count = 0; more && count < m_batch; ++count) {
                        const int flight = slot * m_batch + count;
                        Block& b = flights[static_cast<size_t>(flight)];
                        b.read = reader.read(b.bytes.data(), b.bytes.size());
                        more = b.read && reader.remainingBytes() >= blockBytes;
                        if (!b.read)
                            continue;
                        for (size_t c = 0; c < channels; ++c) {
                            b.samples[c].resize(frames);
                            decoder.decode(b.bytes.data(), frames, static_cast<unsigned>(c), b.samples[c].data(),
                                           m_dcOffsets[c]);
                            b.samples[c] = m_analyzers[c]->beginBlock(flight, std::move(b.samples[c]));
                        }
                    }
                    stream.admit(slot);
                }
                if (stream.inFlight() == 0)
                    break;
                lookAtTheMachine();
                yieldProcessor();
                if (stopRequested())
                    return giveUp();
                const int slot = stream.next();
                for (int k = 0; k < batchBlocks[static_cast<size_t>(slot)]; ++k) {
                    if (k > 0) {
                        yieldProcessor();
                        if (stopRequested())
                            return giveUp();
                    }
                    const int flight = slot * m_batch + k;
                    if (!flights[static_cast<size_t>(flight)].read)
                        return fail();
                    bool done = true;
                    for (auto& a : m_analyzers)
                        done = a->finishBlock(flight) && done;
                    if (!done)
                        return fail();
                    yieldProcessor();
                    if (stopRequested())
                        return giveUp();
                    ++blocks;
                    sendStatus(kBlockDone);
                }
            }
        }
        reader.close();
        if (!closeAllFiles())
            return fail();
        yieldProcessor();
        if (blocks > 0)
            return kAnalysisDone;
        deleteAllFiles();
        return kNoData;
    } catch (const std::exception&) {
        // Out of memory for a block: the run fails like any other.
        return fail();
    }
}

}  // namespace murtesk::analysis
