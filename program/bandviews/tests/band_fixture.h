// A channel of band levels for the band window tests: small level files written value by value in a
// temporary project, one mark, and the hand-over set as the calculation screen sets it.
#pragma once

#include "globals.h"
#include "model/ch_measure.h"
#include "model/shared_procedures.h"
#include "model/testing/level_oracle.h"
#include "platform/dates.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <unistd.h>

namespace murtesk::testing {

inline constexpr double kRate = 10.0;
inline constexpr std::int32_t kS = 101;
inline constexpr std::int32_t kE = 250;
inline constexpr std::int16_t kShown = 5;

inline std::string Fixed(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", v);
    return text;
}

class BandChannel {
public:
    // A channel of the band mode with A weighting: F varied, W 61.26 throughout, the highest band
    // -59.96, the next -60, the lowest band varied; no file for the other bands. The mark, kS..kE,
    // lies in slot kShown.
    explicit BandChannel(std::int16_t oct1or3)
        : context_([this] { return (folder_ / "p.qvd").string(); },
                   [] { return platform::DateFromParts(2024, 1, 2, 3, 4, 5); }),
          channel_(std::make_shared<CChMeasure>(context_)),
          n_(oct1or3 == 3 ? 47 : 17) {
        channel_->ChMeasureCondition.oct1or3 = oct1or3;
        channel_->ChMeasureCondition.LevelOutHz = kRate;
        channel_->ChMeasureCondition.w = 3;
        channel_->LevelData.SaveFileName = "t1ch.lvl";
        levels_ = {{1, [](std::int64_t p) { return 50.0f + static_cast<float>(p * 37 % 101) / 10; }},
                   {2, [](std::int64_t) { return 61.26f; }},
                   {3, [](std::int64_t) { return -59.96f; }},
                   {4, [](std::int64_t) { return -60.0f; }},
                   {n_, [](std::int64_t p) { return 40.0f + static_cast<float>(p * 53 % 97) / 10; }}};
        for (int j = 0; j < n_; ++j) channel_->BandLCalcInfos.AddNew();
        for (const auto& [slot, level] : levels_) {
            const std::string dir = GetBandFolder(context_.ProjectFilePath(), oct1or3, slot);
            std::filesystem::create_directories(dir);
            std::ofstream out(*channel_->LevelData.PathIn(dir), std::ios::binary);
            for (std::int64_t p = 1; p <= 300; ++p) {
                const float v = level(p);
                out.write(reinterpret_cast<const char*>(&v), sizeof v);
            }
        }
        channel_->BandLCalcInfos.Item(kShown).MarkScopes.SimpleAdd(std::make_shared<CScope>(Variant(kS), Variant(kE)));
        g_ChMeasure = channel_;
        g_BandIndex = kShown;
        g_SelectNo = 1;
        g_CalcAreaInfluence = 0;
    }
    ~BandChannel() {
        g_ChMeasure.reset();
    }

    // The plain statistics of a slot over the mark.
    OracleStats Expected(std::int16_t slot) const {
        std::vector<std::pair<std::int64_t, float>> values;
        if (const auto it = levels_.find(slot); it != levels_.end())
            for (std::int64_t p = kS; p <= kE; ++p) values.emplace_back(p, it->second(p));
        return Oracle(values, kRate);
    }

    std::size_t HistogramFiles() const {
        std::size_t count = 0;
        if (std::filesystem::exists(context_.LCalcFolder()))
            for (const auto& e : std::filesystem::directory_iterator(context_.LCalcFolder()))
                count += e.path().extension() == ".ldt";
        return count;
    }

    test_support::ScratchFolder scratch_{"bandwin"};
    std::filesystem::path folder_ = scratch_.path();
    StatsContext context_;
    std::shared_ptr<CChMeasure> channel_;
    std::int16_t n_;
    std::map<std::int16_t, std::function<float(std::int64_t)>> levels_;
};

}  // namespace murtesk::testing
