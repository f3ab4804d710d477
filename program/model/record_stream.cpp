#include "record_stream.h"

#include <bit>
#include <cstring>
#include <limits>

#include "platform/text_encoding.h"

namespace murtesk {

std::int16_t g_FileVerMajor = 0;
std::int16_t g_FileVerMinor = 0;
std::int16_t g_FileVerRevision = 0;

FileVersion CurrentFileVersion() {
    return {g_FileVerMajor, g_FileVerMinor, g_FileVerRevision};
}

void SetFileVersion(FileVersion version) {
    g_FileVerMajor = version.Major;
    g_FileVerMinor = version.Minor;
    g_FileVerRevision = version.Revision;
}

bool FileVersionFrom(FileVersion v) {
    if (g_FileVerMajor != v.Major) return g_FileVerMajor > v.Major;
    if (g_FileVerMinor != v.Minor) return g_FileVerMinor > v.Minor;
    return g_FileVerRevision >= v.Revision;
}

bool FileVersionNewerThan(FileVersion v) {
    if (g_FileVerMajor != v.Major) return g_FileVerMajor > v.Major;
    if (g_FileVerMinor != v.Minor) return g_FileVerMinor > v.Minor;
    return g_FileVerRevision > v.Revision;
}

bool FileVersionBeforeMajor(std::int16_t major) {
    return g_FileVerMajor < major;
}

// ---------------------------------------------------------------------------------------------
Variant::Tag Variant::tag() const {
    static constexpr Tag kTags[] = {kEmpty, kNull, kInteger, kLong, kSingle, kDouble, kDate, kBoolean};
    return kTags[value_.index()];
}

double Variant::AsDouble() const {
    return std::visit(
        [](const auto& v) -> double {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, VariantEmpty> || std::is_same_v<T, VariantNull>) {
                return 0.0;
            } else if constexpr (std::is_same_v<T, VariantDate>) {
                return v.value;
            } else if constexpr (std::is_same_v<T, bool>) {
                return v ? -1.0 : 0.0;
            } else {
                return static_cast<double>(v);
            }
        },
        value_);
}

bool Variant::IsMeEqualTo(const Variant& other) const {
    if (IsNull() || other.IsNull()) return IsNull() && other.IsNull();
    return AsDouble() == other.AsDouble();
}

// ---------------------------------------------------------------------------------------------
namespace {

static_assert(std::endian::native == std::endian::little, "the record stream is little-endian");

template <class T>
bool ReadRaw(BinaryFile& file, T& value) {
    T scratch;
    if (!file.Read(&scratch, sizeof scratch)) return false;
    value = scratch;
    return true;
}

template <class T>
bool WriteRaw(BinaryFile& file, T value) {
    return file.Write(&value, sizeof value);
}

}  // namespace

bool ReadField(BinaryFile& file, std::int16_t& value) { return ReadRaw(file, value); }
bool ReadField(BinaryFile& file, std::int32_t& value) { return ReadRaw(file, value); }
bool ReadField(BinaryFile& file, float& value) { return ReadRaw(file, value); }
bool ReadField(BinaryFile& file, double& value) { return ReadRaw(file, value); }

bool ReadField(BinaryFile& file, bool& value) {
    std::int16_t raw;
    if (!ReadRaw(file, raw)) return false;
    value = raw != 0;
    return true;
}

bool WriteField(BinaryFile& file, std::int16_t value) { return WriteRaw(file, value); }
bool WriteField(BinaryFile& file, std::int32_t value) { return WriteRaw(file, value); }
bool WriteField(BinaryFile& file, float value) { return WriteRaw(file, value); }
bool WriteField(BinaryFile& file, double value) { return WriteRaw(file, value); }
bool WriteField(BinaryFile& file, bool value) { return WriteRaw(file, static_cast<std::int16_t>(value ? -1 : 0)); }

bool ReadCp932Text(BinaryFile& file, std::string& cp932) {
    std::int32_t count;
    if (!ReadRaw(file, count)) return false;
    // Every character takes at least one byte: a count the file cannot hold is corrupt.
    if (count < 0 || static_cast<std::uint64_t>(count) > file.Remaining()) return false;
    // Each character left needs at least one byte, and the one whose lead byte was the last byte
    // read needs exactly one more, so reading as many bytes as characters are left never reads past
    // the text.
    std::string bytes;
    std::size_t characters_left = static_cast<std::size_t>(count);
    bool after_lead = false;
    while (characters_left > 0) {
        const std::size_t start = bytes.size();
        bytes.resize(start + characters_left);
        if (!file.Read(bytes.data() + start, characters_left)) return false;
        for (std::size_t i = start; i < bytes.size(); ++i) {
            if (after_lead) {
                after_lead = false;
                --characters_left;
            } else if (platform::IsCp932LeadByte(static_cast<unsigned char>(bytes[i]))) {
                after_lead = true;
            } else {
                --characters_left;
            }
        }
    }
    cp932 = std::move(bytes);
    return true;
}

bool ReadField(BinaryFile& file, std::string& value) {
    std::string cp932;
    if (!ReadCp932Text(file, cp932)) return false;
    value = platform::Cp932ToUtf8(cp932);
    return true;
}

bool WriteCp932Text(BinaryFile& file, std::string_view cp932) {
    const std::size_t count = platform::Cp932CharacterCount(cp932);
    if (count > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) return false;
    return WriteRaw(file, static_cast<std::int32_t>(count)) && file.Write(cp932.data(), cp932.size());
}

bool WriteField(BinaryFile& file, std::string_view value) {
    return WriteCp932Text(file, platform::Utf8ToCp932(value));
}

bool ReadField(BinaryFile& file, Variant& value) {
    std::int16_t tag;
    if (!ReadRaw(file, tag)) return false;
    switch (tag) {
        case Variant::kEmpty: value = Variant(); return true;
        case Variant::kNull: value = Variant::Null(); return true;
        case Variant::kInteger: { std::int16_t v; if (!ReadRaw(file, v)) return false; value = Variant(v); return true; }
        case Variant::kLong: { std::int32_t v; if (!ReadRaw(file, v)) return false; value = Variant(v); return true; }
        case Variant::kSingle: { float v; if (!ReadRaw(file, v)) return false; value = Variant(v); return true; }
        case Variant::kDouble: { double v; if (!ReadRaw(file, v)) return false; value = Variant(v); return true; }
        case Variant::kDate: { double v; if (!ReadRaw(file, v)) return false; value = Variant::FromDate(v); return true; }
        case Variant::kBoolean: { bool v; if (!ReadField(file, v)) return false; value = Variant(v); return true; }
        default: return false;  // a type whose size we do not know: the rest can't be found
    }
}

bool WriteField(BinaryFile& file, const Variant& value) {
    if (!WriteRaw(file, static_cast<std::int16_t>(value.tag()))) return false;
    return std::visit(
        [&](const auto& v) -> bool {
            using T = std::decay_t<decltype(v)>;
            if constexpr (std::is_same_v<T, VariantEmpty> || std::is_same_v<T, VariantNull>) {
                return true;
            } else if constexpr (std::is_same_v<T, VariantDate>) {
                return WriteRaw(file, v.value);
            } else {
                return WriteField(file, v);
            }
        },
        value.value());
}

bool ReadMagic(BinaryFile& file) {
    std::int32_t magic;
    return ReadRaw(file, magic) && magic == kRecordMagic;
}

bool WriteMagic(BinaryFile& file) {
    return WriteRaw(file, kRecordMagic);
}

}  // namespace murtesk
