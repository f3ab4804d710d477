// Search throughput of the Sarnik engine over CP932 text: every match of the program's split
// patterns ("," and "[^ \t]+") and of a rare literal, over 1 MB and 4 MB, to show linear scaling;
// and the cost of one RESearch call on a short line.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>
#include <vector>

#include "RegExp/Cp932.h"
#include "RegExp/RegularExpression.h"
#include "Sarnik.h"

namespace {

// Deterministic CP932 text: CSV-like lines of ASCII numbers, half-width katakana and double-byte
// words (with trail bytes that look like "\", "|" and "["), separated by commas, blanks and tabs.
std::string makeText(size_t bytes) {
    const std::vector<std::string> words = {
        "12.5", "Leq", "\x95\x5C\x8C\x76\x8E\x5A", "\x83\x7C\x81\x5B\x83\x67", "\xB1\xB2\xB3",
        "\x91\xAA\x92\xE8", "63Hz", "-1000", "\x8E\x9E\x8A\xD4", "L5",
    };
    const char* seps[] = {",", ", ", " ", "\t", ",", "\n"};
    std::string t;
    t.reserve(bytes + 32);
    uint32_t x = 12345;
    while (t.size() < bytes) {
        x = x * 1103515245u + 12345u;
        t += words[(x >> 16) % words.size()];
        t += seps[(x >> 8) % 6];
    }
    t.resize(bytes);
    if (sarnik::isLeadByte(uint8_t(t.back()))) t.back() = ' ';
    return t;
}

const std::string& text(size_t mb) {
    static const std::string one = makeText(1 << 20);
    static const std::string four = makeText(4 << 20);
    return mb == 1 ? one : four;
}

void scanAll(benchmark::State& state, const char* pattern) {
    const std::string& t = text(size_t(state.range(0)));
    sarnik::TRegularExpression re;
    re.SetPattern(pattern);
    size_t matches = 0;
    for (auto _ : state) {
        matches = 0;
        size_t at = 0;
        bool lineStart = true;
        while (at <= t.size()) {
            const auto m = re.searchFrom(std::string_view(t).substr(at), lineStart);
            if (!m.found) break;
            ++matches;
            at += m.pos + (m.len ? m.len : 1);
            lineStart = t[at - 1] == '\n';
        }
        benchmark::DoNotOptimize(matches);
    }
    state.counters["matches"] = double(matches);
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(t.size()));
}

void BM_Comma(benchmark::State& s) { scanAll(s, ","); }
void BM_Token(benchmark::State& s) { scanAll(s, "[^ \t]+"); }
// A literal that never occurs: the search reads the whole text once.
void BM_Literal(benchmark::State& s) { scanAll(s, "\x95\x5C\x8C\x76\x83\x7C\x81\x5B"); }

// One call of the export on a short line, as the program splits a line: each call compiles its
// pattern afresh, since the library keeps nothing between calls.
void BM_RESearchCall(benchmark::State& state) {
    const char* line = "12.5, \x95\x5C\x8C\x76, 63Hz, \x83\x7C\x81\x5B";
    int32_t len = 0;
    for (auto _ : state) benchmark::DoNotOptimize(RESearch(line, state.range(0) ? "[^ \t]+" : ",", &len));
}

BENCHMARK(BM_RESearchCall)->Arg(0)->Arg(1);
BENCHMARK(BM_Comma)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Token)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Literal)->Arg(1)->Arg(4)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
