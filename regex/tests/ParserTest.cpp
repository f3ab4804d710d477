// Pattern syntax: what parses to what, and the message and position of every pattern error.
#include <gtest/gtest.h>

#include <string>

#include "RegExp/RegExpError.h"
#include "RegExp/RegExpParser.h"
#include "TestUtil.h"

namespace sarnik::test {
namespace {

struct ErrorCase {
    const char* pattern;
    const char* message;
    uint32_t position;
};

class PatternErrors : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(PatternErrors, ReportMessageAndPosition) {
    const ErrorCase& c = GetParam();
    TRegExpParser parser(c.pattern, false);
    try {
        parser.run();
        FAIL() << "pattern parsed: " << c.pattern;
    } catch (const ERegExpParser& e) {
        EXPECT_STREQ(e.what(), c.message) << c.pattern;
        EXPECT_EQ(e.position(), c.position) << c.pattern;
    }
    // Through the export the position comes back as the length.
    EXPECT_EQ(research("abc", c.pattern), (Found{-1, int32_t(c.position)})) << c.pattern;
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, PatternErrors,
    ::testing::Values(ErrorCase{"a)", msg::ExtraText, 2}, ErrorCase{"(a", msg::NeedRParen, 2},
                      ErrorCase{"*a", msg::NeedPrimary, 1}, ErrorCase{"[z-a]", msg::BadRange, 4},
                      ErrorCase{"a\\", msg::NeedEscaped, 2}, ErrorCase{"a**", msg::NeedPrimary, 3},
                      ErrorCase{"[]]", msg::NeedPrimary, 3}, ErrorCase{"[abc", msg::NeedRBracket, 4},
                      ErrorCase{"[^a", msg::NeedRBracket, 3}, ErrorCase{"a|*", msg::NeedPrimary, 3},
                      ErrorCase{"(a|b", msg::NeedRParen, 4}, ErrorCase{"a+?", msg::NeedPrimary, 3},
                      ErrorCase{"ab)cd", msg::ExtraText, 3}, ErrorCase{"[a-\\", msg::NeedEscaped, 4},
                      // the message names the quotation marks of the missing bracket
                      ErrorCase{"(", msg::NeedRParen, 1},
                      // a double-byte character counts two bytes: "あ" is 82 A0
                      ErrorCase{"\x82\xA0)", msg::ExtraText, 3},
                      ErrorCase{"[\x82\xA2-\x82\xA0]", msg::BadRange, 6}));

TEST(PatternErrors, MessagesAreTheFixedTexts) {
    EXPECT_STREQ(msg::NeedRBracket, "右ブラケット\"]\"が必要です");
    EXPECT_STREQ(msg::NeedPrimary, "普通の文字、または左括弧\"(\"が必要です");
    EXPECT_STREQ(msg::NeedEscaped, "\"\\\"の次には文字が必要です。");
}

struct SyntaxCase {
    const char* pattern;
    const char* text;
    Found expected;
};

class SyntaxMeaning : public ::testing::TestWithParam<SyntaxCase> {};

TEST_P(SyntaxMeaning, MatchesAsWritten) {
    const SyntaxCase& c = GetParam();
    EXPECT_EQ(research(c.text, c.pattern), c.expected) << "pattern " << c.pattern << " text " << c.text;
}

INSTANTIATE_TEST_SUITE_P(
    Syntax, SyntaxMeaning,
    ::testing::Values(
        SyntaxCase{"", "abc", {1, 0}}, SyntaxCase{"a|", "xa", {1, 0}}, SyntaxCase{"()", "x", {1, 0}},
        SyntaxCase{"[a-]", "x-", {2, 1}}, SyntaxCase{"[a-]", "xa", {2, 1}}, SyntaxCase{"[-a]", "x-", {2, 1}},
        SyntaxCase{"[]", "x", {1, 0}},  // an empty class matches the empty string
        SyntaxCase{"[^]", "\nx", {2, 1}}, SyntaxCase{"[^]", "\r\n", {0, 0}},
        SyntaxCase{"[^a]", "a\n\rb", {4, 1}}, SyntaxCase{"[a-c-e]", "x-", {2, 1}},
        SyntaxCase{"[a-c-e]", "xd", {0, 0}}, SyntaxCase{"[--/]", "x.", {2, 1}},
        SyntaxCase{"\\x41", "zA", {2, 1}}, SyntaxCase{"\\x82a0", "z\x82\xA0", {2, 2}},
        SyntaxCase{"\\101", "zA", {2, 1}}, SyntaxCase{"\\q", "zq", {2, 1}},
        SyntaxCase{"\\x00414", "A4", {1, 2}},  // a fifth digit is left to the pattern
        SyntaxCase{"\\x4g", "\x04g", {1, 2}}, SyntaxCase{"\\.", "a.", {2, 1}},
        SyntaxCase{"\\\\", "a\\", {2, 1}}, SyntaxCase{"[\\]]", "a]", {2, 1}},
        SyntaxCase{"[.*+?(|$^]", "a|", {2, 1}}, SyntaxCase{"[.*+?(|$^]", "a^", {2, 1}},
        SyntaxCase{"\\t\\n", "a\t\n", {2, 2}},
        // full-width digits always count in escapes: \x４１ is "A"
        SyntaxCase{"\\x\x82\x53\x82\x50", "zA", {2, 1}},
        // with the full-width option off, "＊" is an ordinary character
        SyntaxCase{"a\x81\x96", "a\x81\x96", {1, 3}}, SyntaxCase{"ab+", "abbbc", {1, 4}},
        SyntaxCase{"ab?c", "ac", {1, 2}}, SyntaxCase{"a.c", "a\nc", {0, 0}}, SyntaxCase{"a.c", "a\rc", {0, 0}}));

TEST(FullWidthOption, TwinsAreMetacharactersOnlyWhenAsked) {
    // "ａ＊" with the option on is a star over "ａ" (82 81).
    const std::string pattern = "\x82\x81\x81\x96";
    TRegExpParser plain(pattern, false);
    EXPECT_NO_THROW(plain.run());
    TRegExpParser fullWidth("\x81\x96", true);  // a lone "＊" lacks its operand
    try {
        fullWidth.run();
        FAIL();
    } catch (const ERegExpParser& e) {
        EXPECT_EQ(e.position(), 2u);
    }
}

}  // namespace
}  // namespace sarnik::test
