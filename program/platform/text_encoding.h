// Conversion between the program's in-memory text (UTF-8) and CP932, the code page of every text
// the system keeps in a file. Both directions work on byte lengths (a text may hold NUL), never
// throw and never truncate: what cannot be converted is replaced and the rest goes on.
//   UTF-8 -> CP932: a character CP932 lacks (or one the converter would drop: the language tags), or
//   a sequence that is not valid UTF-8, becomes "?". Linear in the text, however many it replaces.
//   CP932 -> UTF-8: a byte sequence that is not valid CP932 becomes U+FFFD, one per bad byte.
// Thread-safe: each thread keeps its own converters; what CP932 makes of each character is learnt from
// them once for the process.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace murtesk::platform {

// Converts UTF-8 text to CP932. `replaced`, when given, receives the number of replacements made.
std::string Utf8ToCp932(std::string_view utf8, std::size_t* replaced = nullptr);

// Converts CP932 text to UTF-8. `replaced`, when given, receives the number of replacements made.
std::string Cp932ToUtf8(std::string_view cp932, std::size_t* replaced = nullptr);

// What the files make of a UTF-8 text. CP932 holds a character as it is when the character turns
// into CP932 and back into itself; every other character reads back as something else: "?" for one
// CP932 lacks (é, €, an emoji, a combining mark), or a look-alike for the few CP932 takes in place of
// another ("〜" U+301C reads back as "～" U+FF5E, "¥" as a backslash). A byte that is not UTF-8 is not held,
// nor a lone surrogate of UTF-16 in its three-byte form (ED A0 80 for U+D800), one character of the text.
// Linear in the length of the text.
struct Cp932Fit {
    struct Change {
        std::string typed;   // one character of the text (or one byte that is not UTF-8)
        std::string stored;  // what reads back in its place
    };
    std::string stored;           // the whole text as it reads back from its CP932 form
    std::vector<Change> changes;  // each character not held, once, in the order it first appears

    bool Holds() const { return changes.empty(); }
};
Cp932Fit FitToCp932(std::string_view utf8);

// The lead bytes of a CP932 double-byte character: 0x81-0x9F and 0xE0-0xFC.
constexpr bool IsCp932LeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The length of the UTF-8 sequence that starts `rest` (not empty), or 1 when its first byte starts
// none or the sequence is cut short: the step Utf8ToCp932 takes over each character.
std::size_t Utf8SequenceLength(std::string_view rest);

// The number of characters in CP932 bytes: a lead byte and the byte after it count once
// (a lead byte at the very end counts once on its own).
std::size_t Cp932CharacterCount(std::string_view cp932);

}  // namespace murtesk::platform
