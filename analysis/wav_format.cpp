#include "wav_format.h"

#include <cstring>

namespace murtesk::analysis {

namespace {

uint16_t le16(const uint8_t* p)
{
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

uint32_t le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

constexpr uint16_t kTagPcm = 1;
constexpr uint16_t kTagFloat = 3;
constexpr uint16_t kTagExtensible = 0xFFFE;

// Sub-format identifiers: the tag in the first two bytes, then the fixed tail that marks a WAVE format.
constexpr uint8_t kSubFormatTail[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

bool integerBits(uint16_t bits)
{
    return bits == 8 || bits == 16 || bits == 24 || bits == 32 || bits == 64;
}

}  // namespace

const char* describe(FmtRefusal refusal)
{
    switch (refusal) {
    case FmtRefusal::None: return "accepted";
    case FmtRefusal::ChunkSize: return "'fmt ' chunk size outside 16..256";
    case FmtRefusal::UnsupportedTag: return "format tag not supported";
    case FmtRefusal::UnsupportedBits: return "bits per sample not supported";
    case FmtRefusal::NoChannels: return "no channels";
    case FmtRefusal::NoRate: return "sampling rate 0";
    case FmtRefusal::RateTooHigh: return "sampling rate above 768000 Hz";
    case FmtRefusal::BlockAlign: return "block alignment does not fit the channels and bits";
    case FmtRefusal::ExtensionTooShort: return "extensible format shorter than its fields";
    case FmtRefusal::ValidBits: return "valid bits do not fit the bits per sample";
    case FmtRefusal::UnknownSubFormat: return "extensible sub-format neither PCM nor IEEE float";
    }
    return "?";
}

FmtRefusal parseFmtChunk(std::span<const uint8_t> chunk, WavFormat& format)
{
    if (chunk.size() < 16 || chunk.size() > 256)
        return FmtRefusal::ChunkSize;
    const uint8_t* p = chunk.data();
    WavFormat f;
    f.formatTag = le16(p);
    f.channels = le16(p + 2);
    f.sampleRate = le32(p + 4);
    f.blockAlign = le16(p + 12);
    f.bitsPerSample = le16(p + 14);
    f.validBits = f.bitsPerSample;

    uint16_t tag = f.formatTag;
    if (tag == kTagExtensible) {
        // cbSize, valid bits, channel mask, then the 16-byte sub-format at byte 24.
        if (chunk.size() < 40 || le16(p + 16) < 22)
            return FmtRefusal::ExtensionTooShort;
        const uint16_t valid = le16(p + 18);
        if (std::memcmp(p + 26, kSubFormatTail, sizeof kSubFormatTail) != 0)
            return FmtRefusal::UnknownSubFormat;
        tag = le16(p + 24);
        if (tag != kTagPcm && tag != kTagFloat)
            return FmtRefusal::UnknownSubFormat;
        if (valid > f.bitsPerSample)
            return FmtRefusal::ValidBits;
        if (valid != 0)
            f.validBits = valid;
        if (tag == kTagFloat && f.validBits != f.bitsPerSample)
            return FmtRefusal::ValidBits;
    }
    if (tag == kTagPcm) {
        if (!integerBits(f.bitsPerSample))
            return FmtRefusal::UnsupportedBits;
        f.formatCode = 1;
        f.encoding = f.bitsPerSample == 8 ? SampleEncoding::Unsigned8 : SampleEncoding::SignedInteger;
    } else if (tag == kTagFloat) {
        if (f.bitsPerSample != 32 && f.bitsPerSample != 64)
            return FmtRefusal::UnsupportedBits;
        f.formatCode = 3;
        f.encoding = SampleEncoding::Float;
    } else {
        return FmtRefusal::UnsupportedTag;
    }
    if (f.channels == 0)
        return FmtRefusal::NoChannels;
    if (f.sampleRate == 0)
        return FmtRefusal::NoRate;
    if (f.sampleRate > kMaxSampleRate)
        return FmtRefusal::RateTooHigh;
    f.sampleBytes = static_cast<uint16_t>(f.bitsPerSample / 8);
    if (f.blockAlign % f.channels != 0)
        return FmtRefusal::BlockAlign;
    f.containerBytes = static_cast<uint16_t>(f.blockAlign / f.channels);
    if (f.containerBytes < f.sampleBytes || f.containerBytes > 8)
        return FmtRefusal::BlockAlign;
    format = f;
    return FmtRefusal::None;
}

}  // namespace murtesk::analysis
