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

    // Converts channel `channel` to 16-bit samples, as the mono files of a split recording hold them: integer
    // samples scaled by 2^(16 - valid bits) and truncated toward zero (8-bit: (byte - 128) × 256); floats of
    // 1 and above give 32767, below -1 give -32768, otherwise v × 32768 truncated (NaN gives 0).
    void decode16(const uint8_t* bytes, size_t frames, unsigned channel, int16_t* out) const;

private:
    WavFormat m_format;
};

}  // namespace murtesk::analysis
