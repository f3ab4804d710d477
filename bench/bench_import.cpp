// A whole WAV import as the user starts it: the import dialog's run over the project's records, through the built
// analysis library, on a generated 48 kHz 16-bit recording (one channel for a minute, eight channels for ten
// minutes) analysed in one-third octaves (all 45 bands, A weighting): reading, conversion, the band chain, the
// level files, then the statistics and histogram of every band. The statuses are delivered on this thread as the
// user-interface thread would; the longest gap between two progress texts shows how responsive the window stays.
// The analysis uses every processor this process may run on (taskset limits them).
#include "analysis_binding.h"
#include "fake_ui.h"
#include "frmWavFileReadAD.h"
#include "preserve_import.h"
#include "recordings.h"
#include "status_window.h"

#include "message_window.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include "murtesk_analysis.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <memory>
#include <utility>

namespace {

using namespace murtesk;
namespace fs = std::filesystem;

struct Recordings {
    fs::path folder;
    std::string calibration;
    std::string recording;
    bool made = true;

    Recordings(std::uint16_t channels, double seconds) {
        // A recording made beforehand (bench/import_cores.sh): the whole process then times the import alone.
        if (const char* given = std::getenv("MURTESK_BENCH_IMPORT_DIR")) {
            folder = given;
            calibration = (folder / "cal.wav").string();
            recording = (folder / "rec.wav").string();
            made = false;
            return;
        }
        folder = fs::temp_directory_path() /
                 ("murtesk-bench-import-" + std::to_string(::getpid()) + "-" + std::to_string(channels));
        fs::create_directories(folder);
        samples::CalibrationOptions cal;
        cal.channels = channels;
        cal.seconds = 2.0;
        calibration = (folder / "cal.wav").string();
        samples::writeCalibration(calibration, cal);
        samples::RecordingOptions rec;
        rec.channels = channels;
        rec.seconds = seconds;
        recording = (folder / "rec.wav").string();
        samples::writeRecording(recording, rec);
    }
    ~Recordings() {
        std::error_code ec;
        if (made) fs::remove_all(folder, ec);
    }
};

// A recording is generated once per shape and kept for every repetition (generating it costs more than importing
// it).
const Recordings& RecordingsOf(std::uint16_t channels, double seconds) {
    static std::map<std::pair<std::uint16_t, double>, std::unique_ptr<Recordings>> made;
    auto& r = made[{channels, seconds}];
    if (!r) r = std::make_unique<Recordings>(channels, seconds);
    return *r;
}

// The CPU time of every thread of this process (the analysis's worker and helpers included), in seconds.
double ProcessCpuSeconds() {
    timespec t{};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Notes when the analysis ends (its final status), before the dialog builds the records and statistics.
class PumpedWindow : public import::StatusWindow {
public:
    explicit PumpedWindow(import::StatusHandler onStatus)
        : window(import::StatusMessageHandler([this, onStatus = std::move(onStatus)](std::int32_t status) {
              if (status == MURTESK_STATUS_ANALYSIS_DONE) {
                  analysisEnd = std::chrono::steady_clock::now();
                  analysisEndCpu = ProcessCpuSeconds();
              }
              onStatus(status);
          })) {}
    MurteskWindow* Handle() override { return window.Handle(); }
    platform::MessageWindow window;
    std::chrono::steady_clock::time_point analysisEnd;
    double analysisEndCpu = 0.0;
};

void BM_Import(benchmark::State& state) {
    const auto channels = static_cast<std::uint16_t>(state.range(0));
    const double seconds = static_cast<double>(state.range(1));
    const Recordings& files = RecordingsOf(channels, seconds);
    double worstGap = 0.0, analysis = 0.0, records = 0.0, analysisCpu = 0.0, recordsCpu = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        const fs::path project = files.folder / "project";
        std::error_code ec;
        fs::remove_all(project, ec);
        platform::testing::FakeUi ui;
        StatsContext context{[&] { return (project / "p.qvd").string(); }, [] { return Date{45356.5}; }};
        CPreserve preserve{context};
        preserve.SaveFilePath = (project / "p.qvd").string();
        COriginalWs originalWs;
        import::PreserveImportDocument document{preserve, originalWs};
        AnalysisLibrary library;
        PumpedWindow* pumped = nullptr;
        import::SetStatusWindowFactory([&pumped](import::StatusHandler onStatus) {
            auto w = std::make_unique<PumpedWindow>(std::move(onStatus));
            pumped = w.get();
            return w;
        });
        import::frmWavFileReadAD form(ui, document, library);
        ui.Load(form);
        form.txtCSVPathName.Text = files.calibration;
        form.lstWaveFile.AddItem(files.recording);
        form.cmdNext_Click();
        for (int k = 1; k <= document.ChannelCount(); ++k) {
            CChMeasureCondition& c = document.ChannelCondition(k);
            c.oct1or3 = 3;
            c.StartHz = 0.8;  // every band, as the band chain's benchmark computes
            c.EndHz = 20000.0;
            c.w = 3;
        }
        form.ShowChCondition(0);
        state.ResumeTiming();

        const auto start = std::chrono::steady_clock::now();
        const double startCpu = ProcessCpuSeconds();
        form.cmdStart_Click();
        auto last = start;
        std::string lastText = form.lblSate.Caption;
        while (ui.IsLoaded(form) && pumped != nullptr) {
            pumped->window.WaitAndDeliver(std::chrono::milliseconds(20));
            if (form.lblSate.Caption != lastText) {
                const auto now = std::chrono::steady_clock::now();
                worstGap = std::max(worstGap, std::chrono::duration<double>(now - last).count());
                last = now;
                lastText = form.lblSate.Caption;
            }
        }
        const auto end = std::chrono::steady_clock::now();
        const double endCpu = ProcessCpuSeconds();
        state.PauseTiming();
        if (pumped != nullptr) {
            analysis += std::chrono::duration<double>(pumped->analysisEnd - start).count();
            records += std::chrono::duration<double>(end - pumped->analysisEnd).count();
            analysisCpu += pumped->analysisEndCpu - startCpu;
            recordsCpu += endCpu - pumped->analysisEndCpu;
        }
        import::SetStatusWindowFactory({});
        if (preserve.Measures.count() != 1) {
            state.SkipWithError("the import did not add the measurement");
        }
        state.ResumeTiming();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["x_realtime"] = benchmark::Counter(seconds * runs, benchmark::Counter::kIsRate);
    state.counters["max_progress_gap_s"] = worstGap;
    // Start to the analysis's end (reading, conversion, band chain, level files), and from there to the dialog's
    // end (records, statistics and histograms of every band).
    state.counters["analysis_s"] = analysis / runs;
    state.counters["statistics_s"] = records / runs;
    // The CPU time of all threads in the same two parts: what the work costs, whatever the load left free.
    state.counters["analysis_cpu_s"] = analysisCpu / runs;
    state.counters["statistics_cpu_s"] = recordsCpu / runs;
}
BENCHMARK(BM_Import)
    ->Args({1, 60})
    ->Args({8, 600})
    ->ArgNames({"channels", "seconds"})
    ->Unit(benchmark::kSecond)
    ->Iterations(1)
    ->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
