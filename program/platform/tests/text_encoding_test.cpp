#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <iconv.h>
#include <optional>
#include <string>
#include <vector>

namespace murtesk::platform {
namespace {

using namespace std::string_literals;

struct KnownText {
    const char* name;
    std::string utf8;
    std::string cp932;
};

class Cp932KnownTexts : public testing::TestWithParam<KnownText> {};

// Code points CP932 maps differently from plain Shift-JIS, half-width katakana, NEC specials,
// a trail byte equal to "\" and a NUL inside the text.
INSTANTIATE_TEST_SUITE_P(
    Texts, Cp932KnownTexts,
    testing::Values(
        KnownText{"FullwidthTilde", "～", "\x81\x60"},
        KnownText{"FullwidthHyphenMinus", "－", "\x81\x7C"},
        KnownText{"CircledOne", "①", "\x87\x40"},
        KnownText{"HalfwidthKatakana", "ｼｽﾃﾑ", "\xBC\xBD\xC3\xD1"},
        KnownText{"TrailByteIsBackslash", "表\\", "\x95\x5C\x5C"},
        KnownText{"NulInside", "a\0b"s, "a\0b"s},
        KnownText{"Mixed", "F特性 63Hz帯域", "F\x93\xC1\x90\xAB 63Hz\x91\xD1\x88\xE6"},
        KnownText{"Empty", "", ""}),
    [](const auto& info) { return info.param.name; });

TEST_P(Cp932KnownTexts, ConvertBothWaysExactly) {
    std::size_t replaced = 99;
    EXPECT_EQ(Utf8ToCp932(GetParam().utf8, &replaced), GetParam().cp932);
    EXPECT_EQ(replaced, 0u);
    EXPECT_EQ(Cp932ToUtf8(GetParam().cp932, &replaced), GetParam().utf8);
    EXPECT_EQ(replaced, 0u);
}

TEST(Cp932Replacement, CharactersCp932LacksBecomeQuestionMarks) {
    std::size_t replaced = 0;
    // An emoji and a Hangul syllable have no CP932 code; the text around them stays whole.
    EXPECT_EQ(Utf8ToCp932("a😀b한c", &replaced), "a?b?c");
    EXPECT_EQ(replaced, 2u);
}

TEST(Cp932Replacement, InvalidUtf8BecomesQuestionMarks) {
    std::size_t replaced = 0;
    EXPECT_EQ(Utf8ToCp932("x\xFFy\xE3\x81", &replaced), "x?y??");
    EXPECT_EQ(replaced, 3u);
}

TEST(Cp932Replacement, InvalidCp932BecomesReplacementCharacters) {
    std::size_t replaced = 0;
    // 0x80 and 0xA0 are not CP932; 0x81 0x20 is a lead byte with a trail that is not one; a lead
    // byte at the very end is incomplete.
    EXPECT_EQ(Cp932ToUtf8("a\x80 \xA0\x81 b\x81", &replaced), "a\uFFFD \uFFFD\uFFFD b\uFFFD");
    EXPECT_EQ(replaced, 4u);
}

TEST(Cp932Replacement, LongTextsAreNotTruncated) {
    std::string utf8;
    for (int i = 0; i < 5000; ++i) utf8 += "表a";
    const std::string cp932 = Utf8ToCp932(utf8);
    EXPECT_EQ(cp932.size(), 15000u);
    EXPECT_EQ(Cp932ToUtf8(cp932), utf8);
}

struct FitCase {
    const char* name;
    std::string typed;
    std::string stored;
    std::vector<Cp932Fit::Change> changes;
};

class Cp932Fits : public testing::TestWithParam<FitCase> {};

// What each character reads back as was looked up in the CP932 code table by hand: letters with
// accents, the euro sign and emoji have no code; U+301C, U+2212 and U+00A5 share the codes of
// U+FF5E, U+FF0D and the backslash, which is what reads back.
INSTANTIATE_TEST_SUITE_P(
    Texts, Cp932Fits,
    testing::Values(
        FitCase{"AccentsEuro", "Café ß é €5", "Caf? ? ? ?5", {{"é", "?"}, {"ß", "?"}, {"€", "?"}}},
        FitCase{"Umlaut", "Café ü", "Caf? ?", {{"é", "?"}, {"ü", "?"}}}, FitCase{"Emoji", "ok😀", "ok?", {{"😀", "?"}}},
        FitCase{"CombiningAcute", "e\xCC\x81", "e?", {{"\xCC\x81", "?"}}},
        FitCase{"KanaKanji", "あイｳ漢字表", "あイｳ漢字表", {}}, FitCase{"Cp932Specials", "①～㈱ⅰ≒", "①～㈱ⅰ≒", {}},
        FitCase{"WaveDash", "1〜2", "1～2", {{"〜", "～"}}}, FitCase{"MinusSign", "−5", "－5", {{"−", "－"}}},
        FitCase{"YenSign", "¥100", "\\100", {{"¥", "\\"}}},
        FitCase{"NotUtf8",
                "a\xFF"
                "b",
                "a?b",
                {{"\xFF", "?"}}},
        FitCase{"Ascii", "mono_1.wav\t~\\", "mono_1.wav\t~\\", {}}),
    [](const auto& info) { return info.param.name; });

TEST_P(Cp932Fits, ListEachCharacterNotHeldOnceWithWhatReadsBack) {
    const Cp932Fit fit = FitToCp932(GetParam().typed);
    EXPECT_EQ(fit.stored, GetParam().stored);
    EXPECT_EQ(fit.Holds(), GetParam().changes.empty());
    ASSERT_EQ(fit.changes.size(), GetParam().changes.size());
    for (std::size_t i = 0; i < fit.changes.size(); ++i) {
        EXPECT_EQ(fit.changes[i].typed, GetParam().changes[i].typed) << i;
        EXPECT_EQ(fit.changes[i].stored, GetParam().changes[i].stored) << i;
    }
}

// Every character of the basic plane, every 61st above it, the language tags (which iconv turns into
// nothing) and sequences that are no character, each converted by the system's iconv on its own: what
// the text conversion writes for each, alone and among all the others, and what the files keep.
TEST(Cp932EveryCharacter, ConvertsAsIconvDoesOneByOneAndNeverDropsOne) {
    const auto utf8Of = [](char32_t c) {
        std::string out;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += {static_cast<char>(0xC0 | c >> 6), static_cast<char>(0x80 | (c & 0x3F))};
        } else if (c < 0x10000) {
            out += {static_cast<char>(0xE0 | c >> 12), static_cast<char>(0x80 | (c >> 6 & 0x3F)),
                    static_cast<char>(0x80 | (c & 0x3F))};
        } else {
            out += {static_cast<char>(0xF0 | c >> 18), static_cast<char>(0x80 | (c >> 12 & 0x3F)),
                    static_cast<char>(0x80 | (c >> 6 & 0x3F)), static_cast<char>(0x80 | (c & 0x3F))};
        }
        return out;
    };
    std::vector<std::string> characters;
    for (char32_t c = 0; c < 0x110000; c += c < 0x10000 ? 1 : 61) {
        if ((c < 0xD800 || c > 0xDFFF) && (c < 0xE0000 || c > 0xE007F)) characters.push_back(utf8Of(c));
    }
    for (char32_t c = 0xE0000; c <= 0xE007F; ++c) characters.push_back(utf8Of(c));
    for (const char* none : {"\xED\xA0\x80", "\xED\xBF\xBF", "\xE0\x80\x80", "\xE0\x9F\xBF", "\xF0\x8F\xBF\xBF",
                             "\xF4\x90\x80\x80", "\xC1", "\x80", "\xFE", "\xFF"}) {
        characters.emplace_back(none);
    }
    const iconv_t toCp932 = iconv_open("CP932", "UTF-8");
    const iconv_t toUtf8 = iconv_open("UTF-8", "CP932");
    ASSERT_NE(toCp932, reinterpret_cast<iconv_t>(-1));
    ASSERT_NE(toUtf8, reinterpret_cast<iconv_t>(-1));
    // One character or code through iconv alone; nothing when it refuses it.
    const auto alone = [](iconv_t cd, const std::string& in) -> std::optional<std::string> {
        char out[16];
        char* src = const_cast<char*>(in.data());
        std::size_t srcLeft = in.size();
        char* dst = out;
        std::size_t dstLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        if (iconv(cd, &src, &srcLeft, &dst, &dstLeft) == static_cast<std::size_t>(-1) || srcLeft != 0) {
            return std::nullopt;
        }
        return std::string(out, dst);
    };
    std::string text;
    std::string written;
    std::string stored;
    std::vector<Cp932Fit::Change> changes;
    std::size_t refused = 0;
    for (const std::string& c : characters) {
        std::optional<std::string> code = alone(toCp932, c);
        if (!code || code->empty()) {
            code = "?";
            ++refused;
        }
        std::size_t replaced = 0;
        ASSERT_EQ(Utf8ToCp932(c, &replaced), *code) << testing::PrintToString(c);
        const std::string back = alone(toUtf8, *code).value_or("\xEF\xBF\xBD");
        if (back != c) changes.push_back({c, back});
        text += c + "|";
        written += *code + "|";
        stored += back + "|";
    }
    iconv_close(toCp932);
    iconv_close(toUtf8);
    std::size_t replaced = 0;
    EXPECT_EQ(Utf8ToCp932(text, &replaced), written);
    EXPECT_EQ(replaced, refused);
    const Cp932Fit fit = FitToCp932(text);
    EXPECT_EQ(fit.stored, stored);
    ASSERT_EQ(fit.changes.size(), changes.size());
    for (std::size_t i = 0; i < changes.size(); ++i) {
        ASSERT_EQ(fit.changes[i].typed, changes[i].typed) << i;
        ASSERT_EQ(fit.changes[i].stored, changes[i].stored) << testing::PrintToString(changes[i].typed);
    }
}

TEST(Cp932CharacterCount, CountsDoubleByteCharactersOnce) {
    EXPECT_EQ(Cp932CharacterCount(""), 0u);
    EXPECT_EQ(Cp932CharacterCount("abc"), 3u);
    EXPECT_EQ(Cp932CharacterCount("\x95\x5C\x5C"), 2u);           // 表 then "\"
    EXPECT_EQ(Cp932CharacterCount("\xBC\xBD\xC3\xD1"), 4u);        // half-width kana are single
    EXPECT_EQ(Cp932CharacterCount("\xE0\x40\xFC\xFC"), 2u);        // the lead-byte range ends
    EXPECT_EQ(Cp932CharacterCount("a\x81"), 2u);                   // a lone lead at the end
}

}  // namespace
}  // namespace murtesk::platform
