// The analysis library's WAV functions as the screens call them: probing a recording, cutting a span
// of one channel into a mono file, merging mono files into one, and resampling a level series to
// text. The program's binding (analysis_binding.h) loads libMurtesk.so from the program's library
// folder at the first call; a missing library or function fails the call (0). Paths are UTF-8;
// every buffer belongs to the caller.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace murtesk {

// What CALReadOfWAV tells of a recording (the per-channel peaks are not kept).
struct WaveProbe {
    std::int32_t channels = 0;
    std::int32_t rate = 0;
    std::int32_t bits = 0;    // the header's field
    std::int32_t format = 0;  // 1 integer PCM (also extensible), 3 IEEE float
    std::int32_t frames = 0;  // negative for 2^31 frames or more
};

class WaveLibrary {
public:
    virtual ~WaveLibrary();
    // 1 when the header is valid and one whole second of every channel was read, else 0.
    virtual std::int32_t CALReadOfWAV(const std::string& path, WaveProbe& probe) = 0;
    // Frames first..last (1-based, inclusive) of channel `channel` of the source into a mono file;
    // 1 when written, 0 on failure (a partial output may remain).
    virtual std::int32_t CreateBigMonoWave(const std::string& output, std::int16_t bits, std::int32_t first,
                                           std::int32_t last, std::int16_t channels, std::int16_t channel,
                                           std::int32_t rate, const std::string& source) = 0;
    // Frames first..last of each mono file, file k as channel k; 1 when written, 0 on failure.
    virtual std::int32_t MergeMonoWave(const std::string& output, std::int16_t bits, std::int32_t first,
                                       std::int32_t last, std::int32_t rate, const std::vector<std::string>& files) = 0;
    // The series resampled from inRate to outRate (mode 1 linear, else the four-point kernel) as a
    // text file at `output`, one value a line with six decimals: 1 when written, 0 on failure (the
    // library refuses an empty series, a rate not above 0 and an output of 2^31 lines or more);
    // nothing when the library or the function is missing.
    virtual std::optional<std::int32_t> ChgHz(const std::string& output, std::span<const double> values,
                                              double inRate, double outRate, std::int32_t mode) = 0;
};

// The library the screens use: the program's binding.
WaveLibrary& g_WaveLibrary();

}  // namespace murtesk
