// The main screen's text outputs over whole projects, run as the long-job window runs them: the
// calculation values (job 5) of 100 measurements x 2 channels x 47 one-third-octave bands from
// their stored statistics, and the partitioned statistics (job 12) of 20 measurements x 2
// channels x 47 bands of a day at 100 ms (864,000 values a band) in 10-minute pieces. Each reports
// its rate and how far the peak resident memory grew. Then how soon job 12 answers Cancel in a piece
// of a whole day at 1 kHz.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "fake_ui.h"
#include "frmLongJob.h"
#include "frmMeasure.h"
#include "frmSetPartitionAreaCSVOut.h"
#include "globals.h"
#include "preserve_document.h"

#include "model/band_slots.h"

namespace murtesk {
namespace {

namespace fs = std::filesystem;

constexpr int kChannels = 2;
constexpr std::int16_t kSlots = 47;
constexpr std::int32_t kDayAt100ms = 864'000;

double PeakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// A project of `measures` measurements in a scratch folder, open in the program's document, with
// the main screen on it. Its measurements share their channels' level files and statistics (each
// channel names the same files), which the jobs only read.
class Project {
public:
    explicit Project(int measures) {
        std::string pattern = (fs::temp_directory_path() / "murtesk-bench-csv-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
        setenv("MURTESK_HOME", dir_.c_str(), 1);
        g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
        g_Preserve.reset();
        CPreserve& doc = *OpenPreserve();
        doc.SaveFilePath = (dir_ / "p.qvd").string();
        std::vector<CChMeasure*> first;
        for (int i = 1; i <= measures; ++i) {
            CMeasure& m = doc.Measures.AddNew();
            for (int c = 1; c <= kChannels; ++c) {
                CChMeasure& ch = m.ChMeasures.AddNew();
                ch.ChMeasureCondition.oct1or3 = 3;
                ch.CalcXYAxis.Lx = 50;
                ch.LevelData.SaveFileName = "c" + std::to_string(c) + ".lvl";
                for (std::int16_t k = 1; k <= kSlots; ++k) {
                    CBandLCalcInfo& band = ch.BandLCalcInfos.AddNew();
                    if (i == 1) {
                        const std::string folder = doc.BandFolder(3, k);
                        WriteLevels(folder, ch.LevelData.SaveFileName, 100u * c + k);
                        CScopes whole;
                        whole.Add(CScope(std::int32_t{1}, kDayAt100ms));
                        band.LCalc.resetNew(whole, ch.LevelData, folder);
                    } else {
                        band.LCalc = first[static_cast<std::size_t>(c - 1)]->BandLCalcInfos.Item(k).LCalc.MeCopy();
                    }
                }
                if (i == 1) first.push_back(&ch);
            }
        }
        g_bStartSelect = false;
        main_ = std::make_unique<frmMeasure>(ui_);
        g_frmMeasure = main_.get();
        ui_.Load(*main_);
        g_SelFileName = (dir_ / "out.csv").string();
    }
    ~Project() {
        main_.reset();
        g_frmMeasure = nullptr;
        g_Preserve.reset();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }
    frmMeasure& Main() { return *main_; }
    std::uintmax_t OutputSize() const { return fs::file_size(dir_ / "out.csv"); }

private:
    static void WriteLevels(const std::string& folder, const std::string& name, unsigned seed) {
        fs::create_directories(folder);
        std::mt19937 random(seed);
        std::normal_distribution<float> level(62.0f, 12.0f);
        std::vector<float> levels(kDayAt100ms);
        for (float& v : levels) v = level(random);
        std::ofstream(fs::path(folder) / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(levels.data()), static_cast<std::streamsize>(levels.size() * 4));
    }

    fs::path dir_;
    platform::testing::FakeUi ui_;
    std::unique_ptr<frmMeasure> main_;
};

void BM_CalcValueJob(benchmark::State& state) {
    Project project(100);
    for (auto _ : state) {
        project.Main().ShowJobProgress("");
        if (project.Main().DataCSVOut() != JobOutcome::Done) state.SkipWithError("job failed");
    }
    state.counters["rows/s"] =
        benchmark::Counter(100.0 * kChannels * kSlots * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["file_KiB"] = static_cast<double>(project.OutputSize()) / 1024.0;
}
BENCHMARK(BM_CalcValueJob)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_PartitionJob(benchmark::State& state) {
    constexpr int kMeasures = 20;
    Project project(kMeasures);
    const double before = PeakResidentMiB();
    for (auto _ : state) {
        project.Main().ShowJobProgress("");
        if (project.Main().AllDataPartitionAreaCSVOut() != JobOutcome::Done) state.SkipWithError("job failed");
    }
    const double values = static_cast<double>(kMeasures) * kChannels * kSlots * kDayAt100ms;
    state.counters["values/s"] = benchmark::Counter(values * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["peak_rss_growth_MiB"] = PeakResidentMiB() - before;
    state.counters["file_MiB"] = static_cast<double>(project.OutputSize()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_PartitionJob)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// Job 12 over a day of one-third-octave levels at 1 kHz (47 bands of 86.4 M values; the bands are
// links to one file, so the page cache holds it once) in one piece of 1,440 minutes, run through its
// menu command and long-job window as the program runs it; Cancel is clicked a second after the
// command began. Reported: the longest time from the click to the job's end over the runs, and the
// longest time between two event pumps (where the window is repainted and Cancel read).
void BM_PartitionCancelDay1kHz(benchmark::State& state) {
    using Clock = std::chrono::steady_clock;
    constexpr std::int64_t kDayAt1kHz = 86'400'000;
    std::string pattern = (fs::temp_directory_path() / "murtesk-bench-cancel-XXXXXX").string();
    const fs::path dir = mkdtemp(pattern.data());
    setenv("MURTESK_HOME", dir.c_str(), 1);
    g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
    g_Preserve.reset();
    CPreserve& doc = *OpenPreserve();
    doc.SaveFilePath = (dir / "p.qvd").string();
    CMeasure& m = doc.Measures.AddNew();
    CChMeasure& ch = m.ChMeasures.AddNew();
    ch.ChMeasureCondition.oct1or3 = 3;
    ch.ChMeasureCondition.LevelOutHz = 1000.0;
    ch.LevelData.SaveFileName = "day.lvl";
    const fs::path day = dir / "day.lvl";
    {
        std::vector<float> block(1 << 20);
        for (std::size_t i = 0; i < block.size(); ++i) block[i] = 40.0f + static_cast<float>(i % 400) / 10.0f;
        std::ofstream file(day, std::ios::binary);
        for (std::int64_t left = kDayAt1kHz; left > 0; left -= static_cast<std::int64_t>(block.size())) {
            const auto n = std::min<std::int64_t>(left, static_cast<std::int64_t>(block.size()));
            file.write(reinterpret_cast<const char*>(block.data()), n * 4);
        }
    }
    for (std::int16_t k = 1; k <= kSlots; ++k) {
        ch.BandLCalcInfos.AddNew();
        fs::create_directories(doc.BandFolder(3, k));
        fs::create_hard_link(day, fs::path(doc.BandFolder(3, k)) / "day.lvl");
    }
    g_bStartSelect = false;
    platform::testing::FakeUi ui;
    auto main = std::make_unique<frmMeasure>(ui);
    g_frmMeasure = main.get();
    ui.Load(*main);

    double cancelToEnd = 0.0;
    double longestGap = 0.0;
    for (auto _ : state) {
        // The click comes from another thread a second after the command began, at no particular
        // moment of the job; the window's Cancel handler runs at the job's next test point.
        std::atomic<bool> clicked{false};
        Clock::time_point clickedAt;
        std::jthread user([&](std::stop_token stop) {
            const Clock::time_point at = Clock::now() + std::chrono::seconds(1);
            while (!stop.stop_requested() && Clock::now() < at) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            clickedAt = Clock::now();
            clicked = true;
        });
        Clock::time_point last;
        ui.OnDoEvents([&] {
            if (g_frmLongJob == nullptr) return;
            const Clock::time_point now = Clock::now();
            if (last != Clock::time_point{})
                longestGap = std::max(longestGap, std::chrono::duration<double, std::milli>(now - last).count());
            last = now;
            if (clicked) static_cast<frmLongJob*>(g_frmLongJob)->cmdCancel_Click();
        });
        ui.OnModal("frmSetPartitionAreaCSVOut", [](platform::Form& f) {
            auto& dialog = static_cast<frmSetPartitionAreaCSVOut&>(f);
            dialog.txtSplitMin.Text = "1440";
            dialog.chkCalcAreaInfluence.Value = false;
            dialog.cmdOK_Click();
        });
        ui.ChooseNext((dir / "out.csv").string());
        ui.OnModal("frmLongJob", [](platform::Form&) {});
        main->mnuFilePartitionAreaTextOut_Click();
        const Clock::time_point end = Clock::now();
        user.join();
        if (ui.MessageTexts().empty() || ui.MessageTexts().back() != "途中キャンセルしました．")
            state.SkipWithError("the job was not cancelled");
        cancelToEnd = std::max(cancelToEnd, std::chrono::duration<double, std::milli>(end - clickedAt).count());
        ui.OnDoEvents({});
    }
    state.counters["cancel_to_end_ms"] = cancelToEnd;
    state.counters["max_test_gap_ms"] = longestGap;
    main.reset();
    g_frmMeasure = nullptr;
    g_Preserve.reset();
    std::error_code ec;
    fs::remove_all(dir, ec);
}
BENCHMARK(BM_PartitionCancelDay1kHz)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace murtesk

BENCHMARK_MAIN();
