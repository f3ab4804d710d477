// Semantics
//   Matches start on character boundaries: a double-byte character is one step, so a match never
//   begins or ends inside one, and a trail byte is never read as a character of its own.
//   The result is the leftmost start at which anything matches, and of the matches starting
//   there the longest (POSIX leftmost-longest for the whole match; there are no submatches).
//   "^" matches the empty string at offset 0 when the caller says the text begins a line, and
//   after every line feed. "$" matches the empty string before a line feed and at the end.
//   "." and negated classes never match a line feed, a carriage return or code 0; code 0 (a NUL
//   byte, or the end of the text) is never a character, so a pattern range holding it matches
//   nothing there.
//
// Algorithm
//   For each start p (character by character): run the DFA from its initial state and remember
//   the last accepting offset, plus every offset before a line feed or at the end where the state
//   can take "$". When p is at a line start, run it also from the initial state's target on "^"
//   and keep the longer of the two: a line start offers both, and the union of two state sets
//   matches whatever either does. The first start with a match is the answer.
//
// Cost
//   Each start costs one pass of the DFA over the characters the pattern can still consume from
//   there, one table read or binary search per character. Patterns that fail fast ("," or a
//   literal) or succeed at once ("[^ \t]+") make a search linear in the text. The worst case is
//   quadratic: a pattern that can run far and then fail, such as "a*b" over a long run of "a"
//   with no "b", scans O(n) characters from each of O(n) starts, O(n^2) in all.
#include "Search.h"

#include <algorithm>

#include "Cp932.h"

namespace sarnik {
namespace {

// The end offset of the longest match from state s at offset p, or -1.
ptrdiff_t longestMatchAt(const TDFA& dfa, int32_t s, std::string_view text, size_t p) {
    ptrdiff_t best = -1;
    size_t cursor = p;
    for (;;) {
        const TDFA::State& st = dfa.state(s);
        const Char c = step(text, cursor);
        if (st.accepting || (st.lineEnd && (c.width == 0 || c.code == '\n'))) best = ptrdiff_t(cursor);
        if (c.code == 0) return best;  // end of the text, or a NUL byte
        s = dfa.next(s, c.code);
        if (s == TDFA::None) return best;
        cursor += c.width;
    }
}

}  // namespace

MatchResult searchFrom(const TDFA& dfa, std::string_view text, bool lineStart) {
    const int32_t caret = dfa.lineStartState();
    bool atLineStart = lineStart;
    size_t p = 0;
    for (;;) {
        if (!(atLineStart && caret != TDFA::None)) {
            while (p < text.size() && !dfa.canStartWith(uint8_t(text[p]))) {
                const Char c = step(text, p);
                p += c.width;
                atLineStart = c.code == '\n';
                if (atLineStart && caret != TDFA::None) break;
            }
        }
        ptrdiff_t end = longestMatchAt(dfa, TDFA::Initial, text, p);
        if (atLineStart && caret != TDFA::None) end = std::max(end, longestMatchAt(dfa, caret, text, p));
        if (end >= 0) return {true, p, size_t(end) - p};
        const Char c = step(text, p);
        if (c.width == 0) return {};
        atLineStart = c.code == '\n';
        p += c.width;
    }
}

}  // namespace sarnik
