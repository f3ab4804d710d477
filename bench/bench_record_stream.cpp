// The record stream and the platform helpers every record and output goes through: CP932 text
// conversion, text fields, counted lists on disk, the number formatter and the date forms.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>
#include <unistd.h>

#include "model/corner.h"
#include "platform/dates.h"
#include "platform/numbers.h"
#include "platform/text_encoding.h"

namespace {

const std::string kMemo = "測定メモ：交差点北側 ｼｽﾃﾑ① 63Hz帯域 Leq=65.4dB ～ 2024/03/05";

void BM_Utf8ToCp932(benchmark::State& state) {
    for (auto _ : state) benchmark::DoNotOptimize(murtesk::platform::Utf8ToCp932(kMemo));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kMemo.size()));
}
BENCHMARK(BM_Utf8ToCp932);

void BM_Cp932ToUtf8(benchmark::State& state) {
    const std::string cp932 = murtesk::platform::Utf8ToCp932(kMemo);
    for (auto _ : state) benchmark::DoNotOptimize(murtesk::platform::Cp932ToUtf8(cp932));
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * cp932.size()));
}
BENCHMARK(BM_Cp932ToUtf8);

// Write and read back 1000 text fields in memory.
void BM_TextFieldsRoundTrip(benchmark::State& state) {
    for (auto _ : state) {
        murtesk::BinaryFile out = murtesk::BinaryFile::InMemory();
        for (int i = 0; i < 1000; ++i) murtesk::WriteField(out, kMemo);
        murtesk::BinaryFile in = murtesk::BinaryFile::FromBytes(out.Bytes());
        std::string text;
        for (int i = 0; i < 1000; ++i) murtesk::ReadField(in, text);
        benchmark::DoNotOptimize(text);
    }
    state.SetItemsProcessed(state.iterations() * 1000);
}
BENCHMARK(BM_TextFieldsRoundTrip);

// A counted list of 100000 records (magic and two doubles each) written to and read from disk.
void BM_CountedListOnDisk(benchmark::State& state) {
    murtesk::CCorners corners;
    for (int i = 0; i < 100000; ++i) corners.AddXY(i, -i);
    const std::string path = "/tmp/murtesk_bench_corners_" + std::to_string(getpid());
    for (auto _ : state) {
        murtesk::WriteRecordFile(path, corners);
        murtesk::CCorners back;
        murtesk::ReadRecordFile(path, back);
        benchmark::DoNotOptimize(back.count());
    }
    std::remove(path.c_str());
    state.SetItemsProcessed(state.iterations() * 100000);
}
BENCHMARK(BM_CountedListOnDisk)->Unit(benchmark::kMillisecond);

void BM_FormatNumber(benchmark::State& state) {
    double value = -60.0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(murtesk::platform::FormatNumber(value, "000.00"));
        value += 0.0137;
    }
}
BENCHMARK(BM_FormatNumber);

void BM_FormatDisplayDate(benchmark::State& state) {
    double date = 45356.25;
    for (auto _ : state) {
        benchmark::DoNotOptimize(murtesk::platform::FormatDisplayDate(date));
        date += 1.0 / 86400.0;
    }
}
BENCHMARK(BM_FormatDisplayDate);

}  // namespace

BENCHMARK_MAIN();
