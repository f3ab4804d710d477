// Every small pattern against every short text, checked against a brute-force matcher.
//
// The oracle works on the pattern's tree directly: it computes, for a start position, the set
// of positions where the pattern can end, by plain recursion over the characters of the text.
// Leftmost-longest is then the first start with a non-empty set and its largest end. Patterns are
// built from atoms that mix ASCII with double-byte characters whose trail byte looks like syntax
// ("表" = 95 5C, "ポ" = 83 7C), and texts from an alphabet with the same characters, "^" and "$"
// as text, and line feeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "RegExp/Cp932.h"
#include "RegExp/RegularExpression.h"

namespace sarnik::test {
namespace {

enum class Op { Lit, Dot, Class, NegClass, Caret, Dollar, Concat, Union, Star, Plus, Opt };

struct Pat {
    Op op;
    uint16_t code = 0;                 // Lit
    std::vector<uint16_t> set;         // Class, NegClass
    std::string text;                  // how the atom is written
    std::shared_ptr<const Pat> l, r;
};
using P = std::shared_ptr<const Pat>;

constexpr uint16_t Hyo = 0x955C, Po = 0x837C;

std::string render(const P& p) {
    auto group = [](const P& q) {
        const bool atom = q->op != Op::Concat && q->op != Op::Union && q->op != Op::Star && q->op != Op::Plus &&
                          q->op != Op::Opt;
        return atom ? render(q) : "(" + render(q) + ")";
    };
    switch (p->op) {
    case Op::Concat: {
        auto side = [&](const P& q) { return q->op == Op::Union ? "(" + render(q) + ")" : render(q); };
        return side(p->l) + side(p->r);
    }
    case Op::Union: return render(p->l) + "|" + render(p->r);
    case Op::Star: return group(p->l) + "*";
    case Op::Plus: return group(p->l) + "+";
    case Op::Opt: return group(p->l) + "?";
    default: return p->text;
    }
}

struct Oracle {
    std::vector<uint16_t> chars;  // the text's characters
    bool lineStart;

    bool inUniverse(uint16_t c) const { return c != 0 && c != '\n' && c != '\r' && c <= 0xFCFC; }

    // Ends reachable from position i; atStart/atEnd say whether "^"/"$" here are anchors.
    std::set<size_t> ends(const P& p, size_t i, bool atStart, bool atEnd) const {
        const size_t n = chars.size();
        auto one = [&](bool ok) { return ok && i < n ? std::set<size_t>{i + 1} : std::set<size_t>{}; };
        switch (p->op) {
        case Op::Lit: return one(i < n && chars[i] == p->code);
        case Op::Dot: return one(i < n && inUniverse(chars[i]));
        case Op::Class: return one(i < n && std::count(p->set.begin(), p->set.end(), chars[i]) > 0);
        case Op::NegClass:
            return one(i < n && inUniverse(chars[i]) && std::count(p->set.begin(), p->set.end(), chars[i]) == 0);
        case Op::Caret:
            if (!atStart) return one(i < n && chars[i] == '^');
            return (i == 0 ? lineStart : chars[i - 1] == '\n') ? std::set<size_t>{i} : std::set<size_t>{};
        case Op::Dollar:
            if (!atEnd) return one(i < n && chars[i] == '$');
            return (i == n || chars[i] == '\n') ? std::set<size_t>{i} : std::set<size_t>{};
        case Op::Concat: {
            std::set<size_t> out;
            for (size_t m : ends(p->l, i, atStart, false)) {
                const auto rest = ends(p->r, m, false, atEnd);
                out.insert(rest.begin(), rest.end());
            }
            return out;
        }
        case Op::Union: {
            auto out = ends(p->l, i, atStart, atEnd);
            const auto r = ends(p->r, i, atStart, atEnd);
            out.insert(r.begin(), r.end());
            return out;
        }
        case Op::Star: return star(p->l, {i});
        case Op::Plus: {
            // x+ is x followed by x*: the first copy keeps the start position's anchoring.
            std::set<size_t> out;
            for (size_t m : ends(p->l, i, atStart, false)) {
                const auto more = star(p->l, {m});
                out.insert(more.begin(), more.end());
            }
            return out;
        }
        case Op::Opt: {
            auto out = ends(p->l, i, atStart, atEnd);
            out.insert(i);
            return out;
        }
        }
        return {};
    }

    std::set<size_t> star(const P& x, std::set<size_t> reach) const {
        std::vector<size_t> todo(reach.begin(), reach.end());
        while (!todo.empty()) {
            const size_t m = todo.back();
            todo.pop_back();
            for (size_t e : ends(x, m, false, false))
                if (reach.insert(e).second) todo.push_back(e);
        }
        return reach;
    }
};

std::vector<P> atoms() {
    auto lit = [](uint16_t c, std::string t) { return std::make_shared<Pat>(Pat{Op::Lit, c, {}, t, {}, {}}); };
    return {
        lit('a', "a"),
        lit(Hyo, "\x95\x5C"),
        lit(Po, "\x83\x7C"),
        lit('\\', "\\\\"),
        lit('|', "\\|"),
        std::make_shared<Pat>(Pat{Op::Dot, 0, {}, ".", {}, {}}),
        std::make_shared<Pat>(Pat{Op::Class, 0, {'a', Hyo}, "[a\x95\x5C]", {}, {}}),
        std::make_shared<Pat>(Pat{Op::NegClass, 0, {'a', Po}, "[^a\x83\x7C]", {}, {}}),
        std::make_shared<Pat>(Pat{Op::Caret, 0, {}, "^", {}, {}}),
        std::make_shared<Pat>(Pat{Op::Dollar, 0, {}, "$", {}, {}}),
    };
}

// All patterns of exactly `size` nodes.
std::vector<P> patternsOfSize(int size, std::vector<std::vector<P>>& memo) {
    if (size < int(memo.size()) && !memo[size].empty()) return memo[size];
    std::vector<P> out;
    if (size == 1) {
        out = atoms();
    } else {
        for (const P& x : patternsOfSize(size - 1, memo))
            for (Op op : {Op::Star, Op::Plus, Op::Opt}) out.push_back(std::make_shared<Pat>(Pat{op, 0, {}, "", x, {}}));
        for (int ls = 1; ls < size - 1; ++ls)
            for (const P& x : patternsOfSize(ls, memo))
                for (const P& y : patternsOfSize(size - 1 - ls, memo))
                    for (Op op : {Op::Concat, Op::Union}) out.push_back(std::make_shared<Pat>(Pat{op, 0, {}, "", x, y}));
    }
    if (int(memo.size()) <= size) memo.resize(size + 1);
    memo[size] = out;
    return out;
}

std::vector<std::string> texts() {
    const std::vector<std::string> alphabet = {"a", "\x95\x5C", "\x83\x7C", "\\", "|", "^", "$", "\n"};
    std::vector<std::string> out = {""};
    size_t from = 0;
    for (int len = 1; len <= 3; ++len) {
        const size_t to = out.size();
        for (size_t i = from; i < to; ++i)
            for (const auto& c : alphabet) out.push_back(out[i] + c);
        from = to;
    }
    return out;
}

MatchResult oracleSearch(const P& p, const std::string& text, bool lineStart) {
    Oracle o{{}, lineStart};
    std::vector<size_t> offset;
    for (size_t pos = 0; pos < text.size();) {
        const Char c = step(text, pos);
        o.chars.push_back(c.code);
        offset.push_back(pos);
        pos += c.width;
    }
    offset.push_back(text.size());
    for (size_t i = 0; i <= o.chars.size(); ++i) {
        const auto e = o.ends(p, i, true, true);
        if (!e.empty()) return {true, offset[i], offset[*e.rbegin()] - offset[i]};
    }
    return {};
}

TEST(Oracle, AllSmallPatternsOnAllShortTexts) {
    std::vector<std::vector<P>> memo;
    std::vector<P> patterns;
    for (int size = 1; size <= 3; ++size) {
        const auto s = patternsOfSize(size, memo);
        patterns.insert(patterns.end(), s.begin(), s.end());
    }
    const auto all = texts();
    size_t checked = 0, failures = 0;
    for (const P& p : patterns) {
        const std::string pattern = render(p);
        TRegularExpression re;
        ASSERT_NO_THROW(re.SetPattern(pattern)) << pattern;
        for (const auto& text : all) {
            for (bool lineStart : {true, false}) {
                const MatchResult want = oracleSearch(p, text, lineStart);
                const MatchResult got = re.searchFrom(text, lineStart);
                ++checked;
                if (got.found != want.found || got.pos != want.pos || got.len != want.len) {
                    if (++failures <= 20)
                        ADD_FAILURE() << "pattern [" << pattern << "] text [" << text << "] lineStart " << lineStart
                                      << ": got " << got.found << " " << got.pos << "+" << got.len << ", want "
                                      << want.found << " " << want.pos << "+" << want.len;
                }
            }
        }
    }
    EXPECT_EQ(failures, 0u) << "of " << checked << " searches";
    EXPECT_GT(checked, 100000u);
}

}  // namespace
}  // namespace sarnik::test
