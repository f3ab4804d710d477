#include "model/missing_data.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "model/band_rows.h"
#include "model/band_slots.h"
#include "model/measure.h"
#include "model/shared_procedures.h"

namespace murtesk {

bool IsCombinedMeasure(const CMeasure& m) {
    return m.ChMeasures.count() > 0 &&
           m.ChMeasures.Item(1).ChMeasureCondition.Account.starts_with(kCombinedMeasureMemo);
}

std::string MissingBandsText(const CMeasure& m, const std::string& projectPath, MissingData what) {
    if (what == MissingData::kLevels && IsCombinedMeasure(m)) {
        return {};
    }
    std::string text;
    for (std::int32_t c = 1; c <= AnalysedChannelCount(m); ++c) {
        const CChMeasure& channel = m.ChMeasures.Item(c);
        const std::int16_t mode = channel.ChMeasureCondition.oct1or3;
        // The slots of the band list (an old project's may be shorter).
        const std::int16_t slots =
            static_cast<std::int16_t>(std::min<std::int32_t>(SlotCount(mode), channel.BandLCalcInfos.count()));
        std::vector<std::string_view> names;
        for (std::int16_t k = 1; k <= slots; ++k) {
            const CBandLCalcInfo& band = channel.BandLCalcInfos.Item(k);
            // A level file is missing where the band's series was counted once.
            const bool missing = what == MissingData::kLevels
                                     ? band.AllLCalc.Counted() &&
                                           channel.LevelData.Absent(GetBandFolder(projectPath, mode, k))
                                     : band.LCalc.HistogramMissing();
            if (missing) {
                names.push_back(GetBandName(mode, k));
            }
        }
        if (names.empty()) {
            continue;
        }
        text += "　" + std::to_string(c) + "ch ";
        if (names.size() == static_cast<std::size_t>(SlotCount(mode))) {
            text += "全バンド";
        } else {
            for (std::size_t n = 0; n < names.size(); ++n) {
                text += (n == 0 ? "" : ", ") + std::string(names[n]);
            }
        }
    }
    return text;
}

std::string MissingMeasureLine(std::int32_t index, const CMeasure& m, const std::string& bands) {
    const std::string name = GetFileName(m.MeasureCondition.Account);
    return "No." + std::to_string(index) + (name.empty() ? "" : " " + name) + bands;
}

std::string MissingMeasureLines(const CMeasures& measures, const std::string& projectPath, MissingData what,
                                const std::function<bool(std::int32_t)>& counted) {
    constexpr std::int32_t kMostLines = 20;
    std::string text;
    std::int32_t lines = 0;
    for (std::int32_t i = 1; i <= measures.count(); ++i) {
        if (counted && !counted(i)) {
            continue;
        }
        const CMeasure& m = measures.Item(i);
        const std::string bands = MissingBandsText(m, projectPath, what);
        if (bands.empty()) {
            continue;
        }
        if (++lines <= kMostLines) {
            text += "\r\n" + MissingMeasureLine(i, m, bands);
        }
    }
    if (lines > kMostLines) {
        text += "\r\nほか " + std::to_string(lines - kMostLines) + " 測定";
    }
    return text;
}

}  // namespace murtesk
