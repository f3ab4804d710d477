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

// ---- What the files keep of a memo (FitToCp932, on the user-interface thread when the user leaves the box)

std::string Utf8Of(char32_t code) {
    std::string out;
    if (code < 0x80) {
        out.push_back(static_cast<char>(code));
    } else if (code < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (code >> 6)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else if (code < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (code >> 12)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (code >> 18)));
        out.push_back(static_cast<char>(0x80 | ((code >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((code >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (code & 0x3F)));
    }
    return out;
}

bool Held(char32_t code) {
    const std::string typed = Utf8Of(code);
    return murtesk::platform::Cp932ToUtf8(murtesk::platform::Utf8ToCp932(typed)) == typed;
}

void RunFit(benchmark::State& state, const std::string& text) {
    std::size_t changes = 0;
    for (auto _ : state) {
        const murtesk::platform::Cp932Fit fit = murtesk::platform::FitToCp932(text);
        changes = fit.changes.size();
        benchmark::DoNotOptimize(fit.stored.data());
    }
    state.counters["characters_not_held"] = static_cast<double>(changes);
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

// A paste of 1,000,000 characters: every other one a CJK ideograph (all 20,992 of the basic block in turn,
// of which CP932 lacks about two in three), the others kana and ASCII.
void BM_FitPasteMillionCharacters(benchmark::State& state) {
    std::string text;
    for (char32_t k = 0; k < 1000000; ++k) {
        text += Utf8Of(k % 2 == 0 ? 0x4E00 + (k / 2) % 20992 : (k % 6 == 1 ? U'あ' + k % 80 : U'a' + k % 26));
    }
    RunFit(state, text);
}
BENCHMARK(BM_FitPasteMillionCharacters)->Unit(benchmark::kMillisecond);

// 60,000 distinct characters CP932 lacks, each once: those of the basic plane, then the ideographs above it.
void BM_FitSixtyThousandLacking(benchmark::State& state) {
    std::string text;
    int count = 0;
    for (char32_t code = 0x80; count < 60000; code = code == 0xFFFF ? 0x20000 : code + 1) {
        if ((code >= 0xD800 && code <= 0xDFFF) || Held(code)) continue;
        text += Utf8Of(code);
        ++count;
    }
    RunFit(state, text);
}
BENCHMARK(BM_FitSixtyThousandLacking)->Unit(benchmark::kMillisecond);

// A megabyte of memo text that CP932 holds whole: the common case.
void BM_FitMegabyteHeld(benchmark::State& state) {
    std::string text;
    while (text.size() < 1000000) text += kMemo + "\r\n";
    RunFit(state, text);
}
BENCHMARK(BM_FitMegabyteHeld)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
