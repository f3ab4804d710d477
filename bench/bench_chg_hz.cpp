// The resampled level text of the analysis library: a day of levels at 10 values per second resampled to
// 100 values per second and written as text, with each kernel.
#include <benchmark/benchmark.h>

#include <cmath>
#include <filesystem>
#include <string>
#include <vector>

#include "chg_hz.h"

namespace {

void BM_ChgHzDayOfLevels(benchmark::State& state)
{
    const int32_t count = 864000;
    std::vector<double> levels(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i)
        levels[static_cast<size_t>(i)] = 60.0 + 20.0 * std::sin(i * 0.001) + (i % 7) * 0.13;
    const std::string path = (std::filesystem::temp_directory_path() / "murtesk-bench-chg-hz.txt").string();
    const auto mode = static_cast<int32_t>(state.range(0));
    for (auto _ : state) {
        if (murtesk::analysis::ChgHz(path.c_str(), levels.data(), count, 10.0, 100.0, mode) != 1)
            state.SkipWithError("ChgHz failed");
    }
    state.SetItemsProcessed(state.iterations() * int64_t{count} * 10);
    std::filesystem::remove(path);
}
BENCHMARK(BM_ChgHzDayOfLevels)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
