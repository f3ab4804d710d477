// The partitioned statistics outputs of both screens: a series cut into consecutive pieces of a
// number of minutes, and the block of one channel over one piece (the header and one row per slot,
// with LFmax and LWmax at the F and W maxima inside the piece). The statistics of a piece are
// computed in memory from the level files (no histogram file is written), the slots of a block on
// the cores of an optional pool; the text is the same on any number of threads.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "model/level_data.h"
#include "model/scopes.h"

namespace murtesk {

namespace platform {
class TextOutput;
}
class CChMeasure;
class CorePool;

// Pieces of `minutes` of a series of `total` values at `rate` values per second: each holds
// minutes x 60 x rate values (rounded half to even), the last the remainder. None for a total
// below 1 or a rate that gives no whole value per piece.
CScopes PartitionPieces(std::int32_t minutes, double rate, std::int64_t total);

// How a block ended: written whole, stopped because `proceed` answered false, or failed for want
// of memory.
enum class BlockEnd { Written, Stopped, Failed };

// Asked whether a block goes on, with the share (0 to 1) of the values its statistics read so far.
using BlockProceed = std::function<bool(double share)>;

// Writes the header (with the channel's Lx column) and the rows of `slots` of `channel` over the
// positions S..E: each slot's values inside S..E, less the slot's excluded ranges when `exclusion`
// is set. A slot the channel keeps no record of gives its name alone.
//
// Without a pool the statistics are counted on the calling thread, which `proceed` is asked after
// every slice of sliceLength values (so a block of a day stops within a slice of its Cancel) and
// before each row (share 1). With a pool they are counted on its cores and `proceed` is asked
// before each row only.
BlockEnd WritePartitionBlock(platform::TextOutput& out, const CChMeasure& channel, const std::string& projectPath,
                             const std::string& weightingName, std::int32_t S, std::int32_t E, bool exclusion,
                             const std::vector<std::int16_t>& slots, const BlockProceed& proceed,
                             CorePool* pool = nullptr, std::int32_t sliceLength = kStatsSliceLength);

}  // namespace murtesk
