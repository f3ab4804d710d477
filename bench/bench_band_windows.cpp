// The band result windows on a one-third-octave channel: a day at 10 values per second (864,000
// values a slot) with one mark over the whole day, and an hour at 1,000 values per second (3.6 M
// values a slot) with one mark over the hour. The windows run through their form models with the
// fake services, as the calculation screen opens them.
//
// BM_AllBandWindow/T: frmAllBandL from the command to its values shown (the build of 47 pairs on T
// threads, the first evaluation). BM_StatisticChoice: one choice re-evaluated for all 47 slots
// (Ｌeq, ＬE, Ｌ50, ＬFmax in turn). BM_CopyCalc: the clipboard text. BM_OneBandWindow: frmOneBandL
// on the same mark. BM_AllBandWindowHour1kHz: frmAllBandL on the hour at 1,000 values per second on
// 8 threads, with the process's peak resident memory.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include "calc_day.h"
#include "fake_ui.h"
#include "frmAllBandL.h"
#include "frmOneBandL.h"

namespace murtesk {
namespace {

constexpr std::int64_t kHourAt1k = 3'600'000;

struct Project {
    static Project& Get() {
        static Project project;
        return project;
    }
    platform::testing::FakeUi ui;
    bench::QuietMain main{ui};
    std::shared_ptr<CChMeasure> day;
    std::shared_ptr<CChMeasure> hour;

private:
    Project() {
        // The hour at 1 kHz: one file, hard-linked into every band folder.
        const std::filesystem::path folder = bench::BenchFolder("band-windows");
        const std::string hourFile = (folder / "hour_1khz.lvl").string();
        CMeasure& m = bench::MakeDayProject(folder, main, [&](double rate, std::int16_t, const std::string& path) {
            if (rate == 10.0) {
                bench::WriteSeries(path, bench::kDaySeconds * 10, rate);
            } else if (!std::filesystem::exists(path)) {
                bench::WriteSeries(hourFile, kHourAt1k, rate);
                std::filesystem::create_hard_link(hourFile, path);
            }
        });
        day = m.ChMeasures.ItemShared(1);
        hour = m.ChMeasures.ItemShared(2);
        day->BandLCalcInfos.Item(1).MarkScopes.SimpleAdd(
            std::make_shared<CScope>(Variant(1), Variant(static_cast<std::int32_t>(bench::kDaySeconds * 10))));
        hour->BandLCalcInfos.Item(1).MarkScopes.SimpleAdd(
            std::make_shared<CScope>(Variant(1), Variant(static_cast<std::int32_t>(kHourAt1k))));
    }
};

void HandOver(const std::shared_ptr<CChMeasure>& channel) {
    g_ChMeasure = channel;
    g_BandIndex = 1;
    g_SelectNo = 1;
    g_CalcAreaInfluence = 1;
}

// frmAllBandL loaded, built and activated.
void OpenAllBand(platform::UiServices& ui, frmAllBandL& window, unsigned threads) {
    window.BuildThreads = threads;
    ui.Show(window);
    static_cast<platform::testing::FakeUi&>(ui).DoEvents();
}

long PeakResidentMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024;
}

void BM_AllBandWindow(benchmark::State& state) {
    Project& p = Project::Get();
    HandOver(p.day);
    for (auto _ : state) {
        frmAllBandL window(p.ui);
        OpenAllBand(p.ui, window, static_cast<unsigned>(state.range(0)));
        benchmark::DoNotOptimize(window.SlotLevels().data());
        p.ui.Unload(window);
    }
}
BENCHMARK(BM_AllBandWindow)->Arg(1)->Arg(8)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_StatisticChoice(benchmark::State& state) {
    Project& p = Project::Get();
    HandOver(p.day);
    frmAllBandL window(p.ui);
    OpenAllBand(p.ui, window, 8);
    const int choices[] = {0, 3, 53, 104};  // Ｌeq, ＬE, Ｌ50, ＬFmax
    std::size_t i = 0;
    for (auto _ : state) {
        window.cmbCalcL.Select(choices[i++ % 4]);
        window.cmbCalcL_Click();
        benchmark::DoNotOptimize(window.SlotLevels().data());
    }
    p.ui.Unload(window);
}
BENCHMARK(BM_StatisticChoice)->Unit(benchmark::kMillisecond);

void BM_CopyCalc(benchmark::State& state) {
    Project& p = Project::Get();
    HandOver(p.day);
    frmAllBandL window(p.ui);
    OpenAllBand(p.ui, window, 8);
    for (auto _ : state) {
        window.cmdCopyCalc_Click();
    }
    state.counters["bytes"] = static_cast<double>(p.ui.ClipboardText().size());
    p.ui.Unload(window);
}
BENCHMARK(BM_CopyCalc)->Unit(benchmark::kMillisecond);

void BM_OneBandWindow(benchmark::State& state) {
    Project& p = Project::Get();
    HandOver(p.day);
    for (auto _ : state) {
        frmOneBandL window(p.ui);
        p.ui.Show(window);
        p.ui.DoEvents();
        benchmark::DoNotOptimize(window.lblLeq.Caption.data());
        p.ui.Unload(window);
    }
}
BENCHMARK(BM_OneBandWindow)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_AllBandWindowHour1kHz(benchmark::State& state) {
    Project& p = Project::Get();
    HandOver(p.hour);
    const long before = PeakResidentMb();
    for (auto _ : state) {
        frmAllBandL window(p.ui);
        OpenAllBand(p.ui, window, 8);
        benchmark::DoNotOptimize(window.SlotLevels().data());
        p.ui.Unload(window);
    }
    state.counters["peak_MB"] = static_cast<double>(PeakResidentMb());
    state.counters["peak_before_MB"] = static_cast<double>(before);
}
BENCHMARK(BM_AllBandWindowHour1kHz)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace murtesk

BENCHMARK_MAIN();
