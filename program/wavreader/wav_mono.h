// Readers of the samples of mono PCM WAV files, such as the split recordings of the channels.
//
// CWavMono reads files of 8, 16, 24, 32 or 64 bits: InitInfo checks the header through the analysis
// library (and tells the user why a file is refused), then runs of samples are read as raw little-endian
// bytes (8-bit unsigned, the others signed). CWavMono16Bit44_1kHz reads 16-bit samples without any check
// of the header. Both find the samples in the file's "data" chunk, whatever comes before it, and count
// the whole samples of that chunk that the file holds (a missing tail or an odd trailing byte is not
// counted). Sample 1 is the chunk's first. The read operations never fail loudly: a missing or closed
// file, or a failed read, gives a one-element array and a count of 0.
#pragma once

#include "model/record_stream.h"
#include "ui_services.h"

#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

namespace murtesk {

// Where the samples of a WAV file lie: the "data" chunk's body as far as the file holds it.
struct WaveDataChunk {
    std::uint64_t offset = 0;
    std::uint64_t bytes = 0;
    std::uint16_t blockAlign = 0;  // of the "fmt " chunk before it; 0 when there is none
};
// False when the file is not RIFF/WAVE or holds no "data" chunk.
bool FindWaveData(const std::string& path, WaveDataChunk& chunk);

// The sample of a time of the play record in a recording of `rate` Hz and `count` samples:
// ms x rate / 1000, halves to even, at least 1 and at most count.
std::int32_t SampleOfMs(std::int32_t ms, double rate, std::int32_t count);

// An open file of a reader; copies of a reader do not share it.
class ReaderFile {
public:
    ReaderFile() = default;
    ReaderFile(const ReaderFile&) {}
    ReaderFile& operator=(const ReaderFile&) { return *this; }
    ~ReaderFile() { Close(); }

    bool Open(const std::string& path);
    void Close();
    bool IsOpen() const { return fd_ >= 0; }
    // Reads up to size bytes at offset; returns how many were read (fewer at the file's end or on an error).
    std::size_t ReadAt(void* destination, std::size_t size, std::uint64_t offset) const;

private:
    int fd_ = -1;
};

class CWavMono {
public:
    explicit CWavMono(platform::UiServices& ui) : ui_(ui) {}

    // Takes the path and checks the file; true when it is a readable mono PCM file of 8, 16, 24, 32 or 64
    // bits. An empty path gives false without a message; any other refusal is told to the user. A refused
    // file leaves the reader without a file: every getter then gives its default.
    bool InitInfo(const std::string& iWaveFilePath);
    std::int32_t getDataNum() const { return path_.empty() ? 0 : count_; }
    double getSampHz() const { return path_.empty() ? 1.0 : rate_; }
    double getMaxV() const;
    double getMinV() const;
    std::int32_t getByteOneSample() const { return getBit() / 8; }
    std::int32_t getBit() const { return path_.empty() ? 16 : bits_; }
    // Every byte of the samples, read with a file of its own; one element when there are none.
    std::vector<std::uint8_t> getData() const;
    bool openWaveFile();
    bool closeWaveFile();
    // ioNum samples from sample iStartNum of the open file, cut at the last sample; ioNum becomes the
    // number delivered. A start outside 1..count or a failed read: one element and ioNum 0.
    std::vector<std::uint8_t> getWaveDataArea(std::int32_t iStartNum, std::int32_t& ioNum);

private:
    void Refuse(const char* text, const char* title, const std::string& path);

    platform::UiServices& ui_;
    std::string path_;
    std::int32_t channels_ = 0;
    std::int32_t rate_ = 0;
    std::int32_t bits_ = 16;
    std::int32_t count_ = 0;
    std::uint64_t dataOffset_ = 0;
    ReaderFile file_;
};

class CWavMono16Bit44_1kHz : public Record<CWavMono16Bit44_1kHz> {
public:
    std::string WaveFilePath;

    template <class Self, class Io>
    static bool Fields(Self& self, Io& io) {
        return io.Magic() && io(self.WaveFilePath);
    }
    static auto Compared(const CWavMono16Bit44_1kHz& r) { return std::tie(r.WaveFilePath); }

    // The samples of the file (0 when it does not exist).
    std::int32_t getDataNum() const;
    // Every sample; one element when the file is missing, holds fewer than 22,050 samples or cannot be read.
    std::vector<std::int16_t> getData() const;
    // True only when the file opens and holds 22,050 samples (half a second at 44.1 kHz) or more.
    bool openWaveFile();
    bool closeWaveFile();
    // As CWavMono's, in 16-bit samples.
    std::vector<std::int16_t> getWaveDataArea(std::int32_t iStartNum, std::int32_t& ioNum);

private:
    ReaderFile file_;
    std::int32_t openCount_ = 0;
    std::uint64_t openOffset_ = 0;
};

}  // namespace murtesk
