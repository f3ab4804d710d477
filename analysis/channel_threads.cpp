#include "channel_threads.h"

#include <algorithm>
#include <atomic>
#include <system_error>
#include <thread>
#include <vector>

namespace murtesk::analysis {

bool forEachChannel(std::size_t channels, unsigned threads, const std::function<bool(std::size_t)>& work)
{
    std::atomic<std::size_t> next{0};
    std::atomic<bool> ok{true};
    const auto drain = [&] {
        for (std::size_t c = next.fetch_add(1); c < channels; c = next.fetch_add(1)) {
            bool done = false;
            try {
                done = work(c);
            } catch (...) {
                done = false;
            }
            if (!done)
                ok.store(false, std::memory_order_relaxed);
        }
    };
    std::vector<std::thread> helpers;
    const std::size_t wanted = std::min<std::size_t>(std::max(threads, 1u), channels);
    for (std::size_t i = 1; i < wanted; ++i) {
        try {
            helpers.emplace_back(drain);
        } catch (const std::system_error&) {
            break;
        }
    }
    drain();
    for (std::thread& t : helpers)
        t.join();
    return ok.load();
}

unsigned availableProcessors()
{
    return std::max(std::thread::hardware_concurrency(), 1u);
}

}  // namespace murtesk::analysis
