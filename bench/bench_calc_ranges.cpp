// Range editing on the calculation screen over a generated 24-hour one-third-octave channel
// (47 band files): an excluded range on all bands or on the shown band, the LE of the whole day
// on all bands, a panel refresh with a million excluded ranges, and a mark edit on all bands
// holding 10,000 marks each. Each edit is measured as the user waits for it: the ranges changed,
// the statistics recomputed, the overlay rebuilt and the panel refreshed.
//
// One channel runs at 10 values/s (47 files of 864,000 values), one at 1,000 values/s (47 names of
// 86,400,000 values, 16 GB as the program reads them). The 1 kHz bands are hard links to one file,
// so a warm page cache holds the whole channel: every band is still read and computed in full.
// The files stay in MURTESK_BENCH_DIR (default: the temporary folder) and are made only when missing.
#include "calc_day.h"
#include "frmOctCalc.h"
#include "time_window.h"

#include "fake_ui.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <filesystem>
#include <memory>

namespace murtesk {
namespace {

namespace fs = std::filesystem;
using bench::kDaySeconds;

struct Bench {
    platform::testing::FakeUi ui;
    bench::QuietMain main{ui};
    frmOctCalc calc{ui};

    Bench() {
        const fs::path folder = bench::BenchFolder("murtesk-bench-ranges");
        CMeasure& m = bench::MakeDayProject(folder, main, bench::LinkedDayFiles(folder));
        for (std::int32_t c = 1; c <= m.ChMeasures.count(); ++c) {
            SetWindow(m.ChMeasures.Item(c).CalcXYAxis, platform::AddSeconds(bench::kDayStart, 3600.0), 60);
        }
        ui.Load(main);
        ui.Load(calc);
        std::int32_t first = 1;
        calc.setForm(first);
    }

    // Shows channel 0 (10 values/s) or 1 (1 kHz), band W; edits go to all bands or the shown one.
    void Show(int channel, bool allBands) {
        calc.cmbCh.ListIndex = channel;
        calc.cmbCh_Click();
        calc.cmbGraphBand.ListIndex = 1;
        calc.cmbGraphBand_Click();
        calc.optAreaBand.Select(allBands ? 0 : 1);
    }
    CChMeasure& Channel(int channel) { return calc.Records()->Measures.Item(1).ChMeasures.Item(channel + 1); }
    void ClearRanges(int channel) {
        for (std::int16_t s = 1; s <= 47; ++s) {
            CBandLCalcInfo& band = Channel(channel).BandLCalcInfos.Item(s);
            band.Scopes.AllDelete();
            band.MarkScopes.AllDelete();
            band.LEScopes.AllDelete();
        }
    }
};

Bench* g_bench = nullptr;

// An excluded hour in the morning: the first edit adds it, every later one merges with it, so
// each iteration recomputes the same target.
void ExcludedRange(benchmark::State& state, int channel, bool allBands) {
    Bench& b = *g_bench;
    b.Show(channel, allBands);
    const auto rate = static_cast<std::int32_t>(b.Channel(channel).ChMeasureCondition.LevelOutHz);
    for (auto _ : state) {
        b.calc.addCalcDelArea(7 * 3600 * rate + 1, 8 * 3600 * rate);
    }
    state.counters["Leq"] = b.Channel(channel).BandLCalcInfos.Item(2).LCalc.getLeq();
    b.ClearRanges(channel);
}

void BM_ExcludedAllBands10Hz(benchmark::State& state) { ExcludedRange(state, 0, true); }
void BM_ExcludedShownBand10Hz(benchmark::State& state) { ExcludedRange(state, 0, false); }
void BM_ExcludedAllBands1kHz(benchmark::State& state) { ExcludedRange(state, 1, true); }
void BM_ExcludedShownBand1kHz(benchmark::State& state) { ExcludedRange(state, 1, false); }

// The LE range over the whole day on all bands; the peak memory of the process beside it.
void LEWholeDay(benchmark::State& state, int channel) {
    Bench& b = *g_bench;
    b.Show(channel, true);
    const auto n = static_cast<std::int32_t>(kDaySeconds * b.Channel(channel).ChMeasureCondition.LevelOutHz);
    for (auto _ : state) {
        b.calc.setLEArea(1, n);
    }
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["LE"] = b.Channel(channel).BandLCalcInfos.Item(2).AllLCalc.LE;
    state.counters["maxrss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    b.ClearRanges(channel);
}

void BM_LEAllBands10Hz(benchmark::State& state) { LEWholeDay(state, 0); }
void BM_LEAllBands1kHz(benchmark::State& state) { LEWholeDay(state, 1); }

// The excluded-range panel of a band holding a million ranges: lines, read-outs, choosers.
void BM_PanelRefreshMillionRanges(benchmark::State& state) {
    Bench& b = *g_bench;
    b.Show(0, false);
    CScopes& list = b.Channel(0).BandLCalcInfos.Item(2).Scopes;
    for (std::int32_t i = 0; i < 1'000'000; ++i) {
        list.Add(CScope(Variant(i * 8 / 10 + 1), Variant(i * 8 / 10 + 1)));
    }
    for (auto _ : state) {
        b.calc.setFormOfCalcArea();
        benchmark::DoNotOptimize(b.calc.lstCalcDelArea.List(0));
    }
    state.counters["lines"] = b.calc.lstCalcDelArea.ListCount();
    b.ClearRanges(0);
}

// A mark added on all 47 bands, each holding 10,000 marks; it falls on a mark already there, so
// the lists keep their length.
void BM_MarkEditAllBands10k(benchmark::State& state) {
    Bench& b = *g_bench;
    b.Show(0, true);
    for (std::int16_t s = 1; s <= 47; ++s) {
        CScopes& marks = b.Channel(0).BandLCalcInfos.Item(s).MarkScopes;
        for (std::int32_t i = 0; i < 10'000; ++i) {
            marks.Add(CScope(Variant(i * 80 + 1), Variant(i * 80 + 40)));
        }
    }
    for (auto _ : state) {
        b.calc.addMarkArea(400'001, 400'010);
    }
    state.counters["marks"] = b.calc.lstMarkArea.ListCount();
    b.ClearRanges(0);
}

BENCHMARK(BM_ExcludedAllBands10Hz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExcludedShownBand10Hz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExcludedShownBand1kHz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExcludedAllBands1kHz)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_LEAllBands10Hz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_LEAllBands1kHz)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(BM_PanelRefreshMillionRanges)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MarkEditAllBands10k)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace murtesk

int main(int argc, char** argv) {
    return murtesk::bench::RunBenchmarks(argc, argv, murtesk::g_bench);
}
