// Statistics of mark ranges over a day of levels: 24 hours at 10 values per second (864,000 per
// band) on 8 one-third-octave channels (47 band slots each), and one band of 24 hours at 1,000
// values per second. The level files are made once in a scratch project.
//
// BM_AllBandBuild: the 47 pairs of statistics of one mark over the whole day, as the all-band
// result window builds them, on 1 and 8 threads. BM_OneSlotDay1kHz: one slot's pair over 86.4 M
// values, with the process's peak resident memory. BM_AllChannelFile: the all-channel output's
// text of that mark (8 tables of 47 rows). BM_HundredMarks: the all-channel output of 100
// one-minute marks (37,600 rows).
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "band_statistics.h"
#include "globals.h"
#include "mark_tables.h"
#include "model/band_slots.h"
#include "model/shared_procedures.h"

namespace murtesk {
namespace {

namespace fs = std::filesystem;

constexpr std::int16_t kThird = 3;
constexpr int kChannels = 8;
constexpr std::int32_t kDayAt10 = 864'000;
constexpr std::int32_t kDayAt1k = 86'400'000;

void WriteLevels(const fs::path& file, std::int64_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::normal_distribution<float> level(62.0f, 12.0f);
    std::vector<float> block(1 << 20);
    std::ofstream out(file, std::ios::binary);
    for (std::int64_t done = 0; done < n;) {
        const auto k = static_cast<std::size_t>(std::min<std::int64_t>(static_cast<std::int64_t>(block.size()), n - done));
        for (std::size_t i = 0; i < k; ++i) block[i] = random() % 997 == 0 ? -1000.0f : level(random);
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(k * 4));
        done += static_cast<std::int64_t>(k);
    }
}

// A scratch project of one measurement with 8 channels at 10 values per second, plus a ninth
// channel at 1,000 values per second with a level file in slot 1 only.
class Scratch {
public:
    static Scratch& Get() {
        static Scratch scratch;
        return scratch;
    }
    fs::path dir;
    StatsContext context{[this] { return (dir / "p.qvd").string(); }, [] { return 45356.5; }};
    CMeasure measure{context};
    std::vector<std::shared_ptr<CChMeasure>> channels;
    std::shared_ptr<CChMeasure> fast;

private:
    Scratch() {
        std::string pattern = (fs::temp_directory_path() / "murtesk-bench-marks-XXXXXX").string();
        dir = mkdtemp(pattern.data());
        const std::string project = (dir / "p.qvd").string();
        for (int c = 1; c <= kChannels; ++c) {
            auto ch = MakeChannel("c" + std::to_string(c) + ".lvl", 10.0);
            for (std::int16_t j = 1; j <= SlotCount(kThird); ++j) {
                const fs::path folder = GetBandFolder(project, kThird, j);
                fs::create_directories(folder);
                WriteLevels(folder / ch->LevelData.SaveFileName, kDayAt10, static_cast<unsigned>(c * 100 + j));
            }
            ch->BandLCalcInfos.Item(1).MarkScopes.SimpleAdd(std::make_shared<CScope>(Variant(1), Variant(kDayAt10)));
            // 100 one-minute marks, one every ten minutes.
            for (std::int32_t m = 0; m < 100; ++m)
                ch->BandLCalcInfos.Item(2).MarkScopes.SimpleAdd(
                    std::make_shared<CScope>(Variant(1 + m * 6000), Variant(600 + m * 6000)));
            channels.push_back(ch);
            measure.ChMeasures.Add(ch);
        }
        fast = MakeChannel("fast.lvl", 1000.0);
        WriteLevels(fs::path(GetBandFolder(project, kThird, 1)) / "fast.lvl", kDayAt1k, 7);
        fast->BandLCalcInfos.Item(1).MarkScopes.SimpleAdd(std::make_shared<CScope>(Variant(1), Variant(kDayAt1k)));
    }
    ~Scratch() {
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    std::shared_ptr<CChMeasure> MakeChannel(const std::string& file, double rate) {
        auto ch = std::make_shared<CChMeasure>(context);
        ch->ChMeasureCondition.oct1or3 = kThird;
        ch->ChMeasureCondition.LevelOutHz = rate;
        ch->LevelData.SaveFileName = file;
        for (std::int16_t j = 1; j <= SlotCount(kThird); ++j) ch->BandLCalcInfos.AddNew();
        return ch;
    }
};

void HandOver(const std::shared_ptr<CChMeasure>& channel) {
    g_ChMeasure = channel;
    g_BandIndex = 1;
    g_SelectNo = 1;
    g_CalcAreaInfluence = 1;
}

void BM_AllBandBuild(benchmark::State& state) {
    Scratch& scratch = Scratch::Get();
    HandOver(scratch.channels.front());
    for (auto _ : state) {
        BandStatistics stats;
        if (!stats.MakeAllBandLCalcs(static_cast<unsigned>(state.range(0)))) state.SkipWithError("not saved");
        benchmark::DoNotOptimize(stats.Evaluate(kCodeLeq, 5));
    }
    g_ChMeasure.reset();
    state.SetItemsProcessed(state.iterations() * SlotCount(kThird));
}
BENCHMARK(BM_AllBandBuild)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

long PeakResidentMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void BM_OneSlotDay1kHz(benchmark::State& state) {
    Scratch& scratch = Scratch::Get();
    HandOver(scratch.fast);
    const long before = PeakResidentMb();
    for (auto _ : state) {
        BandStatistics stats;
        if (!stats.MakeOneBandLCalc()) state.SkipWithError("not saved");
        benchmark::DoNotOptimize(stats.Evaluate(kCodeLE, 1));
    }
    g_ChMeasure.reset();
    state.counters["peak_MB"] = static_cast<double>(PeakResidentMb());
    state.counters["peak_before_MB"] = static_cast<double>(before);
}
BENCHMARK(BM_OneSlotDay1kHz)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The all-channel output's text of the marks of slot `band` of channel 1.
void AllChannelText(benchmark::State& state, std::int16_t band) {
    Scratch& scratch = Scratch::Get();
    std::size_t bytes = 0;
    for (auto _ : state) {
        std::string text;
        MarkTableWriter tables(scratch.context, static_cast<unsigned>(state.range(0)));
        const bool written = WriteAllChannelMarkAreaBlocks(
            [&](std::string_view line) {
                text += line;
                text += "\r\n";
            },
            tables, scratch.measure, *scratch.channels.front(), band, true);
        if (!written) state.SkipWithError("not written");
        bytes = text.size();
    }
    state.counters["bytes"] = static_cast<double>(bytes);
}

void BM_AllChannelFile(benchmark::State& state) { AllChannelText(state, 1); }
BENCHMARK(BM_AllChannelFile)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

void BM_HundredMarks(benchmark::State& state) { AllChannelText(state, 2); }
BENCHMARK(BM_HundredMarks)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(2);

}  // namespace
}  // namespace murtesk

BENCHMARK_MAIN();
