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

}  // namespace murtesk::analysis
