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
// that wants it (the task it waits for may be one, on a machine with more threads than processors), and at last
// sleeps: until a task ends, or for a short while when one only went on.
constexpr int kPauses = 64, kYields = 512;
constexpr auto kNap = std::chrono::microseconds(200);
// Blocks follow each other closely: a helper looks out for the next one about as long as a block's statuses and
// writes take before it sleeps until woken.
constexpr auto kLookout = std::chrono::microseconds(500);

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
};

BandWorkers::BandWorkers(unsigned threads) {
    for (unsigned i = 1; i < threads; ++i) {
        try {
            m_helpers.emplace_back([this] { helperLoop(); });
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

void BandWorkers::run(int count, const std::function<TaskStep(int)>& advance) {
    if (count <= 0) return;
    Job job;
    job.count = count;
    job.advance = &advance;
    job.state = std::make_unique<std::atomic<uint8_t>[]>(static_cast<size_t>(count));
    job.remaining.store(count);
    if (!m_helpers.empty()) {
        std::lock_guard lock(m_mutex);
        m_job = &job;
        ++m_generation;
        m_announced.store(m_generation, std::memory_order_release);
    }
    m_wake.notify_all();
    work(job);
    if (!m_helpers.empty()) {
        // The job lives on this stack: wait until no helper is inside it.
        std::unique_lock lock(m_mutex);
        m_job = nullptr;
        m_left.wait(lock, [&] { return m_inside == 0; });
    }
}

void BandWorkers::helperLoop() {
    uint64_t seen = 0;
    std::unique_lock lock(m_mutex);
    for (;;) {
        if (!m_stop && m_generation == seen) {
            lock.unlock();
            const auto until = std::chrono::steady_clock::now() + kLookout;
            for (int i = 0; m_announced.load(std::memory_order_acquire) == seen; ++i) {
                if (i < kPauses) {
                    pause();
                } else {
                    std::this_thread::yield();
                    if (std::chrono::steady_clock::now() > until) break;
                }
            }
            lock.lock();
        }
        m_wake.wait(lock, [&] { return m_stop || (m_job != nullptr && m_generation != seen); });
        if (m_stop) return;
        seen = m_generation;
        Job* job = m_job;
        ++m_inside;
        lock.unlock();
        work(*job);
        lock.lock();
        if (--m_inside == 0) m_left.notify_all();
    }
}

void BandWorkers::work(Job& job) {
    const auto notify = [&job](bool ended) {
        job.progress.fetch_add(1);
        if (ended && job.sleepers.load() > 0) {
            std::lock_guard lock(job.mutex);
            job.changed.notify_all();
        }
    };
    while (job.remaining.load(std::memory_order_acquire) > 0) {
        const uint32_t before = job.progress.load();
        bool went = false;
        for (int i = 0; i < job.count; ++i) {
            uint8_t free = 0;
            if (job.state[i].load(std::memory_order_relaxed) != 0 ||
                !job.state[i].compare_exchange_strong(free, 1, std::memory_order_acquire))
                continue;
            const TaskStep step = (*job.advance)(i);
            if (step == TaskStep::Done) {
                job.state[i].store(2, std::memory_order_release);
                job.remaining.fetch_sub(1, std::memory_order_acq_rel);
            } else {
                job.state[i].store(0, std::memory_order_release);
            }
            if (step != TaskStep::Blocked) {
                went = true;
                notify(step == TaskStep::Done);
                break;  // look again from the first task: the earlier ones lead the chain
            }
        }
        if (went) continue;
        // Nothing could go on: wait until some task does (or the job ends).
        const auto waiting = [&] {
            return job.progress.load() == before && job.remaining.load(std::memory_order_acquire) > 0;
        };
        int tries = 0;
        for (; tries < kPauses + kYields && waiting(); ++tries) {
            if (tries < kPauses)
                pause();
            else
                std::this_thread::yield();
        }
        if (tries == kPauses + kYields) {
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
