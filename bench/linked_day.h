// The day measurement of the calculation screen's command benchmarks: eight 10 values/s channels and a 1 kHz one
// over the day of calc_day.h, their band files hard links to two shared series.
#pragma once

#include "calc_day.h"
#include "time_window.h"

#include <filesystem>
#include <string>

namespace murtesk::bench {

// The two series the measurement's band files link to: the day at 10 and at 1,000 values/s.
struct LinkedDaySeries {
    std::string tenHz, oneKHz;
};

// Writes the two series into `folder`.
inline LinkedDaySeries WriteLinkedDaySeries(const std::filesystem::path& folder) {
    LinkedDaySeries series{(folder / "day_10hz.lvl").string(), (folder / "day_1khz.lvl").string()};
    WriteSeries(series.tenHz, kDaySeconds * 10, 10.0);
    WriteSeries(series.oneKHz, kDaySeconds * 1000, 1000.0);
    return series;
}

// Adds a measurement of the day to the open document, whose project file is `project`: channels 1 to `channels`
// of one-third octaves with 47 band records each, their charts on the day's second hour; channels 1 to 8 at 10
// values/s, every band file a hard link to the 10 values/s series, and a ninth at 1,000 values/s whose W band alone
// has a file, a hard link to the 1,000 values/s series.
inline CMeasure& AddLinkedDayMeasure(const std::string& project, int channels, const LinkedDaySeries& series) {
    CMeasure& m = static_cast<PreserveDocument&>(g_PreserveDoc()).Preserve().Measures.AddNew();
    m.StartTime = kDayStart;
    m.EndTime = platform::AddSeconds(kDayStart, static_cast<double>(kDaySeconds));
    for (int c = 1; c <= channels; ++c) {
        const double rate = c == 9 ? 1000.0 : 10.0;
        CChMeasure& ch = m.ChMeasures.AddNew();
        ch.ChMeasureCondition.oct1or3 = 3;
        ch.ChMeasureCondition.LevelOutHz = rate;
        ch.LevelData.SaveFileName = "ch" + std::to_string(c) + ".lvl";
        SetWindow(ch.CalcXYAxis, platform::AddSeconds(kDayStart, 3600.0), 60);
        for (std::int16_t s = 1; s <= 47; ++s) {
            ch.BandLCalcInfos.AddNew();
            const std::string bandFolder = GetBandFolder(project, 3, s);
            std::filesystem::create_directories(bandFolder);
            const std::string path = *ch.LevelData.PathIn(bandFolder);
            if ((c < 9 || s == 2) && !std::filesystem::exists(path)) {
                std::filesystem::create_hard_link(c < 9 ? series.tenHz : series.oneKHz, path);
            }
        }
    }
    return m;
}

}  // namespace murtesk::bench
