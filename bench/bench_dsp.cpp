// Band-level chain throughput: seconds of audio analysed per second of computing ("x_realtime"), the chain's
// multiply-adds per second against the peak of one core ("of_peak") with the lane occupancy of the kernel's layout,
// and the blocks streamed over 1 to 8 threads for one channel and for eight.
#include "BandLevel.h"
#include "LaneKernel.h"
#include "band_workers.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <ctime>
#include <functional>
#include <memory>
#include <random>
#include <vector>

using namespace murtesk;
using namespace murtesk::dsp;

namespace {

std::vector<double> Noise(int n, unsigned seed) {
    std::mt19937 gen(seed);
    std::normal_distribution<double> dist(0.0, 3000.0);
    std::vector<double> x(n);
    for (auto& v : x) v = dist(gen);
    return x;
}

BandChainConfig Config(int mode, int weighting) {
    BandChainConfig c;
    c.bandMode = mode;
    c.weighting = weighting;
    c.rate = 48000;
    c.samplesPerBlock = 48000;
    return c;
}

double ThreadSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

// Multiply-adds per second of one core with the active kernel's arithmetic: independent chains, nothing else. Timed
// on the thread's CPU time, as the chain benchmarks' rates are, so that other work on the machine does not lower it.
double PeakMultiplyAdds() {
    static const double peak = [] {
        double best = 0.0, sink = 0.0;
        for (int r = 0; r < 5; ++r) {
            const double t0 = ThreadSeconds();
            const long long done = ActiveKernel().probe(20'000'000, &sink);
            best = std::max(best, static_cast<double>(done) / (ThreadSeconds() - t0));
        }
        benchmark::DoNotOptimize(sink);
        return best;
    }();
    return peak;
}

void BM_PeakProbe(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(PeakMultiplyAdds());
    state.counters["GMAC_per_s"] = PeakMultiplyAdds() / 1e9;
    state.SetLabel(KernelName(ActiveKernel().kernel));
}

// Five multiply-adds per section and sample (the section's five coefficients), over the chain's sections at the
// rates they run; the lane occupancy of the kernel's layout.
void ChainCounters(benchmark::State& state, const CBandLevelChain& chain, double blocks) {
    state.counters["x_realtime"] = benchmark::Counter(blocks, benchmark::Counter::kIsRate);
    const double macs = 5.0 * static_cast<double>(chain.SectionSteps());
    state.counters["MAC_per_sample"] = macs / 48000.0;
    state.counters["GMAC_per_s"] = benchmark::Counter(blocks * macs / 1e9, benchmark::Counter::kIsRate);
    state.counters["of_peak"] = benchmark::Counter(blocks * macs / PeakMultiplyAdds(), benchmark::Counter::kIsRate);
    // The lane layout: lane steps the kernel runs a sample, and the share of them that filter.
    state.counters["lane_steps_per_sample"] = static_cast<double>(chain.LaneSteps()) / 48000.0;
    state.counters["occupancy"] =
        static_cast<double>(chain.SectionSteps()) / static_cast<double>(std::max(chain.LaneSteps(), 1LL));
    state.SetLabel(KernelName(chain.kernel().kernel));
}

void RunChannel(benchmark::State& state, int mode, int weighting, bool silent) {
    CBandLevelChain chain;
    chain.Configure(Config(mode, weighting));
    const std::vector<double> x = silent ? std::vector<double>(48000, 0.0) : Noise(48000, 1);
    int block = 0;
    for (auto _ : state) {
        if (!chain.Compute(++block, x.data(), 48000)) state.SkipWithError("compute failed");
        benchmark::DoNotOptimize(chain.MeanSquares(2));
    }
    ChainCounters(state, chain, static_cast<double>(state.iterations()));
}

void BM_ThirdOctaveA(benchmark::State& s) { RunChannel(s, kThirdOctave, kWeightA, false); }
void BM_OctaveA(benchmark::State& s) { RunChannel(s, kOctave, kWeightA, false); }
void BM_ThirdOctaveLvz(benchmark::State& s) { RunChannel(s, kThirdOctave, kWeightLvz, false); }
void BM_ThirdOctaveASilent(benchmark::State& s) { RunChannel(s, kThirdOctave, kWeightA, true); }

// One-second blocks of range(0) one-third-octave channels (A weighting) on range(1) threads, as the analysis
// engine runs them: every channel's tasks in one graph that the blocks stream through (BlockStream), with as many
// blocks in flight as the engine takes (two per thread and channel, at most 16), the top bands spread when a
// channel has eight threads. An iteration puts one block in and takes the oldest out: the steady state of a run.
void BM_Spread(benchmark::State& state) {
    const int channels = static_cast<int>(state.range(0));
    const int threads = static_cast<int>(state.range(1));
    const int flights = threads == 1 ? 1 : std::clamp(2 * threads / channels, 2, 16);
    std::vector<std::unique_ptr<CBandLevelChain>> chains;
    std::vector<std::vector<double>> x;
    std::vector<analysis::StreamTask> graph;
    std::vector<std::pair<int, int>> owners;
    long long total = 0;
    for (int c = 0; c < channels; ++c) {
        chains.push_back(std::make_unique<CBandLevelChain>());
        BandChainConfig config = Config(kThirdOctave, kWeightA);
        config.spreadTop = threads >= 8 * channels;
        config.inFlight = flights;
        chains.back()->Configure(config);
        x.push_back(Noise(48000, 10 + c));
        const int offset = static_cast<int>(graph.size());
        for (int t = 0; t < chains.back()->TaskCount(); ++t) {
            analysis::StreamTask task{chains.back()->TaskInputs(t), chains.back()->TaskCarries(t),
                                      chains.back()->TaskCost(t), t == 0};
            for (int& in : task.inputs) in += offset;
            total += task.cost;
            graph.push_back(std::move(task));
            owners.emplace_back(c, t);
        }
    }
    const analysis::FusedGraph fused = analysis::fuseTasks(graph, std::max(250'000LL, total / (2 * threads)));
    analysis::BandWorkers workers(static_cast<unsigned>(threads));
    analysis::BlockStream stream(workers, fused.tasks, flights, [&](int task, int slot) {
        for (int i = fused.first[task]; i < fused.first[task + 1]; ++i)
            chains[owners[i].first]->RunTask(owners[i].second, slot);
    });
    int block = 0;
    timespec cpu0{}, cpu1{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu0);
    for (auto _ : state) {
        for (int slot = stream.freeSlot(); slot >= 0; slot = stream.freeSlot()) {
            ++block;
            for (int c = 0; c < channels; ++c) chains[c]->Begin(block, x[c].data(), 48000, slot);
            stream.admit(slot);
        }
        const int slot = stream.next();
        for (auto& c : chains)
            if (!c->End(slot)) state.SkipWithError("compute failed");
    }
    state.counters["x_realtime"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["threads"] = static_cast<double>(workers.threads());
    // The CPU time of every thread a block (the helpers' share, their waits and hand-overs included).
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &cpu1);
    const double cpu =
        static_cast<double>(cpu1.tv_sec - cpu0.tv_sec) + 1e-9 * static_cast<double>(cpu1.tv_nsec - cpu0.tv_nsec);
    state.counters["cpu_ms_all_threads"] =
        1e3 * cpu / static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
}

}  // namespace

BENCHMARK(BM_PeakProbe)->Iterations(1);
BENCHMARK(BM_ThirdOctaveA)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OctaveA)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThirdOctaveLvz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThirdOctaveASilent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Spread)
    ->ArgsProduct({{1, 8}, {1, 2, 4, 8}})
    ->ArgNames({"channels", "threads"})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
