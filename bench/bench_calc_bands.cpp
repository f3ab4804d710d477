// The calculation screen's band displays on a generated 24-hour one-third-octave measurement with
// the widest window (8 h at 1 kHz, 28,800,001 points) on show: a mouse move over the level chart
// (the nearest point, the read-outs, one value read from each of the 47 band files, the cursor
// panel's array) with and without the repaint over the cached picture, a drag move, the cursor
// put on a sample and a scroll button beside the redraw they contain, the statistic chooser over
// 47 slots and a band chart's set-up.
//
// The 1 kHz channel's 47 band files are hard links to one file of 346 MB (86,400,000 values), so
// that a warm page cache holds the whole channel; the 10 values/s channel has 47 files of its own,
// whose statistics the chooser reads. Files stay in MURTESK_BENCH_DIR (default: the temporary
// folder) and are made again only when missing.
#include "calc_day.h"
#include "frmOctCalc.h"
#include "level_chart_widget.h"
#include "time_window.h"

#include "fake_ui.h"
#include "platform/dates.h"

#include <QApplication>
#include <QImage>

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

namespace murtesk {
namespace {

namespace fs = std::filesystem;
using bench::kDaySeconds;

class BenchCalc : public frmOctCalc {
public:
    using frmOctCalc::frmOctCalc;
    using frmOctCalc::moveCursorTo;
    using frmOctCalc::setGraphOfCalcFFT;
};

struct Bench {
    platform::testing::FakeUi ui;
    bench::QuietMain main{ui};
    BenchCalc calc{ui};
    std::unique_ptr<platform::qt::LevelChartWidget> widget;

    Bench() {
        const fs::path folder = bench::BenchFolder("murtesk-bench-bands");
        CMeasure& m = bench::MakeDayProject(folder, main, bench::LinkedDayFiles(folder));
        for (std::int32_t c = 1; c <= m.ChMeasures.count(); ++c) {
            SetWindow(m.ChMeasures.Item(c).CalcXYAxis, platform::AddSeconds(bench::kDayStart, 3600.0), 8 * 3600);
        }
        ui.Load(main);
        ui.Load(calc);
        std::int32_t first = 1;
        calc.setForm(first);
        widget = std::make_unique<platform::qt::LevelChartWidget>();
        widget->SetModel(&calc.Chart2DLevelWave);
        widget->resize(1000, 360);
        widget->Background();
    }

    void Show(int channel) {
        calc.cmbCh.ListIndex = channel;
        calc.cmbCh_Click();
        widget->Background();
    }
};

Bench* g_bench = nullptr;

// Mouse moves to and fro across the plot, no button held; with `repaint`, the widget paints over
// its cached picture after each.
void MouseMoves(benchmark::State& state, bool repaint, bool dragging) {
    Bench& b = *g_bench;
    b.Show(1);
    const platform::PlotRect plot = b.calc.Chart2DLevelWave.Geometry().Plot();
    const int y = plot.top + plot.height / 2;
    QImage target(b.widget->size(), QImage::Format_RGB32);
    if (dragging) {
        b.calc.Chart2DLevelWave_MouseDown(platform::kLeftButton, plot.left + 10, y);
    }
    int x = plot.left + 20;
    const int rendersBefore = b.widget->BackgroundRenders();
    for (auto _ : state) {
        x = x >= plot.left + plot.width - 20 ? plot.left + 20 : x + 7;
        b.calc.Chart2DLevelWave_MouseMove(dragging ? platform::kLeftButton : 0, x, y);
        if (repaint) {
            b.widget->Sync();
            b.widget->render(&target, QPoint(), QRegion(b.widget->rect()));
        }
    }
    // Pictures of the series drawn while the mouse moved: none, the moves paint over the cache.
    state.counters["pictures"] = b.widget->BackgroundRenders() - rendersBefore;
    if (dragging) {
        b.calc.Chart2DLevelWave_Click();  // ends the drag without a range
        b.calc.Chart2DLevelWave_MouseUp(platform::kLeftButton, x, y);
    }
}

void BM_MouseMove8h(benchmark::State& state) { MouseMoves(state, false, false); }
void BM_MouseMoveRepaint8h(benchmark::State& state) { MouseMoves(state, true, false); }
void BM_DragMoveRepaint8h(benchmark::State& state) { MouseMoves(state, true, true); }

// The redraw that moveCursorTo and the scroll buttons contain, for comparison in the same run.
void BM_Redraw8h(benchmark::State& state) {
    Bench& b = *g_bench;
    b.Show(1);
    for (auto _ : state) {
        b.calc.setGraphAxisAndScroll();
        b.calc.setGraphOfForm();
    }
}

void BM_MoveCursorTo8h(benchmark::State& state) {
    Bench& b = *g_bench;
    b.Show(1);
    std::int32_t pos = 0;
    for (auto _ : state) {
        pos = pos == 3'600'000 ? 3'686'000 : 3'600'000;  // 1:00:00 and 1:01:26 of the day
        b.calc.moveCursorTo(pos);
    }
}

void BM_ScrollButton8h(benchmark::State& state) {
    Bench& b = *g_bench;
    b.Show(1);
    b.calc.moveCursorTo(3'600'000);
    b.calc.cmbScrollSec.ListIndex = 99;  // 100 s
    bool left = false;
    for (auto _ : state) {
        left = !left;
        if (left) {
            b.calc.cmbLeftScroll_Click();
        } else {
            b.calc.cmbRightScroll_Click();
        }
    }
}

// The statistic chooser over the 47 slots of the 10 values/s channel, statistics of every slot.
void CalcL(benchmark::State& state, int item) {
    Bench& b = *g_bench;
    b.Show(0);
    static bool computed = false;
    if (!computed) {
        b.calc.addCalcDelArea(9'000'000, 9'000'001);  // statistics of every whole series
        computed = true;
    }
    for (auto _ : state) {
        b.calc.cmbCalcL.ListIndex = item;
        b.calc.cmbCalcL_Click();
    }
}

void BM_CalcLeq47(benchmark::State& state) { CalcL(state, 0); }
void BM_CalcL50Of47(benchmark::State& state) { CalcL(state, 51); }
void BM_CalcLFmax47(benchmark::State& state) { CalcL(state, 102); }

void BM_BandChartSetUp(benchmark::State& state) {
    Bench& b = *g_bench;
    b.Show(1);
    for (auto _ : state) {
        b.calc.setGraphOfCalcFFT();
    }
}

BENCHMARK(BM_MouseMove8h)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MouseMoveRepaint8h)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_DragMoveRepaint8h)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Redraw8h)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MoveCursorTo8h)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScrollButton8h)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalcLeq47)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalcL50Of47)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_CalcLFmax47)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BandChartSetUp)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace murtesk

int main(int argc, char** argv) {
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication app(argc, argv);
    return murtesk::bench::RunBenchmarks(argc, argv, murtesk::g_bench);
}
