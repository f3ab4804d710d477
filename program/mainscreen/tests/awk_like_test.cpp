// The AWK-like helpers through the built libSarnik.so: positions of the UTF-8 text, splitting at a
// separator and into blank-separated words, texts with double-byte and unconvertible characters.
#include "awk_like.h"
#include "sarnik_binding.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace murtesk {
namespace {

class AwkLikeTest : public ::testing::Test {
protected:
    AwkLike awk{SarnikRESearch()};
    std::vector<std::string> fields;
};

TEST_F(AwkLikeTest, MatchReportsPositionAndLengthInTheProgramText)
{
    EXPECT_EQ(awk.AwkMatch("abc", "x"), 0);
    EXPECT_EQ(awk.RStart, -1);
    EXPECT_EQ(awk.RLength, 0);

    EXPECT_EQ(awk.AwkMatch("abc", "b"), 2);
    EXPECT_EQ(awk.RStart, 2);
    EXPECT_EQ(awk.RLength, 1);

    // Two full-width characters (three bytes each here, two in CP932) before the match.
    EXPECT_EQ(awk.AwkMatch("騒音レベル", "レ+"), 7);
    EXPECT_EQ(awk.RLength, 3);
}

TEST_F(AwkLikeTest, EmptyMatchAndBadPatternFindNothing)
{
    EXPECT_EQ(awk.AwkMatch("abc", "x*"), 0);
    EXPECT_EQ(awk.RStart, -1);
    EXPECT_EQ(awk.RLength, 0);

    EXPECT_EQ(awk.RegSearch("abc", "(a"), -1);
    EXPECT_GT(awk.RLength, 0);  // where the library found the fault
    EXPECT_EQ(awk.AwkMatch("abc", "(a"), 0);
    EXPECT_EQ(awk.RStart, -1);
    EXPECT_EQ(awk.RLength, 0);

    // "$" matches after the last character: an empty match.
    EXPECT_EQ(awk.RegSearch("ab", "$"), 3);
    EXPECT_EQ(awk.RLength, 0);
}

struct SplitCase {
    const char* name;
    std::string text;
    std::string separator;
    std::vector<std::string> fields;
};

class AwkSplitCases : public AwkLikeTest, public ::testing::WithParamInterface<SplitCase> {};

TEST_P(AwkSplitCases, GivesTheFields)
{
    const SplitCase& c = GetParam();
    fields = {"left over"};
    EXPECT_EQ(awk.AwkSplit(c.text, fields, c.separator), static_cast<std::int32_t>(c.fields.size()));
    EXPECT_EQ(fields, c.fields);
}

INSTANTIATE_TEST_SUITE_P(
    Split, AwkSplitCases,
    ::testing::Values(
        SplitCase{"NoSeparator", "abc", ",", {"abc"}},
        SplitCase{"TrailingComma", "a,b,", ",", {"a", "b", ""}},
        SplitCase{"FieldsKeepTheirBlanks", " a , b", ",", {" a ", " b"}},
        SplitCase{"SpacesOnly", "   ", ",", {}},
        SplitCase{"EmptyText", "", ",", {}},
        SplitCase{"Words", "  a b\tc", "", {"a", "b", "c"}},
        SplitCase{"WordsOfSpacesOnly", "    ", "", {}},
        SplitCase{"PatternSeparator", "1;;2;3", ";+", {"1", "2", "3"}},
        // A trail byte 0x5C ("\" in ASCII) or 0x2C-like bytes inside a double-byte character must
        // not count as the separator: 表 is 0x95 0x5C, ソ is 0x83 0x5C.
        SplitCase{"FullWidthNames", "表示ソフト特性,ｿﾌﾄ", ",", {"表示ソフト特性", "ｿﾌﾄ"}},
        SplitCase{"FullWidthSeparator", "一、二、三", "、", {"一", "二", "三"}},
        // 😀 has no CP932 form: it travels as one "?" byte and comes back whole.
        SplitCase{"UnconvertibleCharacter", "a😀b,c", ",", {"a😀b", "c"}},
        SplitCase{"UnconvertibleSeparatorNeighbour", "😀,😀😀,x", ",", {"😀", "😀😀", "x"}},
        // A byte that is not UTF-8 stays in its field.
        SplitCase{"InvalidUtf8", "a\xff,b\xe3\x81", ",", {"a\xff", "b\xe3\x81"}},
        SplitCase{"EmptyMatchingSeparator", "a,b", "x*", {"a,b"}}),
    [](const ::testing::TestParamInfo<SplitCase>& info) { return std::string(info.param.name); });

}  // namespace
}  // namespace murtesk
