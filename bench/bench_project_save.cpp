// "戻る" after an excluded range on every band of a channel, in a project of twenty measurements, as the user
// waits for it: the project file written aside, flushed and renamed, after the histograms the edit wrote are
// flushed to the disk. Timed alone once without and once with a gigabyte of another process's unwritten data on
// the same file system: a flush of the whole file system would write that gigabyte too, a flush of the save's own
// files does not. The edit and the other process's writing are not timed. Then the flush alone of the histograms
// a recalculation of the whole project writes.
//
// Each measurement is a day of two one-third-octave channels at 10 values/s (47 band files each, hard links to
// one series so a warm page cache holds them), every band with 20 excluded ranges and 20 marks. Files stay in
// MURTESK_BENCH_DIR, except the other process's gigabyte, which goes at the end.
#include "calc_day.h"
#include "frmMeasure.h"
#include "frmOctCalc.h"
#include "linked_day.h"

#include "model/level_accumulator.h"
#include "platform/atomic_file.h"

#include "fake_ui.h"

#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace murtesk {
namespace {

namespace fs = std::filesystem;

constexpr int kMeasures = 20;
constexpr int kRangesPerList = 20;
constexpr std::int64_t kOtherBytes = std::int64_t{1} << 30;

struct Bench {
    platform::testing::FakeUi ui;
    fs::path folder = bench::BenchFolder("murtesk-bench-save");
    fs::path other = folder / "other-program.bin";
    std::unique_ptr<frmMeasure> main;
    frmOctCalc calc{ui};
    std::int32_t nextSecond = 100;

    Bench() {
        setenv("MURTESK_HOME", folder.c_str(), 1);
        g_bStartSelect = false;
        main = std::make_unique<frmMeasure>(ui);
        const std::string project = bench::NewProjectDocument(folder, *main);
        const bench::LinkedDaySeries series = bench::WriteLinkedDaySeries(folder);
        // The histograms of an earlier run are named by no project now.
        fs::remove_all(GetLCalcFolder(project));
        fs::create_directories(GetLCalcFolder(project));
        for (int i = 1; i <= kMeasures; ++i) {
            CMeasure& m = bench::AddLinkedDayMeasure(project, 2, series);
            for (const auto& ch : m.ChMeasures) {
                for (const auto& band : ch->BandLCalcInfos) {
                    for (std::int32_t r = 0; r < kRangesPerList; ++r) {
                        const std::int32_t s = 1 + r * 40'000;
                        band->Scopes.Add(CScope(Variant(s), Variant(s + 599)));
                        band->MarkScopes.Add(CScope(Variant(s + 20'000), Variant(s + 20'599)));
                    }
                }
            }
        }
        g_frmOctCalc = &calc;
        ui.Load(*main);
        ui.Load(calc);
        main->m_MeasureIndex = 1;
        main->EditForm();
        g_PreserveDoc().BeginProject();
        main->SaveData();
    }
    ~Bench() {
        g_frmOctCalc = nullptr;
        std::error_code ec;
        fs::remove(other, ec);
    }

    // Opens measurement 1 on the calculation screen and excludes two seconds of every band of channel 1, a little
    // later in the day each time.
    bool Edit() {
        main->ListView1.SelectedIndex = 0;
        main->cmdOK_Click();
        if (!calc.Visible) return false;
        const auto rate = static_cast<std::int32_t>(calc.Shown().channel->ChMeasureCondition.LevelOutHz);
        calc.optMouseAction.Select(0);
        calc.optAreaBand.Select(0);
        calc.DoMouseAction(nextSecond * rate + 1, (nextSecond + 2) * rate);
        nextSecond += 10;
        return ui.Messages().empty();
    }

    // Another process writes kOtherBytes into a new file of the bench's folder and ends without a flush. The file
    // of the iteration before goes first: a file emptied and written again would be flushed at its close.
    bool OtherProgramWrites() const {
        if (::unlink(other.c_str()) != 0 && errno != ENOENT) return false;
        const pid_t child = fork();
        if (child == 0) {
            const int fd = ::open(other.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644);
            std::vector<char> block(1 << 20, 'x');
            for (std::int64_t done = 0; fd >= 0 && done < kOtherBytes; done += static_cast<std::int64_t>(block.size())) {
                if (::write(fd, block.data(), block.size()) != static_cast<ssize_t>(block.size())) _exit(1);
            }
            _exit(fd >= 0 && ::close(fd) == 0 ? 0 : 1);
        }
        int status = 0;
        return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    }
};

Bench* g_bench = nullptr;

// Dirty page cache of the whole machine, in MB (/proc/meminfo).
double DirtyMegabytes() {
    std::ifstream in("/proc/meminfo");
    std::string key;
    double kb = 0;
    while (in >> key) {
        if (key == "Dirty:") {
            in >> kb;
            return kb / 1024.0;
        }
        in.ignore(1 << 10, '\n');
    }
    return 0;
}

void ReturnAfterExclusion(benchmark::State& state, bool otherProgramWrites) {
    Bench& b = *g_bench;
    double dirty = 0;
    for (auto _ : state) {
        state.PauseTiming();
        if (!b.Edit() || (otherProgramWrites && !b.OtherProgramWrites())) {
            state.SkipWithError("the edit or the other process's writing failed");
            break;
        }
        dirty += DirtyMegabytes();
        state.ResumeTiming();
        b.calc.cmdREC_Click();
        if (b.calc.Visible || !b.ui.Messages().empty()) {
            state.SkipWithError("the return to the main screen did not save");
            break;
        }
    }
    state.counters["dirty_MB_before"] = dirty / static_cast<double>(state.iterations());
    std::size_t histograms = 0;
    for ([[maybe_unused]] const auto& entry : fs::directory_iterator(GetLCalcFolder(g_PreserveDoc().SaveFilePath()))) {
        ++histograms;
    }
    state.counters["histogram_files"] = static_cast<double>(histograms);
}

// The flush before the save that follows a recalculation of every measurement: 1,880 new histograms of 9,200
// bytes (twenty measurements of two channels of 47 bands) and their folder; writing them is not timed.
void BM_FlushOf1880Histograms(benchmark::State& state) {
    const fs::path folder = g_bench->folder / "flushed";
    fs::create_directories(folder);
    const std::vector<char> counts(sizeof(std::int32_t) * kHistogramBins, 1);
    std::vector<std::string> names;
    for (int i = 0; i < 1880; ++i) names.push_back(std::to_string(i) + ".ldt");
    for (auto _ : state) {
        state.PauseTiming();
        for (const std::string& name : names) {
            if (!platform::ReplaceFile((folder / name).string(),
                                       [&](platform::BinaryFile& file) { return file.Write(counts.data(), counts.size()); },
                                       platform::Durability::kRenamed)) {
                state.SkipWithError("a histogram could not be written");
                break;
            }
        }
        state.ResumeTiming();
        if (!platform::SyncToDisk(folder.string(), names)) {
            state.SkipWithError("the flush failed");
            break;
        }
    }
    fs::remove_all(folder);
}

void BM_ReturnAfterExclusion20Measures(benchmark::State& state) { ReturnAfterExclusion(state, false); }
void BM_ReturnAfterExclusion20MeasuresOtherGigabyteUnwritten(benchmark::State& state) {
    ReturnAfterExclusion(state, true);
}

// One return a repetition, so that the median of the thirty-one is reported.
BENCHMARK(BM_ReturnAfterExclusion20Measures)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(31)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_ReturnAfterExclusion20MeasuresOtherGigabyteUnwritten)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(31)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_FlushOf1880Histograms)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(9)->ReportAggregatesOnly(true);

}  // namespace
}  // namespace murtesk

int main(int argc, char** argv) { return murtesk::bench::RunBenchmarks(argc, argv, murtesk::g_bench); }
