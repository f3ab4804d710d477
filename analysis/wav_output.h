// Writing the canonical PCM WAV files of the library (44-byte header, then the samples). The header is written
// first with the sizes of nothing and patched with the sizes of what was actually written when the file is
// finished, whether the work completed, failed or was stopped, so every file left behind is a valid WAV file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>

namespace murtesk::analysis {

// The largest data chunk a 44-byte header can describe (the RIFF size holds data size + 36).
inline constexpr uint64_t kMaxWavDataBytes = 0xFFFFFFFFull - 36;

class WavOutputFile {
public:
    WavOutputFile() = default;
    ~WavOutputFile();
    WavOutputFile(WavOutputFile&& other) noexcept;
    WavOutputFile(const WavOutputFile&) = delete;
    WavOutputFile& operator=(const WavOutputFile&) = delete;

    // Creates the file and writes its header with a data size of 0. false when the file cannot be created or
    // the format cannot be described (sizes above 32 bits).
    bool create(const std::string& path, uint16_t channels, uint32_t rate, uint16_t bits);
    // Appends sample bytes; false on a write error or when the data would pass kMaxWavDataBytes (nothing
    // is written then).
    bool write(const void* bytes, size_t size);
    // Patches the header with the bytes written and closes; false when anything failed.
    bool finish();

    bool isOpen() const { return m_file != nullptr; }
    uint64_t dataBytes() const { return m_dataBytes; }

private:
    std::FILE* m_file = nullptr;
    uint16_t m_channels = 0;
    uint32_t m_rate = 0;
    uint16_t m_bits = 0;
    uint64_t m_dataBytes = 0;
    bool m_failed = false;
};

}  // namespace murtesk::analysis
