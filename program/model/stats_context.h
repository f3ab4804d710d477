// What the statistics engine needs of the running program: the project file (its folder holds
// the "LCalc" folder of level histograms), the clock (histogram file names carry the time), the
// running number in those names, and the histogram files of the open project between its saves.
// The program makes one; tests make their own over a scratch folder and a fixed clock.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "model/histogram_files.h"
#include "model/record_stream.h"

namespace murtesk {

class StatsContext {
public:
    StatsContext(std::function<std::string()> projectFilePath, std::function<Date()> now)
        : projectFilePath_(std::move(projectFilePath)),
          now_(std::move(now)),
          histograms_([this] { return NewLdtFileName(); }) {}
    StatsContext(const StatsContext&) = delete;
    StatsContext& operator=(const StatsContext&) = delete;

    // Full path of the project file now open.
    std::string ProjectFilePath() const { return projectFilePath_(); }
    // The folder of the level histograms of that project: its "LCalc" folder, or for a project opened
    // without saving the folder of this run's own that holds copies of them (histogram_files.h).
    std::string LCalcFolder() const;
    Date Now() const { return now_(); }

    // A fresh histogram file name, "yy-m-d-h_n_s_<number>.ldt" from the clock and the running
    // number, which then moves on (back to 0 after 1,999,999,999). Any thread.
    std::string NewLdtFileName();

    // The histogram files of the open project (histogram_files.h).
    HistogramFiles& Histograms() { return histograms_; }

    // The running number of histogram file names; 0 at start-up. Set it while no statistics are
    // being computed.
    std::int32_t g_LdtFileNo = 0;

private:
    std::function<std::string()> projectFilePath_;
    std::function<Date()> now_;
    std::mutex nameMutex_;
    HistogramFiles histograms_;
};

}  // namespace murtesk
