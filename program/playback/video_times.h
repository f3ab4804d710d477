// Video positions as the observation window shows them: seconds with a fixed number of decimals, and the date of
// a position after the measurement's start, taken to the nearest whole second (halves up).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace murtesk::playback {

// The start plus the position's whole seconds (ms rounded to the nearest second, halves up), in `pattern`.
std::string PositionDate(double start, std::int64_t ms, std::string_view pattern);
// The position in seconds in a fixed format ("0", "0.0").
std::string PositionSeconds(std::int64_t ms, std::string_view pattern);

}  // namespace murtesk::playback
