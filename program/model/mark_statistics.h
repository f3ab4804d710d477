// The statistics of one band slot over a mark range, as the band result windows and the
// calculation screen's mark-range outputs compute them: the slot's list of positions, and a pair
// of statistics objects over it, the range statistics (with the exposure level LE) and the upper
// statistics of the values at or above Lmax - 10 dB; the level of a slot at the moment another
// slot reaches its maximum.
//
// Each pair writes its own histogram files; pairs computed on several threads have taken their
// file names on the calling thread when they were made, and the histogram folder is read there.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "model/band_lcalc_info.h"
#include "model/level_calc.h"
#include "model/level_data.h"
#include "model/scopes.h"

namespace murtesk {

// The upper statistics take the values within this many dB of the maximum, the limit included.
inline constexpr double kUpperSpanDb = 10.0;

// The positions of slot `slot` within S..E: with excludeOwn, the parts that none of the slot's
// excluded ranges covers (empty when they cover it all), else S..E whole. A slot the list lacks,
// and a reversed range (S above E), give an empty list, without a message.
CScopes SlotRangeList(const CBandLCalcInfos& infos, std::int16_t slot, std::int32_t S, std::int32_t E,
                      bool excludeOwn);

// One slot's pair of statistics over its list of positions. Everything pointed to outlives the
// computation and is touched by no one else meanwhile.
//
// The values are read once when the list holds at most sliceLength positions (both statistics
// and LE then come from that one read), else twice, slice by slice, so that memory stays at one
// slice whatever the length. The results are those of resetNew and resetNewMaxMinusNArea (with
// 10 dB) of the two objects, and of getLE over the values. The histogram files are scratch files
// of the object's own name, written in place (a pair is computed again rather than recovered).
struct SlotPair {
    CLCalc* Range = nullptr;  // gets LE too
    CLCalc* Upper = nullptr;
    const CScopes* Ranges = nullptr;
    const CData* LevelData = nullptr;
    std::string SaveDir;      // folder of the slot's level file
    double LevelOutHz = 0.0;
    bool Saved = false;       // both histograms were written
    LevelHistogram Histogram{};  // the range statistics' histogram, as written
};

// Computes one pair with its histograms in LCalcFolder. False when a histogram could not be
// written (or memory ran out); both objects then count nothing.
bool ComputeSlotPair(const std::string& LCalcFolder, SlotPair& pair, std::int32_t sliceLength = kStatsSliceLength);
// Computes every pair on up to `threads` threads (0: one per core); the histogram folder is read
// from the first pair's objects on the calling thread. True when every pair was saved.
bool ComputeSlotPairs(std::span<SlotPair> pairs, unsigned threads = 0, std::int32_t sliceLength = kStatsSliceLength);

// True when the statistics counted no value (the end of their Scope is below 1).
bool CountedNothing(const CLCalc& calc);
// The absolute position of the maximum, or -1 when nothing was counted.
std::int32_t MaximumPosition(const CLCalc& calc);

// The level of `slot` at position pos of the moment, moved later by the slot's filter delay when
// `delayed`: none when pos is below 1 or the slot's file holds no value there.
std::optional<float> LevelAtMoment(const CData& LevelData, const std::string& SaveDir, std::int16_t oct1or3,
                                   std::int16_t slot, std::int32_t pos, double LevelOutHz, bool delayed);

}  // namespace murtesk
