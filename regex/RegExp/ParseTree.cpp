#include "ParseTree.h"

#include <algorithm>

namespace sarnik {

NodeId TParseTree::add(Node n) {
    nodes_.push_back(n);
    return static_cast<NodeId>(nodes_.size() - 1);
}

NodeId TParseTree::leaf(uint16_t lo, uint16_t hi) {
    const auto key = std::make_pair(lo, hi);
    if (auto it = leaves_.find(key); it != leaves_.end()) return it->second;
    const NodeId id = add({NodeKind::Leaf, lo, hi, 0, 0});
    leaves_.emplace(key, id);
    return id;
}

NodeId TParseTree::universe() {
    return unite(unite(leaf(1, 9), leaf(11, 12)), leaf(14, 0xFCFC));
}

// Instead of splitting pairs of overlapping leaves until none overlap, cut the code space at
// every range boundary once: each elementary interval between two consecutive boundaries is a
// piece, and a range is the union of the pieces inside it. Same result, O(n log n + pieces).
RangePartition partitionRanges(const std::vector<std::pair<uint16_t, uint16_t>>& ranges) {
    std::vector<uint32_t> cuts;  // start of each piece, plus one past the last code
    cuts.reserve(ranges.size() * 2);
    for (const auto& [lo, hi] : ranges) {
        cuts.push_back(lo);
        cuts.push_back(uint32_t(hi) + 1);
    }
    std::sort(cuts.begin(), cuts.end());
    cuts.erase(std::unique(cuts.begin(), cuts.end()), cuts.end());

    RangePartition p;
    if (!cuts.empty()) {
        p.pieces.reserve(cuts.size() - 1);
        for (size_t i = 0; i + 1 < cuts.size(); ++i)
            p.pieces.push_back({uint16_t(cuts[i]), uint16_t(cuts[i + 1] - 1)});
    }
    p.of.resize(ranges.size());
    for (size_t r = 0; r < ranges.size(); ++r) {
        const uint32_t lo = ranges[r].first, hi = ranges[r].second;
        auto first = std::lower_bound(cuts.begin(), cuts.end(), lo) - cuts.begin();
        for (auto i = size_t(first); i < p.pieces.size() && p.pieces[i].hi <= hi; ++i)
            p.of[r].push_back(uint32_t(i));
    }
    return p;
}

}  // namespace sarnik
