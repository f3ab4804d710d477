// Leftmost-longest search: anchors, line feeds, and Shift-JIS text with hand-computed offsets.
#include <gtest/gtest.h>

#include <string>

#include "TestUtil.h"

namespace sarnik::test {
namespace {

struct SearchCase {
    const char* name;
    std::string pattern;
    std::string text;
    Found expected;
};
void PrintTo(const SearchCase& c, std::ostream* os) { *os << c.name; }

class Search : public ::testing::TestWithParam<SearchCase> {};

TEST_P(Search, FindsLeftmostLongest) {
    const SearchCase& c = GetParam();
    EXPECT_EQ(research(c.text, c.pattern), c.expected) << c.name;
}

INSTANTIATE_TEST_SUITE_P(
    Semantics, Search,
    ::testing::Values(
        SearchCase{"bc in abcabc", "bc", "abcabc", {2, 2}}, SearchCase{"no match", "x", "abcabc", {0, 0}},
        SearchCase{"empty star", "a*", "bbb", {1, 0}}, SearchCase{"longest alternative", "ab|abcd", "xabcde", {2, 4}},
        SearchCase{"caret after line feed", "^b", "a\nb", {3, 1}}, SearchCase{"caret at start", "^b", "b", {1, 1}},
        SearchCase{"caret on empty text", "^", "", {1, 0}}, SearchCase{"literal caret", "a^b", "a^b", {1, 3}},
        SearchCase{"literal dollar", "a$b", "xa$b", {2, 3}}, SearchCase{"dollar before line feed", "a$", "xa\ny", {2, 1}},
        SearchCase{"dollar at end", "$", "ab", {3, 0}}, SearchCase{"dollar at line feed", "$", "a\nb", {2, 0}},
        SearchCase{"dot is whole character", ".", "\x82\xA0", {1, 2}}, SearchCase{"dot skips line feed", ".", "\n\r\x01", {3, 1}},
        SearchCase{"caret-dollar on empty line", "^$", "a\n\nb", {3, 0}}, SearchCase{"caret-dollar at last line", "^$", "a\n", {3, 0}},
        SearchCase{"caret star is literal", "^*", "x", {1, 0}}, SearchCase{"caret in star literal", "(^a)*", "^a^a", {1, 4}},
        SearchCase{"anchored both", "^abc$", "x\nabc\ny", {3, 3}}, SearchCase{"dollar inside group", "(a$)", "ab a", {4, 1}},
        SearchCase{"optional caret", "^?b", "ab", {2, 1}}, SearchCase{"caret alternative", "^a|b", "ba", {1, 1}},
        SearchCase{"line start not at later position", "^a", "ba", {0, 0}},
        SearchCase{"dollar alternative keeps longer", "a$|a\nb", "a\nb", {1, 3}},
        SearchCase{"end after line feed", "\n$", "a\n", {2, 1}}));

// Shift-JIS: patterns and texts with double-byte characters, offsets counted by hand.
//   表 = 95 5C (trail looks like "\"), ポ = 83 7C (trail looks like "|"), ー = 81 5B (trail "["),
//   あ = 82 A0, い = 82 A2, ア(half-width) = B1, ｶ = B6, 漢 = 8A BF.
INSTANTIATE_TEST_SUITE_P(
    ShiftJis, Search,
    ::testing::Values(
        SearchCase{"trail 5C in text is no backslash", "\\\\", "\x95\x5C\\", {3, 1}},
        SearchCase{"trail 5C in pattern is no escape", "\x95\x5C" "a", "x\x95\x5C" "a", {2, 3}},
        SearchCase{"trail 7C in pattern is no bar", "\x83\x7C", "ab\x83\x7C", {3, 2}},
        SearchCase{"trail 7C not alternation", "a\x83\x7C" "b", "a\x83\x7C" "b", {1, 4}},
        SearchCase{"trail 7C in text is no bar", "\\|", "\x83\x7C|", {3, 1}},
        SearchCase{"trail 5B in pattern is no bracket", "\x81\x5B+", "x\x81\x5B\x81\x5B" "y", {2, 4}},
        SearchCase{"trail byte never starts a match", "\\[", "\x81\x5B", {0, 0}},
        SearchCase{"star repeats whole character", "\x82\xA0*", "\x82\xA0\x82\xA0\x82\xA2", {1, 4}},
        SearchCase{"class of double-byte", "[\x82\xA0\x95\x5C]+", "ab\x95\x5C\x82\xA0" "c", {3, 4}},
        SearchCase{"double-byte range", "[\x82\xA0-\x82\xA4]", "\x8A\xBF\x82\xA2", {3, 2}},
        SearchCase{"double-byte range excludes", "[\x82\xA0-\x82\xA4]", "\x8A\xBF\x82\xA6", {0, 0}},
        SearchCase{"negated class keeps character whole", "[^\x82\xA0]", "\x82\xA0\x82\xA2", {3, 2}},
        SearchCase{"negated class of trail byte", "[^\\x5C]+", "\x95\x5C\\", {1, 2}},
        SearchCase{"half-width katakana are one byte", "[\xB1-\xB6]+", "a\xB1\xB6\x82\xA0", {2, 2}},
        SearchCase{"half-width katakana dot", "a.b", "a\xB1" "b", {1, 3}},
        SearchCase{"dot over mixed text", "a..b", "xa\x82\xA0\xB1" "b", {2, 5}},
        SearchCase{"comma in CP932 line", ",", "\x95\x5C,\x83\x7C", {3, 1}},
        SearchCase{"token of CP932", "[^ \t]+", "  \x8A\xBF\x8E\x9A a", {3, 4}},
        SearchCase{"escape of double-byte code", "\\x955c", "a\x95\x5C", {2, 2}},
        SearchCase{"lone lead byte at end of text", "\x82", "ab\x82", {3, 1}},
        SearchCase{"lone lead byte at end of pattern", "a\x82", "xa\x82", {2, 2}},
        SearchCase{"lead byte with next is one character", "\x82", "\x82\xA0", {0, 0}},
        SearchCase{"caret after double-byte line feed trail", "^a", "\x82\x0A" "a", {0, 0}}));

}  // namespace
}  // namespace sarnik::test
