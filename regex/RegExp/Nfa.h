// Thompson construction: parse tree -> nondeterministic automaton.
//
// Node on states a -> b: a leaf is one transition a -> b; a concatenation puts a new state c
// between its parts; a union runs both parts a -> b; a star gets new states c, d with empty moves
// a -> c, d -> c, c -> b around its operand c -> d; the empty node is an empty move a -> b.
// State 0 is the start and state 1 the end; no transition ever enters 0 or leaves 1.
//
// "^" is a line-start anchor only where its transition leaves state 0, and "$" a line-end anchor
// only where its transition enters state 1; anywhere else they are the literal characters. That
// is decided here, per occurrence, before the character ranges are cut into disjoint pieces, so
// a literal "^" or "$" is a range like any other.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "ParseTree.h"

namespace sarnik {

class TNFA {
public:
    static constexpr uint32_t Empty = 0xFFFFFFFF;
    static constexpr uint32_t LineStart = 0xFFFFFFFE;
    static constexpr uint32_t LineEnd = 0xFFFFFFFD;
    static constexpr uint32_t InitialState = 0;
    static constexpr uint32_t FinalState = 1;

    struct Transition {
        uint32_t label;  // Empty, LineStart, LineEnd, or an index into ranges()
        uint32_t target;
    };

    // Builds the automaton; a pattern beyond the state budget raises ERegExpParser (TooComplex)
    // with errorPosition.
    TNFA(const TParseTree& tree, uint32_t errorPosition);

    size_t stateCount() const { return states_.size(); }
    const std::vector<Transition>& transitions(uint32_t state) const { return states_[state]; }
    // The character ranges used as labels, and for each the disjoint pieces it consists of.
    const RangePartition& pieces() const { return pieces_; }

private:
    uint32_t newState();

    std::vector<std::vector<Transition>> states_;
    std::vector<std::pair<uint16_t, uint16_t>> ranges_;
    RangePartition pieces_;
    uint32_t errorPosition_;
};

}  // namespace sarnik
