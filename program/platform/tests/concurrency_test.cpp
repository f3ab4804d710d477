// The text converters and the clock are used from the user-interface thread and from workers at
// once; each thread keeps its own converter and the clock is guarded.
#include <gtest/gtest.h>

#include <atomic>
#include <thread>
#include <vector>

#include "platform/dates.h"
#include "platform/text_encoding.h"

namespace murtesk::platform {
namespace {

TEST(Concurrency, ConversionsAndClockFromSeveralThreads) {
    std::atomic<int> wrong{0};
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([&wrong, t] {
            const std::string text = "表ｼ①～" + std::to_string(t);
            for (int i = 0; i < 2000; ++i) {
                if (Cp932ToUtf8(Utf8ToCp932(text)) != text) ++wrong;
                if (Now() <= 0.0) ++wrong;
            }
        });
    }
    for (int i = 0; i < 200; ++i) {
        ScopedClock clock(45000.0 + i);
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(wrong.load(), 0);
}

}  // namespace
}  // namespace murtesk::platform
