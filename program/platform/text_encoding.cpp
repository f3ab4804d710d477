#include "text_encoding.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <iconv.h>
#include <optional>
#include <unordered_set>
#include <utility>
#include <vector>

namespace murtesk::platform {
namespace {

// One iconv descriptor per direction and thread; iconv state is not shareable between threads.
class Converter {
public:
    Converter(const char* to, const char* from) : handle_(iconv_open(to, from)) {}
    ~Converter() {
        if (valid()) iconv_close(handle_);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool valid() const { return handle_ != reinterpret_cast<iconv_t>(-1); }

    // Converts `input`, calling `on_bad(rest)` at every position iconv refuses; on_bad gives the
    // replacement and the number of input bytes to skip. The output has room for all the rest from the
    // start (`most` bytes for each byte of input, replacements included): when glibc's iconv stops short
    // of the end of its input for a full output, its first step converts again all it had converted
    // ahead, once for every buffer filled.
    template <class OnBad>
    std::string Run(std::string_view input, std::size_t most, OnBad on_bad) {
        std::string out(input.size() * most, '\0');
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(input.data());
        std::size_t in_left = input.size();
        char* dst = out.data();
        std::size_t dst_left = out.size();
        const auto room = [&](std::size_t bytes) {
            if (dst_left >= bytes) return;
            const auto used = static_cast<std::size_t>(dst - out.data());
            out.resize(used + bytes + in_left * most);
            dst = out.data() + used;
            dst_left = out.size() - used;
        };
        while (in_left > 0) {
            const std::size_t rc = iconv(handle_, &in, &in_left, &dst, &dst_left);
            if (rc != static_cast<std::size_t>(-1)) continue;
            if (errno == E2BIG) {
                room(16);
                continue;
            }
            // EILSEQ (invalid or unmappable) or EINVAL (incomplete at the end): replace and go on.
            const auto [replacement, length] = on_bad(std::string_view(in, in_left));
            std::size_t skip = length;
            if (skip == 0 || skip > in_left) skip = 1;
            room(replacement.size());
            std::copy(replacement.begin(), replacement.end(), dst);
            dst += replacement.size();
            dst_left -= replacement.size();
            in += skip;
            in_left -= skip;
            iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        }
        out.resize(static_cast<std::size_t>(dst - out.data()));
        return out;
    }

    // Converts one character on its own into `out` (room for 8 bytes); the number of bytes written,
    // or nothing when iconv refuses it.
    std::optional<std::size_t> One(std::string_view character, char* out) {
        iconv(handle_, nullptr, nullptr, nullptr, nullptr);
        char* in = const_cast<char*>(character.data());
        std::size_t in_left = character.size();
        char* dst = out;
        std::size_t dst_left = 8;
        if (iconv(handle_, &in, &in_left, &dst, &dst_left) == static_cast<std::size_t>(-1) || in_left != 0) {
            return std::nullopt;
        }
        return static_cast<std::size_t>(dst - out);
    }

private:
    iconv_t handle_;
};

// What CP932 makes of each character, learnt from iconv one character at a time and kept for the
// process, a slot per code point: kUnknown not asked yet, kRefused for a character it lacks (or one it
// would turn into nothing), else 1 + the code (a byte, or lead << 8 | trail: a double-byte code set
// takes no more than two for a character, and its lead bytes make every double code above 0xFF).
// The slots of code points never met stay untouched pages.
constexpr std::uint16_t kUnknown = 0;
constexpr std::uint16_t kRefused = 0xFFFF;
std::atomic<std::uint16_t> g_cp932_of[0x110000];

std::uint16_t Learn(Converter& converter, std::string_view character) {
    char code[8];
    const std::optional<std::size_t> length = converter.One(character, code);
    const auto byte = [&](std::size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(code[i])); };
    if (length == 1u) return static_cast<std::uint16_t>(1 + byte(0));
    const unsigned pair = length == 2u ? byte(0) << 8 | byte(1) : 0;
    return pair > 0xFF && pair + 1 < kRefused ? static_cast<std::uint16_t>(1 + pair) : kRefused;
}

// The code point of one UTF-8 sequence as Utf8SequenceLength cuts them, when it is written in the one
// form UTF-8 allows; nothing for a stray byte, a longer form than needed, a surrogate or a code beyond
// U+10FFFF, none of which is a character to convert.
std::optional<char32_t> CodePoint(std::string_view sequence) {
    const auto byte = [&](std::size_t i) { return static_cast<char32_t>(static_cast<unsigned char>(sequence[i])); };
    switch (sequence.size()) {
    case 1: return byte(0) < 0x80 ? std::optional(byte(0)) : std::nullopt;
    case 2: {
        const char32_t code = (byte(0) & 0x1F) << 6 | (byte(1) & 0x3F);
        return code >= 0x80 ? std::optional(code) : std::nullopt;
    }
    case 3: {
        const char32_t code = (byte(0) & 0x0F) << 12 | (byte(1) & 0x3F) << 6 | (byte(2) & 0x3F);
        return code >= 0x800 && (code < 0xD800 || code > 0xDFFF) ? std::optional(code) : std::nullopt;
    }
    default: {
        const char32_t code =
            (byte(0) & 0x07) << 18 | (byte(1) & 0x3F) << 12 | (byte(2) & 0x3F) << 6 | (byte(3) & 0x3F);
        return code >= 0x10000 && code <= 0x10FFFF ? std::optional(code) : std::nullopt;
    }
    }
}

// What CP932 makes of one character of a UTF-8 text (as Utf8SequenceLength cuts them).
std::uint16_t Cp932Of(Converter& converter, std::string_view character) {
    const std::optional<char32_t> code = character.size() == 1 && static_cast<unsigned char>(character[0]) < 0x80
                                             ? std::optional<char32_t>(static_cast<unsigned char>(character[0]))
                                             : CodePoint(character);
    if (!code) return kRefused;
    std::atomic<std::uint16_t>& slot = g_cp932_of[*code];
    std::uint16_t known = slot.load(std::memory_order_relaxed);
    if (known == kUnknown) {
        known = Learn(converter, character);
        slot.store(known, std::memory_order_relaxed);  // every thread learns the same
    }
    return known;
}

}  // namespace

std::size_t Utf8SequenceLength(std::string_view rest) {
    const auto lead = static_cast<unsigned char>(rest[0]);
    std::size_t length = 1;
    if (lead >= 0xC2 && lead <= 0xDF) length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) length = 3;
    else if (lead >= 0xF0 && lead <= 0xF4) length = 4;
    if (length > rest.size()) return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(rest[i]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

// Character by character through what CP932 makes of each (above): a text of many characters CP932
// lacks costs no more than any other. CP932 has no shift states, so a character converts the same
// wherever it stands.
std::string Utf8ToCp932(std::string_view utf8, std::size_t* replaced) {
    thread_local Converter converter("CP932", "UTF-8");
    std::size_t count = 0;
    // No character takes more bytes in CP932 than in UTF-8, nor its replacement.
    std::string out(utf8.size(), '\0');
    char* dst = out.data();
    for (std::size_t i = 0; i < utf8.size();) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const std::size_t length = byte < 0x80 ? 1 : Utf8SequenceLength(utf8.substr(i));
        // Without the converter only ASCII passes.
        const std::uint16_t code = converter.valid() ? Cp932Of(converter, utf8.substr(i, length))
                                   : byte < 0x80     ? static_cast<std::uint16_t>(1 + byte)
                                                     : kRefused;
        i += length;
        if (code == kRefused) {
            *dst++ = '?';
            ++count;
        } else if (code - 1 <= 0xFF) {
            *dst++ = static_cast<char>(code - 1);
        } else {
            *dst++ = static_cast<char>((code - 1) >> 8);
            *dst++ = static_cast<char>((code - 1) & 0xFF);
        }
    }
    out.resize(static_cast<std::size_t>(dst - out.data()));
    if (replaced) *replaced = count;
    return out;
}

std::string Cp932ToUtf8(std::string_view cp932, std::size_t* replaced) {
    thread_local Converter converter("UTF-8", "CP932");
    static constexpr std::string_view kReplacement = "\xEF\xBF\xBD";
    std::size_t count = 0;
    std::string out;
    if (converter.valid()) {
        // A byte of CP932 gives at most three of UTF-8 (a half-width kana, a replacement).
        out = converter.Run(cp932, 3, [&](std::string_view) {
            ++count;
            return std::pair{kReplacement, std::size_t{1}};
        });
    } else {
        for (const char c : cp932) {
            if (static_cast<unsigned char>(c) < 0x80) {
                out.push_back(c);
            } else {
                out.append(kReplacement);
                ++count;
            }
        }
    }
    if (replaced) *replaced = count;
    return out;
}

// CP932 has no shift states, so a character converts the same wherever it stands, and a line break
// converts to itself between any two. The characters that do not read back as themselves are found by
// converting every distinct character once, all of them in one text a line each: the work grows with
// the length of the text, however many characters of it CP932 lacks.
Cp932Fit FitToCp932(std::string_view utf8) {
    Cp932Fit fit;
    fit.stored = Cp932ToUtf8(Utf8ToCp932(utf8));
    if (fit.stored == utf8) return fit;
    std::vector<bool> seen(0x110000);                  // by code point
    std::unordered_set<std::string_view> seenInvalid;  // the sequences that are none
    std::vector<std::string_view> distinct;
    std::string lines;
    for (std::size_t i = 0; i < utf8.size();) {
        const std::string_view typed = utf8.substr(i, Utf8SequenceLength(utf8.substr(i)));
        i += typed.size();
        if (static_cast<unsigned char>(typed[0]) < 0x80) continue;
        if (const std::optional<char32_t> code = CodePoint(typed)) {
            if (seen[*code]) continue;
            seen[*code] = true;
        } else if (!seenInvalid.insert(typed).second) {
            continue;
        }
        distinct.push_back(typed);
        lines.append(typed);
        lines.push_back('\n');
    }
    const std::string back = Cp932ToUtf8(Utf8ToCp932(lines));
    std::size_t start = 0;
    for (const std::string_view typed : distinct) {
        std::size_t end = back.find('\n', start);
        if (end == std::string::npos) end = back.size();
        const std::string_view stored(back.data() + start, end - start);
        start = end + 1;
        if (stored != typed) fit.changes.push_back({std::string(typed), std::string(stored)});
    }
    return fit;
}

std::size_t Cp932CharacterCount(std::string_view cp932) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < cp932.size(); ++count) {
        i += IsCp932LeadByte(static_cast<unsigned char>(cp932[i])) ? 2 : 1;
    }
    return count;
}

}  // namespace murtesk::platform
