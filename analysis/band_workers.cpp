#include "band_workers.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#if defined(__linux__)
#include <sched.h>
#endif

#if defined(__SSE2__)
#include <immintrin.h>
#endif

namespace murtesk::analysis {

namespace {

void pause() {
#if defined(__SSE2__)
    _mm_pause();
#else
    std::this_thread::yield();
#endif
}

// A thread that found nothing to do looks again after a pause, then after giving its processor to any other thread
// that wants it (the task it waits for may be one, on a machine with more threads than processors), for about as
// long as a task takes to go on by a step, and then sleeps: until a task ends, or for a short while when one only
// went on. The look-out is bounded in time, not in turns: on a busy machine each turn given away may last a
// scheduler's slice, and the process gets a share of the processors whatever its thread count, so every turn a
// waiting thread takes is taken from the threads doing the work.
constexpr int kPauses = 64;
constexpr auto kSpin = std::chrono::microseconds(60);
constexpr auto kNap = std::chrono::microseconds(200);
// Blocks follow each other closely: a helper looks out for the next one about as long as a block's statuses and
// writes take on an idle machine before it sleeps until woken.
constexpr auto kLookout = std::chrono::microseconds(150);

// Pauses, then yields, while `waiting` holds and `limit` has not passed since the start; true when it still holds.
template <class Waiting>
bool LookOut(std::chrono::microseconds limit, const Waiting& waiting) {
    for (int i = 0; i < kPauses; ++i) {
        if (!waiting()) return false;
        pause();
    }
    const auto until = std::chrono::steady_clock::now() + limit;
    while (waiting()) {
        if (std::chrono::steady_clock::now() > until) return true;
        std::this_thread::yield();
    }
    return false;
}

}  // namespace

// One block's tasks. Task states: 0 free, 1 being advanced, 2 done.
struct BandWorkers::Job {
    int count = 0;
    const std::function<TaskStep(int)>* advance = nullptr;
    std::unique_ptr<std::atomic<uint8_t>[]> state;
    std::atomic<int> remaining{0};
    std::atomic<uint32_t> progress{0};  // bumped by every task that went on or ended
    std::atomic<int> sleepers{0};
    std::mutex mutex;
    std::condition_variable changed;
    const std::vector<std::vector<int>>* own = nullptr;  // per thread; null: no groups
};

BandWorkers::BandWorkers(unsigned threads) {
    for (unsigned i = 1; i < threads; ++i) {
        try {
            m_helpers.emplace_back([this, i] { helperLoop(i); });
        } catch (const std::system_error&) {
            break;
        }
    }
}

BandWorkers::~BandWorkers() {
    {
        std::lock_guard lock(m_mutex);
        m_stop = true;
        m_announced.fetch_add(1, std::memory_order_release);  // ends the look-out for a next job
    }
    m_wake.notify_all();
    for (std::thread& t : m_helpers) t.join();
}

void BandWorkers::run(int count, const std::function<TaskStep(int)>& advance, const std::vector<int>& groups) {
    if (count <= 0) return;
    Job job;
    job.count = count;
    job.advance = &advance;
    job.state = std::make_unique<std::atomic<uint8_t>[]>(static_cast<size_t>(count));
    job.remaining.store(count);
    if (!groups.empty()) {
        // Written before the job is announced under the lock, so the helpers see it whole.
        const unsigned n = threads();
        m_own.resize(n);
        for (std::vector<int>& own : m_own) own.clear();
        for (int i = 0; i < count; ++i) {
            const int g = i < static_cast<int>(groups.size()) ? groups[static_cast<size_t>(i)] : -1;
            if (g < 0) {
                for (std::vector<int>& own : m_own) own.push_back(i);
            } else {
                m_own[static_cast<unsigned>(g) % n].push_back(i);
            }
        }
        job.own = &m_own;
    }
    if (!m_helpers.empty()) {
        std::lock_guard lock(m_mutex);
        m_job = &job;
        ++m_generation;
        m_announced.store(m_generation, std::memory_order_release);
    }
    m_wake.notify_all();
    work(job, 0);
    if (!m_helpers.empty()) {
        // The job lives on this stack: wait until no helper is inside it.
        std::unique_lock lock(m_mutex);
        m_job = nullptr;
        m_left.wait(lock, [&] { return m_inside == 0; });
    }
}

void BandWorkers::helperLoop(unsigned self) {
    uint64_t seen = 0;
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (!m_stop && m_generation == seen) {
            // Blocks follow each other closely: a helper looks out for the next one a little before it sleeps.
            lock.unlock();
            LookOut(kLookout, [&] { return m_announced.load(std::memory_order_acquire) == seen; });
            lock.lock();
        }
        m_wake.wait(lock, [&] { return m_stop || (m_job != nullptr && m_generation != seen); });
        if (m_stop) return;
        seen = m_generation;
        Job* job = m_job;
        ++m_inside;
        lock.unlock();
        work(*job, self);
        lock.lock();
        if (--m_inside == 0) m_left.notify_all();
    }
}

void BandWorkers::work(Job& job, unsigned self) {
    const auto notify = [&job](bool ended) {
        job.progress.fetch_add(1);
        if (ended && job.sleepers.load() > 0) {
            std::lock_guard lock(job.mutex);
            job.changed.notify_all();
        }
    };
    // Advances task i if it is free; true when it went on or ended.
    const auto tryTask = [&](int i) {
        uint8_t free = 0;
        if (job.state[i].load(std::memory_order_relaxed) != 0 ||
            !job.state[i].compare_exchange_strong(free, 1, std::memory_order_acquire))
            return false;
        const TaskStep step = (*job.advance)(i);
        if (step == TaskStep::Done) {
            job.state[i].store(2, std::memory_order_release);
            job.remaining.fetch_sub(1, std::memory_order_acq_rel);
        } else {
            job.state[i].store(0, std::memory_order_release);
        }
        if (step == TaskStep::Blocked) return false;
        notify(step == TaskStep::Done);
        return true;
    };
    const std::vector<int>* own = job.own != nullptr ? &(*job.own)[self] : nullptr;
    while (job.remaining.load(std::memory_order_acquire) > 0) {
        const uint32_t before = job.progress.load();
        // Look again from the first task after each step: the earlier ones lead the chain.
        bool went = false;
        if (own != nullptr)
            for (const int i : *own)
                if ((went = tryTask(i))) break;
        for (int i = 0; !went && i < job.count; ++i) went = tryTask(i);
        if (went) continue;
        // Nothing could go on: wait until some task does (or the job ends).
        const auto waiting = [&] {
            return job.progress.load() == before && job.remaining.load(std::memory_order_acquire) > 0;
        };
        if (LookOut(kSpin, waiting)) {
            std::unique_lock lock(job.mutex);
            job.sleepers.fetch_add(1);
            job.changed.wait_for(lock, kNap, [&] { return !waiting(); });
            job.sleepers.fetch_sub(1);
        }
    }
}

unsigned availableProcessors() {
#if defined(__linux__)
    // The processors this process may run on (taskset, cgroups), not all the machine has.
    cpu_set_t set;
    if (sched_getaffinity(0, sizeof set, &set) == 0) return std::max(static_cast<unsigned>(CPU_COUNT(&set)), 1u);
#endif
    return std::max(std::thread::hardware_concurrency(), 1u);
}

}  // namespace murtesk::analysis
