// The calibration probe: the format of a WAV file and the peak values of each channel over its first
// seconds, so that a recording can be checked against its calibration file without reading it all.
#pragma once

#include <cstdint>
#include <string>

#include "wav_reader.h"

namespace murtesk::analysis {

inline constexpr int kCalReadBlocks = 4;

// Where the probe writes; each pointer must be valid (maxima and minima with room for 100 values).
struct CalReadOutputs {
    int32_t* channels;
    int32_t* rate;
    int32_t* bits;
    double* maxima;
    double* minima;
    int32_t* format;
    int32_t* frames;
};

// Result 1 when at least one whole one-second block was examined (at most four are), else 0. The format is
// written as soon as an accepted 'fmt ' chunk of 1..100 channels is read, the frame count (whole frames
// present) when the data chunk is found. `error` (may be null) receives the reason of a 0.
int32_t CalReadWave(WavReader& reader, const CalReadOutputs& out, WavError* error = nullptr);
int32_t CalReadWave(const std::string& path, const CalReadOutputs& out, WavError* error = nullptr);

}  // namespace murtesk::analysis
