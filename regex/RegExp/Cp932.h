// Reading CP932 (Shift-JIS) text one character at a time.
// Every part of the engine reads patterns, texts and replacements through step(), so the
// double-byte rule lives here and nowhere else.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sarnik {

// Lead bytes of code page 932.
constexpr bool isLeadByte(uint8_t b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }

struct Char {
    uint16_t code;  // lead * 256 + trail for a double-byte character, else the byte
    uint8_t width;  // bytes taken: 1 or 2, 0 at the end of the text
};

// The character at byte offset pos. A lead byte followed by another byte forms one character
// with it; a lead byte that is the last byte of the text is a one-byte character of its own,
// so reading never goes past the end.
inline Char step(std::string_view s, size_t pos) {
    if (pos >= s.size()) return {0, 0};
    const auto b = static_cast<uint8_t>(s[pos]);
    if (isLeadByte(b) && pos + 1 < s.size())
        return {static_cast<uint16_t>(b << 8 | static_cast<uint8_t>(s[pos + 1])), 2};
    return {b, 1};
}

// Full-width twins that count as metacharacters when the full-width option is on.
namespace fw {
constexpr uint16_t Bar = 0x8162, LParen = 0x8169, RParen = 0x816A, Star = 0x8196, Plus = 0x817B,
                   Question = 0x8148, RBracket = 0x816E, LBracket = 0x816D, Dot = 0x8144,
                   Yen = 0x818F, Dollar = 0x8190, Caret = 0x814F, Minus = 0x817C, Amp = 0x8195,
                   b = 0x8282, r = 0x8292, n = 0x828E, t = 0x8294, x = 0x8298;
}  // namespace fw

}  // namespace sarnik
