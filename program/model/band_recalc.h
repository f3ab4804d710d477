// Recomputing the statistics of many bands at once (all bands of a channel after its ranges
// changed), and the exposure levels of a range in many bands, spread over the processor's cores.
// Each band reads its own level file and writes its own histogram file; the histogram folder is
// read on the calling thread first, and every statistics object already holds its histogram file
// name (names are only ever taken on the user-interface thread, when an object is created).
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <span>
#include <string>
#include <system_error>
#include <thread>
#include <type_traits>
#include <vector>

#include "model/level_calc.h"

namespace murtesk {

struct BandRecalc {
    CLCalc* LCalc = nullptr;           // the statistics to recompute
    const CScopes* CalcScopes = nullptr;
    const CData* LevelData = nullptr;
    std::string SaveDir;               // folder of the band's level file
    bool Saved = false;                // result of the band's resetNew
};

// Bands handed in one at a time and recomputed on worker threads, while the thread that hands
// them in stays free: it waits for them with a time limit, so a user-interface thread can keep
// answering between waits. Start and the waits belong to one thread (the owner's).
//
// Each band is recomputed whole by one worker: a band is either untouched (not yet taken) or
// recomputed once Pending no longer counts it. The destructor waits for every band handed in.
class BandRecalcQueue {
public:
    // threads 0: one per core; fewer when the system cannot start them all (none: std::system_error).
    explicit BandRecalcQueue(unsigned threads = 0, std::int32_t sliceLength = kStatsSliceLength);
    ~BandRecalcQueue();
    BandRecalcQueue(const BandRecalcQueue&) = delete;
    BandRecalcQueue& operator=(const BandRecalcQueue&) = delete;

    unsigned Threads() const { return static_cast<unsigned>(workers_.size()); }
    // Hands a band in. The band, its statistics object, ranges and level data must stay alive and
    // untouched by others until Pending no longer counts it; its Saved is set by then.
    void Start(BandRecalc& band);
    // Bands handed in and not yet finished.
    std::size_t Pending() const;
    // Waits until at most `pending` bands are unfinished, or `timeout` has passed; true when the
    // count was reached.
    bool WaitUntilAtMost(std::size_t pending, std::chrono::milliseconds timeout);

private:
    struct Item {
        BandRecalc* band;
        std::string lcalcFolder;
    };
    void Work();

    const std::int32_t sliceLength_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;  // workers: an item or the end
    std::condition_variable done_;  // owner: a band finished
    std::deque<Item> queue_;
    std::size_t pending_ = 0;
    bool ending_ = false;
    std::vector<std::thread> workers_;
};

// Runs resetNew for every band, on up to `threads` threads (0: one per core). Returns when all
// are done; true when every histogram was saved. The bands must not share a statistics object.
bool ResetNewBands(std::span<BandRecalc> bands, unsigned threads = 0,
                   std::int32_t sliceLength = kStatsSliceLength);

struct BandLE {
    CLCalc* LCalc = nullptr;  // whose LE is set
    const CData* LevelData = nullptr;
    std::string SaveDir;  // folder of the band's level file
    std::int32_t S = 0;   // the range of positions, ends included
    std::int32_t E = 0;
    double LevelOutHz = 0.0;
};

// Runs getLEArea for every band the same way: one slice per thread in memory at a time.
void GetLEBands(std::span<BandLE> bands, unsigned threads = 0, std::int32_t sliceLength = kStatsSliceLength);

// Runs job(i) for i in 0..count-1 on up to `threads` threads (0: one per core), the calling thread
// among them; returns when all are done. A job taking (i, worker) also learns which of the threads
// (0 .. threads - 1, the calling thread 0) runs it. The job must not throw. When the system cannot
// start as many threads, the jobs run on fewer.
template <class Job>
void OnCores(std::size_t count, unsigned threads, const Job& job) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    threads = static_cast<unsigned>(std::min<std::size_t>(threads, count));
    std::atomic<std::size_t> next{0};
    auto work = [&](unsigned worker) {
        for (std::size_t i = next++; i < count; i = next++) {
            if constexpr (std::is_invocable_v<const Job&, std::size_t, unsigned>)
                job(i, worker);
            else
                job(i);
        }
    };
    std::vector<std::jthread> pool;
    try {
        for (unsigned t = 1; t < threads; ++t) pool.emplace_back(work, t);
    } catch (const std::system_error&) {
        // A thread the system cannot start leaves its share to the threads that run.
    }
    work(0);
}

}  // namespace murtesk
