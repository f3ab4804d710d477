#include "wav_writer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

namespace murtesk::samples {

namespace {

void put16(std::vector<uint8_t>& out, uint16_t v)
{
    out.push_back(static_cast<uint8_t>(v));
    out.push_back(static_cast<uint8_t>(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void putTag(std::vector<uint8_t>& out, const char* tag)
{
    out.insert(out.end(), tag, tag + 4);
}

int64_t toInteger(double v, int bits)
{
    const double scale = std::ldexp(1.0, bits - 1);
    const double hi = scale - 1.0;
    double s = std::nearbyint(v * scale);
    if (!(s >= -scale))
        s = -scale;
    if (s > hi)
        s = hi;
    return static_cast<int64_t>(s);
}

}  // namespace

int bitsOf(SampleFormat format)
{
    switch (format) {
    case SampleFormat::Pcm8: return 8;
    case SampleFormat::Pcm16: return 16;
    case SampleFormat::Pcm24: return 24;
    case SampleFormat::Pcm32: return 32;
    case SampleFormat::Float32: return 32;
    case SampleFormat::Float64: return 64;
    }
    return 16;
}

bool isFloat(SampleFormat format)
{
    return format == SampleFormat::Float32 || format == SampleFormat::Float64;
}

void encodeSamples(SampleFormat format, std::span<const double> interleaved, std::vector<uint8_t>& out)
{
    const size_t bytes = static_cast<size_t>(bitsOf(format) / 8);
    out.resize(interleaved.size() * bytes);
    uint8_t* p = out.data();
    for (double v : interleaved) {
        switch (format) {
        case SampleFormat::Pcm8:
            *p = static_cast<uint8_t>(toInteger(v, 8) + 128);
            break;
        case SampleFormat::Float32: {
            const float f = static_cast<float>(v);
            std::memcpy(p, &f, 4);
            break;
        }
        case SampleFormat::Float64:
            std::memcpy(p, &v, 8);
            break;
        default: {
            const int64_t s = toInteger(v, bitsOf(format));
            for (size_t i = 0; i < bytes; ++i)
                p[i] = static_cast<uint8_t>(static_cast<uint64_t>(s) >> (8 * i));
            break;
        }
        }
        p += bytes;
    }
}

std::vector<uint8_t> canonicalHeader(const WavSpec& spec, uint32_t dataBytes)
{
    const uint16_t align = static_cast<uint16_t>(spec.channels * bitsOf(spec.format) / 8);
    std::vector<uint8_t> h;
    h.reserve(44);
    putTag(h, "RIFF");
    put32(h, dataBytes + 36);
    putTag(h, "WAVE");
    putTag(h, "fmt ");
    put32(h, 16);
    put16(h, isFloat(spec.format) ? 3 : 1);
    put16(h, spec.channels);
    put32(h, spec.rate);
    put32(h, spec.rate * align);
    put16(h, align);
    put16(h, static_cast<uint16_t>(bitsOf(spec.format)));
    putTag(h, "data");
    put32(h, dataBytes);
    return h;
}

WavFileWriter::~WavFileWriter()
{
    if (m_file)
        std::fclose(m_file);
}

bool WavFileWriter::open(const std::string& path, const WavSpec& spec)
{
    if (m_file)
        std::fclose(m_file);
    m_spec = spec;
    m_dataBytes = 0;
    m_failed = false;
    m_file = std::fopen(path.c_str(), "wb");
    if (!m_file)
        return false;
    const auto header = canonicalHeader(spec, 0);
    m_failed = std::fwrite(header.data(), 1, header.size(), m_file) != header.size();
    return !m_failed;
}

bool WavFileWriter::append(std::span<const double> interleaved)
{
    if (!m_file || m_failed)
        return false;
    encodeSamples(m_spec.format, interleaved, m_buffer);
    if (std::fwrite(m_buffer.data(), 1, m_buffer.size(), m_file) != m_buffer.size())
        m_failed = true;
    m_dataBytes += m_buffer.size();
    if (m_dataBytes > std::numeric_limits<uint32_t>::max() - 36)
        m_failed = true;
    return !m_failed;
}

bool WavFileWriter::close()
{
    if (!m_file)
        return false;
    if (!m_failed) {
        const auto header = canonicalHeader(m_spec, static_cast<uint32_t>(m_dataBytes));
        m_failed = std::fseek(m_file, 0, SEEK_SET) != 0 ||
                   std::fwrite(header.data(), 1, header.size(), m_file) != header.size();
    }
    if (std::fclose(m_file) != 0)
        m_failed = true;
    m_file = nullptr;
    return !m_failed;
}

std::vector<uint8_t> wavBytes(const WavSpec& spec, std::span<const double> interleaved)
{
    std::vector<uint8_t> samples;
    encodeSamples(spec.format, interleaved, samples);
    auto bytes = canonicalHeader(spec, static_cast<uint32_t>(samples.size()));
    bytes.insert(bytes.end(), samples.begin(), samples.end());
    return bytes;
}

}  // namespace murtesk::samples
