// The RIFF walk every reader of the library shares: finds the 'fmt ' chunk, checks it, and stops at the start
// of the data chunk; then hands out the sample bytes block by block.
//
// The file is accepted when it starts with "RIFF" or "RF64", its form at byte 8 is "WAVE" and its RIFF size is
// at least 4 (a RIFF file of another form, such as "AVI ", is no WAV file however its chunks look); "RIFX"
// (big-endian) is refused; "RF64" is read with the sizes of its ds64 chunk. The walk
// covers RIFF size - 4 bytes after the first 12. Chunk sizes are unsigned 32-bit, offsets 64-bit, and the pad
// byte after an odd-sized chunk is skipped. After the data chunk nothing more is read. A data chunk that
// claims more bytes than the file holds yields the bytes present (a recording cut short is still read).
#pragma once

#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

#include "wav_format.h"

namespace murtesk::analysis {

enum class WavError {
    None,
    CannotOpen,
    NotWave,       // not "RIFF" or "RF64" at 0 with "WAVE" at 8, or a RIFF size below 4
    BigEndian,     // "RIFX"
    BadDs64,       // RF64 without a usable ds64 chunk
    ShortRead,     // the file ended inside a header or chunk that had to be read whole
    BadFmt,        // see fmtRefusal()
    DataBeforeFmt, // a data chunk without an accepted 'fmt ' chunk before it
    NoData,        // the chunks ran out without a data chunk
    Stopped,       // the walk was asked to stop
    ReadError,
};

const char* describe(WavError error);

class WavReader {
public:
    // Called at the top of every chunk; returning false stops the walk with WavError::Stopped.
    using ChunkCheck = std::function<bool()>;

    WavReader() = default;
    ~WavReader();
    WavReader(const WavReader&) = delete;
    WavReader& operator=(const WavReader&) = delete;

    // Opens a regular file; false at once for anything else (a named pipe, a device, a folder).
    bool open(const std::string& path);
    // Takes over an open stream (tests and the fuzzer read from memory).
    void adopt(std::FILE* file);
    void close();
    bool isOpen() const { return m_file != nullptr; }

    // Walks the chunks up to the start of the sample data. `onFormat` is called once an accepted 'fmt '
    // chunk has been read (the probe reports the format even when no data follows).
    WavError findData(const ChunkCheck& check = {}, const std::function<void(const WavFormat&)>& onFormat = {});

    const WavFormat& format() const { return m_format; }
    FmtRefusal fmtRefusal() const { return m_fmtRefusal; }
    // The size the data chunk declares, and the bytes of it that the file holds.
    uint64_t declaredDataBytes() const { return m_declaredData; }
    uint64_t dataBytes() const { return m_availableData; }
    // Sample data not yet read.
    uint64_t remainingBytes() const { return m_availableData - m_consumedData; }

    // Reads the next `bytes` bytes of sample data; false on a read error or when fewer remain.
    bool read(uint8_t* buffer, size_t bytes);
    // Passes over the next `bytes` bytes of sample data; false when fewer remain.
    bool skipData(uint64_t bytes);

private:
    bool readExact(void* buffer, size_t bytes);
    bool skip(uint64_t bytes);

    std::FILE* m_file = nullptr;
    uint64_t m_fileSize = 0;
    WavFormat m_format;
    FmtRefusal m_fmtRefusal = FmtRefusal::None;
    uint64_t m_declaredData = 0;
    uint64_t m_availableData = 0;
    uint64_t m_consumedData = 0;
};

}  // namespace murtesk::analysis
