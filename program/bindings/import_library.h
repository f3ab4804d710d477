// The analysis library's functions as the WAV import calls them. The program's binding
// (analysis_binding.h) loads the library by name at the first call; tests give a scripted fake.
// Paths are UTF-8; every buffer belongs to the caller. Return values are the library's own (1 or
// non-zero success, 0 failure, statuses as the import's wav_status.h lists them).
#pragma once

#include "murtesk_window.h"

#include <cstdint>
#include <string>

namespace murtesk::import {

// Room the import gives the library for per-channel values of one file.
inline constexpr int kMaxWavChannels = 100;

struct WavProbe {
    std::int32_t channels = 0;
    std::int32_t rate = 0;
    std::int32_t bits = 0;
    std::int32_t format = 0;     // 1 integer PCM, 3 IEEE float
    std::uint32_t frames = 0;    // whole frames in the data chunk
    double maxima[kMaxWavChannels + 1] = {};  // per channel, index 0 is channel 0
    double minima[kMaxWavChannels + 1] = {};
};

class WavLibrary {
public:
    virtual ~WavLibrary() = default;

    // Reads the format and the peaks of the first seconds. 1 when one whole second was read.
    virtual std::int32_t CALReadOfWAV(const std::string& path, WavProbe& probe) = 0;
    virtual std::int32_t ReadPreOfWAV(std::int32_t channels, double rate, std::int32_t samplesPerBlock,
                                      const double* zeroOffsets) = 0;
    virtual std::int32_t SetCalcConditionOfWAV(std::int32_t channel, MurteskWindow* window, std::int32_t w,
                                               std::int32_t oct1or3, double cr, double levelOutHz,
                                               const double* corrections, double lvl, double calRms, double lowHz,
                                               double highHz) = 0;
    virtual std::int32_t SetFileOutPathOfWAV(std::int32_t channel, std::int32_t output, const std::string& path) = 0;
    virtual std::int32_t ReadStartOfWAV(const std::string& path) = 0;
    virtual std::int32_t DoStopOfWAV() = 0;
    virtual std::int16_t GethStatusOfWAV() = 0;
    virtual std::int32_t GetFileOutOrderOfWAV(std::int32_t channel) = 0;
    virtual std::int32_t StartSeparateChWaveFile(MurteskWindow* window, const std::string& source,
                                                 const std::string& name, const std::string& folder) = 0;
};

}  // namespace murtesk::import
