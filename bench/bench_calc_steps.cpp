// The calculation screen opened from the main screen and stepped between the measurements of a
// project of ten, as the user waits for it: "演算" on the main screen (the end time from the level
// file, the set-up of the first measurement: its chart, cursor panel, statistics and lists), and
// "Next" (the project file saved through the real main screen, written aside, flushed to the disk
// and renamed, then the next measurement set up). The save is also timed alone.
//
// Each measurement is a day of two one-third-octave channels at 10 values/s (47 band files each,
// hard links to one series so a warm page cache holds them), their charts on a one-minute window,
// every band with 20 excluded ranges and 20 marks. Files stay in MURTESK_BENCH_DIR.
#include "calc_day.h"
#include "frmMeasure.h"
#include "frmOctCalc.h"
#include "linked_day.h"

#include "fake_ui.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <string>

namespace murtesk {
namespace {

namespace fs = std::filesystem;

constexpr int kMeasures = 10;
constexpr int kRangesPerList = 20;

struct Bench {
    platform::testing::FakeUi ui;
    fs::path folder = bench::BenchFolder("murtesk-bench-steps");
    std::unique_ptr<frmMeasure> main;
    frmOctCalc calc{ui};

    Bench() {
        setenv("MURTESK_HOME", folder.c_str(), 1);
        g_bStartSelect = false;
        main = std::make_unique<frmMeasure>(ui);
        const std::string project = bench::NewProjectDocument(folder, *main);
        const bench::LinkedDaySeries series = bench::WriteLinkedDaySeries(folder);
        for (int i = 1; i <= kMeasures; ++i) {
            CMeasure& m = bench::AddLinkedDayMeasure(project, 2, series);
            for (const auto& ch : m.ChMeasures) {
                for (const auto& band : ch->BandLCalcInfos) {
                    CBandLCalcInfo& info = *band;
                    for (std::int32_t r = 0; r < kRangesPerList; ++r) {
                        const std::int32_t s = 1 + r * 40'000;
                        info.Scopes.Add(CScope(Variant(s), Variant(s + 599)));
                        info.MarkScopes.Add(CScope(Variant(s + 20'000), Variant(s + 20'599)));
                    }
                }
            }
        }
        g_frmOctCalc = &calc;
        ui.Load(*main);
        ui.Load(calc);
        main->m_MeasureIndex = 1;
        main->EditForm();
    }
    ~Bench() { g_frmOctCalc = nullptr; }
};

Bench* g_bench = nullptr;

// "演算" on the first measurement; the return to the main screen (with its save) is not timed.
void BM_OpenScreen10Measures(benchmark::State& state) {
    Bench& b = *g_bench;
    for (auto _ : state) {
        b.main->ListView1.SelectedIndex = 0;
        b.main->cmdOK_Click();
        state.PauseTiming();
        if (b.calc.Shown().measureIndex != 1) {
            state.SkipWithError("the screen did not open");
            break;
        }
        b.calc.cmdREC_Click();
        state.ResumeTiming();
    }
}

// "Next" from one measurement to the next (from the tenth, "First"): the save, then the set-up.
void BM_StepWithSave10Measures(benchmark::State& state) {
    Bench& b = *g_bench;
    b.main->ListView1.SelectedIndex = 0;
    b.main->cmdOK_Click();
    for (auto _ : state) {
        if (b.calc.Shown().measureIndex == kMeasures) {
            b.calc.cmdFirst_Click();
        } else {
            b.calc.cmdNext_Click();
        }
    }
    state.counters["bytes_saved"] = static_cast<double>(fs::file_size(b.folder / "project.qvd"));
    b.calc.cmdREC_Click();
}

// The save alone: the project file written aside, flushed to the disk and renamed.
void BM_ProjectSave10Measures(benchmark::State& state) {
    Bench& b = *g_bench;
    for (auto _ : state) {
        if (!b.main->SaveData()) {
            state.SkipWithError("the save failed");
            break;
        }
    }
}

BENCHMARK(BM_OpenScreen10Measures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_StepWithSave10Measures)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProjectSave10Measures)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace murtesk

int main(int argc, char** argv) { return murtesk::bench::RunBenchmarks(argc, argv, murtesk::g_bench); }
