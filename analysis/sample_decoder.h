// Turns the interleaved sample bytes of a block into one array of doubles per channel: 8-bit samples less
// 128, integers as their signed value (sign-extended from the valid bits), floats as stored.
#pragma once

#include <cstddef>
#include <cstdint>

#include "wav_format.h"

namespace murtesk::analysis {

class SampleDecoder {
public:
    explicit SampleDecoder(const WavFormat& format);

    // Decodes channel `channel` of `frames` frames starting at `bytes` into out[0..frames), adding `offset`.
    void decode(const uint8_t* bytes, size_t frames, unsigned channel, double* out, double offset = 0.0) const;

private:
    WavFormat m_format;
};

}  // namespace murtesk::analysis
