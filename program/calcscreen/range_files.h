// Laying the ranges of a range file onto a band of the shown measurement: the file keeps the start
// date and time and the seconds per position of the measurement it was saved from, so its ranges
// move by the difference of the two starts and scale by the ratio of the two steps.
#pragma once

#include "model/scopes.h"

#include <cstdint>
#include <optional>

namespace murtesk {

// The file's ranges in positions of a band of n values of a measurement that starts at `start` with
// `rate` values per second, each range keeping its time: with f = rate × filePeriod and d the whole
// seconds from `start` to fileStart, S' = nearest((S - 1) × f) + 1 + nearest(rate × d) and
// E' = nearest(E × f) + nearest(rate × d), halves going to the even neighbour; a range shorter than
// one step of the band keeps the step its start falls in (E' = S'). A range wholly outside 1..n is
// dropped, one that straddles an end is cut there; the work is done in double precision and only
// clipped positions are narrowed to 32 bits. Nothing when the step is not a positive number or an
// end is not a number.
std::optional<CScopes> MapFileRanges(const CScopes& file, Date fileStart, double filePeriod, Date start, double rate,
                                     std::int32_t n);

}  // namespace murtesk
