// The record stream: how every persistent class of the model writes itself into an open binary
// file and reads itself back. Values are little-endian with no padding; a record is the magic
// 19660126 followed by the class's fields in a fixed order; lists are counted; texts are a count of
// CP932 characters followed by their bytes; the file version of the project file being read
// decides which fields older files hold.
//
// A record class states its field order, defaults and version gates once, in a static Fields
// function that serves reading and writing, and lists the fields it compares:
//
//     class CSample : public Record<CSample> {
//     public:
//         std::int16_t OkFlg = 0;        // defaults are the member initialisers
//         double RecLevel = 80.0;
//         std::string Memo;              // texts are UTF-8 in memory, CP932 in the file
//         double ZeroPlus = 0.0;         // present in files from version 6.2.0 on
//         CXYAxis Axis;                  // a sub-record: its own MeRead / MeWrite
//         CWaveFiles Files;              // a list: StandardCollection, a counted list
//
//         template <class Self, class Io>
//         static bool Fields(Self& self, Io& io) {
//             return io.Magic() && io(self.OkFlg) && io(self.RecLevel)
//                 && io.Dropped(10.0)                          // written as 10.0, read and dropped
//                 && io(self.Memo)
//                 && io.Since({6, 2, 0}, self.ZeroPlus, 0.0)   // older files: 0.0, nothing consumed
//                 && io(self.Axis) && io(self.Files);
//         }
//         // The fields IsMeEqualTo compares, in order (sub-records and lists by their IsMeEqualTo).
//         static auto Compared(const CSample& r) { return std::tie(r.OkFlg, r.RecLevel, r.Axis, r.Files); }
//     };
//
// Record<> then gives MeRead, MeWrite, MeCopy, MeMove and IsMeEqualTo. Io is a RecordReader or a
// RecordWriter; every call gives false at the first failure, and the
// && chain stops there. A class that needs more (a migration after reading, fields that are copied
// but not compared) writes those operations itself with the same pieces.
#pragma once

#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <utility>
#include <variant>

#include "platform/atomic_file.h"
#include "platform/binary_file.h"

namespace murtesk {

using platform::BinaryFile;

// Dates are day counts since 1899-12-30 00:00 with the time of day as the fraction; in a record
// they are 8-byte floats.
using Date = double;

inline constexpr std::int32_t kRecordMagic = 19660126;

// ---------------------------------------------------------------------------------------------
// File version context: the version of the project file being read. Set by the project file
// reader before its records are read and never reset; records consult it for their gates.
extern std::int16_t g_FileVerMajor;
extern std::int16_t g_FileVerMinor;
extern std::int16_t g_FileVerRevision;

struct FileVersion {
    std::int16_t Major = 0;
    std::int16_t Minor = 0;
    std::int16_t Revision = 0;
};

// The file version of the context, and setting it.
FileVersion CurrentFileVersion();
void SetFileVersion(FileVersion version);

// Gates: a field present from X.Y.Z; a field present in versions newer than X.Y.Z; files before
// major version M.
bool FileVersionFrom(FileVersion version);
bool FileVersionNewerThan(FileVersion version);
bool FileVersionBeforeMajor(std::int16_t major);

// Sets the file version context for a scope and puts the previous one back (for tests and for
// readers that must not leave their version behind).
class ScopedFileVersion {
public:
    explicit ScopedFileVersion(FileVersion version) : saved_(CurrentFileVersion()) { SetFileVersion(version); }
    ~ScopedFileVersion() { SetFileVersion(saved_); }
    ScopedFileVersion(const ScopedFileVersion&) = delete;
    ScopedFileVersion& operator=(const ScopedFileVersion&) = delete;

private:
    FileVersion saved_;
};

// ---------------------------------------------------------------------------------------------
// Variant: a 16-bit type tag then the value in that type's encoding.
struct VariantEmpty {
    bool operator==(const VariantEmpty&) const = default;
};
struct VariantNull {
    bool operator==(const VariantNull&) const = default;
};
struct VariantDate {
    Date value = 0.0;
    bool operator==(const VariantDate&) const = default;
};

class Variant {
public:
    enum Tag : std::int16_t {
        kEmpty = 0, kNull = 1, kInteger = 2, kLong = 3, kSingle = 4, kDouble = 5, kDate = 7, kBoolean = 11
    };
    using Value = std::variant<VariantEmpty, VariantNull, std::int16_t, std::int32_t, float, double,
                               VariantDate, bool>;

    Variant() = default;
    Variant(std::int16_t v) : value_(v) {}
    Variant(std::int32_t v) : value_(v) {}
    Variant(float v) : value_(v) {}
    Variant(double v) : value_(v) {}
    Variant(VariantDate v) : value_(v) {}
    Variant(bool v) : value_(v) {}
    static Variant Null() { Variant v; v.value_ = VariantNull{}; return v; }
    static Variant FromDate(Date d) { return Variant(VariantDate{d}); }

    Tag tag() const;
    bool IsEmpty() const { return std::holds_alternative<VariantEmpty>(value_); }
    bool IsNull() const { return std::holds_alternative<VariantNull>(value_); }
    bool IsDate() const { return std::holds_alternative<VariantDate>(value_); }
    const Value& value() const { return value_; }
    // The value as a number: Empty is 0, a Boolean -1 or 0, a date its day count; Null gives 0.
    double AsDouble() const;

    // Comparison by value: numbers, dates and Booleans by their numeric value whatever their
    // type; Null equals only Null.
    bool IsMeEqualTo(const Variant& other) const;

private:
    Value value_;
};

// ---------------------------------------------------------------------------------------------
// Field encodings. Each read gives false when the file ended inside the field (the field then
// keeps its value) or the bytes are not a valid field; each write gives false when the bytes
// could not be written.
bool ReadField(BinaryFile& file, std::int16_t& value);
bool ReadField(BinaryFile& file, std::int32_t& value);
bool ReadField(BinaryFile& file, float& value);
bool ReadField(BinaryFile& file, double& value);   // also dates
bool ReadField(BinaryFile& file, bool& value);     // 16-bit; any non-zero value is true
bool ReadField(BinaryFile& file, std::string& value);  // text, decoded to UTF-8
bool ReadField(BinaryFile& file, Variant& value);

bool WriteField(BinaryFile& file, std::int16_t value);
bool WriteField(BinaryFile& file, std::int32_t value);
bool WriteField(BinaryFile& file, float value);
bool WriteField(BinaryFile& file, double value);
bool WriteField(BinaryFile& file, bool value);     // -1 for true, 0 for false
bool WriteField(BinaryFile& file, std::string_view value);  // text, converted to CP932
inline bool WriteField(BinaryFile& file, const std::string& value) { return WriteField(file, std::string_view(value)); }
inline bool WriteField(BinaryFile& file, const char* value) { return WriteField(file, std::string_view(value)); }
bool WriteField(BinaryFile& file, const Variant& value);

// A text as its CP932 bytes, without decoding: N characters by the lead-byte rule. A negative
// count or more characters than bytes left fail without reading the characters.
bool ReadCp932Text(BinaryFile& file, std::string& cp932);
// Writes CP932 bytes as a text (the count is their number of characters).
bool WriteCp932Text(BinaryFile& file, std::string_view cp932);

// The record magic: reading gives false when the four bytes are not 19660126 (they are consumed).
bool ReadMagic(BinaryFile& file);
bool WriteMagic(BinaryFile& file);

// ---------------------------------------------------------------------------------------------
// Record classes: anything with MeRead / MeWrite on a BinaryFile.
template <class T>
concept PersistentRecord = requires(T& t, const T& c, BinaryFile& f) {
    { t.MeRead(f) } -> std::same_as<bool>;
    { c.MeWrite(f) } -> std::same_as<bool>;
};

// Deep comparison of one field: records and lists by IsMeEqualTo, plain values exactly.
template <class T>
bool MeEqual(const T& a, const T& b) {
    if constexpr (requires { { a.IsMeEqualTo(b) } -> std::convertible_to<bool>; }) {
        return a.IsMeEqualTo(b);
    } else {
        return a == b;
    }
}

// Compares two tuples of references field by field, stopping at the first difference.
template <class... T>
bool MeEqualFields(const std::tuple<const T&...>& a, const std::tuple<const T&...>& b) {
    return [&]<std::size_t... I>(std::index_sequence<I...>) {
        return (MeEqual(std::get<I>(a), std::get<I>(b)) && ...);
    }(std::index_sequence_for<T...>{});
}

// Reads a record's fields in order (see the top of this file).
class RecordReader {
public:
    explicit RecordReader(BinaryFile& file) : file_(file) {}

    BinaryFile& file() { return file_; }
    bool Magic() { return ReadMagic(file_); }

    // One field: a plain value by its encoding, a record or list by its own MeRead.
    template <class T>
    bool operator()(T& field) {
        if constexpr (PersistentRecord<T>) {
            return field.MeRead(file_);
        } else {
            return ReadField(file_, field);
        }
    }
    // A field present from `version` on; older files don't hold it and it takes `fallback`.
    template <class T, class U>
    bool Since(FileVersion version, T& field, const U& fallback) {
        return When(FileVersionFrom(version), field, fallback);
    }
    // A field present in versions newer than `version`.
    template <class T, class U>
    bool After(FileVersion version, T& field, const U& fallback) {
        return When(FileVersionNewerThan(version), field, fallback);
    }
    // A field that the file holds when `present` (a gate of the class's own).
    template <class T, class U>
    bool When(bool present, T& field, const U& fallback) {
        if (present) return (*this)(field);
        field = fallback;
        return true;
    }
    // A value that is written but not kept: read and dropped.
    template <class T>
    bool Dropped(const T&) {
        T scratch{};
        return (*this)(scratch);
    }

private:
    BinaryFile& file_;
};

// Writes a record's fields in order; the mirror of RecordReader. Writers always write the
// current layout, every field, whatever the file version context says.
class RecordWriter {
public:
    explicit RecordWriter(BinaryFile& file) : file_(file) {}

    BinaryFile& file() { return file_; }
    bool Magic() { return WriteMagic(file_); }

    template <class T>
    bool operator()(const T& field) {
        if constexpr (PersistentRecord<T>) {
            return field.MeWrite(file_);
        } else {
            return WriteField(file_, field);
        }
    }
    template <class T, class U>
    bool Since(FileVersion, const T& field, const U&) { return (*this)(field); }
    template <class T, class U>
    bool After(FileVersion, const T& field, const U&) { return (*this)(field); }
    template <class T, class U>
    bool When(bool, const T& field, const U&) { return (*this)(field); }
    template <class T>
    bool Dropped(const T& written) { return (*this)(written); }

private:
    BinaryFile& file_;
};

// The five persistence operations from a class's Fields and Compared (see the top of this file).
// MeCopy and MeMove copy every field; sub-objects are values and lists copy deeply, so no two
// objects share a sub-object.
template <class Derived>
class Record {
public:
    bool MeRead(BinaryFile& fileno) {
        RecordReader io(fileno);
        return Derived::Fields(self(), io);
    }
    bool MeWrite(BinaryFile& fileno) const {
        RecordWriter io(fileno);
        return Derived::Fields(self(), io);
    }
    Derived MeCopy() const { return self(); }
    void MeMove(Derived& target) const {
        if (&target != &self()) target = self();
    }
    bool IsMeEqualTo(const Derived& other) const {
        return MeEqualFields(Derived::Compared(self()), Derived::Compared(other));
    }

private:
    Derived& self() { return static_cast<Derived&>(*this); }
    const Derived& self() const { return static_cast<const Derived&>(*this); }
};

// Reads a whole file holding one record (the file wrappers FileRead of the document and the
// measurement). False, touching nothing, when no file exists; otherwise the record's MeRead result
// (a failed read leaves the record partly overwritten).
template <PersistentRecord T>
bool ReadRecordFile(const std::string& path, T& record) {
    BinaryFile file;
    if (!file.OpenRead(path)) return false;
    return record.MeRead(file);
}

// Writes a whole file holding one record (the file wrappers FileWrite). The file is replaced
// atomically: when the write fails the old file stays as it was, never half written.
template <PersistentRecord T>
bool WriteRecordFile(const std::string& path, const T& record) {
    return platform::ReplaceFile(path, [&](BinaryFile& file) { return record.MeWrite(file); });
}

}  // namespace murtesk
