// Expected side-file bytes built field by field (little-endian), independently of the record stream.
#pragma once

#include <bit>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "scratch_folder.h"

namespace murtesk::playback::testing {

class Bytes {
public:
    Bytes& i16(std::int16_t v) { return le(static_cast<std::uint16_t>(v), 2); }
    Bytes& i32(std::int32_t v) { return le(static_cast<std::uint32_t>(v), 4); }
    Bytes& f32(float v) { return le(std::bit_cast<std::uint32_t>(v), 4); }
    Bytes& zeros(std::size_t n) {
        bytes_.append(n, '\0');
        return *this;
    }
    Bytes& magic() { return i32(19660126); }
    const std::string& str() const { return bytes_; }

private:
    Bytes& le(std::uint32_t value, int size) {
        for (int i = 0; i < size; ++i) bytes_.push_back(static_cast<char>((value >> (8 * i)) & 0xff));
        return *this;
    }
    std::string bytes_;
};

inline std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

inline void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

class Scratch : public test_support::ScratchFolder {
public:
    Scratch() : ScratchFolder("playback") {}
};

}  // namespace murtesk::playback::testing
