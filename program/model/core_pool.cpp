#include "model/core_pool.h"

#include <algorithm>
#include <atomic>
#include <system_error>

namespace murtesk {

struct CorePool::Batch {
    const std::function<void(std::size_t, unsigned)>* job = nullptr;
    std::size_t count = 0;
    std::atomic<std::size_t> next{0};
    std::atomic<std::size_t> done{0};
    std::mutex mutex;
    std::condition_variable finished;
};

CorePool::CorePool(unsigned threads) {
    if (threads == 0) threads = std::max(1u, std::thread::hardware_concurrency());
    try {
        for (unsigned t = 1; t < threads; ++t) workers_.emplace_back([this, t] { Work(t); });
    } catch (const std::system_error&) {
        // The calling thread takes jobs too: a run goes on with the threads the system could start.
    }
}

CorePool::~CorePool() {
    {
        std::lock_guard lock(mutex_);
        ending_ = true;
    }
    wake_.notify_all();
    for (std::thread& worker : workers_) worker.join();
}

void CorePool::Take(Batch& batch, unsigned worker) {
    for (std::size_t i = batch.next++; i < batch.count; i = batch.next++) {
        (*batch.job)(i, worker);
        if (++batch.done == batch.count) {
            std::lock_guard lock(batch.mutex);
            batch.finished.notify_all();
        }
    }
}

void CorePool::Run(std::size_t count, const std::function<void(std::size_t, unsigned)>& job) {
    if (count == 0) return;
    auto batch = std::make_shared<Batch>();
    batch->job = &job;
    batch->count = count;
    if (!workers_.empty()) {
        {
            std::lock_guard lock(mutex_);
            batch_ = batch;
        }
        wake_.notify_all();
    }
    Take(*batch, 0);
    {
        std::unique_lock lock(batch->mutex);
        batch->finished.wait(lock, [&] { return batch->done == count; });
    }
    std::lock_guard lock(mutex_);
    batch_.reset();
}

void CorePool::Work(unsigned worker) {
    std::shared_ptr<Batch> last;
    for (;;) {
        std::shared_ptr<Batch> batch;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return ending_ || (batch_ && batch_ != last); });
            if (ending_) return;
            batch = batch_;
        }
        last = batch;
        // A batch whose jobs are all taken leaves nothing to do; its job is never touched then.
        Take(*batch, worker);
    }
}

}  // namespace murtesk
