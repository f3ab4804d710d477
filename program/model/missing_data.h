// What a measurement lacks of the files beside its project: band level files, and histogram files of
// statistics that counted values (deleted by another program, or never written). The screens name
// them to the user as one line per measurement, the bands of each analysed channel after its number:
// "　1ch Ｆ特性, 8kHz　2ch 全バンド".
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace murtesk {

class CMeasure;
class CMeasures;

// The first line of the memo of a measurement made by the combined calculation.
inline constexpr const char* kCombinedMeasureMemo = "<<複数測定組合せ計算結果>>";
// True for a measurement made by the combined calculation: its channels have no level files.
bool IsCombinedMeasure(const CMeasure& m);

enum class MissingData {
    kLevels,      // the level file of a band whose series was counted (its whole-series statistics);
                  // none for a combined measurement, which has none by design
    kStatistics,  // the histogram file of the band's statistics of its calculation target
};

// The channels and bands of measurement `m` (its level files beside the project file projectPath)
// that lack `what`, as above; empty when none does.
std::string MissingBandsText(const CMeasure& m, const std::string& projectPath, MissingData what);
// The line of measurement number `index` in a message: "No.2 rec2.wav" and `bands`.
std::string MissingMeasureLine(std::int32_t index, const CMeasure& m, const std::string& bands);
// The lines of the measurements (numbered from 1; those `counted` answers true for, all when it is
// empty) that lack `what`, each after "\r\n": at most 20, then "ほか N 測定" for the others. Empty
// when none lacks it.
std::string MissingMeasureLines(const CMeasures& measures, const std::string& projectPath, MissingData what,
                                const std::function<bool(std::int32_t)>& counted = {});

}  // namespace murtesk
