// Project file: writing and reading a whole document in memory. A large project: 100 measurements,
// each with an octave and a one-third-octave channel (64 band records with ranges and statistics).
// Also what a save adds on disk to tell another program's change: the stamp of the file as written
// (its bytes read back and hashed) and the comparison before the next save.
#include <benchmark/benchmark.h>

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "model/preserve.h"
#include "platform/own_folder.h"
#include "platform/project_lock.h"

namespace {

murtesk::StatsContext& Context() {
    static murtesk::StatsContext context([] { return std::string("/nonexistent/p.qvd"); }, [] { return 45356.5; });
    return context;
}

murtesk::CPreserve LargeDocument(int measures) {
    murtesk::CPreserve doc(Context());
    for (int n = 0; n < measures; ++n) {
        murtesk::CMeasure& m = doc.Measures.AddNew();
        m.MeasureCondition.Account = "測定のメモ";
        for (std::int16_t mode : {std::int16_t{1}, std::int16_t{3}}) {
            murtesk::CChMeasure& ch = m.ChMeasures.AddNew();
            ch.ChMeasureCondition.oct1or3 = mode;
            ch.LevelData.SaveFileName = "24-3-5-7_8_9ch1.lvl";
            for (int k = 1; k <= (mode == 1 ? 17 : 47); ++k) {
                murtesk::CBandLCalcInfo& band = ch.BandLCalcInfos.AddNew();
                band.MarkScopes.Add(murtesk::CScope(std::int32_t{10}, std::int32_t{20 + k}));
                band.Scopes.Add(murtesk::CScope(std::int32_t{1}, std::int32_t{5}));
            }
        }
    }
    return doc;
}

std::string Written(const murtesk::CPreserve& doc) {
    murtesk::BinaryFile file = murtesk::BinaryFile::InMemory();
    doc.MeWrite(file);
    return file.Bytes();
}

void BM_WriteProject(benchmark::State& state) {
    const murtesk::CPreserve doc = LargeDocument(static_cast<int>(state.range(0)));
    std::size_t bytes = 0;
    for (auto _ : state) {
        murtesk::BinaryFile file = murtesk::BinaryFile::InMemory();
        benchmark::DoNotOptimize(doc.MeWrite(file));
        bytes = file.Bytes().size();
    }
    state.counters["file_bytes"] = static_cast<double>(bytes);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}
BENCHMARK(BM_WriteProject)->Arg(100)->Unit(benchmark::kMillisecond);

void BM_ReadProject(benchmark::State& state) {
    const std::string bytes = Written(LargeDocument(static_cast<int>(state.range(0))));
    for (auto _ : state) {
        murtesk::CPreserve doc(Context());
        murtesk::BinaryFile file = murtesk::BinaryFile::FromBytes(bytes);
        benchmark::DoNotOptimize(doc.MeRead(file));
    }
    state.counters["file_bytes"] = static_cast<double>(bytes.size());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReadProject)->Arg(100)->Unit(benchmark::kMillisecond);

// The large project's file in a folder of its own under $TMPDIR (else /tmp), removed at the end.
class ProjectOnDisk {
public:
    explicit ProjectOnDisk(int measures) {
        const char* tmp = std::getenv("TMPDIR");
        std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/murtesk-bench-XXXXXX";
        if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp");
        folder_ = pattern;
        path_ = folder_ + "/p.qvd";
        std::ofstream(path_, std::ios::binary) << Written(LargeDocument(measures));
    }
    ~ProjectOnDisk() {
        std::error_code ec;
        std::filesystem::remove_all(folder_, ec);
    }
    const std::string& path() const { return path_; }

private:
    std::string folder_;
    std::string path_;
};

// After a save: the stamp of the file just written (one read of its bytes, from the page cache).
void BM_StampProject(benchmark::State& state) {
    const ProjectOnDisk project(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(murtesk::platform::StampOf(project.path()));
    }
}
BENCHMARK(BM_StampProject)->Arg(100)->Unit(benchmark::kMillisecond);

// Before a save: the file as stamped (times equal, no read), and after a touch (the bytes read again).
void BM_UnchangedProject(benchmark::State& state) {
    const ProjectOnDisk project(100);
    const std::optional<murtesk::platform::FileStamp> stamp = murtesk::platform::StampOf(project.path());
    if (state.range(0) == 1 && ::utimensat(AT_FDCWD, project.path().c_str(), nullptr, 0) != 0) {
        state.SkipWithError("utimensat");
    }
    for (auto _ : state) {
        benchmark::DoNotOptimize(murtesk::platform::Unchanged(*stamp, project.path()));
    }
}
BENCHMARK(BM_UnchangedProject)->Arg(0)->Arg(1)->ArgName("touched")->Unit(benchmark::kMicrosecond);

// Opening a project without saving: the histograms its file names (2 per band record, 9,200 bytes
// each) copied into a folder of the run's own, from the page cache; the folder goes again between
// iterations, untimed. The project in a folder of its own under $TMPDIR, the run's folder where the
// program makes it ($XDG_RUNTIME_DIR, else the temporary folder).
void BM_OpenWithoutSaving(benchmark::State& state) {
    const ProjectOnDisk project(static_cast<int>(state.range(0)));
    murtesk::StatsContext context([&] { return project.path(); }, [] { return 45356.5; });
    murtesk::CPreserve doc(context);
    for (int n = 0; n < state.range(0); ++n) {
        murtesk::CMeasure& m = doc.Measures.AddNew();
        for (int k = 0; k < 2 * (17 + 47); ++k) {
            murtesk::CBandLCalcInfo& band = m.ChMeasures.AddNew().BandLCalcInfos.AddNew();
            (void)band;
        }
    }
    const std::vector<std::string> names = doc.HistogramFileNames();
    std::filesystem::create_directories(doc.LCalcFolder());
    const std::string counts(sizeof(murtesk::LevelHistogram), '\1');
    for (const std::string& name : names) std::ofstream(doc.LCalcFolder() + "/" + name, std::ios::binary) << counts;
    for (auto _ : state) {
        context.Histograms().BeginProjectWithoutSaving(doc.LCalcFolder(), names, murtesk::platform::OwnFolder::Make());
        state.PauseTiming();
        context.Histograms().EndProject();
        state.ResumeTiming();
    }
    state.counters["histograms"] = static_cast<double>(names.size());
}
BENCHMARK(BM_OpenWithoutSaving)->Arg(20)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
