// Pattern scanner: turns the pattern bytes into tokens, one CP932 character at a time, so a
// trail byte that looks like "\", "|" or "[" is never syntax.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace sarnik {

// Codes that no text character has: the two anchors and the empty move of the automaton.
constexpr uint16_t LineStartCode = 0xFFFD;
constexpr uint16_t LineEndCode = 0xFFFE;
constexpr uint16_t EmptyMoveCode = 0xFFFF;

enum class TokenKind : uint8_t {
    Char = 0,
    Bar = 1,
    LParen = 2,
    RParen = 3,
    Star = 4,
    Plus = 5,
    Minus = 6,  // inside brackets only
    Question = 7,
    LBracket = 8,
    LBracketCaret = 9,
    RBracket = 10,
    Dot = 11,
    End = 12,
};

class TToken {
public:
    TToken(std::string_view pattern, bool fullWidth) : pattern_(pattern), fullWidth_(fullWidth) {}

    // Next token outside brackets. "^" and "$" give characters with the anchor codes.
    void next();
    // Next token inside brackets, where only "]", "-" and "\" are special.
    void nextInBracket();
    // Goes back to the start of the current token, so the next read returns it again.
    void unread() { pos_ = start_; }

    TokenKind kind() const { return kind_; }
    uint16_t value() const { return value_; }
    // Pattern bytes consumed so far: the position an error reports.
    uint32_t consumed() const { return static_cast<uint32_t>(pos_); }

private:
    void readEscapeValue();

    std::string_view pattern_;
    bool fullWidth_;
    size_t pos_ = 0;
    size_t start_ = 0;
    TokenKind kind_ = TokenKind::End;
    uint16_t value_ = 0;
};

}  // namespace sarnik
