// Writes canonical PCM or IEEE-float WAV files (44- or 46-byte header, then interleaved samples),
// block by block, for the sample-recording generator and for tests that need a recording of a known shape.
#pragma once

#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

namespace murtesk::samples {

enum class SampleFormat { Pcm8, Pcm16, Pcm24, Pcm32, Float32, Float64 };

struct WavSpec {
    uint32_t rate = 48000;
    uint16_t channels = 1;
    SampleFormat format = SampleFormat::Pcm16;
};

int bitsOf(SampleFormat format);
bool isFloat(SampleFormat format);

// Full-scale value of one sample: integer formats take values in [-1, 1) times 2^(bits-1), rounded and
// clamped; float formats store the value as it stands.
void encodeSamples(SampleFormat format, std::span<const double> interleaved, std::vector<uint8_t>& out);

// The 44-byte header of a canonical WAV file whose data chunk holds dataBytes bytes.
std::vector<uint8_t> canonicalHeader(const WavSpec& spec, uint32_t dataBytes);

// A WAV file written in pieces: open, append interleaved frames, close (which patches the sizes).
class WavFileWriter {
public:
    WavFileWriter() = default;
    ~WavFileWriter();
    WavFileWriter(const WavFileWriter&) = delete;
    WavFileWriter& operator=(const WavFileWriter&) = delete;

    bool open(const std::string& path, const WavSpec& spec);
    // Appends frames given as interleaved full-scale values (channels values per frame).
    bool append(std::span<const double> interleaved);
    // Patches the header's sizes and closes; false when anything failed since open.
    bool close();

private:
    std::FILE* m_file = nullptr;
    WavSpec m_spec;
    uint64_t m_dataBytes = 0;
    bool m_failed = false;
    std::vector<uint8_t> m_buffer;
};

// A whole WAV file in memory (tests that build fixtures byte by byte start from this).
std::vector<uint8_t> wavBytes(const WavSpec& spec, std::span<const double> interleaved);

}  // namespace murtesk::samples
