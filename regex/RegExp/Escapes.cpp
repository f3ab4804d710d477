#include "Escapes.h"

#include "Cp932.h"

namespace sarnik {
namespace {

int hexValue(uint16_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 0x824F && c <= 0x8258) return c - 0x824F;       // full-width 0-9
    if (c >= 0x8281 && c <= 0x8286) return c - 0x8281 + 10;  // full-width a-f
    if (c >= 0x8260 && c <= 0x8265) return c - 0x8260 + 10;  // full-width A-F
    return -1;
}

int octalValue(uint16_t c) {
    if (c >= '0' && c <= '7') return c - '0';
    if (c >= 0x824F && c <= 0x8256) return c - 0x824F;
    return -1;
}

// Reads up to maxDigits digits of the given kind; the character after them stays unread.
template <typename DigitFn>
uint32_t readNumber(std::string_view s, size_t& pos, int maxDigits, int base, DigitFn digit) {
    uint32_t value = 0;
    for (int i = 0; i < maxDigits; ++i) {
        const Char c = step(s, pos);
        const int d = c.width ? digit(c.code) : -1;
        if (d < 0) break;
        value = value * base + d;
        pos += c.width;
    }
    return value;
}

}  // namespace

std::optional<uint16_t> readEscape(std::string_view s, size_t& pos, bool fullWidth) {
    const Char e = step(s, pos);
    if (e.width == 0) return std::nullopt;
    if (octalValue(e.code) >= 0)
        return static_cast<uint16_t>(readNumber(s, pos, 6, 8, octalValue) & 0xFFFF);
    pos += e.width;
    switch (e.code) {
    case 'b': return 8;
    case 'r': return 13;
    case 'n': return 10;
    case 't': return 9;
    case 'x': return static_cast<uint16_t>(readNumber(s, pos, 4, 16, hexValue));
    default: break;
    }
    if (fullWidth) {
        switch (e.code) {
        case fw::b: return 8;
        case fw::r: return 13;
        case fw::n: return 10;
        case fw::t: return 9;
        case fw::x: return static_cast<uint16_t>(readNumber(s, pos, 4, 16, hexValue));
        default: break;
        }
    }
    return e.code;
}

}  // namespace sarnik
