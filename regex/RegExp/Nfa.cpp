#include "Nfa.h"

#include <map>
#include <stdexcept>

#include "RegExpError.h"
#include "Token.h"

namespace sarnik {
namespace {

// "x+" shares its operand, so nested "+" doubles the automaton each time: cap it.
constexpr size_t MaxNfaStates = 100000;

}  // namespace

uint32_t TNFA::newState() {
    if (states_.size() >= MaxNfaStates) throw ERegExpParser(msg::TooComplex, errorPosition_);
    states_.emplace_back();
    return static_cast<uint32_t>(states_.size() - 1);
}

TNFA::TNFA(const TParseTree& tree, uint32_t errorPosition) : errorPosition_(errorPosition) {
    newState();  // 0: initial
    newState();  // 1: final
    std::map<std::pair<uint16_t, uint16_t>, uint32_t> labelOf;
    auto label = [&](uint16_t lo, uint16_t hi) {
        auto [it, added] = labelOf.emplace(std::make_pair(lo, hi), uint32_t(ranges_.size()));
        if (added) ranges_.emplace_back(lo, hi);
        return it->second;
    };
    auto add = [&](uint32_t from, uint32_t lbl, uint32_t to) { states_[from].push_back({lbl, to}); };

    struct Work {
        NodeId node;
        uint32_t a, b;
    };
    std::vector<Work> work = {{tree.root, InitialState, FinalState}};
    while (!work.empty()) {
        const Work w = work.back();
        work.pop_back();
        const Node& n = tree.node(w.node);
        switch (n.kind) {
        case NodeKind::Leaf:
            if (n.lo == LineStartCode && n.hi == LineStartCode)
                add(w.a, w.a == InitialState ? LineStart : label('^', '^'), w.b);
            else if (n.lo == LineEndCode && n.hi == LineEndCode)
                add(w.a, w.b == FinalState ? LineEnd : label('$', '$'), w.b);
            else
                add(w.a, label(n.lo, n.hi), w.b);
            break;
        case NodeKind::Concat: {
            const uint32_t c = newState();
            work.push_back({n.right, c, w.b});
            work.push_back({n.left, w.a, c});
            break;
        }
        case NodeKind::Union:
            work.push_back({n.right, w.a, w.b});
            work.push_back({n.left, w.a, w.b});
            break;
        case NodeKind::Star: {
            const uint32_t c = newState();
            const uint32_t d = newState();
            add(w.a, Empty, c);
            add(d, Empty, c);
            add(c, Empty, w.b);
            work.push_back({n.left, c, d});
            break;
        }
        case NodeKind::Empty:
            add(w.a, Empty, w.b);
            break;
        default:
            throw std::logic_error("This cannot happen in TNFA.GenerateStateList");
        }
    }
    pieces_ = partitionRanges(ranges_);
}

}  // namespace sarnik
