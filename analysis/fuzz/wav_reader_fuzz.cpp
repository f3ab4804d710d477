// Fuzz target of the WAV reader: the chunk walk, the format checks, the calibration probe and the sample
// conversion, on arbitrary bytes read from memory.
#include <cstdint>
#include <cstdio>
#include <vector>

#include "cal_read.h"
#include "sample_decoder.h"
#include "wav_reader.h"

using namespace murtesk::analysis;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    std::vector<uint8_t> bytes(data, data + size);

    // The probe: format, frame count and peaks of up to four whole seconds.
    {
        WavReader reader;
        reader.adopt(fmemopen(bytes.data(), bytes.size(), "rb"));
        int32_t channels = 0, rate = 0, bits = 0, format = 0, frames = 0;
        double maxima[100], minima[100];
        CalReadWave(reader, {&channels, &rate, &bits, maxima, minima, &format, &frames});
    }
    // The block reading of the analysis, with blocks of a few frames whatever the rate says.
    {
        WavReader reader;
        reader.adopt(fmemopen(bytes.data(), bytes.size(), "rb"));
        if (reader.findData() != WavError::None)
            return 0;
        const WavFormat& f = reader.format();
        const SampleDecoder decoder(f);
        const size_t frames = 3;
        std::vector<uint8_t> block(frames * f.blockAlign);
        std::vector<double> samples(frames);
        std::vector<int16_t> mono(frames);
        while (reader.remainingBytes() >= block.size() && reader.read(block.data(), block.size()))
            for (unsigned c = 0; c < f.channels; ++c) {
                decoder.decode(block.data(), frames, c, samples.data(), 0.5);
                decoder.decode16(block.data(), frames, c, mono.data());
            }
    }
    return 0;
}
