#include "Dfa.h"

#include <algorithm>
#include <map>
#include <unordered_map>

#include "Cp932.h"
#include "RegExpError.h"

namespace sarnik {
namespace {

using StateSet = std::vector<uint32_t>;  // sorted NFA state indices

struct SetHash {
    size_t operator()(const StateSet& s) const {
        size_t h = s.size();
        for (uint32_t v : s) h = h * 1000003u ^ v;
        return h;
    }
};

// Work limits besides the state cap: NFA indices kept in all sets, and target insertions.
constexpr size_t MaxSetEntries = 4'000'000;
constexpr size_t MaxSteps = 40'000'000;

class Builder {
public:
    Builder(const TNFA& nfa, uint32_t errorPosition)
        : nfa_(nfa), mark_(nfa.stateCount(), 0), errorPosition_(errorPosition) {}

    StateSet closure(const StateSet& seeds) {
        ++generation_;
        StateSet out;
        std::vector<uint32_t> stack(seeds.begin(), seeds.end());
        while (!stack.empty()) {
            const uint32_t q = stack.back();
            stack.pop_back();
            if (mark_[q] == generation_) continue;
            mark_[q] = generation_;
            out.push_back(q);
            for (const auto& t : nfa_.transitions(q))
                if (t.label == TNFA::Empty && mark_[t.target] != generation_) stack.push_back(t.target);
        }
        std::sort(out.begin(), out.end());
        return out;
    }

    int32_t findOrAdd(StateSet set, std::vector<TDFA::State>& states) {
        if (auto it = ids_.find(set); it != ids_.end()) return it->second;
        if (states.size() >= TDFA::MaxDfaStates) throw ERegExpParser(msg::TooComplex, errorPosition_);
        entries_ += set.size();
        if (entries_ > MaxSetEntries) throw ERegExpParser(msg::TooComplex, errorPosition_);
        TDFA::State st;
        st.accepting = std::binary_search(set.begin(), set.end(), TNFA::FinalState);
        const auto id = static_cast<int32_t>(states.size());
        states.push_back(std::move(st));
        sets_.push_back(set);
        ids_.emplace(std::move(set), id);
        return id;
    }

    void countStep() {
        if (++steps_ > MaxSteps) throw ERegExpParser(msg::TooComplex, errorPosition_);
    }

    const StateSet& set(int32_t id) const { return sets_[size_t(id)]; }

private:
    const TNFA& nfa_;
    std::vector<uint32_t> mark_;
    uint32_t generation_ = 0;
    std::unordered_map<StateSet, int32_t, SetHash> ids_;
    std::vector<StateSet> sets_;
    size_t entries_ = 0, steps_ = 0;
    uint32_t errorPosition_;
};

}  // namespace

TDFA::TDFA(const TNFA& nfa, bool fullWidth, uint32_t errorPosition) : fullWidth_(fullWidth) {
    Builder b(nfa, errorPosition);
    const auto& pieces = nfa.pieces();
    std::vector<StateSet> targetsOf(pieces.pieces.size());
    std::vector<uint32_t> touched;

    b.findOrAdd(b.closure({TNFA::InitialState}), states_);
    for (size_t s = 0; s < states_.size(); ++s) {
        StateSet lineStartTargets;
        bool lineEnd = false;
        touched.clear();
        // Copy: findOrAdd below grows the set list.
        const StateSet current = b.set(int32_t(s));
        for (uint32_t q : current) {
            for (const auto& t : nfa.transitions(q)) {
                if (t.label == TNFA::Empty) continue;
                if (t.label == TNFA::LineStart) {
                    lineStartTargets.push_back(t.target);
                    continue;
                }
                if (t.label == TNFA::LineEnd) {
                    lineEnd = true;
                    continue;
                }
                for (uint32_t piece : pieces.of[t.label]) {
                    b.countStep();
                    if (targetsOf[piece].empty()) touched.push_back(piece);
                    targetsOf[piece].push_back(t.target);
                }
            }
        }
        // Many pieces usually lead to the same set: compute each closure once per state.
        std::map<StateSet, int32_t> seen;
        std::vector<Range> ranges;
        ranges.reserve(touched.size());
        for (uint32_t piece : touched) {
            StateSet& raw = targetsOf[piece];
            std::sort(raw.begin(), raw.end());
            raw.erase(std::unique(raw.begin(), raw.end()), raw.end());
            auto it = seen.find(raw);
            if (it == seen.end()) it = seen.emplace(raw, b.findOrAdd(b.closure(raw), states_)).first;
            ranges.push_back({pieces.pieces[piece].lo, pieces.pieces[piece].hi, it->second});
            raw.clear();
        }
        std::sort(ranges.begin(), ranges.end(), [](const Range& x, const Range& y) { return x.lo < y.lo; });
        std::vector<Range> merged;
        for (const Range& r : ranges) {
            if (!merged.empty() && merged.back().target == r.target && uint32_t(merged.back().hi) + 1 == r.lo)
                merged.back().hi = r.hi;
            else
                merged.push_back(r);
        }
        states_[s].transitions = std::move(merged);
        states_[s].lineEnd = lineEnd;
        if (!lineStartTargets.empty()) {
            std::sort(lineStartTargets.begin(), lineStartTargets.end());
            lineStart_ = b.findOrAdd(b.closure(lineStartTargets), states_);
        }
    }

    ascii_.assign(states_.size() * AsciiCodes, None);
    for (size_t s = 0; s < states_.size(); ++s)
        for (const Range& r : states_[s].transitions)
            for (uint32_t c = r.lo; c <= r.hi && c < AsciiCodes; ++c) ascii_[s * AsciiCodes + c] = r.target;

    const State& initial = states_[Initial];
    if (initial.accepting) startByte_.fill(true);
    if (initial.lineEnd) startByte_['\n'] = true;
    for (const Range& r : initial.transitions) {
        // One-byte codes (a lone lead byte at the end of the text among them), then the lead
        // bytes of the double-byte codes in the range.
        if (r.lo <= 0xFF) std::fill(startByte_.begin() + r.lo, startByte_.begin() + std::min<int>(r.hi, 0xFF) + 1, true);
        if (r.hi >= 0x100)
            for (unsigned lead = std::max<unsigned>(r.lo, 0x100) >> 8; lead <= unsigned(r.hi >> 8); ++lead)
                if (isLeadByte(uint8_t(lead))) startByte_[lead] = true;
    }
}

}  // namespace sarnik
