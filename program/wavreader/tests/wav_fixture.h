// WAV files for tests, built field by field (little-endian): a RIFF file of chunks, the "fmt " body of
// a PCM, float or extensible format, sample bytes of a known pattern, and a temporary folder.
#pragma once

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "scratch_folder.h"

namespace murtesk::testing {

inline std::string Le(std::uint64_t value, int bytes) {
    std::string s;
    for (int i = 0; i < bytes; ++i) {
        s.push_back(static_cast<char>(value >> (8 * i) & 0xFF));
    }
    return s;
}

struct WavFmt {
    std::uint16_t tag = 1;  // 1 PCM, 3 float, 0xFFFE extensible
    std::uint16_t channels = 1;
    std::uint32_t rate = 44100;
    std::uint16_t bits = 16;
    std::uint16_t subTag = 1;  // the extensible form's sub-format
};

// A chunk, with its pad byte when the body is odd.
inline std::string Chunk(const std::string& id, const std::string& body) {
    return id + Le(body.size(), 4) + body + (body.size() % 2 != 0 ? std::string(1, '\0') : std::string());
}

inline std::string FmtChunk(const WavFmt& f) {
    const std::uint32_t align = f.channels * f.bits / 8u;
    std::string body =
        Le(f.tag, 2) + Le(f.channels, 2) + Le(f.rate, 4) + Le(f.rate * align, 4) + Le(align, 2) + Le(f.bits, 2);
    if (f.tag == 0xFFFE) {
        // cbSize 22, valid bits, channel mask, then the sub-format GUID (tag in its first two bytes).
        body += Le(22, 2) + Le(f.bits, 2) + Le(4, 4) + Le(f.subTag, 2) +
                std::string("\x00\x00\x00\x00\x10\x00\x80\x00\x00\xAA\x00\x38\x9B\x71", 14);
    }
    return Chunk("fmt ", body);
}

inline std::string Riff(const std::vector<std::string>& chunks) {
    std::string body = "WAVE";
    for (const std::string& c : chunks) {
        body += c;
    }
    return "RIFF" + Le(body.size(), 4) + body;
}

// Byte i of a sample run of the pattern the tests check against: distinct bytes in every position.
inline std::string PatternBytes(std::size_t count, unsigned seed = 0) {
    std::string s(count, '\0');
    for (std::size_t i = 0; i < count; ++i) {
        s[i] = static_cast<char>((i * 131 + i / 256 * 7 + seed) & 0xFF);
    }
    return s;
}

// A canonical mono PCM file of `samples` samples of the pattern.
inline std::string MonoWav(std::uint32_t rate, std::uint16_t bits, std::size_t samples, unsigned seed = 0) {
    return Riff({FmtChunk(WavFmt{1, 1, rate, bits}), Chunk("data", PatternBytes(samples * bits / 8, seed))});
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A folder of its own for one test, removed with everything in it; paths in it as text.
class TempFolder : public test_support::ScratchFolder {
public:
    using ScratchFolder::ScratchFolder;
    std::string operator/(const std::string& name) const { return file(name); }
    const std::filesystem::path& Path() const { return path(); }
};

}  // namespace murtesk::testing
