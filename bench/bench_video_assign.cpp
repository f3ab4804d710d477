// The calculation screen's video commands: assigning the 60 s 1080p H.264 clip of bench_video through the real
// converter and the video library (both playability tests, the rename), beside the converter's own run on the
// same clip in the same process; the copy that stands in when no converter is found, beside a plain copy of the
// same bytes; and a change of the start date of a measurement with 8 channels and 100 recorded files each, its
// video and side files renamed, up to the screen's set-up (which is left out).
#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "frmInputDate.h"
#include "frmOctCalc.h"
#include "globals.h"
#include "preserve_document.h"

#include "fake_ui.h"
#include "model/preserve.h"
#include "platform/dates.h"
#include "platform/file_moves.h"
#include "platform/process_runner.h"
#include "video_clips.h"

namespace {

namespace fs = std::filesystem;
using murtesk::platform::testing::FakeUi;

const fs::path& Cache() {
    static const fs::path dir = [] {
        const char* cache = std::getenv("MURTESK_BENCH_CACHE");
        fs::path d = cache ? cache : "/tmp/murtesk-bench-video";
        fs::create_directories(d);
        return d;
    }();
    return dir;
}

// The clip of bench_video, made once.
const std::string& Clip() {
    static const std::string clip = [] {
        const std::string path = (Cache() / "road-1080p.mp4").string();
        if (!fs::exists(path)) {
            if (!murtesk::samples::writeVideoClip(path, murtesk::samples::RoadClip1080p())) std::abort();
        }
        return path;
    }();
    return clip;
}

// A project of one measurement with `channels` channels of `files` recorded files, and the screen on it.
class Project {
public:
    Project(int channels, int files) {
        folder_ = fs::temp_directory_path() / ("murtesk-bench-assign-" + std::to_string(::getpid()));
        fs::remove_all(folder_);
        fs::create_directories(folder_ / "RecWav");
        murtesk::g_NewDocument = [] { return std::make_unique<murtesk::PreserveDocument>(); };
        murtesk::g_ResetPreserve();
        murtesk::g_PreserveDoc().SetSaveFilePath((folder_ / "p.qvd").string());
        auto& records = static_cast<murtesk::PreserveDocument&>(murtesk::g_PreserveDoc()).Preserve();
        murtesk::CMeasure& m = records.Measures.AddNew();
        m.StartTime = murtesk::platform::DateFromParts(2024, 3, 5, 9, 7, 3);
        m.EndTime = murtesk::platform::AddSeconds(m.StartTime, 3600);
        for (int c = 0; c < channels; ++c) {
            murtesk::CChMeasure& ch = m.ChMeasures.AddNew();
            ch.ChMeasureCondition.oct1or3 = 3;
            ch.ChMeasureCondition.LevelOutHz = 10;
            ch.CalcXYAxis.XAxisMin = murtesk::Variant::FromDate(m.StartTime);
            ch.CalcXYAxis.XAxisMax = murtesk::Variant::FromDate(m.EndTime);
            for (int b = 0; b < 47; ++b) ch.BandLCalcInfos.AddNew();
            for (int f = 0; f < files; ++f) {
                murtesk::CWaveFile& w = ch.RecWaveFiles.Add(murtesk::CWaveFile());
                w.StartTime = murtesk::platform::AddSeconds(m.StartTime, 36.0 * f);
                w.EndTime = murtesk::platform::AddSeconds(m.StartTime, 36.0 * (f + 1));
            }
        }
        ui_.Load(calc);
        std::int32_t one = 1;
        calc.setForm(one);
    }
    ~Project() {
        ui_.Unload(calc);
        murtesk::g_Preserve.reset();
        std::error_code ec;
        fs::remove_all(folder_, ec);
    }
    fs::path RecWav() const { return folder_ / "RecWav"; }
    FakeUi& ui() { return ui_; }

    // The screen with its set-up left out, when a benchmark says so.
    class Screen : public murtesk::frmOctCalc {
    public:
        using frmOctCalc::frmOctCalc;
        bool setUp = true;
        void setForm(std::int32_t& index) override {
            if (setUp) frmOctCalc::setForm(index);
        }
    };

private:
    fs::path folder_;
    FakeUi ui_;

public:
    Screen calc{ui_};
};

// The converter's own run on the clip, as the command starts it.
void BM_ConverterAlone(benchmark::State& state) {
    const fs::path out = Cache() / "assign-alone.avi";
    murtesk::platform::SystemProcessRunner runner;
    for (auto _ : state) {
        fs::remove(out);
        runner.RunToEnd({"ffmpeg", "-nostdin", "-hide_banner", "-loglevel", "error", "-y", "-i", Clip(), "-map",
                         "0:v:0", "-map", "0:a:0?", "-c:v", "mpeg4", "-q:v", "2", "-c:a", "pcm_s16le", "-fps_mode",
                         "passthrough", "-avoid_negative_ts", "disabled", out.string()},
                        nullptr);
    }
    if (!fs::exists(out)) state.SkipWithError("the converter wrote nothing");
    fs::remove(out);
}
BENCHMARK(BM_ConverterAlone)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The whole assignment: the source's test, the conversion, the converted file's test, the rename.
void BM_AssignConverted(benchmark::State& state) {
    Project project(1, 1);
    for (auto _ : state) {
        project.ui().ChooseNext(Clip());
        project.ui().OnModal("frmVideoConvert", [](murtesk::platform::Form&) {});
        project.calc.mnuVideoFile_Click();
    }
    const auto messages = project.ui().MessageTexts();
    if (messages.empty() || messages.back() != "動画ファイルの割り当てが完了しました。") {
        state.SkipWithError("not converted");
    }
}
BENCHMARK(BM_AssignConverted)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The copy when no converter is found on PATH, beside a plain copy of the same file.
void BM_AssignCopied(benchmark::State& state) {
    Project project(1, 1);
    const std::string path = std::getenv("PATH") ? std::getenv("PATH") : "";
    ::setenv("PATH", "/nonexistent", 1);
    for (auto _ : state) {
        project.ui().ChooseNext(Clip());
        project.ui().OnModal("frmVideoConvert", [](murtesk::platform::Form&) {});
        project.calc.mnuVideoFile_Click();
    }
    ::setenv("PATH", path.c_str(), 1);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(Clip())));
}
BENCHMARK(BM_AssignCopied)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// The copy alone: a temporary file beside the target, flushed to the disk, renamed over the target.
void BM_CopyReplacing(benchmark::State& state) {
    const fs::path out = Cache() / "assign-replacing.avi";
    for (auto _ : state) {
        if (!murtesk::platform::CopyFileReplacing(Clip(), out.string())) state.SkipWithError("copy failed");
    }
    fs::remove(out);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(Clip())));
}
BENCHMARK(BM_CopyReplacing)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

void BM_PlainCopy(benchmark::State& state) {
    const fs::path out = Cache() / "assign-plain.avi";
    for (auto _ : state) {
        fs::copy_file(Clip(), out, fs::copy_options::overwrite_existing);
    }
    fs::remove(out);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * fs::file_size(Clip())));
}
BENCHMARK(BM_PlainCopy)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// A change of the start by an hour, back and forth, with a video and both side files to rename.
void BM_ChangeDate(benchmark::State& state) {
    Project project(8, 100);
    project.calc.setUp = false;
    for (const char* e : {".avi", ".car", ".kmh"}) std::ofstream(project.RecWav() / (std::string("24-3-5-9_7_3") + e));
    double hours = 1;
    for (auto _ : state) {
        project.ui().OnModal("frmInputDate", [hours](murtesk::platform::Form& form) {
            auto& input = static_cast<murtesk::frmInputDate&>(form);
            input.cmbhh.Select(input.cmbhh.ListIndex + static_cast<int>(hours));
            input.cmdOK_Click();
        });
        project.calc.mnuChangeDate_Click();
        hours = -hours;
    }
    if (!fs::exists(project.RecWav() / "24-3-5-9_7_3.avi") && !fs::exists(project.RecWav() / "24-3-5-10_7_3.avi")) {
        state.SkipWithError("the video was lost");
    }
}
BENCHMARK(BM_ChangeDate)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
