// One case per fault that the library's design once had and no longer has.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "RegExp/RegExpError.h"
#include "RegExp/RegularExpression.h"
#include "TestUtil.h"

namespace sarnik::test {
namespace {

TEST(FormerBugs, CodeZeroIsNeverACharacter) {
    // A range holding code 0 once matched the end of the text as if a 0 stood there.
    EXPECT_EQ(research("xa", "a\\x0*"), (Found{2, 1}));
    EXPECT_EQ(research("a", "a\\x0"), (Found{0, 0}));
    EXPECT_EQ(research("ab", "[\\x0-a]+"), (Found{1, 1}));
}

TEST(FormerBugs, DollarAlternativeSurvivesALineFeedTransition) {
    // The state that could take "$" also took the line feed, and the "$" match was lost.
    EXPECT_EQ(research("a\nc", "a$|a\nb"), (Found{1, 1}));
    EXPECT_EQ(research("xa\n", "a$|a\n"), (Found{2, 2}));
}

TEST(FormerBugs, MatchAfterLineFeedIsTheLongest) {
    // Only the "^" branch was tried after a line feed, so "ab" lost to "a".
    EXPECT_EQ(research("x\nab", "^a|ab"), (Found{3, 2}));
}

TEST(FormerBugs, LiteralAnchorDoesNotOverlapAnotherRange) {
    // A mid-pattern "^" became the literal only after the ranges were made disjoint, and the
    // overlapping [!-~] hid it.
    EXPECT_EQ(research("a^b", "a(^b|[!-~]c)"), (Found{1, 3}));
    EXPECT_EQ(research("a$c", "a([!-~]c|$c)"), (Found{1, 3}));
    EXPECT_EQ(research("a$$", "a($|[!-~])+"), (Found{1, 3}));
}

TEST(FormerBugs, ReservedCodesAreRefused) {
    // Escapes could make the anchor codes or the empty-move mark.
    for (const char* p : {"\\xfffd", "\\xfffe", "\\xFFFF", "a[b-\\xffff]", "\\177775", "[\\xfffe]"}) {
        TRegularExpression re;
        try {
            re.SetPattern(p);
            ADD_FAILURE() << p << " compiled";
        } catch (const ERegExpParser& e) {
            EXPECT_STREQ(e.what(), msg::BadRange) << p;
        }
    }
    EXPECT_EQ(research("x", "\\xfffd"), (Found{-1, 6}));
    EXPECT_EQ(research("\xFC\xFC", "\\xfcfc"), (Found{1, 2}));  // the last code below them works
}

TEST(FormerBugs, NegatedClassOfEverythingMatchesNothing) {
    EXPECT_EQ(research("abc\x82\xA0", "[^\\x01-\\xfcfc]"), (Found{0, 0}));
    EXPECT_EQ(research("ab", "a[^\\x01-\\xfcfc]*"), (Found{1, 1}));
    EXPECT_EQ(research("ab", "[^\\x01-\\x09\\x0b-\\x0c\\x0e-\\xfcfc]|b"), (Found{2, 1}));
}

TEST(FormerBugs, LoneLeadByteAtTheEndIsOneCharacter) {
    // Reading a lead byte took the terminator as its trail and went on past the end.
    const std::string text = "a\x81";  // exactly sized: ASan catches a read past the end
    std::vector<char> heap(text.begin(), text.end());
    heap.push_back('\0');
    EXPECT_EQ(research(heap.data(), "\x81"), (Found{2, 1}));
    EXPECT_EQ(research(heap.data(), "a\x81"), (Found{1, 2}));
    EXPECT_EQ(research(heap.data(), "a."), (Found{1, 2}));
    EXPECT_EQ(research("a", "[\x81"), (Found{-1, 2}));
}

TEST(FormerBugs, AutomatonIsCappedAndRefusedAsAPatternError) {
    // (a|b)*a(a|b){n} needs 2^(n+1) DFA states: 13 repetitions pass the cap, 11 stay below.
    std::string big = "(a|b)*a";
    for (int i = 0; i < 13; ++i) big += "(a|b)";
    EXPECT_EQ(research("ab", big), (Found{-1, int32_t(big.size())}));
    std::string fits = "(a|b)*a";
    for (int i = 0; i < 11; ++i) fits += "(a|b)";
    EXPECT_EQ(research("xa" + std::string(11, 'b'), fits), (Found{2, 12}));

    // Nested "+" doubles the automaton each time; deep nesting must not exhaust the stack.
    std::string nested = "a";
    for (int i = 0; i < 24; ++i) nested = "(" + nested + ")+";
    EXPECT_EQ(research("aa", nested).pos, -1);
    const std::string deep = std::string(5000, '(') + "a" + std::string(5000, ')');
    EXPECT_EQ(research("a", deep).pos, -1);
}

TEST(FormerBugs, LongPatternsCompileWithoutRecursion) {
    // Concatenations nest one level per character; a long literal once meant deep recursion.
    const std::string literal(9000, 'q');
    EXPECT_EQ(research("x" + literal, literal), (Found{2, 9000}));
}

TEST(FormerBugs, GsubOnEmptyTextInsertsTheReplacement) {
    // gsub once reported one replacement on an empty text and left the text empty; it now
    // inserts the replacement once, as sub does.
    char buf[8] = "";
    EXPECT_EQ(gsub("x*", "-", buf), 1);
    EXPECT_STREQ(buf, "-");
}

TEST(FormerBugs, SizedSubstitutionRefusesWhatDoesNotFit) {
    // sub and gsub wrote their result into the caller's buffer without knowing its size.
    char buf[16];
    std::memset(buf, '#', sizeof buf);
    std::strcpy(buf, "abcb");                       // 5 bytes used
    EXPECT_EQ(gsubSized("b", "[&]", buf, 8), -2);   // needs 9
    EXPECT_STREQ(buf, "abcb");
    EXPECT_EQ(buf[8], '#');
    EXPECT_EQ(gsubSized("b", "[&]", buf, 9), 2);
    EXPECT_STREQ(buf, "a[b]c[b]");
    EXPECT_EQ(buf[9], '#');

    std::strcpy(buf, "abcb");
    EXPECT_EQ(subSized("b", "[&]", buf, 6), -2);  // needs 7
    EXPECT_STREQ(buf, "abcb");
    EXPECT_EQ(subSized("b", "[&]", buf, 7), 1);
    EXPECT_STREQ(buf, "a[b]cb");
    EXPECT_EQ(subSized("(", "x", buf, 7), -1);
    EXPECT_EQ(subSized("z", "x", buf, 7), 0);

    char unterminated[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(gsubSized("b", "x", unterminated, 4), -1);  // no terminator within the capacity
    EXPECT_EQ(gsubSized("b", "x", buf, 0), -1);
}

TEST(FormerBugs, ReplacementEscapeNeverCutsTheText) {
    // "\x0" put a zero byte into the result, and the caller's text ended there.
    char buf[16] = "abcd";
    EXPECT_EQ(gsub("b", "\\x0", buf), 1);
    EXPECT_STREQ(buf, "acd");
}

TEST(FormerBugs, NullArgumentsAreRefused) {
    int32_t len = 7;
    EXPECT_EQ(RESearch(nullptr, "a", &len), -1);
    EXPECT_EQ(len, 0);
    EXPECT_EQ(RESearch("a", nullptr, &len), -1);
    EXPECT_EQ(RESearch("a", "a", nullptr), 1);  // the length is optional
    EXPECT_EQ(match("ba", "a"), 2);
    char buf[4] = "ab";
    EXPECT_EQ(sub(nullptr, "x", buf), 0);
    EXPECT_EQ(gsub("a", nullptr, buf), -1);
    EXPECT_EQ(gsub("a", "x", nullptr), -1);
    EXPECT_STREQ(buf, "ab");
}

TEST(PatternCache, ReusesExactEntriesOnly) {
    TRegularExpression re;
    EXPECT_EQ(re.cacheSize(), 1u);  // the empty pattern
    re.SetPattern("abc");
    re.SetPattern("abc");
    EXPECT_EQ(re.cacheSize(), 2u);
    re.SetPattern("ABC");  // a case difference is a new entry
    EXPECT_EQ(re.cacheSize(), 3u);
    EXPECT_TRUE(re.search("xABC").found);
    EXPECT_FALSE(re.search("xabc").found);
    re.SetPattern("abc");
    EXPECT_EQ(re.search("xabc").pos, 1u);
    for (int i = 0; i < 20; ++i) re.SetPattern("p" + std::to_string(i));
    EXPECT_EQ(re.cacheSize(), TRegularExpression::CacheCapacity);
    EXPECT_THROW(re.SetPattern("(bad"), ERegExpParser);
    EXPECT_EQ(re.cacheSize(), TRegularExpression::CacheCapacity - 1);  // the failed entry is dropped
    EXPECT_TRUE(re.search("p19").found);
    re.AcceptDBMeta = true;  // another option compiles anew
    re.SetPattern("p19");
    EXPECT_EQ(re.cacheSize(), TRegularExpression::CacheCapacity);
}

}  // namespace
}  // namespace sarnik::test
