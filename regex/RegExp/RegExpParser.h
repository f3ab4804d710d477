// Recursive-descent parser: pattern text -> parse tree (ParseTree.h).
//
// Grammar (tokens from TToken):
//   expression := term { "|" term }                 unions joined from the left
//   term       := empty | factor { factor }         concatenations joined from the left
//   factor     := primary [ "*" | "+" | "?" ]       at most one repetition
//   primary    := char | "(" expression ")" | "[" class "]" | "[^" class "]" | "."
// A bad pattern raises ERegExpParser with its message and the bytes consumed.
#pragma once

#include <string_view>
#include <utility>
#include <vector>

#include "ParseTree.h"
#include "Token.h"

namespace sarnik {

class TRegExpParser {
public:
    TRegExpParser(std::string_view pattern, bool fullWidth);

    // Parses the whole pattern into tree().root.
    void run();
    TParseTree& tree() { return tree_; }

private:
    NodeId expression();
    NodeId term();
    NodeId factor();
    NodeId primary();
    std::vector<std::pair<uint16_t, uint16_t>> classBody();
    NodeId negatedClass(const std::vector<std::pair<uint16_t, uint16_t>>& body);

    TToken token_;
    TParseTree tree_;
    int depth_ = 0;
};

}  // namespace sarnik
