// Blocks streamed through a graph of tasks on several threads: every run of a task on a block starts after its
// inputs ran on that block and, for a carrying task, after its own run on the block before; each runs once, and
// the blocks come out in the order they went in.
#include "band_workers.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <vector>

namespace murtesk::analysis {
namespace {

TEST(BlockStream, RunsFollowInputsAndTheBlockBefore) {
    constexpr int kBlocks = 60, kSlots = 3;
    // 0 -> 1 -> 2, 0 -> 3 (keeps nothing between blocks), 3 -> 4, 5 alone; 2 and 4 -> 6.
    std::vector<StreamTask> graph{{{}, true, 1},     {{0}, true, 1}, {{1}, true, 1}, {{0}, false, 1},
                                  {{3}, true, 1},    {{}, true, 1},  {{2, 4}, true, 1}};
    const int tasks = static_cast<int>(graph.size());
    std::atomic<int> clock{0};
    std::vector<int> seqOf(kSlots, -1);
    const auto start = std::make_unique<std::atomic<int>[]>(tasks * kBlocks);
    const auto end = std::make_unique<std::atomic<int>[]>(tasks * kBlocks);
    const auto runs = std::make_unique<std::atomic<int>[]>(tasks * kBlocks);
    {
        BandWorkers workers(4);
        BlockStream stream(workers, graph, kSlots, [&](int task, int slot) {
            const int at = task * kBlocks + seqOf[static_cast<size_t>(slot)];
            start[at] = ++clock;
            runs[at].fetch_add(1);
            end[at] = ++clock;
        });
        int in = 0, out = 0;
        while (out < kBlocks) {
            for (int slot = stream.freeSlot(); slot >= 0 && in < kBlocks; slot = stream.freeSlot()) {
                seqOf[static_cast<size_t>(slot)] = in++;
                stream.admit(slot);
            }
            const int slot = stream.next();
            ASSERT_GE(slot, 0);
            EXPECT_EQ(seqOf[static_cast<size_t>(slot)], out++);
        }
        EXPECT_EQ(stream.next(), -1);
    }
    for (int t = 0; t < tasks; ++t)
        for (int q = 0; q < kBlocks; ++q) {
            const int at = t * kBlocks + q;
            ASSERT_EQ(runs[at].load(), 1) << t << "/" << q;
            for (int i : graph[static_cast<size_t>(t)].inputs) {
                EXPECT_LT(end[i * kBlocks + q].load(), start[at].load()) << t << " before input " << i << " on " << q;
            }
            if (graph[static_cast<size_t>(t)].carries && q > 0) {
                EXPECT_LT(end[at - 1].load(), start[at].load()) << t << " before its block " << q - 1;
            }
        }
}

}  // namespace
}  // namespace murtesk::analysis
