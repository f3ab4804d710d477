// Band-level chain throughput: seconds of audio analysed per second of computing ("x_realtime").
#include "BandLevel.h"

#include <benchmark/benchmark.h>

#include <random>
#include <thread>
#include <vector>

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

void RunChannel(benchmark::State& state, int mode, int weighting, bool silent) {
    CBandLevelChain chain;
    chain.Configure(Config(mode, weighting));
    const std::vector<double> x = silent ? std::vector<double>(48000, 0.0) : Noise(48000, 1);
    int block = 0;
    for (auto _ : state) {
        if (!chain.Compute(++block, x.data(), 48000)) state.SkipWithError("compute failed");
        benchmark::DoNotOptimize(chain.MeanSquares(2));
    }
    state.counters["x_realtime"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate);
}

void BM_ThirdOctaveA(benchmark::State& s) { RunChannel(s, kThirdOctave, kWeightA, false); }
void BM_OctaveA(benchmark::State& s) { RunChannel(s, kOctave, kWeightA, false); }
void BM_ThirdOctaveLvz(benchmark::State& s) { RunChannel(s, kThirdOctave, kWeightLvz, false); }
void BM_ThirdOctaveASilent(benchmark::State& s) { RunChannel(s, kThirdOctave, kWeightA, true); }

// Eight one-third-octave channels per block, on one thread or one thread per channel (as the engine runs them).
void BM_EightChannels(benchmark::State& state) {
    const bool parallel = state.range(0) != 0;
    std::vector<CBandLevelChain> chains(8);
    std::vector<std::vector<double>> x;
    for (int c = 0; c < 8; ++c) {
        chains[c].Configure(Config(kThirdOctave, kWeightA));
        x.push_back(Noise(48000, 10 + c));
    }
    int block = 0;
    for (auto _ : state) {
        ++block;
        if (parallel) {
            std::vector<std::thread> threads;
            for (int c = 0; c < 8; ++c)
                threads.emplace_back([&, c] { chains[c].Compute(block, x[c].data(), 48000); });
            for (auto& t : threads) t.join();
        } else {
            for (int c = 0; c < 8; ++c) chains[c].Compute(block, x[c].data(), 48000);
        }
    }
    state.counters["x_realtime"] = benchmark::Counter(static_cast<double>(state.iterations()),
                                                      benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(BM_ThirdOctaveA)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_OctaveA)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThirdOctaveLvz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ThirdOctaveASilent)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_EightChannels)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
