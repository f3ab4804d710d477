// Threads kept for many short runs of jobs on the processor's cores (the tables of an output, one
// after another): starting threads for each run would cost more than a short run's work, and on
// a busy machine a run would wait for every thread to be scheduled. Here a run is done once its
// jobs are, whichever threads ran them; the calling thread takes jobs too, so a run never waits
// for a thread that the system has not scheduled yet.
#pragma once

#include <condition_variable>
#include <cstddef>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace murtesk {

class CorePool {
public:
    // threads: the threads a run uses, the calling one included (0: one per core); fewer when the
    // system cannot start them all.
    explicit CorePool(unsigned threads = 0);
    // Waits for the threads to end; no run may be going on.
    ~CorePool();
    CorePool(const CorePool&) = delete;
    CorePool& operator=(const CorePool&) = delete;

    unsigned Threads() const { return static_cast<unsigned>(workers_.size()) + 1; }
    // Runs job(i, worker) for i in 0..count-1 and returns when all are done; worker is the index
    // (0 .. Threads() - 1, the calling thread 0) of the thread that runs it. The job must not throw.
    // One run at a time, from one thread.
    void Run(std::size_t count, const std::function<void(std::size_t, unsigned)>& job);

private:
    struct Batch;
    void Work(unsigned worker);
    static void Take(Batch& batch, unsigned worker);

    std::mutex mutex_;
    std::condition_variable wake_;
    std::shared_ptr<Batch> batch_;  // the run going on; null between runs
    bool ending_ = false;
    std::vector<std::thread> workers_;
};

}  // namespace murtesk
