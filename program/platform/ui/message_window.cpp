#include "message_window.h"

#include <utility>

namespace murtesk::platform {

MessageWindow::MessageWindow(Handler handler, Wake wake)
    : handler_(std::move(handler)), wake_(std::move(wake)), owner_(std::this_thread::get_id())
{
    handle_.context = this;
    handle_.send = &MessageWindow::SendThunk;
    handle_.post = &MessageWindow::PostThunk;
}

MessageWindow::~MessageWindow()
{
    std::lock_guard lock(shared_->mutex);
    shared_->closed = true;
    for (auto& p : shared_->queue) {
        p->done = true;
        p->result = 0;
    }
    shared_->queue.clear();
    shared_->answered.notify_all();
}

std::intptr_t MessageWindow::SendThunk(void* context, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    return static_cast<MessageWindow*>(context)->Send(message, wparam, lparam);
}

std::int32_t MessageWindow::PostThunk(void* context, std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    return static_cast<MessageWindow*>(context)->Post(message, wparam, lparam) ? 1 : 0;
}

std::intptr_t MessageWindow::Send(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    if (std::this_thread::get_id() == owner_) {
        return handler_ ? handler_(message, wparam, lparam) : 0;
    }
    auto pending = std::make_shared<Pending>(Pending{message, wparam, lparam, true});
    const std::shared_ptr<Shared> shared = shared_;
    std::unique_lock lock(shared->mutex);
    if (shared->closed) {
        return 0;
    }
    shared->queue.push_back(pending);
    shared->queued.notify_all();
    if (wake_) {
        wake_();
    }
    shared->answered.wait(lock, [&] { return pending->done; });
    return pending->result;
}

bool MessageWindow::Post(std::uint32_t message, std::uintptr_t wparam, std::intptr_t lparam)
{
    std::lock_guard lock(shared_->mutex);
    if (shared_->closed) {
        return false;
    }
    shared_->queue.push_back(std::make_shared<Pending>(Pending{message, wparam, lparam, false}));
    shared_->queued.notify_all();
    if (wake_) {
        wake_();
    }
    return true;
}

std::size_t MessageWindow::DeliverPending()
{
    std::size_t count = 0;
    for (;;) {
        std::shared_ptr<Pending> next;
        {
            std::lock_guard lock(shared_->mutex);
            if (shared_->queue.empty()) {
                return count;
            }
            next = shared_->queue.front();
            shared_->queue.pop_front();
        }
        // The handler runs without the lock: it may send or post to this window itself.
        const std::intptr_t result = handler_ ? handler_(next->message, next->wparam, next->lparam) : 0;
        ++count;
        if (next->isSend) {
            std::lock_guard lock(shared_->mutex);
            next->result = result;
            next->done = true;
            shared_->answered.notify_all();
        }
    }
}

std::size_t MessageWindow::WaitAndDeliver(std::chrono::milliseconds timeout)
{
    {
        std::unique_lock lock(shared_->mutex);
        shared_->queued.wait_for(lock, timeout, [&] { return !shared_->queue.empty() || shared_->closed; });
    }
    return DeliverPending();
}

}  // namespace murtesk::platform
