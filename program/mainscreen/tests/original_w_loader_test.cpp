// The user correction characteristics read from files written here in CP932, split by the built
// libSarnik.so: a good file, the stop at the first missing or refused file, each refusal with its
// message, and full-width names cut exactly at the comma.
#include "fake_ui.h"
#include "original_w_loader.h"
#include "sarnik_binding.h"

#include "platform/text_encoding.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <unistd.h>
#include <vector>

namespace murtesk {
namespace {

namespace fs = std::filesystem;

// 45 values "start", "start+step", ... joined by commas.
std::string Values(double start, double step = 1.0)
{
    std::string line;
    for (int i = 0; i < 45; ++i) {
        if (i > 0) line += ",";
        line += std::to_string(start + step * i);
    }
    return line;
}

class OriginalWeightings : public ::testing::Test {
protected:
    OriginalWeightings()
    {
        setenv("MURTESK_HOME", home.c_str(), 1);
    }
    ~OriginalWeightings() override
    {
        unsetenv("MURTESK_HOME");
    }

    // Writes file n in CP932 with CR LF line ends.
    fs::path Write(int n, const std::vector<std::string>& lines)
    {
        std::string text;
        for (const auto& line : lines) text += platform::Utf8ToCp932(line) + "\r\n";
        return WriteBytes(n, text);
    }
    fs::path WriteBytes(int n, const std::string& bytes)
    {
        const fs::path path = home / ("オリジナル特性" + std::to_string(n) + ".csv");
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    std::vector<std::string> Good(const std::string& names = "特性,TK")
    {
        return {names, "0.8Hz,1Hz,...", Values(-40.0), Values(100.0, 0.5)};
    }
    void Load() { LoadOriginalWeightings(ui, list, SarnikRESearch()); }

    test_support::ScratchFolder scratch_{"originalw"};
    fs::path home = scratch_.path();
    platform::testing::FakeUi ui;
    COriginalWs list;
};

TEST_F(OriginalWeightings, GoodFileGivesNamesCurvesAndOctaveForms)
{
    Write(1, Good(" 騒音補正特性 ,ｿｳｵﾝ,ignored"));
    Load();
    ASSERT_EQ(list.count(), 1);
    const COriginalW& w = list.Item(1);
    EXPECT_EQ(w.WName, " 騒音補正特性 ");
    EXPECT_EQ(w.WNameHalfSize, "ｿｳｵﾝ");
    EXPECT_DOUBLE_EQ(w.WRevise3.dB(0), -40.0);   // 0.8 Hz
    EXPECT_DOUBLE_EQ(w.WRevise3.dB(44), 4.0);    // 20 kHz
    EXPECT_DOUBLE_EQ(w.WMax3.dB(10), 105.0);
    // Octave band i is the one-third-octave band 3i + 1: 1 Hz ... 16 kHz.
    EXPECT_DOUBLE_EQ(w.WRevise1.dB(0), -39.0);
    EXPECT_DOUBLE_EQ(w.WRevise1.dB(14), 3.0);
    EXPECT_DOUBLE_EQ(w.WMax1.dB(14), 121.5);
    EXPECT_DOUBLE_EQ(w.WRevise3.dBAllPass(), -100.0);
    EXPECT_DOUBLE_EQ(w.WRevise1.dBW(), -100.0);
    EXPECT_DOUBLE_EQ(w.WMax3.dBAllPass(), 170.0);
    EXPECT_DOUBLE_EQ(w.WMax1.dBW(), 170.0);
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(OriginalWeightings, ThreeLinesKeepTheMaximaAndLaterLinesAreNotRead)
{
    Write(1, {"a,b", "", Values(1.0)});
    auto five = Good();
    five.push_back("not read");
    five.push_back("not read either");
    Write(2, five);
    Load();
    ASSERT_EQ(list.count(), 2);
    EXPECT_DOUBLE_EQ(list.Item(1).WMax3.dB(20), 170.0);
    EXPECT_DOUBLE_EQ(list.Item(1).WMax1.dB(3), 170.0);
    EXPECT_EQ(list.Item(2).WName, "特性");
}

TEST_F(OriginalWeightings, LoadingStopsAtTheFirstMissingFile)
{
    Write(2, Good());
    Load();
    EXPECT_EQ(list.count(), 0);

    Write(1, Good("一,1"));
    Write(3, Good("三,3"));
    fs::remove(home / "オリジナル特性2.csv");
    Load();
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.Item(1).WName, "一");
    EXPECT_TRUE(ui.Messages().empty());
}

TEST_F(OriginalWeightings, LoadingStopsAtTheFirstRefusedFileAndKeepsTheEarlierOnes)
{
    Write(1, Good("一,1"));
    auto bad = Good("二,2");
    bad[2] = Values(0.0).replace(0, 1, "x");
    const fs::path second = Write(2, bad);
    Write(3, Good("三,3"));
    Load();
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.Item(1).WName, "一");
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, second.string() + "3行目補正値数値エラー");
    EXPECT_EQ(ui.Messages()[0].Icon, platform::MsgIcon::Critical);
    EXPECT_EQ(ui.Messages()[0].Title, "Murtesk");
}

struct BadFile {
    const char* name;
    std::vector<std::string> lines;
    const char* message;  // after the path; empty: refused without a message
};

class RefusedFiles : public OriginalWeightings, public ::testing::WithParamInterface<BadFile> {};

TEST_P(RefusedFiles, ShowTheirReason)
{
    const fs::path path = Write(1, GetParam().lines);
    Load();
    EXPECT_EQ(list.count(), 0);
    if (*GetParam().message == '\0') {
        EXPECT_TRUE(ui.Messages().empty());
    } else {
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].Text, path.string() + GetParam().message);
    }
}

const std::string k44 = Values(0.0).substr(0, Values(0.0).rfind(','));

INSTANTIATE_TEST_SUITE_P(
    Reasons, RefusedFiles,
    ::testing::Values(
        BadFile{"OneName", {"名前だけ", "", Values(0.0)}, "1行目フィールドエラー"},
        BadFile{"EmptyFirstLine", {"", "", Values(0.0)}, "1行目フィールドエラー"},
        BadFile{"FortyFourCorrections", {"a,b", "", k44}, "3行目フィールド数エラー"},
        BadFile{"EmptyCorrection", {"a,b", "", "," + k44}, "3行目補正値数値エラー"},
        BadFile{"WordAmongMaxima", {"a,b", "", Values(0.0), k44 + ",max"}, "4行目補正値数値エラー"},
        BadFile{"FortyFourMaxima", {"a,b", "", Values(0.0), k44}, "4行目フィールド数エラー"},
        BadFile{"ValueBeyondDouble", {"a,b", "", "1e999," + k44}, "3行目補正値数値エラー"},
        BadFile{"CorrectionBeyond200dB", {"a,b", "", k44 + ",200.01"}, "3行目補正値数値エラー"},
        BadFile{"MaximumBelowMinus200dB", {"a,b", "", Values(0.0), "-200.5," + k44}, "4行目補正値数値エラー"},
        BadFile{"MaximumBeyond200dB", {"a,b", "", Values(0.0), "1e3," + k44}, "4行目補正値数値エラー"},
        BadFile{"LineLongerThanAnyCharacteristic", {"a,b", std::string(8193, 'x'), Values(0.0)}, "I/Oエラー"},
        BadFile{"TwoLines", {"a,b", ""}, ""},
        BadFile{"Empty", {}, ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(OriginalWeightings, NumbersMayCarryBlanksSignsAndExponents)
{
    std::string line = " 1.5 ,+2,-.5,3.,\t4e1, -1E-1 ,200,-2e2";
    for (int i = 8; i < 45; ++i) line += ",0";
    line += ",";  // a 46th field, ignored
    Write(1, {"a,b", "", line});
    Load();
    ASSERT_EQ(list.count(), 1);
    const auto& w = list.Item(1).WRevise3;
    EXPECT_DOUBLE_EQ(w.dB(0), 1.5);
    EXPECT_DOUBLE_EQ(w.dB(1), 2.0);
    EXPECT_DOUBLE_EQ(w.dB(2), -0.5);
    EXPECT_DOUBLE_EQ(w.dB(3), 3.0);
    EXPECT_DOUBLE_EQ(w.dB(4), 40.0);
    EXPECT_DOUBLE_EQ(w.dB(5), -0.1);
    EXPECT_DOUBLE_EQ(w.dB(6), 200.0);  // the largest correction either way
    EXPECT_DOUBLE_EQ(w.dB(7), -200.0);
}

TEST_F(OriginalWeightings, NotNumbers)
{
    for (const char* field : {"0x10", "1e", "+", ".", "1 2", "1.2.3", "\"1\"", "１"}) {
        SCOPED_TRACE(field);
        COriginalW w;
        AwkLike awk(SarnikRESearch());
        std::string line = field;
        for (int i = 1; i < 45; ++i) line += ",0";
        const fs::path path = Write(1, {"a,b", "", line});
        ui.ClearTranscript();
        EXPECT_FALSE(ReadOriginalWeightingFile(ui, awk, path.string(), w));
        ASSERT_EQ(ui.Messages().size(), 1u);
        EXPECT_EQ(ui.Messages()[0].Text, path.string() + "3行目補正値数値エラー");
    }
}

TEST_F(OriginalWeightings, FullWidthNamesAreCutExactlyAtTheComma)
{
    // 表 (0x95 0x5C) and ソ (0x83 0x5C) carry a trail byte that is "\" in ASCII.
    Write(1, Good("表示ソフト騒音特性（全帯域）,ソフト"));
    Load();
    ASSERT_EQ(list.count(), 1);
    EXPECT_EQ(list.Item(1).WName, "表示ソフト騒音特性（全帯域）");
    EXPECT_EQ(list.Item(1).WNameHalfSize, "ソフト");
}

TEST_F(OriginalWeightings, LineEndsOfOtherSystemsAreLinesToo)
{
    const std::string lines = "a,b\n\r" + Values(2.0) + "\r" + Values(50.0) + "\n";
    WriteBytes(1, lines);
    Load();
    ASSERT_EQ(list.count(), 1);
    EXPECT_DOUBLE_EQ(list.Item(1).WRevise3.dB(0), 2.0);
    EXPECT_DOUBLE_EQ(list.Item(1).WMax3.dB(0), 50.0);
}

TEST_F(OriginalWeightings, UnreadableFileIsAnInputError)
{
    const fs::path path = Write(1, Good());
    fs::permissions(path, fs::perms::none);
    if (std::ifstream(path).good()) GTEST_SKIP() << "running with rights to read any file";
    Load();
    EXPECT_EQ(list.count(), 0);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, path.string() + "I/Oエラー");
}

TEST_F(OriginalWeightings, SearchOutOfReachIsAnInputError)
{
    const fs::path path = Write(1, Good());
    LoadOriginalWeightings(ui, list, [](const char*, const char*, std::int32_t*) -> std::int32_t {
        throw SarnikUnavailable("no library");
    });
    EXPECT_EQ(list.count(), 0);
    ASSERT_EQ(ui.Messages().size(), 1u);
    EXPECT_EQ(ui.Messages()[0].Text, path.string() + "I/Oエラー");
}

TEST_F(OriginalWeightings, AFolderOfTheFileNameEndsTheList)
{
    fs::create_directories(home / "オリジナル特性1.csv");
    Load();
    EXPECT_EQ(list.count(), 0);
    EXPECT_TRUE(ui.Messages().empty());
}

}  // namespace
}  // namespace murtesk
