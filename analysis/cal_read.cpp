#include "cal_read.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "sample_decoder.h"

namespace murtesk::analysis {

namespace {

// The block is examined in pieces, so a file that claims an absurd rate costs no memory before it is found
// to hold less than one second.
constexpr size_t kPieceFrames = 8192;

}  // namespace

int32_t CalReadWave(WavReader& reader, const CalReadOutputs& out, WavError* error)
{
    auto fail = [&](WavError e) {
        if (error)
            *error = e;
        return 0;
    };
    bool tooManyChannels = false;
    const WavError walk = reader.findData({}, [&](const WavFormat& f) {
        if (f.channels > kMaxChannels) {
            tooManyChannels = true;
            return;
        }
        *out.channels = f.channels;
        *out.rate = static_cast<int32_t>(std::min<uint32_t>(f.sampleRate, std::numeric_limits<int32_t>::max()));
        *out.bits = f.bitsPerSample;
        *out.format = f.formatCode;
        for (int c = 0; c < f.channels; ++c) {
            out.maxima[c] = -32768.0;
            out.minima[c] = 32767.0;
        }
    });
    if (tooManyChannels)
        return fail(WavError::BadFmt);
    if (walk != WavError::None)
        return fail(walk);

    const WavFormat& f = reader.format();
    *out.frames = static_cast<int32_t>(
        std::min<uint64_t>(reader.dataBytes() / f.blockAlign, std::numeric_limits<int32_t>::max()));
    if (reader.declaredDataBytes() == 0)
        return fail(WavError::NoData);

    const uint64_t blockBytes = static_cast<uint64_t>(f.sampleRate) * f.blockAlign;
    const SampleDecoder decoder(f);
    std::vector<uint8_t> bytes;
    std::vector<double> values;
    int blocks = 0;
    while (blocks < kCalReadBlocks && reader.remainingBytes() >= blockBytes) {
        for (uint64_t done = 0; done < f.sampleRate;) {
            const size_t n = static_cast<size_t>(std::min<uint64_t>(kPieceFrames, f.sampleRate - done));
            bytes.resize(n * f.blockAlign);
            values.resize(n);
            if (!reader.read(bytes.data(), bytes.size()))
                return fail(WavError::ReadError);
            for (unsigned c = 0; c < f.channels; ++c) {
                decoder.decode(bytes.data(), n, c, values.data());
                const auto [lo, hi] = std::minmax_element(values.begin(), values.end());
                out.maxima[c] = std::max(out.maxima[c], *hi);
                out.minima[c] = std::min(out.minima[c], *lo);
            }
            done += n;
        }
        ++blocks;
    }
    if (blocks == 0)
        return fail(WavError::NoData);
    if (error)
        *error = WavError::None;
    return 1;
}

int32_t CalReadWave(const std::string& path, const CalReadOutputs& out, WavError* error)
{
    WavReader reader;
    if (!reader.open(path)) {
        if (error)
            *error = WavError::CannotOpen;
        return 0;
    }
    return CalReadWave(reader, out, error);
}

}  // namespace murtesk::analysis
