#include "wav_reader.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

namespace murtesk::analysis {

namespace {

uint32_t le32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

uint64_t le64(const uint8_t* p)
{
    return static_cast<uint64_t>(le32(p)) | (static_cast<uint64_t>(le32(p + 4)) << 32);
}

bool is(const uint8_t* p, const char* tag)
{
    return std::memcmp(p, tag, 4) == 0;
}

}  // namespace

const char* describe(WavError error)
{
    switch (error) {
    case WavError::None: return "ok";
    case WavError::CannotOpen: return "cannot open";
    case WavError::NotWave: return "not a WAV file";
    case WavError::BigEndian: return "big-endian (RIFX) files are not supported";
    case WavError::BadDs64: return "RF64 file without a usable ds64 chunk";
    case WavError::ShortRead: return "file ends inside a chunk";
    case WavError::BadFmt: return "'fmt ' chunk refused";
    case WavError::DataBeforeFmt: return "data chunk before an accepted 'fmt ' chunk";
    case WavError::NoData: return "no data chunk";
    case WavError::Stopped: return "stopped";
    case WavError::ReadError: return "read error";
    }
    return "?";
}

WavReader::~WavReader()
{
    close();
}

bool WavReader::open(const std::string& path)
{
    close();
    // Only a regular file: the open itself of a named pipe would wait for a writer, so the type is
    // learnt from a descriptor opened without waiting.
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat st {};
    const int flags = ::fcntl(fd, F_GETFL);
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0 ||
        (m_file = ::fdopen(fd, "rb")) == nullptr) {
        ::close(fd);
        return false;
    }
    return true;
}

void WavReader::adopt(std::FILE* file)
{
    close();
    m_file = file;
}

void WavReader::close()
{
    if (m_file)
        std::fclose(m_file);
    m_file = nullptr;
}

bool WavReader::readExact(void* buffer, size_t bytes)
{
    return std::fread(buffer, 1, bytes, m_file) == bytes;
}

bool WavReader::skip(uint64_t bytes)
{
    // Skipping past the end is no error in itself: the next read finds it.
    const off_t pos = ftello(m_file);
    if (pos < 0)
        return false;
    const uint64_t target = std::min<uint64_t>(static_cast<uint64_t>(pos) + bytes, m_fileSize);
    return fseeko(m_file, static_cast<off_t>(target), SEEK_SET) == 0;
}

WavError WavReader::findData(const ChunkCheck& check, const std::function<void(const WavFormat&)>& onFormat)
{
    if (!m_file)
        return WavError::CannotOpen;
    if (fseeko(m_file, 0, SEEK_END) != 0)
        return WavError::ReadError;
    const off_t end = ftello(m_file);
    if (end < 0 || fseeko(m_file, 0, SEEK_SET) != 0)
        return WavError::ReadError;
    m_fileSize = static_cast<uint64_t>(end);
    m_declaredData = m_availableData = m_consumedData = 0;

    uint8_t head[12];
    if (!readExact(head, sizeof head))
        return WavError::ShortRead;
    if (is(head, "RIFX"))
        return WavError::BigEndian;
    const bool rf64 = is(head, "RF64");
    if ((!rf64 && !is(head, "RIFF")) || !is(head + 8, "WAVE"))
        return WavError::NotWave;

    uint64_t riffSize = le32(head + 4);
    uint64_t rf64DataSize = 0;
    uint64_t consumed = 0;
    if (rf64) {
        // The ds64 chunk comes first and carries the 64-bit sizes the 32-bit fields cannot hold.
        uint8_t chunk[8];
        uint8_t ds64[28];
        if (!readExact(chunk, sizeof chunk))
            return WavError::ShortRead;
        const uint32_t size = le32(chunk + 4);
        if (!is(chunk, "ds64") || size < sizeof ds64)
            return WavError::BadDs64;
        if (!readExact(ds64, sizeof ds64))
            return WavError::ShortRead;
        if (riffSize == 0xFFFFFFFFu)
            riffSize = le64(ds64);
        rf64DataSize = le64(ds64 + 8);
        const uint64_t padded = static_cast<uint64_t>(size) + (size & 1u);
        if (!skip(padded - sizeof ds64))
            return WavError::ReadError;
        consumed = 8 + padded;
    }
    if (riffSize < 4)
        return WavError::NotWave;
    const uint64_t walk = riffSize - 4;

    bool haveFormat = false;
    while (consumed < walk) {
        if (check && !check())
            return WavError::Stopped;
        uint8_t chunk[8];
        if (!readExact(chunk, sizeof chunk))
            return WavError::ShortRead;
        const uint32_t size = le32(chunk + 4);
        const uint64_t padded = static_cast<uint64_t>(size) + (size & 1u);
        consumed += 8 + padded;

        if (is(chunk, "fmt ")) {
            if (size < 16 || size > 256) {
                m_fmtRefusal = FmtRefusal::ChunkSize;
                return WavError::BadFmt;
            }
            uint8_t fmt[256];
            if (!readExact(fmt, size))
                return WavError::ShortRead;
            m_fmtRefusal = parseFmtChunk({fmt, size}, m_format);
            if (m_fmtRefusal != FmtRefusal::None)
                return WavError::BadFmt;
            haveFormat = true;
            if (onFormat)
                onFormat(m_format);
            if ((size & 1u) && !skip(1))
                return WavError::ReadError;
        } else if (is(chunk, "data")) {
            if (!haveFormat)
                return WavError::DataBeforeFmt;
            m_declaredData = (rf64 && size == 0xFFFFFFFFu) ? rf64DataSize : size;
            const off_t pos = ftello(m_file);
            if (pos < 0)
                return WavError::ReadError;
            const uint64_t present = m_fileSize - std::min<uint64_t>(m_fileSize, static_cast<uint64_t>(pos));
            m_availableData = std::min(m_declaredData, present);
            return WavError::None;
        } else if (!skip(padded)) {
            return WavError::ReadError;
        }
    }
    return WavError::NoData;
}

bool WavReader::read(uint8_t* buffer, size_t bytes)
{
    if (!m_file || bytes > remainingBytes())
        return false;
    if (!readExact(buffer, bytes))
        return false;
    m_consumedData += bytes;
    return true;
}

bool WavReader::skipData(uint64_t bytes)
{
    if (!m_file || bytes > remainingBytes())
        return false;
    const off_t pos = ftello(m_file);
    if (pos < 0 || fseeko(m_file, pos + static_cast<off_t>(bytes), SEEK_SET) != 0)
        return false;
    m_consumedData += bytes;
    return true;
}

}  // namespace murtesk::analysis
