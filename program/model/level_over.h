// The level-over ranges of a band: the maximal runs of consecutive positions of its level series
// whose level is at or above a threshold, in increasing order and disjoint. The calculation
// screen draws them in orange; the main screen's job sets them on every measurement.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "model/level_data.h"
#include "model/scopes.h"

namespace murtesk {

// Reads positions 1..count of the series in SaveDir in chunks of chunkLength values (so memory
// stays bounded by one chunk), calling beforeChunk before each read; false from beforeChunk stops
// the search, which then gives nothing. A run that crosses a chunk boundary stays one range. A
// read that delivers nothing ends the series there: a run still open ends at the last value read.
// A level is compared as an 8-byte float; a value that is not a number is below every threshold.
std::optional<CScopes> FindLevelOverScopes(const CData& LevelData, const std::string& SaveDir, std::int32_t count,
                                           double threshold, std::int32_t chunkLength,
                                           const std::function<bool()>& beforeChunk);

}  // namespace murtesk
