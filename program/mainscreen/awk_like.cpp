#include "awk_like.h"

#include "platform/text_encoding.h"

#include <algorithm>

namespace murtesk {

using platform::Cp932CharacterCount;
using platform::IsCp932LeadByte;
using platform::Utf8SequenceLength;
using platform::Utf8ToCp932;

// The CP932 form of a UTF-8 text with, for every CP932 byte (and the end), the UTF-8 byte offset of
// the character it belongs to.
class AwkLike::Cp932Text {
public:
    explicit Cp932Text(std::string_view utf8)
    {
        bytes.reserve(utf8.size());
        utf8At.reserve(utf8.size() + 1);
        std::size_t i = 0;
        while (i < utf8.size()) {
            if (static_cast<unsigned char>(utf8[i]) < 0x80) {
                Append(utf8[i], i);
                ++i;
                continue;
            }
            std::size_t end = i;
            while (end < utf8.size() && static_cast<unsigned char>(utf8[end]) >= 0x80) ++end;
            AppendRun(utf8.substr(i, end - i), i);
            i = end;
        }
        utf8At.push_back(static_cast<std::uint32_t>(utf8.size()));
    }

    std::string bytes;
    std::vector<std::uint32_t> utf8At;

private:
    void Append(char byte, std::size_t offset)
    {
        bytes.push_back(byte);
        utf8At.push_back(static_cast<std::uint32_t>(offset));
    }

    // A run of non-ASCII text. Usually it converts character for character without replacement and
    // one pass does; otherwise each character is converted alone.
    void AppendRun(std::string_view run, std::size_t offset)
    {
        std::vector<std::size_t> starts;
        for (std::size_t k = 0; k < run.size(); k += Utf8SequenceLength(run.substr(k))) starts.push_back(k);
        std::size_t replaced = 0;
        const std::string whole = Utf8ToCp932(run, &replaced);
        if (replaced == 0 && Cp932CharacterCount(whole) == starts.size()) {
            std::size_t b = 0;
            for (std::size_t start : starts) {
                const std::size_t width =
                    IsCp932LeadByte(static_cast<unsigned char>(whole[b])) && b + 1 < whole.size() ? 2 : 1;
                for (std::size_t w = 0; w < width; ++w) Append(whole[b + w], offset + start);
                b += width;
            }
            return;
        }
        for (std::size_t c = 0; c < starts.size(); ++c) {
            const std::size_t end = c + 1 < starts.size() ? starts[c + 1] : run.size();
            for (char byte : Utf8ToCp932(run.substr(starts[c], end - starts[c]))) Append(byte, offset + starts[c]);
        }
    }
};

std::int32_t AwkLike::SearchFrom(const Cp932Text& text, std::size_t from, const std::string& pattern)
{
    std::int32_t length = 0;
    const std::int32_t p = search_(text.bytes.c_str() + from, pattern.c_str(), &length);
    RLength = length;
    if (p <= 0) return p;
    const std::size_t size = text.bytes.size();
    const std::size_t start = std::min(from + static_cast<std::size_t>(p) - 1, size);
    const std::size_t end = length > 0 ? std::min(start + static_cast<std::size_t>(length), size) : start;
    RLength = static_cast<std::int32_t>(text.utf8At[end] - text.utf8At[start]);
    return static_cast<std::int32_t>(text.utf8At[start] - text.utf8At[from]) + 1;
}

std::int32_t AwkLike::MatchFrom(const Cp932Text& text, std::size_t from, const std::string& pattern)
{
    RStart = SearchFrom(text, from, pattern);
    if (RLength == 0) {
        RStart = -1;
        return 0;
    }
    if (RStart <= 0) {
        RLength = 0;
        return 0;
    }
    return RStart;
}

std::int32_t AwkLike::RegSearch(std::string_view text, std::string_view pattern)
{
    return SearchFrom(Cp932Text(text), 0, Utf8ToCp932(pattern));
}

std::int32_t AwkLike::AwkMatch(std::string_view text, std::string_view pattern)
{
    return MatchFrom(Cp932Text(text), 0, Utf8ToCp932(pattern));
}

std::int32_t AwkLike::AwkSplit(std::string_view text, std::vector<std::string>& fields, std::string_view separator)
{
    fields.clear();
    if (text.find_first_not_of(' ') == std::string_view::npos) return 0;

    // The rest after each match is a suffix of the CP932 copy, so the text is converted once.
    const Cp932Text cp932(text);
    std::size_t rest = 0;  // CP932 offset of the rest
    const auto restText = [&] { return text.substr(cp932.utf8At[rest]); };
    // Moves the rest past the match just found (RStart, RLength are relative to the rest).
    const auto skipMatch = [&] {
        const std::uint32_t matchEnd = cp932.utf8At[rest] + static_cast<std::uint32_t>(RStart - 1 + RLength);
        while (rest < cp932.bytes.size() && cp932.utf8At[rest] < matchEnd) ++rest;
    };

    if (separator.empty()) {
        const std::string runs = Utf8ToCp932("[^ \t]+");
        while (MatchFrom(cp932, rest, runs) > 0) {
            fields.emplace_back(restText().substr(static_cast<std::size_t>(RStart - 1), static_cast<std::size_t>(RLength)));
            skipMatch();
        }
        return static_cast<std::int32_t>(fields.size());
    }

    const std::string pattern = Utf8ToCp932(separator);
    for (;;) {
        if (MatchFrom(cp932, rest, pattern) == 0) {
            fields.emplace_back(restText());
            break;
        }
        fields.emplace_back(restText().substr(0, static_cast<std::size_t>(RStart - 1)));
        skipMatch();
    }
    return static_cast<std::int32_t>(fields.size());
}

}  // namespace murtesk
