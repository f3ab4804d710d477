// The main screen's long jobs over whole projects, run as the long-job window runs them:
// recalculation (job 1) of 20 measurements x 2 channels x 47 one-third-octave bands of 864,000
// values each (a day at 100 ms) on 1 to 8 threads, and the level-over search (job 7) over one
// series of 86.4 M values (a day at 1 kHz). Besides the rate, each reports the longest time
// between two test points (where Cancel is noticed) and, for job 7, how far the peak resident
// memory grew.
#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "fake_ui.h"
#include "frmMeasure.h"
#include "globals.h"
#include "preserve_document.h"

#include "model/band_slots.h"

namespace murtesk {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

constexpr int kMeasures = 20;
constexpr int kChannels = 2;
constexpr std::int32_t kDayAt100ms = 864'000;
constexpr std::int32_t kDayAt1kHz = 86'400'000;

// Levels as noise around 62 dB, or (passes) as road traffic: a vehicle a minute, heard over
// 75 dB for about 20 s, over a background of 55 dB.
void WriteLevels(const fs::path& folder, const std::string& name, std::int32_t n, unsigned seed, bool passes = false) {
    fs::create_directories(folder);
    if (fs::exists(folder / name)) return;
    std::mt19937 random(seed);
    std::normal_distribution<float> level(62.0f, 12.0f);
    std::normal_distribution<float> jitter(0.0f, 0.3f);
    std::vector<float> levels(static_cast<std::size_t>(n));
    for (std::size_t i = 0; i < levels.size(); ++i) {
        const double minute = static_cast<double>(i % 60000) / 60000.0;
        levels[i] = passes ? static_cast<float>(55.0 + 30.0 * std::max(0.0, std::sin(6.283185307179586 * minute))) +
                                 jitter(random)
                           : level(random);
    }
    std::ofstream(folder / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(levels.data()), static_cast<std::streamsize>(levels.size() * 4));
}

// A project in a scratch folder, open in the program's document, with the main screen on it. The
// measurements of a project share their channels' level files (each channel names the same file),
// which the jobs only read.
class Project {
public:
    static Project& Get() {
        static Project project;
        return project;
    }
    frmMeasure& Main() { return *main_; }
    platform::testing::FakeUi& Ui() { return ui_; }
    CPreserve& Doc() { return *OpenPreserve(); }

    // Job 7's day at 1 kHz: slot 2 of channel 1 of a measurement added for its benchmark.
    void AddDayAt1kHz() {
        CPreserve& doc = Doc();
        CChMeasure& fast = doc.Measures.AddNew().ChMeasures.AddNew();
        fast.ChMeasureCondition.oct1or3 = 1;
        fast.ChMeasureCondition.LevelOutHz = 1000.0;
        fast.LevelData.SaveFileName = "fast.lvl";
        for (std::int16_t k = 1; k <= 17; ++k) fast.BandLCalcInfos.AddNew();
        WriteLevels(doc.BandFolder(1, 2), fast.LevelData.SaveFileName, kDayAt1kHz, 7, true);
    }

    // The longest time between two test points of the last job, in milliseconds.
    double LongestGapMs() const { return longestGap_; }
    void ResetGaps() {
        last_ = Clock::now();
        longestGap_ = 0.0;
    }

private:
    Project() {
        std::string pattern = (fs::temp_directory_path() / "murtesk-bench-jobs-XXXXXX").string();
        dir_ = mkdtemp(pattern.data());
        setenv("MURTESK_HOME", dir_.c_str(), 1);
        g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
        CPreserve& doc = Doc();
        doc.SaveFilePath = (dir_ / "p.qvd").string();
        for (int i = 1; i <= kMeasures; ++i) {
            CMeasure& m = doc.Measures.AddNew();
            for (int c = 1; c <= kChannels; ++c) {
                CChMeasure& ch = m.ChMeasures.AddNew();
                ch.ChMeasureCondition.oct1or3 = 3;
                ch.LevelData.SaveFileName = "c" + std::to_string(c) + ".lvl";
                for (std::int16_t k = 1; k <= 47; ++k) {
                    ch.BandLCalcInfos.AddNew();
                    if (i == 1) WriteLevels(doc.BandFolder(3, k), ch.LevelData.SaveFileName, kDayAt100ms, 100u * c + k);
                }
            }
        }
        g_bStartSelect = false;
        main_ = std::make_unique<frmMeasure>(ui_);
        g_frmMeasure = main_.get();
        ui_.Load(*main_);
        ui_.OnDoEvents([this] {
            const Clock::time_point now = Clock::now();
            longestGap_ = std::max(longestGap_, std::chrono::duration<double, std::milli>(now - last_).count());
            last_ = now;
        });
    }
    ~Project() {
        main_.reset();
        g_Preserve.reset();
        std::error_code ec;
        fs::remove_all(dir_, ec);
    }

    fs::path dir_;
    platform::testing::FakeUi ui_;
    std::unique_ptr<frmMeasure> main_;
    Clock::time_point last_;
    double longestGap_ = 0.0;
};

double PeakResidentMiB() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// CPU seconds of every thread of the process so far.
double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) { return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6; };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

void BM_RecalcJob(benchmark::State& state) {
    Project& project = Project::Get();
    project.Main().m_JobSettings.threads = static_cast<unsigned>(state.range(0));
    double gap = 0.0;
    const double cpuBefore = ProcessCpuSeconds();
    for (auto _ : state) {
        project.ResetGaps();
        if (project.Main().AllCalcJob() != JobOutcome::Done) state.SkipWithError("job failed");
        gap = std::max(gap, project.LongestGapMs());
    }
    const double values = static_cast<double>(kMeasures) * kChannels * 47 * kDayAt100ms;
    state.counters["values/s"] = benchmark::Counter(values * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["max_test_gap_ms"] = gap;
    // CPU time of all threads: equal across thread counts when spreading adds no work, whatever
    // share of the cores the machine grants.
    state.counters["cpu_s_all_threads"] = (ProcessCpuSeconds() - cpuBefore) / state.iterations();
}
BENCHMARK(BM_RecalcJob)->Arg(1)->Arg(2)->Arg(4)->Arg(8)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_LevelOverJob(benchmark::State& state) {
    Project& project = Project::Get();
    project.AddDayAt1kHz();
    const double before = PeakResidentMiB();
    double gap = 0.0;
    for (auto _ : state) {
        project.ResetGaps();
        project.Main().ShowJobProgress("");
        if (project.Main().AllLchOrange() != JobOutcome::Done) state.SkipWithError("job failed");
        gap = std::max(gap, project.LongestGapMs());
    }
    const CBandLCalcInfo& band = project.Doc().Measures.Item(kMeasures + 1).ChMeasures.Item(1).BandLCalcInfos.Item(2);
    // The day at 1 kHz and the weighted level of channel 1 of the 20 measurements.
    const double values = static_cast<double>(kDayAt1kHz) + static_cast<double>(kMeasures) * kDayAt100ms;
    state.counters["values/s"] = benchmark::Counter(values * state.iterations(), benchmark::Counter::kIsRate);
    state.counters["max_test_gap_ms"] = gap;
    state.counters["peak_rss_growth_MiB"] = PeakResidentMiB() - before;
    state.counters["ranges"] = band.LevelOverScopes.count();
    project.Doc().Measures.Delete(kMeasures + 1);
}
BENCHMARK(BM_LevelOverJob)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

}  // namespace
}  // namespace murtesk

BENCHMARK_MAIN();
