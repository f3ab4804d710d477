#include "RegExpParser.h"

#include <algorithm>

#include "RegExpError.h"

namespace sarnik {
namespace {

// Deeper nesting of parentheses than this is refused rather than risking the stack.
constexpr int MaxNesting = 1000;

bool endsTerm(TokenKind k) { return k == TokenKind::Bar || k == TokenKind::RParen || k == TokenKind::End; }

}  // namespace

TRegExpParser::TRegExpParser(std::string_view pattern, bool fullWidth)
    : token_(pattern.substr(0, pattern.find('\0')), fullWidth) {}

void TRegExpParser::run() {
    token_.next();
    tree_.root = expression();
    if (token_.kind() != TokenKind::End) throw ERegExpParser(msg::ExtraText, token_.consumed());
}

NodeId TRegExpParser::expression() {
    if (++depth_ > MaxNesting) throw ERegExpParser(msg::TooComplex, token_.consumed());
    NodeId n = term();
    while (token_.kind() == TokenKind::Bar) {
        token_.next();
        n = tree_.unite(n, term());
    }
    --depth_;
    return n;
}

NodeId TRegExpParser::term() {
    if (endsTerm(token_.kind())) return tree_.empty();
    NodeId n = factor();
    while (!endsTerm(token_.kind())) n = tree_.concat(n, factor());
    return n;
}

NodeId TRegExpParser::factor() {
    const NodeId p = primary();
    switch (token_.kind()) {
    case TokenKind::Star:
        token_.next();
        return tree_.star(p);
    case TokenKind::Plus:
        token_.next();
        return tree_.concat(p, tree_.star(p));
    case TokenKind::Question:
        token_.next();
        return tree_.unite(p, tree_.empty());
    default:
        return p;
    }
}

NodeId TRegExpParser::primary() {
    NodeId n = 0;
    switch (token_.kind()) {
    case TokenKind::Char:
        n = tree_.leaf(token_.value(), token_.value());
        break;
    case TokenKind::LParen:
        token_.next();
        n = expression();
        if (token_.kind() != TokenKind::RParen) throw ERegExpParser(msg::NeedRParen, token_.consumed());
        break;
    case TokenKind::LBracket:
    case TokenKind::LBracketCaret: {
        const bool negated = token_.kind() == TokenKind::LBracketCaret;
        const auto body = classBody();
        if (token_.kind() != TokenKind::RBracket) throw ERegExpParser(msg::NeedRBracket, token_.consumed());
        if (negated) {
            n = negatedClass(body);
        } else if (body.empty()) {
            n = tree_.empty();
        } else {
            n = tree_.leaf(body[0].first, body[0].second);
            for (size_t i = 1; i < body.size(); ++i) n = tree_.unite(n, tree_.leaf(body[i].first, body[i].second));
        }
        break;
    }
    case TokenKind::Dot:
        n = tree_.universe();
        break;
    default:
        throw ERegExpParser(msg::NeedPrimary, token_.consumed());
    }
    token_.next();
    return n;
}

// Items of a bracket expression up to "]" or the end; a "-" that cannot end a range is literal.
std::vector<std::pair<uint16_t, uint16_t>> TRegExpParser::classBody() {
    std::vector<std::pair<uint16_t, uint16_t>> items;
    for (;;) {
        token_.nextInBracket();
        if (token_.kind() != TokenKind::Char && token_.kind() != TokenKind::Minus) return items;
        const uint16_t b = token_.value();
        token_.nextInBracket();
        switch (token_.kind()) {
        case TokenKind::Char:
        case TokenKind::RBracket:
            token_.unread();
            items.emplace_back(b, b);
            break;
        case TokenKind::Minus: {
            const uint16_t h = token_.value();
            token_.nextInBracket();
            if (token_.kind() == TokenKind::Char) {
                if (token_.value() < b) throw ERegExpParser(msg::BadRange, token_.consumed());
                items.emplace_back(b, token_.value());
            } else {
                token_.unread();
                items.emplace_back(b, b);
                items.emplace_back(h, h);
            }
            break;
        }
        default:  // the end of the pattern: the caller reports the missing "]"
            items.emplace_back(b, b);
            break;
        }
    }
}

// The universe less the class's characters, as a union of leaves; a class that covers the
// whole universe leaves a set that matches nothing.
NodeId TRegExpParser::negatedClass(const std::vector<std::pair<uint16_t, uint16_t>>& body) {
    std::vector<std::pair<uint32_t, uint32_t>> cls(body.begin(), body.end());
    std::sort(cls.begin(), cls.end());
    const std::pair<uint32_t, uint32_t> universe[] = {{1, 9}, {11, 12}, {14, 0xFCFC}};
    std::vector<std::pair<uint32_t, uint32_t>> rest;
    for (const auto& [ulo, uhi] : universe) {
        uint32_t from = ulo;  // first code of this universe range not yet decided
        for (const auto& [lo, hi] : cls) {
            if (hi < from) continue;
            if (lo > uhi) break;
            if (lo > from) rest.emplace_back(from, lo - 1);
            from = std::max(from, hi + 1);
            if (from > uhi) break;
        }
        if (from <= uhi) rest.emplace_back(from, uhi);
    }
    if (rest.empty()) return tree_.nothing();
    NodeId n = tree_.leaf(uint16_t(rest[0].first), uint16_t(rest[0].second));
    for (size_t i = 1; i < rest.size(); ++i)
        n = tree_.unite(n, tree_.leaf(uint16_t(rest[i].first), uint16_t(rest[i].second)));
    return n;
}

}  // namespace sarnik
