#include "awk_like.h"

#include "platform/dynamic_library.h"
#include "platform/text_encoding.h"

namespace murtesk {

std::int16_t g_RStart = 0;
std::int32_t g_RLength = 0;

namespace {

platform::DynamicLibrary& SarnikLibrary()
{
    static platform::DynamicLibrary library("libSarnik.so");
    return library;
}

// The library's search on CP932 bytes; -1 (a failed search) when the library is missing.
std::int32_t SearchCp932(const std::string& text, const std::string& pattern, std::int32_t& length)
{
    static const platform::LibraryFunction<std::int32_t(const char*, const char*, std::int32_t*)> search(
        SarnikLibrary(), "RESearch", -1);
    length = 0;
    return search(text.c_str(), pattern.c_str(), &length);
}

// Bytes of the UTF-16 form of a UTF-8 text.
std::int32_t Utf16Bytes(const std::string& utf8)
{
    std::int32_t units = 0;
    for (unsigned char c : utf8) {
        if ((c & 0xC0) != 0x80) {
            units += c >= 0xF0 ? 2 : 1;  // characters beyond the basic plane take a surrogate pair
        }
    }
    return units * 2;
}

// A non-empty match of pattern in the CP932 text from byte `from`: its 0-based start and length.
bool NextMatch(const std::string& cp932, std::size_t from, const std::string& pattern, std::size_t& start, std::size_t& length)
{
    std::int32_t len = 0;
    const std::int32_t p = SearchCp932(cp932.substr(from), pattern, len);
    if (p <= 0 || len <= 0) {
        return false;
    }
    start = from + static_cast<std::size_t>(p - 1);
    length = static_cast<std::size_t>(len);
    return true;
}

bool BlankOnly(const std::string& text)
{
    return text.find_first_not_of(' ') == std::string::npos;
}

}  // namespace

std::int16_t RegSearch(const std::string& text, const std::string& pattern)
{
    const std::string bytes = platform::Utf8ToCp932(text);
    std::int32_t length = 0;
    const std::int32_t p = SearchCp932(bytes, platform::Utf8ToCp932(pattern), length);
    g_RLength = length;
    if (p <= 0) {
        return static_cast<std::int16_t>(p);
    }
    const auto start = static_cast<std::size_t>(p - 1);
    g_RLength = Utf16Bytes(platform::Cp932ToUtf8(bytes.substr(start, static_cast<std::size_t>(length))));
    return static_cast<std::int16_t>(Utf16Bytes(platform::Cp932ToUtf8(bytes.substr(0, start))) + 1);
}

std::int16_t AwkMatch(const std::string& text, const std::string& pattern)
{
    g_RStart = RegSearch(text, pattern);
    if (static_cast<std::int16_t>(g_RLength) == 0 || g_RStart <= 0) {
        if (static_cast<std::int16_t>(g_RLength) == 0) {
            g_RStart = -1;
        }
        g_RLength = 0;
        return 0;
    }
    return g_RStart;
}

std::int16_t AwkSplit(const std::string& text, std::vector<std::string>& fields, std::string separator)
{
    fields.clear();
    if (BlankOnly(text)) {
        return 0;
    }
    // The cuts are made in the CP932 bytes the library searched, so they fall on its match exactly.
    const std::string bytes = platform::Utf8ToCp932(text);
    std::size_t rest = 0;
    std::size_t start = 0;
    std::size_t length = 0;
    if (separator.empty()) {
        const std::string word = platform::Utf8ToCp932("[^ \t]+");
        while (rest < bytes.size() && NextMatch(bytes, rest, word, start, length)) {
            fields.push_back(platform::Cp932ToUtf8(bytes.substr(start, length)));
            rest = start + length;
        }
    } else {
        const std::string pattern = platform::Utf8ToCp932(separator);
        for (;;) {
            if (!NextMatch(bytes, rest, pattern, start, length)) {
                fields.push_back(platform::Cp932ToUtf8(bytes.substr(rest)));
                break;
            }
            fields.push_back(platform::Cp932ToUtf8(bytes.substr(rest, start - rest)));
            rest = start + length;
        }
    }
    return static_cast<std::int16_t>(fields.size());
}

}  // namespace murtesk
