// The threads that filter one block of every channel: the tasks of all channels' band chains (dsp's lane passes)
// run on a fixed set of threads, the calling thread among them. A task may have to wait for the output of another
// (the next rate level follows the one before it), so a thread that finds its task blocked leaves it and takes any
// other that can go on; each task is advanced by one thread at a time, and in its own order, so the results are
// those of running the tasks one after another.
//
// Tasks may be grouped (a channel's band passes): each group belongs to one thread, which works through its own
// groups first, in task order, and takes another's tasks only when none of its own can go on. So a channel's
// filter memories and signals stay in one core's cache from block to block, and with as many channels as
// threads no thread waits for another's output; with fewer channels, the idle threads share the others' bands.
//
// Threads: one BandWorkers per analysis run, used from one thread (the run's worker). The helpers live as long as
// the object and sleep between blocks.
#pragma once

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace murtesk::analysis {

// What advancing a task did.
enum class TaskStep : uint8_t { Blocked, Progressed, Done };

class BandWorkers {
public:
    // threads: how many threads work on a block, the caller included (at least 1). Helpers that cannot be
    // created leave their share to the others.
    explicit BandWorkers(unsigned threads);
    ~BandWorkers();
    BandWorkers(const BandWorkers&) = delete;
    BandWorkers& operator=(const BandWorkers&) = delete;

    // Advances tasks 0 .. count - 1 until every one is done, on the helpers and the calling thread, and returns
    // when none of them is touched any more. advance(i) must not throw; a task that reports Blocked must become
    // able to go on once the tasks it waits for go on. groups, when not empty, holds each task's group (from 0;
    // negative: none): group g belongs to thread g modulo threads(), and a task of no group is every thread's own.
    void run(int count, const std::function<TaskStep(int)>& advance, const std::vector<int>& groups = {});

    unsigned threads() const { return static_cast<unsigned>(m_helpers.size()) + 1; }

private:
    struct Job;
    void helperLoop(unsigned self);
    // self: 0 for the calling thread, 1.. for the helpers.
    void work(Job& job, unsigned self);

    std::mutex m_mutex;
    std::condition_variable m_wake;  // a new job, or the end
    std::condition_variable m_left;  // a helper left the job
    Job* m_job = nullptr;
    uint64_t m_generation = 0;
    std::atomic<uint64_t> m_announced{0};  // m_generation, for helpers that look out for the next job unlocked
    int m_inside = 0;                      // helpers working on the current job
    bool m_stop = false;
    std::vector<std::thread> m_helpers;
    std::vector<std::vector<int>> m_own;  // per thread, its tasks of the current job in task order
};

// The processors this process may run on (at least 1).
unsigned availableProcessors();

}  // namespace murtesk::analysis
