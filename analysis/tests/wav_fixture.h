// Builds WAV files byte by byte, so that tests can state exactly which header they read.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

namespace murtesk::analysis::testing {

class WavBytes {
public:
    WavBytes& tag(const char* t)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(t[i]));
        return *this;
    }
    WavBytes& u16(uint16_t v)
    {
        bytes.push_back(static_cast<uint8_t>(v));
        bytes.push_back(static_cast<uint8_t>(v >> 8));
        return *this;
    }
    WavBytes& u32(uint32_t v)
    {
        for (int i = 0; i < 4; ++i)
            bytes.push_back(static_cast<uint8_t>(v >> (8 * i)));
        return *this;
    }
    WavBytes& u64(uint64_t v)
    {
        u32(static_cast<uint32_t>(v));
        return u32(static_cast<uint32_t>(v >> 32));
    }
    WavBytes& raw(std::initializer_list<uint8_t> b)
    {
        bytes.insert(bytes.end(), b);
        return *this;
    }
    WavBytes& zeros(size_t n)
    {
        bytes.insert(bytes.end(), n, 0);
        return *this;
    }
    // "RIFF" <size> "WAVE" with the size patched by riffSize().
    WavBytes& riff()
    {
        return tag("RIFF").u32(0).tag("WAVE");
    }
    WavBytes& riffSize()
    {
        const auto size = static_cast<uint32_t>(bytes.size() - 8);
        for (int i = 0; i < 4; ++i)
            bytes[4 + i] = static_cast<uint8_t>(size >> (8 * i));
        return *this;
    }
    // A plain 16-byte 'fmt ' chunk.
    WavBytes& fmt(uint16_t formatTag, uint16_t channels, uint32_t rate, uint16_t blockAlign, uint16_t bits)
    {
        return tag("fmt ").u32(16).u16(formatTag).u16(channels).u32(rate).u32(rate * blockAlign).u16(blockAlign).u16(bits);
    }
    // A 40-byte extensible 'fmt ' chunk with the sub-format of `subTag` (1 PCM, 3 float).
    WavBytes& fmtExtensible(uint16_t channels, uint32_t rate, uint16_t blockAlign, uint16_t bits, uint16_t validBits,
                            uint16_t subTag)
    {
        tag("fmt ").u32(40).u16(0xFFFE).u16(channels).u32(rate).u32(rate * blockAlign).u16(blockAlign).u16(bits);
        u16(22).u16(validBits).u32(0).u16(subTag);
        return raw({0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71});
    }
    WavBytes& data(uint32_t size)
    {
        return tag("data").u32(size);
    }

    std::FILE* open() const
    {
        // fmemopen needs a non-empty buffer; the copy lives as long as this builder.
        buffer = bytes;
        if (buffer.empty())
            buffer.push_back(0);
        std::FILE* f = fmemopen(buffer.data(), bytes.size(), "rb");
        return f;
    }

    bool save(const std::string& path) const
    {
        std::FILE* f = std::fopen(path.c_str(), "wb");
        if (!f)
            return false;
        const bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        return std::fclose(f) == 0 && ok;
    }

    std::vector<uint8_t> bytes;

private:
    mutable std::vector<uint8_t> buffer;
};

}  // namespace murtesk::analysis::testing
