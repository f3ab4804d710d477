// The calculation screen's level chart on a generated 24-hour one-third-octave measurement: the
// redraw of a window (axes and scroll bar, the window's levels read in one block, the range
// overlay, the chart's picture drawn offscreen), a scroll step with the cursor kept, a cursor
// repaint over the cached picture, the overlay with a million ranges, and a whole set-up.
//
// Two channels share one measurement: one at 10 values/s with all 47 band files (864,000 values
// each), one at 1,000 values/s whose shown band (W) has its file of 86,400,000 values. The redraw
// reads the shown band's file only, so the other 46 files of the 1 kHz channel (16 GB) are not
// written. The files stay in the folder named by MURTESK_BENCH_DIR (default: the temporary
// folder) and are made again only when missing, so runs after the first read from a warm cache.
#include "calc_day.h"
#include "frmOctCalc.h"
#include "globals.h"
#include "level_chart_widget.h"
#include "preserve_document.h"
#include "screens.h"
#include "time_window.h"

#include "fake_ui.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace murtesk {
namespace {

namespace fs = std::filesystem;
using bench::kDaySeconds;

const Date kStart = bench::kDayStart;

struct Bench {
    platform::testing::FakeUi ui;
    bench::QuietMain main{ui};
    frmOctCalc calc{ui};
    std::unique_ptr<platform::qt::LevelChartWidget> widget;
    fs::path folder;

    Bench() {
        folder = bench::BenchFolder("murtesk-bench-calc");
        CMeasure& m = bench::MakeDayProject(folder, main, [](double rate, std::int16_t slot, const std::string& path) {
            if (rate == 10.0 || slot == 2) {
                bench::WriteSeries(path, static_cast<std::int64_t>(kDaySeconds * rate), rate);
            }
        });
        for (std::int32_t c = 1; c <= m.ChMeasures.count(); ++c) {
            SetWindow(m.ChMeasures.Item(c), 0, 60);
        }
        ui.Load(main);
        ui.Load(calc);
        std::int32_t first = 1;
        calc.setForm(first);
        widget = std::make_unique<platform::qt::LevelChartWidget>();
        widget->SetModel(&calc.Chart2DLevelWave);
        widget->resize(1000, 360);
    }

    static void SetWindow(CChMeasure& ch, std::int64_t startSec, std::int64_t widthSec) {
        murtesk::SetWindow(ch.CalcXYAxis, platform::AddSeconds(kStart, static_cast<double>(startSec)), widthSec);
        ch.CalcXYAxis.YAxisMin = 20.0;
        ch.CalcXYAxis.YAxisMax = 100.0;
    }

    // Shows channel `channel` (0 or 1) with a window of widthSec seconds from startSec.
    void Show(int channel, std::int64_t startSec, std::int64_t widthSec) {
        calc.cmbCh.ListIndex = channel;
        SetWindow(*calc.Records()->Measures.Item(1).ChMeasures.ItemShared(channel + 1), startSec, widthSec);
        calc.cmbCh_Click();
    }
};

Bench* g_bench = nullptr;

// Redraw: axes and scroll bar, the window's levels, the overlay, and the picture drawn.
void Redraw(benchmark::State& state, int channel, std::int64_t widthSec) {
    Bench& b = *g_bench;
    b.Show(channel, 3600, widthSec);
    for (auto _ : state) {
        b.calc.setGraphAxisAndScroll();
        b.calc.setGraphOfForm();
        benchmark::DoNotOptimize(b.widget->Background().constBits());
    }
    state.counters["values"] = b.calc.Chart2DLevelWave.LevelCount();
}

void BM_Redraw8h1kHz(benchmark::State& state) { Redraw(state, 1, 8 * 3600); }
void BM_Redraw1h1kHz(benchmark::State& state) { Redraw(state, 1, 3600); }
void BM_Redraw24h10Hz(benchmark::State& state) { Redraw(state, 0, kDaySeconds); }
void BM_Redraw1min10Hz(benchmark::State& state) { Redraw(state, 0, 60); }

// A scroll step of the 8-hour window at 1 kHz with the cursor kept on its value.
void BM_ScrollStep8h1kHz(benchmark::State& state) {
    Bench& b = *g_bench;
    b.Show(1, 0, 8 * 3600);
    int value = 0;
    for (auto _ : state) {
        b.calc.Chart2DLevelWave.SetCursorPoint(28'000'000);
        b.calc.ChartController().SetReadOut({"Ｌp 60.0dB", " "});
        value = value == 42 ? 43 : 42;  // one small step to and fro in the morning: 86.4 s
        b.calc.scrGraph.Value = value;
        b.calc.scrGraph_Change();
        benchmark::DoNotOptimize(b.widget->Background().constBits());
    }
}

// A cursor move over the cached picture: the widget paints the cursor's strip from the cache.
void BM_CursorRepaint(benchmark::State& state) {
    Bench& b = *g_bench;
    b.Show(1, 0, 8 * 3600);
    b.widget->Background();
    QImage target(b.widget->size(), QImage::Format_RGB32);
    std::int32_t k = 1;
    for (auto _ : state) {
        k = k == 1 ? 14'000'000 : 1;
        b.calc.Chart2DLevelWave.SetCursorPoint(k);
        b.widget->Sync();
        b.widget->render(&target, QPoint(), QRegion(b.widget->rect()));
    }
}

// The overlay of a band whose lists hold a million ranges over the day, a one-minute window.
void BM_GraphAreaMillionRanges(benchmark::State& state) {
    Bench& b = *g_bench;
    b.Show(0, 43200, 60);
    CBandLCalcInfo& info = b.calc.Shown().channel->BandLCalcInfos.Item(b.calc.Shown().band);
    info.Scopes.AllDelete();
    info.MarkScopes.AllDelete();
    for (std::int32_t i = 0; i < 500'000; ++i) {
        // 864,000 positions: ranges of one position every 1.728 values, half excluded, half marks.
        const std::int32_t s = 1 + static_cast<std::int32_t>(static_cast<std::int64_t>(i) * 864'000 / 500'000);
        info.Scopes.Add(CScope(Variant(s), Variant(s)));
        info.MarkScopes.Add(CScope(Variant(s), Variant(s)));
    }
    for (auto _ : state) {
        b.calc.setFormOfGraphArea();
    }
    state.counters["shown"] = static_cast<double>(b.calc.Chart2DLevelWave.ShownRanges().size());
    info.Scopes.AllDelete();
    info.MarkScopes.AllDelete();
}

// The whole set-up of the 10 values/s day with a one-minute window.
void BM_SetFormCascade10Hz(benchmark::State& state) {
    Bench& b = *g_bench;
    b.Show(0, 43200, 60);
    for (auto _ : state) {
        std::int32_t first = 1;
        b.calc.setForm(first);
    }
    state.counters["values"] = b.calc.Chart2DLevelWave.LevelCount();
}

// The first redraw of the 8-hour window at 1 kHz in a process: each iteration starts this program
// again (`--first-redraw`), which sets the screen up on the day (a one-minute window of the 10 values/s
// channel shown), then times its first switch to the 1 kHz channel's 8-hour window with the chart's
// picture drawn, and the same once more. The iteration's time is the child's first redraw.
void BM_FirstRedraw8h1kHzFreshProcess(benchmark::State& state) {
    double later = 0.0;
    for (auto _ : state) {
        const std::string command = "'" + fs::read_symlink("/proc/self/exe").string() + "' --first-redraw";
        FILE* child = popen(command.c_str(), "r");
        double first = -1.0;
        double second = -1.0;
        if (child == nullptr || std::fscanf(child, "%lf %lf", &first, &second) != 2 || pclose(child) != 0 ||
            first < 0.0) {
            state.SkipWithError("the child process gave no figures");
            break;
        }
        state.SetIterationTime(first / 1000.0);
        later += second;
    }
    state.counters["later_ms"] = benchmark::Counter(later, benchmark::Counter::kAvgIterations);
}

// The child of BM_FirstRedraw8h1kHzFreshProcess: prints the first and the second redraw in ms.
int FirstRedrawChild() {
    Bench b;
    const auto redraw = [&b] {
        const auto start = std::chrono::steady_clock::now();
        b.Show(1, 3600, 8 * 3600);
        benchmark::DoNotOptimize(b.widget->Background().constBits());
        return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
    };
    const double first = redraw();
    b.Show(0, 3600, 60);
    b.widget->Background();
    const double second = redraw();
    std::printf("%.3f %.3f\n", first, second);
    return 0;
}

BENCHMARK(BM_FirstRedraw8h1kHzFreshProcess)->Unit(benchmark::kMillisecond)->UseManualTime()->Iterations(5);
BENCHMARK(BM_Redraw8h1kHz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Redraw1h1kHz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Redraw24h10Hz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Redraw1min10Hz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollStep8h1kHz)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CursorRepaint)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_GraphAreaMillionRanges)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SetFormCascade10Hz)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace murtesk

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    if (argc == 2 && std::string(argv[1]) == "--first-redraw") {
        return murtesk::FirstRedrawChild();
    }
    return murtesk::bench::RunBenchmarks(argc, argv, murtesk::g_bench);
}
