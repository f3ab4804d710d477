// Window messages: what a worker's synchronous status message costs (queue, wake the owner
// thread, run the handler, answer), and a post from the owner's own thread.
#include "message_window.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <thread>

namespace {

using murtesk::platform::MessageWindow;

void BM_WorkerSendRoundTrip(benchmark::State& state)
{
    std::atomic<bool> stop{false};
    std::atomic<MessageWindow*> ready{nullptr};
    std::thread owner([&] {
        MessageWindow window([](std::uint32_t, std::uintptr_t, std::intptr_t l) { return l + 1; });
        ready = &window;
        while (!stop) {
            window.WaitAndDeliver(std::chrono::milliseconds(5));
        }
        ready = nullptr;
    });
    while (ready == nullptr) {
        std::this_thread::yield();
    }
    MurteskWindow* h = ready.load()->Handle();
    std::intptr_t sum = 0;
    for (auto _ : state) {
        sum += h->send(h->context, WM_WAVSTATUS, 0, 300);
    }
    benchmark::DoNotOptimize(sum);
    stop = true;
    owner.join();
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WorkerSendRoundTrip)->UseRealTime();

void BM_PostAndDeliver(benchmark::State& state)
{
    std::intptr_t sum = 0;
    MessageWindow window([&](std::uint32_t, std::uintptr_t, std::intptr_t l) {
        sum += l;
        return 0;
    });
    MurteskWindow* h = window.Handle();
    for (auto _ : state) {
        h->post(h->context, WM_WAVSTATUS, 0, 300);
        window.DeliverPending();
    }
    benchmark::DoNotOptimize(sum);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_PostAndDeliver);

}  // namespace

BENCHMARK_MAIN();
