#include "worker_threads.h"

#include <system_error>
#include <thread>

namespace murtesk::analysis {

WorkerThreads::WorkerThreads() : m_state(std::make_shared<State>()) {}

WorkerThreads::~WorkerThreads()
{
    joinAll();
}

bool WorkerThreads::start(std::function<void()> work)
{
    {
        std::lock_guard lock(m_state->mutex);
        ++m_state->running;
    }
    try {
        // The thread holds the counting state itself, so it never touches this object.
        std::thread([work = std::move(work), state = m_state]() mutable {
            work();
            work = nullptr;
            std::lock_guard lock(state->mutex);
            --state->running;
            state->ended.notify_all();
        }).detach();
    } catch (const std::system_error&) {
        std::lock_guard lock(m_state->mutex);
        --m_state->running;
        return false;
    }
    return true;
}

void WorkerThreads::joinAll()
{
    std::unique_lock lock(m_state->mutex);
    m_state->ended.wait(lock, [&] { return m_state->running == 0; });
}

}  // namespace murtesk::analysis
