// AWK-like text helpers over the Sarnik library's search: RSTART/RLENGTH style matching and field
// splitting of the program's UTF-8 text.
//
// The library searches CP932 bytes. Each call hands it a CP932 copy of the text and maps the byte
// positions it reports back to byte positions of the UTF-8 text, character by character, so a cut
// always falls on the same character the library found, also where a character has no CP932 form
// (it travels as one "?" byte and maps back to its whole UTF-8 sequence).
//
// Positions (RStart) and lengths (RLength) are 1-based byte counts of the UTF-8 text.
#pragma once

#include "sarnik_binding.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace murtesk {

class AwkLike {
public:
    explicit AwkLike(RESearchFunction search) : search_(std::move(search)) {}

    // The position of the leftmost-longest match of `pattern` in `text`, 0 when there is none, -1
    // for a bad pattern. RLength gets the match's length (on -1: what the library left there).
    std::int32_t RegSearch(std::string_view text, std::string_view pattern);

    // As RegSearch, but only a non-empty match counts: its position (> 0), or 0 with RStart -1 and
    // RLength 0 for no match, an empty match or a bad pattern.
    std::int32_t AwkMatch(std::string_view text, std::string_view pattern);

    // Splits `text` into `fields` (emptied first) and returns their number. A text of spaces only
    // gives none. An empty separator makes the fields the runs of characters other than space and
    // tab; otherwise the fields lie between the matches of the separator ("a,b," gives a, b and an
    // empty field). Fields are not trimmed.
    std::int32_t AwkSplit(std::string_view text, std::vector<std::string>& fields, std::string_view separator);

    std::int32_t RStart = 0;
    std::int32_t RLength = 0;

private:
    class Cp932Text;
    std::int32_t SearchFrom(const Cp932Text& text, std::size_t from, const std::string& pattern);
    std::int32_t MatchFrom(const Cp932Text& text, std::size_t from, const std::string& pattern);

    RESearchFunction search_;
};

}  // namespace murtesk
