// A status window for tests: send() from a worker queues the message and blocks until the test's thread has
// run the handler in pump(), as the user-interface thread does; send() from the test's thread runs the
// handler at once. Every status handled is recorded in order.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "murtesk_window.h"

namespace murtesk::analysis::testing {

class TestWindow {
public:
    using Handler = std::function<void(int status)>;

    TestWindow() : m_owner(std::this_thread::get_id())
    {
        m_handle.context = this;
        m_handle.send = &TestWindow::sendThunk;
        m_handle.post = &TestWindow::postThunk;
    }

    ~TestWindow()
    {
        std::lock_guard lock(m_mutex);
        m_closed = true;
        m_cv.notify_all();
    }

    MurteskWindow* handle() { return &m_handle; }
    void onStatus(Handler handler) { m_handler = std::move(handler); }
    const std::vector<int>& statuses() const { return m_statuses; }

    // Handles messages until `done` holds after a message, or the time runs out (false).
    bool pumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout = std::chrono::seconds(30))
    {
        const auto deadline = std::chrono::steady_clock::now() + timeout;
        std::unique_lock lock(m_mutex);
        while (!done()) {
            if (!m_cv.wait_until(lock, deadline, [&] { return !m_queue.empty(); }))
                return false;
            Pending* p = m_queue.front();
            m_queue.pop_front();
            lock.unlock();
            p->result = handle(p->message, p->lparam);
            lock.lock();
            p->done = true;
            m_cv.notify_all();
        }
        return true;
    }

    // Handles messages until the status sequence holds a final status that only ends a run.
    bool pumpUntilFinal(std::chrono::milliseconds timeout = std::chrono::seconds(30))
    {
        return pumpUntil([&] { return !m_statuses.empty() && isFinalOnly(m_statuses.back()); }, timeout);
    }

    // Handles messages until `finished` is set from another thread (e.g. once every worker has ended).
    bool pumpUntilFlag(const bool& finished, std::chrono::milliseconds timeout = std::chrono::seconds(30))
    {
        return pumpUntil([&] { return finished; }, timeout);
    }

    // Sets a flag under the window's lock and wakes the pump (from any thread).
    void raise(bool& flag)
    {
        std::lock_guard lock(m_mutex);
        flag = true;
        m_queue.push_back(&m_wake);
        m_cv.notify_all();
    }

    static bool isFinalOnly(int status)
    {
        return status == 9899 || status == 9999 || status == -9800 || status == -9801 || status == -9811;
    }

private:
    struct Pending {
        uint32_t message = 0;
        intptr_t lparam = 0;
        intptr_t result = 0;
        bool done = false;
    };

    intptr_t handle(uint32_t message, intptr_t lparam)
    {
        if (message != WM_WAVSTATUS)
            return 0;
        const int status = static_cast<int>(lparam);
        m_statuses.push_back(status);
        if (m_handler)
            m_handler(status);
        return 0;
    }

    static intptr_t sendThunk(void* context, uint32_t message, uintptr_t, intptr_t lparam)
    {
        auto* self = static_cast<TestWindow*>(context);
        if (std::this_thread::get_id() == self->m_owner)
            return self->handle(message, lparam);
        Pending p{message, lparam};
        std::unique_lock lock(self->m_mutex);
        if (self->m_closed)
            return 0;
        self->m_queue.push_back(&p);
        self->m_cv.notify_all();
        // A test that fails before pumping must not hang its worker forever.
        self->m_cv.wait_for(lock, std::chrono::seconds(60), [&] { return p.done || self->m_closed; });
        if (!p.done)
            std::erase(self->m_queue, &p);
        return p.result;
    }

    static int32_t postThunk(void*, uint32_t, uintptr_t, intptr_t) { return 0; }

    std::thread::id m_owner;
    MurteskWindow m_handle{};
    Handler m_handler;
    std::vector<int> m_statuses;
    std::mutex m_mutex;
    std::condition_variable m_cv;
    std::deque<Pending*> m_queue;
    Pending m_wake{0xFFFFFFFFu};
    bool m_closed = false;
};

}  // namespace murtesk::analysis::testing
