// The correction-file loader and the AWK-like helpers, on CP932 files written by the tests and
// through the real Sarnik library.
#include "awk_like.h"
#include "fake_ui.h"
#include "original_weightings.h"
#include "platform/text_encoding.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace murtesk {
namespace {

namespace fs = std::filesystem;

TEST(AwkLike, MatchCountsUtf16BytesAndSplitCutsAtTheSeparator)
{
    EXPECT_EQ(AwkMatch("abc", "x"), 0);
    EXPECT_EQ(g_RStart, -1);
    EXPECT_EQ(g_RLength, 0);
    EXPECT_EQ(AwkMatch("abc", "b"), 3);
    EXPECT_EQ(g_RLength, 2);
    EXPECT_EQ(AwkMatch("騒音b", "b"), 5);  // two characters before it, whatever their CP932 width
    EXPECT_EQ(AwkMatch("abc", "("), 0);   // a bad pattern finds nothing

    std::vector<std::string> fields{"stale"};
    EXPECT_EQ(AwkSplit("  a b\tc", fields, ""), 3);
    EXPECT_EQ(fields, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_EQ(AwkSplit("   ", fields, ""), 0);
    EXPECT_TRUE(fields.empty());
    EXPECT_EQ(AwkSplit("a,b,", fields, ","), 3);
    EXPECT_EQ(fields, (std::vector<std::string>{"a", "b", ""}));
    EXPECT_EQ(AwkSplit("no separator", fields, ","), 1);
    // 表 and ソ end in the byte of "\": the cut must fall on characters, exactly at the comma.
    EXPECT_EQ(AwkSplit("表示ソフト騒音ＡＢＣ, 短い,x", fields, ","), 3);
    EXPECT_EQ(fields, (std::vector<std::string>{"表示ソフト騒音ＡＢＣ", " 短い", "x"}));
}

// count values start, start+1, ... joined by commas.
std::string Curve(double start, int count = 45)
{
    std::string line;
    for (int i = 0; i < count; ++i) {
        line += (i ? "," : "") + std::to_string(start + i);
    }
    return line;
}

class OriginalWeightings : public ::testing::Test {
protected:
    OriginalWeightings()
    {
        home = fs::temp_directory_path() / ("murtesk-originalw-" + std::to_string(::getpid()) + "-" +
                                            ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(home);
        fs::create_directories(home);
        setenv("MURTESK_HOME", home.c_str(), 1);
    }
    ~OriginalWeightings() override
    {
        unsetenv("MURTESK_HOME");
        fs::remove_all(home);
    }

    std::string PathOf(int n) const { return (home / ("オリジナル特性" + std::to_string(n) + ".csv")).string(); }

    // Writes file n in CP932 with CR LF line ends.
    void Write(int n, const std::vector<std::string>& lines)
    {
        std::ofstream out(fs::u8path(PathOf(n)), std::ios::binary);
        for (const std::string& line : lines) {
            out << platform::Utf8ToCp932(line) << "\r\n";
        }
    }

    void Load()
    {
        list.AllDelete();
        LoadOriginalWeightings(ui, list);
    }

    fs::path home;
    platform::testing::FakeUi ui;
    COriginalWs list;
};

TEST_F(OriginalWeightings, ThreeLineFileLoadsWithMaximaAt170AndOctavesFromThirds)
{
    Write(1, {"私の補正特性,私の", "heading", " " + Curve(-20.0) + ",extra"});
    Load();
    ASSERT_EQ(list.count(), 1);
    const COriginalW& w = list.Item(1);
    EXPECT_EQ(w.WName, "私の補正特性");
    EXPECT_EQ(w.WNameHalfSize, "私の");
    EXPECT_EQ(w.WRevise3.dB(0), -20.0);   // 0.8 Hz
    EXPECT_EQ(w.WRevise3.dB(44), 24.0);   // 20 kHz
    EXPECT_EQ(w.WRevise1.dB(0), -19.0);   // 1 Hz octave = the 1 Hz third
    EXPECT_EQ(w.WRevise1.dB(14), 23.0);   // 16 kHz
    EXPECT_EQ(w.WMax3.dB(10), 170.0);
    EXPECT_EQ(w.WMax1.dB(3), 170.0);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(OriginalWeightings, FourthLineGivesTheMaximaAndLaterLinesAreNotRead)
{
    Write(1, {"A,B", "", Curve(0.5), Curve(100.0), "not, read"});
    Load();
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.Item(1).WMax3.dB(44), 144.0);
    EXPECT_EQ(list.Item(1).WRevise3.dB(1), 1.5);
}

TEST_F(OriginalWeightings, LoadingStopsAtTheFirstMissingOrBadFile)
{
    Write(2, {"two,2", "", Curve(0)});
    Load();
    EXPECT_EQ(list.count(), 0);  // no file 1: nothing, file 2 not looked at

    Write(1, {"one,1", "", Curve(0)});
    Write(3, {"three,3", "", Curve(0)});
    fs::remove(PathOf(2));
    Load();
    EXPECT_EQ(list.count(), 1);

    Write(2, {"two,2"});  // fewer than three lines: refused without a message
    Load();
    EXPECT_EQ(list.count(), 1);
    EXPECT_TRUE(ui.Messages().empty());
}

struct BadFile {
    const char* name;
    std::vector<std::string> lines;
    const char* message;
};

void PrintTo(const BadFile& b, std::ostream* os)
{
    *os << b.name;
}

class BadFiles : public OriginalWeightings, public ::testing::WithParamInterface<BadFile> {};

TEST_P(BadFiles, AreRefusedWithTheirMessage)
{
    Write(1, {"good,g", "", Curve(0)});
    Write(2, GetParam().lines);
    Write(3, {"after,a", "", Curve(0)});
    Load();
    EXPECT_EQ(list.count(), 1);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, PathOf(2) + GetParam().message);
    EXPECT_EQ(ui.Messages()[0].Icon, platform::MsgIcon::Critical);
    EXPECT_EQ(ui.Messages()[0].Title, "Murtesk");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadFiles,
    ::testing::Values(BadFile{"OneName", {"only", "", Curve(0)}, "1行目フィールドエラー"},
                      BadFile{"ShortThirdLine", {"a,b", "", Curve(0, 44)}, "3行目フィールド数エラー"},
                      BadFile{"EmptyField", {"a,b", "", "1,," + Curve(0, 43)}, "3行目補正値数値エラー"},
                      BadFile{"Word", {"a,b", "", "x1," + Curve(0, 44)}, "3行目補正値数値エラー"},
                      BadFile{"Infinity", {"a,b", "", "inf," + Curve(0, 44)}, "3行目補正値数値エラー"},
                      BadFile{"ShortFourthLine", {"a,b", "", Curve(0), "1,2"}, "4行目フィールド数エラー"},
                      BadFile{"FourthLineWord", {"a,b", "", Curve(0), "1,2,x," + Curve(0, 42)}, "4行目補正値数値エラー"},
                      BadFile{"Overflow", {"a,b", "", "1e999," + Curve(0, 44)}, "I/Oエラー"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(NumberFields, AcceptPlainDecimalForms)
{
    platform::testing::FakeUi ui;
    const fs::path home = fs::temp_directory_path() / ("murtesk-numbers-" + std::to_string(::getpid()));
    fs::create_directories(home);
    const std::string path = (home / "n.csv").string();
    std::ofstream(path, std::ios::binary) << "a,b\r\n\r\n  +1.5 ,-2,.25,3.,1e2,-1.5E-1," << Curve(0, 39) << "\r\n";
    COriginalW w;
    EXPECT_TRUE(ReadOriginalWeightingFile(ui, path, w));
    EXPECT_EQ(w.WRevise3.dB(0), 1.5);
    EXPECT_EQ(w.WRevise3.dB(1), -2.0);
    EXPECT_EQ(w.WRevise3.dB(2), 0.25);
    EXPECT_EQ(w.WRevise3.dB(3), 3.0);
    EXPECT_EQ(w.WRevise3.dB(4), 100.0);
    EXPECT_EQ(w.WRevise3.dB(5), -0.15);
    fs::remove_all(home);
}

}  // namespace
}  // namespace murtesk
