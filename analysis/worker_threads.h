// The library's worker threads. A worker may outlive the engine that started it and ends while the
// user-interface thread may still be running the handler of its final status, so threads are detached and
// counted here rather than owned by an engine; the owner can wait for all of them to end.
#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

namespace murtesk::analysis {

class WorkerThreads {
public:
    WorkerThreads();
    ~WorkerThreads();
    WorkerThreads(const WorkerThreads&) = delete;
    WorkerThreads& operator=(const WorkerThreads&) = delete;

    // Runs `work` on a new thread; false when the thread could not be created (work is then dropped unrun).
    // What `work` holds is released on the worker before it counts as ended.
    bool start(std::function<void()> work);

    // Waits until every worker started so far has ended.
    void joinAll();

private:
    struct State {
        std::mutex mutex;
        std::condition_variable ended;
        int running = 0;
    };
    std::shared_ptr<State> m_state;
};

}  // namespace murtesk::analysis
