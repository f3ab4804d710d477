// The sample formats the analysis library reads, and the checks of a 'fmt ' chunk that decide them.
//
// Accepted: integer PCM of 8 (unsigned), 16, 24, 32 and 64 bits, IEEE float of 32 and 64 bits, and the
// extensible form of either. Each sample value sits in the low bytes of a container of
// block alignment / channels bytes (a 24-bit sample may sit in a 4-byte container). An extensible file whose
// valid bits are fewer than its bits takes the low valid bits of the value, sign-extended (as recorders that
// write 24 valid bits in 32 store them); valid bits 0 mean all bits. Everything else is refused with a reason.
#pragma once

#include <cstdint>
#include <span>

namespace murtesk::analysis {

// The largest layout the library reads: 100 channels of 8-byte samples at 768 kHz. One second of it is the
// largest block any reader or engine allocates; a higher rate is refused before anything is allocated.
inline constexpr int kMaxChannels = 100;
inline constexpr uint32_t kMaxSampleRate = 768000;

enum class SampleEncoding : uint8_t { Unsigned8, SignedInteger, Float };

struct WavFormat {
    uint16_t formatTag = 0;      // as the header has it: 1, 3 or 0xFFFE
    int32_t formatCode = 0;      // 1 integer PCM, 3 IEEE float (also for the extensible forms)
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;  // the header's field
    uint16_t sampleBytes = 0;    // bytes of one sample value: bits / 8
    uint16_t containerBytes = 0; // bytes one sample occupies in a frame: block alignment / channels
    uint16_t validBits = 0;      // significant low bits of an integer sample (= bits unless extensible says less)
    SampleEncoding encoding = SampleEncoding::SignedInteger;
};

enum class FmtRefusal {
    None,
    ChunkSize,          // shorter than 16 or longer than 256 bytes
    UnsupportedTag,     // neither PCM, IEEE float nor extensible
    UnsupportedBits,    // a bit depth outside the accepted set for the tag
    NoChannels,
    NoRate,
    RateTooHigh,        // above kMaxSampleRate
    BlockAlign,         // container not a whole number of bytes, smaller than the sample or above 8 bytes
    ExtensionTooShort,  // extensible chunk or its extension shorter than its fields
    ValidBits,          // more valid bits than bits, or a float that is not whole
    UnknownSubFormat,
};

const char* describe(FmtRefusal refusal);

// Checks a whole 'fmt ' chunk and fills `format` when it is accepted.
FmtRefusal parseFmtChunk(std::span<const uint8_t> chunk, WavFormat& format);

}  // namespace murtesk::analysis
