// Splitting the lines of a user correction characteristic file: the CP932 copy with its position
// map, one library search per field, the fields cut from the UTF-8 text.
#include "Sarnik.h"
#include "awk_like.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

std::string CorrectionLine()
{
    std::string line;
    for (int i = 0; i < 45; ++i) line += (i ? "," : "") + std::to_string(-50.0 + 1.25 * i);
    return line;
}

void BM_SplitCorrectionLine(benchmark::State& state)
{
    murtesk::AwkLike awk(&RESearch);
    const std::string line = CorrectionLine();
    std::vector<std::string> fields;
    for (auto _ : state) {
        benchmark::DoNotOptimize(awk.AwkSplit(line, fields, ","));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_SplitCorrectionLine);

void BM_SplitFullWidthNames(benchmark::State& state)
{
    murtesk::AwkLike awk(&RESearch);
    const std::string line = "表示ソフト道路交通騒音補正特性（全帯域・夜間）,ソフト補正,備考";
    std::vector<std::string> fields;
    for (auto _ : state) {
        benchmark::DoNotOptimize(awk.AwkSplit(line, fields, ","));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * line.size()));
}
BENCHMARK(BM_SplitFullWidthNames);

}  // namespace

BENCHMARK_MAIN();
