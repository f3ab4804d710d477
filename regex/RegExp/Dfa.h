// Subset construction: NFA -> complete deterministic automaton, built whole at compile time.
//
// Each DFA state is the empty-move closure of a set of NFA states. The transitions of a state are
// computed per disjoint piece of the code space and then merged into sorted, disjoint ranges; a
// lookup is a table read for the codes below 128 and a binary search for the others. The anchors
// are not characters: the start state keeps its target on "^" apart (the search runs it at line
// starts), and a state that can take "$" carries a flag. The automaton is capped at MaxDfaStates
// states; a pattern beyond the cap is refused as a pattern error instead of exhausting time or
// memory.
#pragma once

#include <cstddef>
#include <array>
#include <cstdint>
#include <vector>

#include "Nfa.h"

namespace sarnik {

class TDFA {
public:
    static constexpr size_t MaxDfaStates = 10000;
    static constexpr int32_t None = -1;

    struct Range {
        uint16_t lo, hi;
        int32_t target;
    };
    struct State {
        std::vector<Range> transitions;  // ascending by lo, disjoint
        bool accepting = false;
        bool lineEnd = false;  // "$" may end a match here
    };

    // Raises ERegExpParser (TooComplex, errorPosition) when the budget is exceeded.
    TDFA(const TNFA& nfa, bool fullWidth, uint32_t errorPosition);

    bool fullWidth() const { return fullWidth_; }
    size_t stateCount() const { return states_.size(); }
    const State& state(int32_t s) const { return states_[size_t(s)]; }
    static constexpr int32_t Initial = 0;
    // The initial state's target on "^", or None.
    int32_t lineStartState() const { return lineStart_; }

    // Whether a character whose first byte is b can begin a match from the initial state; the
    // search skips the others without running the automaton.
    bool canStartWith(uint8_t b) const { return startByte_[b]; }

    int32_t next(int32_t s, uint16_t code) const {
        if (code < AsciiCodes) return ascii_[size_t(s) * AsciiCodes + code];
        const auto& t = states_[size_t(s)].transitions;
        size_t lo = 0, hi = t.size();
        while (lo < hi) {
            const size_t mid = (lo + hi) / 2;
            if (t[mid].hi < code)
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo < t.size() && t[lo].lo <= code ? t[lo].target : None;
    }

private:
    // Targets on the codes below 128 for every state, row by row: most text is ASCII, and a
    // table lookup there beats the binary search.
    static constexpr size_t AsciiCodes = 128;
    std::vector<State> states_;
    std::vector<int32_t> ascii_;
    std::array<bool, 256> startByte_{};
    int32_t lineStart_ = None;
    bool fullWidth_;
};

}  // namespace sarnik
