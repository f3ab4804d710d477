// The calculation screen's bulk range commands and panel commands over a generated 24-hour
// measurement of eight one-third-octave channels at 10 values/s (47 band files of 864,000 values
// each) and a ninth channel at 1,000 values/s (its W band: 86,400,000 values): a ".dla" of 100,000
// ranges opened on all bands and saved, the level-over scan of the 1 kHz day in slices, 100,000
// orange ranges turned into excluded ranges of all 47 bands, excluded ranges and 10,000 marks copied
// to the seven other channels, a clipboard copy, and the common axes over 100 measurements.
//
// The band files of the 10 values/s channels are hard links to one file, so a warm page cache holds
// them all; every band is still read and computed in full. Files stay in MURTESK_BENCH_DIR.
#include "calc_day.h"
#include "linked_day.h"
#include "common_axes.h"
#include "frmLevelOverArea.h"
#include "frmOctCalc.h"
#include "time_window.h"

#include "fake_ui.h"

#include <benchmark/benchmark.h>

#include <filesystem>

namespace murtesk {
namespace {

namespace fs = std::filesystem;
using bench::kDaySeconds;

// CPU time of every thread over the timed parts of a benchmark, per iteration.
class CpuMeter {
public:
    void Start() { start_ = bench::ProcessCpuSeconds(); }
    void Stop() { total_ += bench::ProcessCpuSeconds() - start_; }
    void Report(benchmark::State& state) const {
        state.counters["cpu_ms_all_threads"] = total_ * 1000.0 / static_cast<double>(state.iterations());
    }

private:
    double start_ = 0.0;
    double total_ = 0.0;
};

CScopes EveryOther(std::int32_t count, std::int32_t step, std::int32_t length) {
    CScopes list;
    for (std::int32_t i = 0; i < count; ++i) {
        const std::int32_t s = 1 + i * step;
        list.SimpleAdd(std::make_shared<CScope>(Variant(s), Variant(s + length - 1)));
    }
    return list;
}

struct Bench {
    platform::testing::FakeUi ui;
    bench::QuietMain main{ui};
    frmOctCalc calc{ui};
    fs::path folder = bench::BenchFolder("murtesk-bench-panels");

    Bench() {
        const std::string project = bench::NewProjectDocument(folder, main);
        bench::AddLinkedDayMeasure(project, 9, bench::WriteLinkedDaySeries(folder));
        ui.Load(main);
        ui.Load(calc);
        std::int32_t first = 1;
        calc.setForm(first);
    }
    // Shows channel `index` (0-based), band W; edits reach all bands or the shown one.
    void Show(int index, bool allBands) {
        calc.cmbCh.ListIndex = index;
        calc.cmbCh_Click();
        calc.cmbGraphBand.ListIndex = 1;
        calc.cmbGraphBand_Click();
        calc.optAreaBand.Select(allBands ? 0 : 1);
    }
    static CMeasure& CalcProject() {
        return static_cast<PreserveDocument&>(g_PreserveDoc()).Preserve().Measures.Item(1);
    }
    static void ClearRanges() {
        CMeasure& m = CalcProject();
        for (std::int32_t c = 1; c <= m.ChMeasures.count(); ++c) {
            for (std::int16_t s = 1; s <= 47; ++s) {
                CBandLCalcInfo& info = m.ChMeasures.Item(c).BandLCalcInfos.Item(s);
                info.Scopes.AllDelete();
                info.MarkScopes.AllDelete();
                info.LevelOverScopes.AllDelete();
            }
        }
    }
};

Bench& The() {
    static Bench b;
    return b;
}

CBandLCalcInfo& ShownBand(int c) { return Bench::CalcProject().ChMeasures.Item(c).BandLCalcInfos.Item(2); }

void BM_OpenDla100kAllBands(benchmark::State& state) {
    Bench& b = The();
    b.Show(0, true);
    const std::string path = (b.folder / "100k.dla").string();
    EveryOther(100'000, 8, 4).FileWrite(path, bench::kDayStart, 0.1);
    CpuMeter cpu;
    for (auto _ : state) {
        state.PauseTiming();
        Bench::ClearRanges();
        state.ResumeTiming();
        cpu.Start();
        if (b.calc.ReadDeleteAreaFrom(path)) {
            b.calc.setDeleteAreaToBands();
        }
        cpu.Stop();
    }
    cpu.Report(state);
    state.counters["ranges"] = static_cast<double>(ShownBand(1).Scopes.count());
}

void BM_SaveDla100k(benchmark::State& state) {
    Bench& b = The();
    b.Show(0, true);
    const CScopes list = EveryOther(100'000, 8, 4);
    const std::string path = (b.folder / "saved.dla").string();
    for (auto _ : state) {
        b.calc.WriteRangeFile(list, path, "failed", "saved");
    }
}

void BM_LevelOverScan1kHz(benchmark::State& state) {
    Bench& b = The();
    b.Show(8, false);
    b.calc.SetLevelSliceLength(kLevelSliceLength);
    CpuMeter cpu;
    for (auto _ : state) {
        b.ui.OnModal("frmLevelOverArea", [](platform::Form& f) {
            auto& d = static_cast<frmLevelOverArea&>(f);
            d.txtLevel.Text = "72";
            d.cmdOK_Click();
        });
        cpu.Start();
        b.calc.mnuLevelOverArea_Click();
        cpu.Stop();
    }
    cpu.Report(state);
    state.counters["ranges"] = static_cast<double>(ShownBand(9).LevelOverScopes.count());
}

void BM_Orange100kToExcludedAllBands(benchmark::State& state) {
    Bench& b = The();
    b.Show(0, true);
    const CScopes orange = EveryOther(100'000, 8, 4);
    CpuMeter cpu;
    for (auto _ : state) {
        state.PauseTiming();
        Bench::ClearRanges();
        ShownBand(1).LevelOverScopes = orange;
        state.ResumeTiming();
        cpu.Start();
        b.calc.cmdLevelOverDelete_Click();
        cpu.Stop();
    }
    cpu.Report(state);
}

void BM_ExcludedToSevenChannelsAllBands(benchmark::State& state) {
    Bench& b = The();
    b.Show(0, true);
    CpuMeter cpu;
    for (auto _ : state) {
        state.PauseTiming();
        Bench::ClearRanges();
        ShownBand(1).Scopes = EveryOther(100, 8640, 3600);
        state.ResumeTiming();
        cpu.Start();
        b.calc.cmdLinkChDelArea_Click();
        cpu.Stop();
    }
    cpu.Report(state);
}

void BM_TenThousandMarksToSevenChannels(benchmark::State& state) {
    Bench& b = The();
    b.Show(0, true);
    const CScopes marks = EveryOther(10'000, 80, 40);
    CpuMeter cpu;
    for (auto _ : state) {
        state.PauseTiming();
        Bench::ClearRanges();
        ShownBand(1).MarkScopes = marks;
        state.ResumeTiming();
        cpu.Start();
        b.calc.cmdLinkChMark_Click();
        cpu.Stop();
    }
    cpu.Report(state);
}

void BM_StatisticCopy(benchmark::State& state) {
    Bench& b = The();
    b.Show(0, true);
    b.calc.cmbCalcL.Select(0);
    for (auto _ : state) {
        b.calc.cmdCopyCalc_Click();
    }
}

void BM_CommonAxes100x8(benchmark::State& state) {
    CMeasures measures(ProgramStatsContext());
    for (int m = 0; m < 100; ++m) {
        CMeasure& measure = measures.AddNew();
        measure.StartTime = platform::AddSeconds(bench::kDayStart, 86400.0 * m);
        measure.EndTime = platform::AddSeconds(measure.StartTime, 86400.0);
        for (int c = 0; c < 8; ++c) {
            CChMeasure& ch = measure.ChMeasures.AddNew();
            ch.ChMeasureCondition.oct1or3 = 3;
            SetWindow(ch.CalcXYAxis, measure.StartTime, 60);
        }
    }
    CCommonGraphAxisInfo info;
    info.m_bLevelXAxis = info.m_bHzGraphYAxis = true;
    for (auto _ : state) {
        CopyCommonAxes(measures, measures.Item(1), 1, measures.Item(1).ChMeasures.Item(1), info);
    }
}

BENCHMARK(BM_OpenDla100kAllBands)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_SaveDla100k)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_LevelOverScan1kHz)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Orange100kToExcludedAllBands)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ExcludedToSevenChannelsAllBands)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_TenThousandMarksToSevenChannels)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_StatisticCopy)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_CommonAxes100x8)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace murtesk

BENCHMARK_MAIN();
