// Window handles: synchronous send from a worker, posts in order, and teardown with a sender waiting.
#include "message_window.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

namespace murtesk::platform {
namespace {

constexpr std::uint32_t kStatus = WM_WAVSTATUS;

TEST(MessageWindow, SendFromTheOwnerThreadRunsAtOnce)
{
    std::vector<std::intptr_t> seen;
    MessageWindow window([&](std::uint32_t, std::uintptr_t, std::intptr_t l) {
        seen.push_back(l);
        return l * 2;
    });
    MurteskWindow* h = window.Handle();
    EXPECT_EQ(h->send(h->context, kStatus, 0, 21), 42);
    EXPECT_EQ(seen, std::vector<std::intptr_t>{21});
    EXPECT_EQ(window.DeliverPending(), 0u);
}

TEST(MessageWindow, WorkerSendBlocksUntilTheOwnerRanTheHandler)
{
    std::thread::id handlerThread;
    std::vector<std::intptr_t> order;
    MessageWindow window([&](std::uint32_t, std::uintptr_t, std::intptr_t l) {
        handlerThread = std::this_thread::get_id();
        order.push_back(l);
        return l + 1;
    });
    MurteskWindow* h = window.Handle();
    std::atomic<bool> sendReturned{false};
    std::intptr_t result = 0;
    std::thread worker([&] {
        EXPECT_EQ(h->post(h->context, kStatus, 0, 300), 1);
        EXPECT_EQ(h->post(h->context, kStatus, 0, 301), 1);
        result = h->send(h->context, kStatus, 0, 9899);
        sendReturned = true;
    });
    std::size_t delivered = 0;
    while (delivered < 3) {
        delivered += window.WaitAndDeliver(std::chrono::milliseconds(50));
    }
    worker.join();
    EXPECT_TRUE(sendReturned);
    EXPECT_EQ(result, 9900);
    EXPECT_EQ(handlerThread, std::this_thread::get_id());
    EXPECT_EQ(order, (std::vector<std::intptr_t>{300, 301, 9899}));
}

TEST(MessageWindow, ClosingReleasesABlockedSenderAndRefusesPosts)
{
    std::atomic<bool> queued{false};
    auto window = std::make_unique<MessageWindow>(
        [](std::uint32_t, std::uintptr_t, std::intptr_t) { return 7; }, [&] { queued = true; });
    MurteskWindow* h = window->Handle();
    std::intptr_t result = -1;
    std::thread worker([&] { result = h->send(h->context, kStatus, 0, 1); });
    while (!queued) {
        std::this_thread::yield();
    }
    window.reset();
    worker.join();
    EXPECT_EQ(result, 0);  // released unanswered, never the handler's 7
}

}  // namespace
}  // namespace murtesk::platform
