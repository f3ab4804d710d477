// Threads kept for many short runs: every job of a run runs once, on a thread of the pool, and the
// run returns only when all have; a thread that wakes late finds nothing of an old run to do.
#include "model/core_pool.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

namespace murtesk {
namespace {

TEST(CorePool, ManyShortRunsRunEveryJobOnceOnAThreadOfThePool) {
    CorePool pool(4);
    ASSERT_EQ(pool.Threads(), 4u);
    for (std::size_t count : {0u, 1u, 3u, 4u, 47u, 200u}) {
        for (int run = 0; run < 50; ++run) {
            std::vector<std::atomic<int>> ran(count);
            std::atomic<bool> badWorker{false};
            pool.Run(count, [&](std::size_t i, unsigned worker) {
                ++ran[i];
                if (worker >= 4) badWorker = true;
            });
            for (std::size_t i = 0; i < count; ++i) ASSERT_EQ(ran[i].load(), 1) << count << " " << i;
            EXPECT_FALSE(badWorker);
        }
    }
}

TEST(CorePool, OneThreadRunsOnTheCaller) {
    CorePool pool(1);
    int sum = 0;
    pool.Run(10, [&](std::size_t i, unsigned worker) { sum += static_cast<int>(i) + static_cast<int>(worker); });
    EXPECT_EQ(sum, 45);
}

}  // namespace
}  // namespace murtesk
