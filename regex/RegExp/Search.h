// Leftmost-longest search of a compiled pattern over CP932 text.
#pragma once

#include <cstddef>
#include <string_view>

#include "Dfa.h"

namespace sarnik {

struct MatchResult {
    bool found = false;
    size_t pos = 0;  // 0-based byte offset of the match
    size_t len = 0;  // its length in bytes
};

// The leftmost match, and of those starting there the longest. lineStart says whether the text
// begins a line (so "^" may match at offset 0); "^" also matches after every line feed.
MatchResult searchFrom(const TDFA& dfa, std::string_view text, bool lineStart);

}  // namespace sarnik
