// Laying the ranges of a range file onto a band of the shown measurement: the file keeps the start
// date and time and the seconds per position of the measurement it was saved from, so its ranges
// move by the difference of the two starts and scale by the ratio of the two steps.
#pragma once

#include "model/scopes.h"

#include <cstdint>
#include <optional>

namespace murtesk {

// The file's ranges in positions of a band of n values of a measurement that starts at `start` with
// `rate` values per second: S' = nearest(S × rate × filePeriod) + nearest(rate × d), the same for E,
// with d the whole seconds from `start` to fileStart and halves going to the even neighbour. A
// range wholly outside 1..n is dropped, one that straddles an end is cut there; the work is done in
// double precision and only clipped positions are narrowed to 32 bits. Nothing when the step is not
// a positive number or an end is not a number.
std::optional<CScopes> MapFileRanges(const CScopes& file, Date fileStart, double filePeriod, Date start, double rate,
                                     std::int32_t n);

}  // namespace murtesk
