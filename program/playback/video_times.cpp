#include "playback/video_times.h"

#include "platform/dates.h"
#include "platform/numbers.h"

namespace murtesk::playback {

std::string PositionDate(double start, std::int64_t ms, std::string_view pattern) {
    // Floor division: halves go up for negative positions too.
    std::int64_t seconds = (ms + 500) / 1000;
    if ((ms + 500) % 1000 < 0) --seconds;
    return platform::FormatDate(platform::AddSeconds(start, static_cast<double>(seconds)), pattern);
}

std::string PositionSeconds(std::int64_t ms, std::string_view pattern) {
    return platform::FormatNumber(static_cast<double>(ms) / 1000.0, pattern);
}

}  // namespace murtesk::playback
