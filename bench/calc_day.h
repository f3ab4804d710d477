// What the calculation screen's benchmarks share: a generated day of levels on disk, written once
// and kept for later runs, and a main screen that saves nothing.
#pragma once

#include "globals.h"
#include "preserve_document.h"
#include "screens.h"

#include "model/shared_procedures.h"
#include "platform/dates.h"

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace murtesk::bench {

inline constexpr std::int64_t kDaySeconds = 86400;

class QuietMain : public MainScreen {
public:
    explicit QuietMain(platform::UiServices& ui) : MainScreen(ui, "frmMeasure") {}
    bool SaveData() override { return true; }
    void EditForm() override {}
    platform::ListView& MeasureList() override { return list; }
    platform::ListView list;
};

// CPU seconds of every thread of the process so far.
inline double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto seconds = [](const timeval& t) {
        return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
    };
    return seconds(usage.ru_utime) + seconds(usage.ru_stime);
}

// The folder of a benchmark's files: MURTESK_BENCH_DIR (default: the temporary folder) / name.
inline std::filesystem::path BenchFolder(const std::string& name) {
    const char* dir = std::getenv("MURTESK_BENCH_DIR");
    const std::filesystem::path folder =
        std::filesystem::path(dir != nullptr ? dir : std::filesystem::temp_directory_path().string()) / name;
    std::filesystem::create_directories(folder);
    return folder;
}

// A level series that moves like traffic noise: a slow swell, a faster ripple and a little noise;
// written only when the file is missing or of another length.
inline void WriteSeries(const std::string& path, std::int64_t n, double rate) {
    namespace fs = std::filesystem;
    if (fs::exists(path) && static_cast<std::int64_t>(fs::file_size(path)) == n * 4) {
        return;
    }
    std::ofstream out(path, std::ios::binary);
    std::vector<float> block(1 << 20);
    std::uint64_t state = 12345;
    for (std::int64_t done = 0; done < n;) {
        const std::int64_t count = std::min<std::int64_t>(static_cast<std::int64_t>(block.size()), n - done);
        for (std::int64_t i = 0; i < count; ++i) {
            const double t = static_cast<double>(done + i) / rate;
            state = state * 6364136223846793005ull + 1442695040888963407ull;
            const double noise = static_cast<double>(state >> 40) / static_cast<double>(1ull << 24) - 0.5;
            block[static_cast<std::size_t>(i)] =
                static_cast<float>(60.0 + 12.0 * std::sin(t / 900.0) + 6.0 * std::sin(t / 7.0) + 2.0 * noise);
        }
        out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(count * 4));
        done += count;
    }
}

// Makes the open document a new, empty project "project.qvd" in `folder` under `main`; returns its path.
inline std::string NewProjectDocument(const std::filesystem::path& folder, MainScreen& main) {
    g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
    g_ResetPreserve();
    const std::string project = (folder / "project.qvd").string();
    g_PreserveDoc().SetSaveFilePath(project);
    g_frmMeasure = &main;
    return project;
}

inline const Date kDayStart = platform::DateFromParts(2024, 6, 1, 0, 0, 0);

// Makes the open document a project in `folder` holding one measurement of a day from kDayStart
// with two one-third-octave channels of 47 band records, at 10 and 1,000 values/s; the main
// screen stands in for the real one. write(rate, slot, path) puts the band files it wants there.
template <class Write>
CMeasure& MakeDayProject(const std::filesystem::path& folder, MainScreen& main, const Write& write) {
    const std::string project = NewProjectDocument(folder, main);
    CMeasure& m = static_cast<PreserveDocument&>(g_PreserveDoc()).Preserve().Measures.AddNew();
    m.StartTime = kDayStart;
    m.EndTime = platform::AddSeconds(kDayStart, static_cast<double>(kDaySeconds));
    for (const double rate : {10.0, 1000.0}) {
        CChMeasure& ch = m.ChMeasures.AddNew();
        ch.ChMeasureCondition.oct1or3 = 3;
        ch.ChMeasureCondition.LevelOutHz = rate;
        ch.LevelData.SaveFileName = rate == 10.0 ? "day_10hz.lvl" : "day_1khz.lvl";
        for (std::int16_t s = 1; s <= 47; ++s) {
            ch.BandLCalcInfos.AddNew();
            const std::string bandFolder = GetBandFolder(project, 3, s);
            std::filesystem::create_directories(bandFolder);
            write(rate, s, *ch.LevelData.PathIn(bandFolder));
        }
    }
    return m;
}

// The day of MakeDayProject with the 10 values/s bands in files of their own and the 1 kHz bands as
// hard links to one file "day_1khz.lvl", so that a warm page cache holds the whole 1 kHz channel.
inline auto LinkedDayFiles(const std::filesystem::path& folder) {
    return [folder](double rate, std::int16_t, const std::string& path) {
        const auto n = static_cast<std::int64_t>(kDaySeconds * rate);
        const std::string shared = (folder / "day_1khz.lvl").string();
        if (rate == 10.0) {
            WriteSeries(path, n, rate);
        } else if (!std::filesystem::exists(path)) {
            WriteSeries(shared, n, rate);
            std::filesystem::create_hard_link(shared, path);
        }
    };
}

// Runs the benchmarks of a program over one Bench, made before the first and reached through `global`;
// the main screen it set up is let go after the last.
template <class Bench>
int RunBenchmarks(int argc, char** argv, Bench*& global) {
    Bench bench;
    global = &bench;
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    global = nullptr;
    g_frmMeasure = nullptr;
    return 0;
}

}  // namespace murtesk::bench
