// A whole WAV import as the user starts it: the import dialog's run over the project's records,
// through the built analysis library, on a ten-minute eight-channel 48 kHz recording analysed in
// one-third octaves (all 45 bands, A weighting). The statuses are delivered on this thread as the user-interface
// thread would; the longest gap between two progress texts shows how responsive the window stays.
#include "analysis_binding.h"
#include "fake_ui.h"
#include "frmWavFileReadAD.h"
#include "preserve_import.h"
#include "recordings.h"
#include "status_window.h"

#include "message_window.h"

#include <benchmark/benchmark.h>

#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>

namespace {

using namespace murtesk;
namespace fs = std::filesystem;

constexpr double kSeconds = 600.0;
constexpr std::uint16_t kChannels = 8;

struct Recordings {
    fs::path folder;
    std::string calibration;
    std::string recording;

    Recordings()
    {
        folder = fs::temp_directory_path() / ("murtesk-bench-import-" + std::to_string(::getpid()));
        fs::create_directories(folder);
        samples::CalibrationOptions cal;
        cal.channels = kChannels;
        cal.seconds = 2.0;
        calibration = (folder / "cal.wav").string();
        samples::writeCalibration(calibration, cal);
        samples::RecordingOptions rec;
        rec.channels = kChannels;
        rec.seconds = kSeconds;
        recording = (folder / "rec.wav").string();
        samples::writeRecording(recording, rec);
    }
    ~Recordings()
    {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

class PumpedWindow : public import::StatusWindow {
public:
    explicit PumpedWindow(import::StatusHandler onStatus) : window(import::StatusMessageHandler(std::move(onStatus))) {}
    MurteskWindow* Handle() override { return window.Handle(); }
    platform::MessageWindow window;
};

void BM_ImportTenMinutesEightChannelsThirdOctave(benchmark::State& state)
{
    static const Recordings files;
    double worstGap = 0.0;
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
        import::AnalysisLibrary library;
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

        form.cmdStart_Click();
        auto last = std::chrono::steady_clock::now();
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
        state.PauseTiming();
        import::SetStatusWindowFactory({});
        if (preserve.Measures.count() != 1) {
            state.SkipWithError("the import did not add the measurement");
        }
        state.ResumeTiming();
    }
    state.counters["x_realtime"] =
        benchmark::Counter(kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
    state.counters["max_progress_gap_s"] = worstGap;
}
BENCHMARK(BM_ImportTenMinutesEightChannelsThirdOctave)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
