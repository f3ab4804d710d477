#include "sample_decoder.h"

#include <bit>
#include <cstring>

namespace murtesk::analysis {

static_assert(std::endian::native == std::endian::little, "float samples are read as stored");

namespace {

// Little-endian signed integer of N bytes.
template <unsigned N>
inline int64_t readSigned(const uint8_t* p)
{
    uint64_t v = 0;
    for (unsigned i = 0; i < N; ++i)
        v |= static_cast<uint64_t>(p[i]) << (8 * i);
    if constexpr (N < 8)
        return static_cast<int64_t>(v << (64 - 8 * N)) >> (64 - 8 * N);
    else
        return static_cast<int64_t>(v);
}

template <unsigned N>
void decodeInteger(const uint8_t* p, size_t frames, size_t stride, unsigned validBits, double* out, double offset)
{
    const unsigned drop = 64 - validBits;
    if (validBits == 8 * N) {
        for (size_t j = 0; j < frames; ++j, p += stride)
            out[j] = static_cast<double>(readSigned<N>(p)) + offset;
    } else {
        for (size_t j = 0; j < frames; ++j, p += stride) {
            const auto v = static_cast<uint64_t>(readSigned<N>(p));
            out[j] = static_cast<double>(static_cast<int64_t>(v << drop) >> drop) + offset;
        }
    }
}

template <unsigned N>
void decodeInteger16(const uint8_t* p, size_t frames, size_t stride, unsigned validBits, int16_t* out)
{
    const unsigned drop = 64 - validBits;
    for (size_t j = 0; j < frames; ++j, p += stride) {
        const auto raw = static_cast<uint64_t>(readSigned<N>(p));
        const int64_t v = static_cast<int64_t>(raw << drop) >> drop;
        // Integer division truncates toward zero, as the scaling of a sample down to 16 bits must.
        const int64_t s = validBits >= 16 ? v / (int64_t{1} << (validBits - 16)) : v * (int64_t{1} << (16 - validBits));
        out[j] = static_cast<int16_t>(s);
    }
}

int16_t floatTo16(double v)
{
    if (v >= 1.0)
        return 32767;
    if (v < -1.0)
        return -32768;
    if (!(v == v))
        return 0;
    return static_cast<int16_t>(v * 32768.0);
}

}  // namespace

SampleDecoder::SampleDecoder(const WavFormat& format) : m_format(format) {}

void SampleDecoder::decode(const uint8_t* bytes, size_t frames, unsigned channel, double* out, double offset) const
{
    const size_t stride = m_format.blockAlign;
    const uint8_t* p = bytes + static_cast<size_t>(channel) * m_format.containerBytes;
    const unsigned valid = m_format.validBits;
    switch (m_format.encoding) {
    case SampleEncoding::Unsigned8:
        for (size_t j = 0; j < frames; ++j, p += stride)
            out[j] = static_cast<double>(static_cast<int>(*p) - 128) + offset;
        return;
    case SampleEncoding::Float:
        if (m_format.sampleBytes == 4) {
            for (size_t j = 0; j < frames; ++j, p += stride) {
                float f;
                std::memcpy(&f, p, 4);
                out[j] = static_cast<double>(f) + offset;
            }
        } else {
            for (size_t j = 0; j < frames; ++j, p += stride) {
                double d;
                std::memcpy(&d, p, 8);
                out[j] = d + offset;
            }
        }
        return;
    case SampleEncoding::SignedInteger:
        switch (m_format.sampleBytes) {
        case 2: decodeInteger<2>(p, frames, stride, valid, out, offset); return;
        case 3: decodeInteger<3>(p, frames, stride, valid, out, offset); return;
        case 4: decodeInteger<4>(p, frames, stride, valid, out, offset); return;
        case 8: decodeInteger<8>(p, frames, stride, valid, out, offset); return;
        default: return;
        }
    }
}

void SampleDecoder::decode16(const uint8_t* bytes, size_t frames, unsigned channel, int16_t* out) const
{
    const size_t stride = m_format.blockAlign;
    const uint8_t* p = bytes + static_cast<size_t>(channel) * m_format.containerBytes;
    switch (m_format.encoding) {
    case SampleEncoding::Unsigned8:
        for (size_t j = 0; j < frames; ++j, p += stride)
            out[j] = static_cast<int16_t>((static_cast<int>(*p) - 128) * 256);
        return;
    case SampleEncoding::Float:
        for (size_t j = 0; j < frames; ++j, p += stride) {
            if (m_format.sampleBytes == 4) {
                float f;
                std::memcpy(&f, p, 4);
                out[j] = floatTo16(f);
            } else {
                double d;
                std::memcpy(&d, p, 8);
                out[j] = floatTo16(d);
            }
        }
        return;
    case SampleEncoding::SignedInteger:
        switch (m_format.sampleBytes) {
        case 2: decodeInteger16<2>(p, frames, stride, m_format.validBits, out); return;
        case 3: decodeInteger16<3>(p, frames, stride, m_format.validBits, out); return;
        case 4: decodeInteger16<4>(p, frames, stride, m_format.validBits, out); return;
        case 8: decodeInteger16<8>(p, frames, stride, m_format.validBits, out); return;
        default: return;
        }
    }
}

}  // namespace murtesk::analysis
