// The text-output writer: the bytes it writes (CP932, CR LF, no byte-order mark, "?" for what CP932
// lacks) and the old file kept whole by every output that does not complete.
#include "platform/text_output.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>

#include <unistd.h>

namespace murtesk::platform {
namespace {

namespace fs = std::filesystem;

class TextOutputTest : public testing::Test {
protected:
    TextOutputTest() { path_ = (folder_ / "out.csv").string(); }
    ~TextOutputTest() override { SetWriteLimitForTests(-1); }
    std::string Contents() const {
        std::ifstream in(path_, std::ios::binary);
        std::ostringstream out;
        out << in.rdbuf();
        return out.str();
    }
    std::size_t Files() const {
        return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()));
    }

    test_support::ScratchFolder scratch_{"text-output"};
    fs::path folder_ = scratch_.path();
    std::string path_;
};

TEST_F(TextOutputTest, WritesCp932LinesEndingInCrLfWithoutAByteOrderMark) {
    TextOutput out(path_);
    ASSERT_TRUE(out.Open());
    // clang-format off
    out.Line("< 2\xEF\xBC\x8F" "5 >");                           // "／" U+FF0F
    out.Line("\xEF\xBC\xAC" "eq,\xE3\x80\x80");                  // "Ｌ" U+FF2C, ideographic space U+3000
    out.Line("a\r\nb,c");                                        // a memo keeps its own line break
    out.Line("");
    out.Line("x\xF0\x9F\x98\x80y\xE6\xB8\xAC");                  // an emoji CP932 lacks, then "測"
    ASSERT_TRUE(out.Commit());
    const std::string expected =
        "< 2\x81\x5E" "5 >\r\n"
        "\x82\x6B" "eq,\x81\x40\r\n"
        "a\r\nb,c\r\n"
        "\r\n"
        "x?y\x91\xAA\r\n";
    // clang-format on
    EXPECT_EQ(Contents(), expected);
    EXPECT_EQ(out.Replaced(), 1u);
    EXPECT_EQ(Files(), 1u);
}

// A memo edited in a box of this system or of another comes with LF or CR breaks; in a file every
// break is CR LF.
TEST_F(TextOutputTest, EveryLineBreakInsideALineIsCrLf) {
    const std::pair<const char*, const char*> cases[] = {
        {"a\nb", "a\r\nb\r\n"},         {"a\rb", "a\r\nb\r\n"},   {"a\r\n\nb", "a\r\n\r\nb\r\n"},
        {"a\n", "a\r\n\r\n"},           {"\n", "\r\n\r\n"},       {"a\n\rb", "a\r\n\r\nb\r\n"},
        {"\xE6\xB8\xAC\n\xE6\xB8\xAC", "\x91\xAA\r\n\x91\xAA\r\n"},  // "測", a break, "測"
    };
    for (const auto& [line, bytes] : cases) {
        TextOutput out(path_);
        ASSERT_TRUE(out.Open());
        out.Line(line);
        ASSERT_TRUE(out.Commit());
        EXPECT_EQ(Contents(), bytes) << ::testing::PrintToString(std::string(line));
    }
}

// Every way an output can end without completing leaves the user's old file as it was and no
// temporary file beside it.
TEST_F(TextOutputTest, AnOutputThatDoesNotCompleteKeepsTheOldFile) {
    const std::vector<std::pair<const char*, std::function<bool(TextOutput&)>>> endings{
        {"discarded",
         [](TextOutput& out) {
             out.Discard();
             return out.Commit();
         }},
        {"full disk", [](TextOutput& out) {
             SetWriteLimitForTests(100);
             for (int i = 0; i < 20000; ++i) out.Line("0123456789,0123456789");
             return out.Commit();
         }},
        {"given up", [](TextOutput&) { return false; }},
    };
    for (const auto& [name, end] : endings) {
        SCOPED_TRACE(name);
        std::ofstream(path_, std::ios::binary) << "old";
        {
            TextOutput out(path_);
            ASSERT_TRUE(out.Open());
            out.Line("new");
            EXPECT_FALSE(end(out));
        }
        SetWriteLimitForTests(-1);
        EXPECT_EQ(Contents(), "old");
        EXPECT_EQ(Files(), 1u);
    }
    TextOutput missingFolder((folder_ / "no" / "out.csv").string());
    EXPECT_FALSE(missingFolder.Open());
    missingFolder.Line("x");
    EXPECT_FALSE(missingFolder.Commit());
}

}  // namespace
}  // namespace murtesk::platform
