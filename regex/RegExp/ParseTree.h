// The parse tree of a pattern: inner nodes and character-range leaves in one store.
// Leaves are shared (asking twice for a range gives the same leaf); a subtree may be shared
// too ("x+" is x followed by a star of the same x), so the tree is a DAG read by index.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

namespace sarnik {

enum class NodeKind : uint8_t { Leaf, Concat, Union, Star, Empty };

using NodeId = uint32_t;

struct Node {
    NodeKind kind;
    uint16_t lo = 0, hi = 0;   // Leaf: inclusive code range
    NodeId left = 0, right = 0;  // Concat, Union: both; Star: left
};

class TParseTree {
public:
    NodeId leaf(uint16_t lo, uint16_t hi);
    NodeId concat(NodeId l, NodeId r) { return add({NodeKind::Concat, 0, 0, l, r}); }
    NodeId unite(NodeId l, NodeId r) { return add({NodeKind::Union, 0, 0, l, r}); }
    NodeId star(NodeId n) { return add({NodeKind::Star, 0, 0, n, 0}); }
    NodeId empty() { return add({NodeKind::Empty}); }
    // A set that matches no character: code 0 is never read as a character.
    NodeId nothing() { return leaf(0, 0); }
    // The characters "." stands for: every code from 1 to 0xFCFC except line feed and return.
    NodeId universe();

    const Node& node(NodeId id) const { return nodes_[id]; }
    size_t size() const { return nodes_.size(); }
    NodeId root = 0;

private:
    NodeId add(Node n);

    std::vector<Node> nodes_;
    std::map<std::pair<uint16_t, uint16_t>, NodeId> leaves_;
};

// Splits a set of ranges at each other's boundaries: the result holds, for each input range in
// order, the list of pieces it covers; two pieces of the whole result are identical or disjoint.
struct RangePartition {
    struct Piece {
        uint16_t lo, hi;
    };
    std::vector<Piece> pieces;                // all pieces, ascending and disjoint
    std::vector<std::vector<uint32_t>> of;    // of[i]: indices into pieces covering input range i
};
RangePartition partitionRanges(const std::vector<std::pair<uint16_t, uint16_t>>& ranges);

}  // namespace sarnik
