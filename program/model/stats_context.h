// What the statistics engine needs of the running program: the project file (its folder holds
// the "LCalc" folder of level histograms), the clock (histogram file names carry the time) and
// the running number in those names. The program makes one; tests make their own over a scratch
// folder and a fixed clock.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "model/record_stream.h"

namespace murtesk {

class StatsContext {
public:
    StatsContext(std::function<std::string()> projectFilePath, std::function<Date()> now)
        : projectFilePath_(std::move(projectFilePath)), now_(std::move(now)) {}

    // Full path of the project file now open.
    std::string ProjectFilePath() const { return projectFilePath_(); }
    // The folder of the level histograms of that project.
    std::string LCalcFolder() const;
    Date Now() const { return now_(); }

    // A fresh histogram file name, "yy-m-d-h_n_s_<number>.ldt" from the clock and the running
    // number, which then moves on (back to 0 after 1,999,999,999). User-interface thread only:
    // work spread over threads takes its names before it starts.
    std::string NewLdtFileName();

    // The running number of histogram file names; 0 at start-up.
    std::int32_t g_LdtFileNo = 0;

private:
    std::function<std::string()> projectFilePath_;
    std::function<Date()> now_;
};

}  // namespace murtesk
