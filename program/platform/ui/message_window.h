// The program's side of a window handle (murtesk_window.h): a handler that runs on the thread
// that owns the window. send from the owner thread runs the handler at once; from any other
// thread it queues the message, wakes the owner and blocks until the owner has run it. post
// queues and returns. The owner runs queued messages, in order, in DeliverPending: the Qt
// implementation wakes it through the event loop, a test calls it itself.
#pragma once

#include "murtesk_window.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

namespace murtesk::platform {

class MessageWindow {
public:
    using Handler = std::function<std::intptr_t(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)>;
    // Called with the window's lock held, from the sending or posting thread, after a message
    // was queued. It must only arrange for DeliverPending to run on the owner thread.
    using Wake = std::function<void()>;

    // The constructing thread owns the window.
    explicit MessageWindow(Handler handler, Wake wake = {});
    MessageWindow(const MessageWindow&) = delete;
    MessageWindow& operator=(const MessageWindow&) = delete;
    // Drops queued posts and releases every blocked sender with the result 0.
    ~MessageWindow();

    // The handle to give to a library; valid for the window's lifetime.
    MurteskWindow* Handle() { return &handle_; }

    // Owner thread: runs every queued message in order; returns how many ran.
    std::size_t DeliverPending();
    // Owner thread: waits up to timeout for a message, then delivers what is queued.
    std::size_t WaitAndDeliver(std::chrono::milliseconds timeout);

private:
    struct Pending {
        std::uint32_t message;
        std::uintptr_t wparam;
        std::intptr_t lparam;
        bool isSend;
        bool done = false;
        std::intptr_t result = 0;
    };

    static std::intptr_t SendThunk(void* context, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
    static std::int32_t PostThunk(void* context, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
    std::intptr_t Send(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);
    bool Post(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam);

    // Blocked senders keep this alive, so the window may go while they wait.
    struct Shared {
        std::mutex mutex;
        std::condition_variable queued;
        std::condition_variable answered;
        std::deque<std::shared_ptr<Pending>> queue;
        bool closed = false;
    };

    Handler handler_;
    Wake wake_;
    std::thread::id owner_;
    MurteskWindow handle_{};
    std::shared_ptr<Shared> shared_ = std::make_shared<Shared>();
};

}  // namespace murtesk::platform
