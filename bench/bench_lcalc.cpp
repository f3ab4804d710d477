// Level statistics of long series: one band of 8 hours at 1,000 values per second (histogram,
// maximum and energy sum, read from its level file and the histogram saved), and the 47 bands
// of a channel recomputed on 1 to 8 threads.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <deque>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "model/band_recalc.h"
#include "model/level_calc.h"

namespace murtesk {
namespace {

constexpr std::int32_t kOneBandValues = 28'800'000;
constexpr int kBands = 47;
constexpr std::int32_t kBandValues = 2'880'000;

// A scratch project with level files of pseudo-random traffic-like levels, made once.
class Scratch {
public:
    static Scratch& Get() {
        static Scratch scratch;
        return scratch;
    }
    StatsContext context{[this] { return (dir / "p.qvd").string(); }, [] { return 45356.5; }};
    std::filesystem::path dir;

    std::string BandFolder(int band) {
        const std::filesystem::path folder = dir / ("band" + std::to_string(band));
        const std::int32_t n = band < 0 ? kOneBandValues : kBandValues;
        if (!std::filesystem::exists(folder / "ch.lvl")) {
            std::filesystem::create_directories(folder);
            std::mt19937 random(static_cast<unsigned>(band + 100));
            std::normal_distribution<float> level(62.0f, 12.0f);
            std::vector<float> levels(static_cast<std::size_t>(n));
            for (auto& v : levels) v = random() % 997 == 0 ? -1000.0f : level(random);
            std::ofstream(folder / "ch.lvl", std::ios::binary)
                .write(reinterpret_cast<const char*>(levels.data()), static_cast<std::streamsize>(levels.size() * 4));
        }
        return folder.string();
    }

private:
    Scratch() {
        std::string pattern = (std::filesystem::temp_directory_path() / "murtesk-bench-XXXXXX").string();
        dir = mkdtemp(pattern.data());
    }
    ~Scratch() {
        std::error_code ec;
        std::filesystem::remove_all(dir, ec);
    }
};

// CPU seconds of every thread of the process so far.
double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

CScopes Whole(std::int32_t n) {
    CScopes scopes;
    scopes.Add(CScope(std::int32_t{1}, n));
    return scopes;
}

void BM_ResetNewOneBand(benchmark::State& state) {
    Scratch& scratch = Scratch::Get();
    const std::string folder = scratch.BandFolder(-1);
    CData data;
    data.SaveFileName = "ch.lvl";
    const CScopes ranges = Whole(kOneBandValues);
    CLCalc calc(scratch.context);
    for (auto _ : state) {
        if (!calc.resetNew(ranges, data, folder)) state.SkipWithError("histogram not saved");
        benchmark::DoNotOptimize(calc.m_dBSum);
    }
    state.counters["values/s"] = benchmark::Counter(static_cast<double>(kOneBandValues) * state.iterations(),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ResetNewOneBand)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_ResetNewAllBands(benchmark::State& state) {
    Scratch& scratch = Scratch::Get();
    CData data;
    data.SaveFileName = "ch.lvl";
    const CScopes ranges = Whole(kBandValues);
    std::deque<CLCalc> calcs;
    std::vector<BandRecalc> bands;
    for (int b = 0; b < kBands; ++b) {
        calcs.emplace_back(scratch.context);
        bands.push_back({&calcs.back(), &ranges, &data, scratch.BandFolder(b), false});
    }
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        if (!ResetNewBands(bands, static_cast<unsigned>(state.range(0)))) state.SkipWithError("histogram not saved");
    }
    // CPU time of all threads per recomputation: equal across thread counts when spreading adds
    // no work, whatever share of the cores the machine grants.
    state.counters["cpu_ms_all_threads"] = (ProcessCpuSeconds() - cpuBefore) * 1000.0 / state.iterations();
    state.counters["values/s"] = benchmark::Counter(static_cast<double>(kBandValues) * kBands * state.iterations(),
                                                    benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ResetNewAllBands)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace murtesk

BENCHMARK_MAIN();
