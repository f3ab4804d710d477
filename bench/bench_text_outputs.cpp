// The calculation screen's text outputs over a generated 24-hour measurement: eight one-third-octave
// channels at 10 values/s (47 band files of 864,000 values each) and a ninth channel whose W band
// holds 86,400,000 values (1,000 values/s). Measured: the whole 1 kHz series as "000.00" text
// (691 MB), the 10 values/s W series resampled to 100 values/s by the analysis library (8.64 M
// lines), the columns of every slot of the eight channels over a one-hour LE range (376 columns,
// 36,000 rows), and the partitioned statistics of the eight channels in 10-minute parts, all bands.
//
// The band files of the 10 values/s channels are hard links to one file (a warm page cache holds
// them all; every band is still read in full). peak_rss_MB is the process's peak resident size after
// the run, the benchmarks running in the order listed. Files stay in MURTESK_BENCH_DIR.
#include "calc_day.h"
#include "linked_day.h"
#include "frmOctCalc.h"

#include "fake_ui.h"
#include "model/partition_rows.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <filesystem>

namespace murtesk {
namespace {

namespace fs = std::filesystem;
using bench::kDaySeconds;

double PeakRssMB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

struct Bench {
    platform::testing::FakeUi ui;
    bench::QuietMain main{ui};
    frmOctCalc calc{ui};
    fs::path folder = bench::BenchFolder("murtesk-bench-text");

    Bench() {
        const std::string project = bench::NewProjectDocument(folder, main);
        const bench::LinkedDaySeries series = bench::WriteLinkedDaySeries(folder);
        // Measurement 1: the eight channels and the 1 kHz one; measurement 2: the eight alone.
        for (const int channels : {9, 8}) bench::AddLinkedDayMeasure(project, channels, series);
        ui.Load(main);
        ui.Load(calc);
    }
    // Shows channel `index` (0-based) of measurement `measure`, band W.
    void Show(std::int32_t measure, int index) {
        calc.setForm(measure);  // takes the number by reference
        calc.cmbCh.ListIndex = index;
        calc.cmbCh_Click();
        calc.cmbGraphBand.ListIndex = 1;
        calc.cmbGraphBand_Click();
    }
};

Bench* g_bench = nullptr;

Bench& The() { return *g_bench; }

void BM_WholeSeries1kHzText(benchmark::State& state) {
    Bench& b = The();
    b.Show(1, 8);
    b.calc.m_TextFilePeriod = 1;
    b.calc.m_TextFileArea = 0;
    const std::string path = (b.folder / "series.csv").string();
    for (auto _ : state) {
        if (!b.calc.writeLevelTextFile(path)) state.SkipWithError("not written");
    }
    state.counters["MB"] = static_cast<double>(fs::file_size(path)) / 1e6;
    state.counters["peak_rss_MB"] = PeakRssMB();
}

void BM_Resampled10HzDay(benchmark::State& state) {
    Bench& b = The();
    b.Show(1, 0);
    b.calc.m_TextFilePeriod = -1;
    b.calc.m_TextFileArea = 1;
    const std::string path = (b.folder / "resampled.txt").string();
    for (auto _ : state) {
        b.ui.ChooseNext(path);
        if (!b.calc.outLevelTextFile()) state.SkipWithError("not written");
    }
    state.counters["MB"] = static_cast<double>(fs::file_size(path)) / 1e6;
    state.counters["peak_rss_MB"] = PeakRssMB();
}

void BM_LEColumns8x47OneHour(benchmark::State& state) {
    Bench& b = The();
    b.Show(2, 0);
    CBandLCalcInfo& shown = static_cast<PreserveDocument&>(g_PreserveDoc())
                                .Preserve()
                                .Measures.Item(2)
                                .ChMeasures.Item(1)
                                .BandLCalcInfos.Item(2);
    shown.LEScopes.AllDelete();
    shown.LEScopes.Add(CScope(36001, 72000));
    const std::string path = (b.folder / "columns.csv").string();
    for (auto _ : state) {
        if (!b.calc.writeLETextFileOfChBands(path, true, true)) state.SkipWithError("not written");
    }
    state.counters["MB"] = static_cast<double>(fs::file_size(path)) / 1e6;
    state.counters["peak_rss_MB"] = PeakRssMB();
}

void BM_Partitions8x47TenMinutes(benchmark::State& state) {
    Bench& b = The();
    b.Show(2, 0);
    CScopes parts;
    b.calc.makePartitionAreas(10, parts);
    const std::string path = (b.folder / "parts.csv").string();
    for (auto _ : state) {
        if (!b.calc.writePartitionAreaCalc(path, parts, true, true)) state.SkipWithError("not written");
    }
    state.counters["parts"] = static_cast<double>(parts.count());
    state.counters["peak_rss_MB"] = PeakRssMB();
}

BENCHMARK(BM_WholeSeries1kHzText)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Resampled10HzDay)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);
BENCHMARK(BM_LEColumns8x47OneHour)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(BM_Partitions8x47TenMinutes)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace murtesk

int main(int argc, char** argv) { return murtesk::bench::RunBenchmarks(argc, argv, murtesk::g_bench); }
