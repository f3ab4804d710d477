// Test helpers for records: expected bytes built field by field, and write / read / write-again
// round trips on in-memory files.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "model/record_stream.h"

namespace murtesk::testing {

// Little-endian field bytes, appended one field at a time.
class Bytes {
public:
    Bytes& i16(std::int16_t v) { return raw(&v, 2); }
    Bytes& i32(std::int32_t v) { return raw(&v, 4); }
    Bytes& f64(double v) { return raw(&v, 8); }
    Bytes& boolean(bool v) { return i16(v ? -1 : 0); }
    Bytes& magic() { return i32(19660126); }
    // A text whose CP932 bytes are given, with its character count.
    Bytes& text(std::int32_t characters, const std::string& cp932) {
        i32(characters);
        data_ += cp932;
        return *this;
    }
    Bytes& variantI16(std::int16_t v) { return i16(2).i16(v); }
    Bytes& variantDate(double v) { return i16(7).f64(v); }
    Bytes& append(const std::string& more) {
        data_ += more;
        return *this;
    }
    const std::string& str() const { return data_; }
    operator std::string() const { return data_; }

private:
    Bytes& raw(const void* p, std::size_t n) {
        data_.append(static_cast<const char*>(p), n);
        return *this;
    }
    std::string data_;
};

template <class T>
std::string WrittenBytes(const T& record) {
    BinaryFile file = BinaryFile::InMemory();
    EXPECT_TRUE(record.MeWrite(file));
    return file.Bytes();
}

// Reads `bytes` into `record`; true when the read succeeded and consumed every byte.
template <class T>
bool ReadAll(const std::string& bytes, T& record) {
    BinaryFile file = BinaryFile::FromBytes(bytes);
    return record.MeRead(file) && file.AtEnd();
}

// Writes the record, reads the bytes into a fresh object, checks it equals the original and
// writes the same bytes again.
// `copy` is the object read into (a fresh default object unless given).
template <class T>
void ExpectRoundTrip(const T& original, T copy = T()) {
    const std::string first = WrittenBytes(original);
    ASSERT_TRUE(ReadAll(first, copy));
    EXPECT_TRUE(copy.IsMeEqualTo(original));
    EXPECT_EQ(WrittenBytes(copy), first);
}

}  // namespace murtesk::testing
