// Resampling a whole level series to another rate and writing it as text.
#pragma once

#include <cstdint>

namespace murtesk::analysis {

// Resamples `count` values from inRate to outRate (mode 1: linear interpolation; any other mode: the doubling
// resampler, which uses the four-point kernel unless outRate is exactly twice inRate) and writes every output
// value as one line of the text file at `path`: fixed-point with six decimals, '.' as the decimal point, CR LF
// line ends. Returns 1 when the whole file was written, else 0. Refused without touching the file: a null
// path or series, count below 1, a rate not above 0 or not finite, count * outRate / inRate of 2^31 - 1 or
// more, a value that is not finite or of a magnitude above 1e9 (chg_hz.cpp says why). The text is written
// beside `path` and renamed over it when complete: a file that cannot be created or a write error leaves an
// existing file as it was.
int32_t ChgHz(const char* path, const double* values, int32_t count, double inRate, double outRate, int32_t mode);

}  // namespace murtesk::analysis
