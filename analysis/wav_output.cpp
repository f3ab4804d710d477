#include "wav_output.h"

#include <cstring>
#include <utility>

namespace murtesk::analysis {

namespace {

void put16(uint8_t* p, uint16_t v)
{
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}

void put32(uint8_t* p, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        p[i] = static_cast<uint8_t>(v >> (8 * i));
}

}  // namespace

WavOutputFile::~WavOutputFile()
{
    if (m_file)
        finish();
}

WavOutputFile::WavOutputFile(WavOutputFile&& other) noexcept
    : m_file(std::exchange(other.m_file, nullptr)), m_channels(other.m_channels), m_rate(other.m_rate),
      m_bits(other.m_bits), m_dataBytes(other.m_dataBytes), m_failed(other.m_failed)
{
}

bool WavOutputFile::create(const std::string& path, uint16_t channels, uint32_t rate, uint16_t bits)
{
    const uint64_t align = static_cast<uint64_t>(channels) * bits / 8;
    if (channels == 0 || bits == 0 || bits % 8 != 0 || align > 0xFFFF ||
        static_cast<uint64_t>(rate) * align > 0xFFFFFFFFull)
        return false;
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file)
        return false;
    m_channels = channels;
    m_rate = rate;
    m_bits = bits;
    m_dataBytes = 0;
    m_failed = false;
    uint8_t header[44] = {};
    // The sizes are patched by finish().
    std::memcpy(header, "RIFF\0\0\0\0WAVEfmt ", 16);
    put32(header + 16, 16);
    put16(header + 20, 1);
    put16(header + 22, channels);
    put32(header + 24, rate);
    put32(header + 28, static_cast<uint32_t>(rate * align));
    put16(header + 32, static_cast<uint16_t>(align));
    put16(header + 34, bits);
    std::memcpy(header + 36, "data", 4);
    put32(header + 4, 36);
    if (std::fwrite(header, 1, sizeof header, m_file) != sizeof header) {
        m_failed = true;
        return false;
    }
    return true;
}

bool WavOutputFile::write(const void* bytes, size_t size)
{
    if (!m_file || m_failed || m_dataBytes + size > kMaxWavDataBytes)
        return false;
    const size_t written = std::fwrite(bytes, 1, size, m_file);
    m_dataBytes += written;
    if (written != size)
        m_failed = true;
    return !m_failed;
}

bool WavOutputFile::finish()
{
    if (!m_file)
        return false;
    // A failed write may have left part of a frame: the header counts whole frames only.
    const uint64_t align = static_cast<uint64_t>(m_channels) * m_bits / 8;
    const auto data = static_cast<uint32_t>(m_dataBytes - m_dataBytes % align);
    uint8_t riff[4], size[4];
    put32(riff, data + 36);
    put32(size, data);
    bool ok = !m_failed && std::fflush(m_file) == 0;
    ok = std::fseek(m_file, 4, SEEK_SET) == 0 && std::fwrite(riff, 1, 4, m_file) == 4 && ok;
    ok = std::fseek(m_file, 40, SEEK_SET) == 0 && std::fwrite(size, 1, 4, m_file) == 4 && ok;
    ok = std::fclose(m_file) == 0 && ok;
    m_file = nullptr;
    return ok;
}

}  // namespace murtesk::analysis
