// Recomputing the statistics of many bands at once (all bands of a channel after its ranges
// changed), spread over the processor's cores. Each band reads its own level file and writes
// its own histogram file; the histogram folder is read on the calling thread first, and every
// statistics object already holds its histogram file name (names are only ever taken on the
// user-interface thread, when an object is created).
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "model/level_calc.h"

namespace murtesk {

struct BandRecalc {
    CLCalc* LCalc = nullptr;           // the statistics to recompute
    const CScopes* CalcScopes = nullptr;
    const CData* LevelData = nullptr;
    std::string SaveDir;               // folder of the band's level file
    bool Saved = false;                // result of the band's resetNew
};

// Runs resetNew for every band, on up to `threads` threads (0: one per core). Returns when all
// are done; true when every histogram was saved. The bands must not share a statistics object.
bool ResetNewBands(std::span<BandRecalc> bands, unsigned threads = 0,
                   std::int32_t sliceLength = kStatsSliceLength);

}  // namespace murtesk
