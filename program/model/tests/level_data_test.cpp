#include "model/level_data.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/binary_file.h"
#include "stats_fixture.h"

namespace murtesk {
namespace {

using testing::MakeScopes;

class CDataTest : public testing::ScratchProject {
protected:
    CDataTest() {
        data_.SaveFileName = "A.lvl";
        WriteLevels("A.lvl", {10, 20, 30, 40, 50, 60, 70});
    }
    // The lines written by a text output, split at CR LF.
    template <class Write>
    std::vector<std::string> Lines(Write write) const {
        BinaryFile file = BinaryFile::InMemory();
        EXPECT_TRUE(write(file));
        std::vector<std::string> lines;
        const std::string& text = file.Bytes();
        for (std::size_t at = 0; at < text.size();) {
            const std::size_t end = text.find("\r\n", at);
            EXPECT_NE(end, std::string::npos) << "last line not ended by CR LF";
            if (end == std::string::npos) break;
            lines.push_back(text.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }
    CData data_;
};

TEST_F(CDataTest, CountsWholeValuesOnly) {
    EXPECT_EQ(data_.getDataNumNoWait(BandDir()), 7);
    WriteBytes(BandDir(), "half.lvl", std::string(10, '\0'));  // two values and half of a third
    CData half;
    half.SaveFileName = "half.lvl";
    EXPECT_EQ(half.getDataNumNoWait(BandDir()), 2);
    EXPECT_EQ(half.getData(BandDir()).size(), 2u);
}

TEST_F(CDataTest, AbsentFileCountsZero) {
    CData none;
    none.SaveFileName = "none.lvl";
    EXPECT_EQ(none.getDataNumNoWait(BandDir()), 0);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(none.getDataNum(BandDir(), std::chrono::milliseconds(120)), 0);
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(120));
    EXPECT_TRUE(none.getData(BandDir()).empty());
}

TEST_F(CDataTest, GetDataNumSeesAFileThatAppearsWhileWaiting) {
    CData late;
    late.SaveFileName = "late.lvl";
    std::thread writer([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        // The file appears whole (written aside, then renamed), so the waiting reader never sees it
        // between its creation and its first values.
        WriteLevels("late.part", {1, 2, 3});
        std::filesystem::rename(std::filesystem::path(BandDir()) / "late.part",
                                std::filesystem::path(BandDir()) / "late.lvl");
    });
    EXPECT_EQ(late.getDataNum(BandDir(), std::chrono::seconds(3)), 3);
    writer.join();
}

TEST_F(CDataTest, SaveDataWritesTheSeriesAsRawFloats) {
    CData out;
    out.SaveFileName = "out.lvl";
    const std::vector<float> levels{-1000.0f, 25.25f, 100.0f};
    ASSERT_TRUE(out.SaveData(levels, BandDir()));
    EXPECT_EQ(out.getData(BandDir()), levels);
    EXPECT_TRUE(out.SaveData(std::vector<float>{1.0f}, BandDir()));  // replaces the old file
    EXPECT_EQ(out.getDataNumNoWait(BandDir()), 1);
    EXPECT_FALSE(out.SaveData(levels, (dir_ / "missing").string()));
}

TEST_F(CDataTest, GetDataAreaStopsAtTheEndOfTheFile) {
    std::int32_t n = 5;
    EXPECT_EQ(data_.getDataArea(7, n, BandDir()), std::vector<float>{70});
    EXPECT_EQ(n, 1);
    n = 5;
    EXPECT_TRUE(data_.getDataArea(8, n, BandDir()).empty());
    EXPECT_EQ(n, 0);
    n = 3;
    EXPECT_EQ(data_.getDataArea(2, n, BandDir()), (std::vector<float>{20, 30, 40}));
    EXPECT_EQ(n, 3);
    for (auto [start, want] : {std::pair{0, 3}, std::pair{1, 0}, std::pair{1, -2}}) {
        n = want;
        EXPECT_TRUE(data_.getDataArea(start, n, BandDir()).empty());
        EXPECT_EQ(n, 0);
    }
}

TEST_F(CDataTest, GetDataAreasJoinsRangesClippedToTheFile) {
    std::int32_t n = -1;
    EXPECT_EQ(data_.getDataAreas(MakeScopes({{1, 3}, {10, 8}}), n, BandDir()), (std::vector<float>{10, 20, 30}));
    EXPECT_EQ(n, 3);
    EXPECT_EQ(data_.getDataAreas(MakeScopes({{6, 9}, {-1, 2}}), n, BandDir()), (std::vector<float>{60, 70, 10, 20}));
    EXPECT_EQ(n, 4);
    EXPECT_TRUE(data_.getDataAreas(MakeScopes({{8, 20}}), n, BandDir()).empty());
    EXPECT_EQ(n, 0);
    // Ranges far larger than the file are sized by what the file holds.
    EXPECT_EQ(data_.getDataAreas(MakeScopes({{1, 2'000'000'000}, {1, 2'000'000'000}}), n, BandDir()).size(), 14u);
    EXPECT_EQ(n, 14);
}

struct PeriodCase {
    std::int16_t period;
    std::int32_t slice;
    std::vector<std::string> lines;
};

class TextFileOutTest : public CDataTest, public ::testing::WithParamInterface<PeriodCase> {};

TEST_P(TextFileOutTest, WritesEveryPthValueAcrossSlices) {
    const auto& c = GetParam();
    EXPECT_EQ(Lines([&](BinaryFile& f) { return data_.TextFileOut(f, c.period, BandDir(), c.slice); }), c.lines);
}

INSTANTIATE_TEST_SUITE_P(Periods, TextFileOutTest,
                         ::testing::Values(PeriodCase{3, 100, {"010.00", "040.00", "070.00"}},
                                           PeriodCase{3, 2, {"010.00", "040.00", "070.00"}},
                                           PeriodCase{4, 3, {"010.00", "050.00"}},
                                           PeriodCase{1, 7, {"010.00", "020.00", "030.00", "040.00", "050.00",
                                                             "060.00", "070.00"}},
                                           PeriodCase{0, 6, {"010.00", "020.00", "030.00", "040.00", "050.00",
                                                             "060.00", "070.00"}}));

TEST_F(CDataTest, TextFileAreaOutFillsPositionsOutsideTheFile) {
    WriteLevels("one.lvl", {-1000.0f});
    CData one;
    one.SaveFileName = "one.lvl";
    EXPECT_EQ(Lines([&](BinaryFile& f) { return one.TextFileAreaOut(f, -1, 2, BandDir()); }),
              (std::vector<std::string>{"-1000.00", "-1000.00", "-1000.00", "-1000.00"}));
    EXPECT_EQ(Lines([&](BinaryFile& f) { return data_.TextFileAreaOut(f, 6, 9, BandDir()); }),
              (std::vector<std::string>{"060.00", "070.00", "-1000.00", "-1000.00"}));
    EXPECT_EQ(Lines([&](BinaryFile& f) { return data_.TextFileAreaOut(f, -3, -2, BandDir()); }),
              (std::vector<std::string>{"-1000.00", "-1000.00"}));
    // A missing file is no power at every position.
    CData none;
    none.SaveFileName = "none.lvl";
    EXPECT_EQ(Lines([&](BinaryFile& f) { return none.TextFileAreaOut(f, 0, 2, BandDir()); }),
              (std::vector<std::string>{"-1000.00", "-1000.00", "-1000.00"}));
    EXPECT_TRUE(Lines([&](BinaryFile& f) { return data_.TextFileAreaOut(f, 5, 4, BandDir()); }).empty());
}

// A damaged level file: values no analysis writes (not numbers, infinities, beyond ±2000 dB) read as no power
// (-1000 dB) wherever the file is read, and levels within the bounds as they are. The file holds the bytes
// of each case; reads start at every position so that each value is met in every lane of a block.
TEST_F(CDataTest, ValuesNoAnalysisWritesReadAsNoPower) {
    struct Case {
        std::uint32_t bits;
        float read;
    };
    const std::vector<Case> cases = {
        {0x7FC00000, -1000.0f},  // not a number
        {0xFFC00000, -1000.0f},  // not a number with its sign set
        {0x7F800001, -1000.0f},  // signalling not-a-number
        {0x7F800000, -1000.0f},  // +infinity
        {0xFF800000, -1000.0f},  // -infinity
        {0x7F7FFFFF, -1000.0f},  // the largest float
        {0xFF7FFFFF, -1000.0f},  // the lowest float
        {0x44FA0001, -1000.0f},  // just above 2000
        {0xC4FA0001, -1000.0f},  // just below -2000
        {0x44FA0000, 2000.0f},   // 2000
        {0xC4FA0000, -2000.0f},  // -2000
        {0xC4898000, -1100.0f},  // no power in a band corrected by -100 dB
        {0x42BC6666, 94.2f},
        {0x80000000, -0.0f},
        {0x00000001, 1.4e-45f},  // the smallest float above 0
    };
    std::string bytes;
    for (const Case& c : cases) bytes.append(reinterpret_cast<const char*>(&c.bits), 4);
    WriteBytes(BandDir(), "damaged.lvl", bytes);
    CData damaged;
    damaged.SaveFileName = "damaged.lvl";
    const auto n = static_cast<std::int32_t>(cases.size());
    for (std::int32_t start = 1; start <= n; ++start) {
        std::int32_t count = n;
        const std::vector<float> read = damaged.getDataArea(start, count, BandDir());
        ASSERT_EQ(count, n - start + 1);
        for (std::int32_t k = 0; k < count; ++k) {
            const Case& c = cases[static_cast<std::size_t>(start - 1 + k)];
            EXPECT_EQ(read[static_cast<std::size_t>(k)], c.read) << std::hex << c.bits << " from " << start;
        }
    }
    const std::vector<std::string> lines = Lines([&](BinaryFile& f) { return damaged.TextFileOut(f, 1, BandDir()); });
    ASSERT_EQ(lines.size(), cases.size());
    EXPECT_EQ(lines[0], "-1000.00");
    EXPECT_EQ(lines[5], "-1000.00");
    EXPECT_EQ(lines[9], "2000.00");
}

// Former bugs: a missing series was written as nothing (TextFileOut, after its wait) or as
// filler lines (TextFileAreaOut), and either way reported as success. The span of a missing file
// is no power at every position (above); one that is there and no level file fails.
TEST_F(CDataTest, TextOutputsOfAMissingSeriesFailAndWriteNothing) {
    std::filesystem::create_directories(std::filesystem::path(BandDir()) / "dir.lvl");
    for (const char* name : {"none.lvl", "dir.lvl"}) {
        CData none;
        none.SaveFileName = name;
        BinaryFile whole = BinaryFile::InMemory();
        EXPECT_FALSE(none.TextFileOut(whole, 1, BandDir(), kLevelSliceLength, std::chrono::milliseconds(20))) << name;
        BinaryFile area = BinaryFile::InMemory();
        if (std::string(name) == "dir.lvl") {
            EXPECT_FALSE(none.TextFileAreaOut(area, -1, 2, BandDir())) << name;
        }
        EXPECT_EQ(whole.Bytes() + area.Bytes(), "") << name;
    }
}

// Former bug: a failed save had already emptied the old file.
TEST_F(CDataTest, AFailedSaveKeepsTheOldSeries) {
    platform::SetWriteLimitForTests(16);
    const bool saved = data_.SaveData(std::vector<float>(100, 1.0f), BandDir());
    platform::SetWriteLimitForTests(-1);
    EXPECT_FALSE(saved);
    EXPECT_EQ(data_.getData(BandDir()), (std::vector<float>{10, 20, 30, 40, 50, 60, 70}));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(BandDir()), {}), 1);  // no temporary left
}

// Former bug: stored names were joined as they stood, so a project file could have any file
// read, written over or created outside the band folder. Such a name reads as no data.
class UnsafeLevelFileName : public CDataTest, public ::testing::WithParamInterface<std::string> {
protected:
    UnsafeLevelFileName() {
        WriteBytes(dir_.string(), "outside.lvl", std::string(8, '\x01'));
        std::string name = GetParam();
        if (name == "<absolute>") name = (dir_ / "outside.lvl").string();
        unsafe_.SaveFileName = name;
    }
    CData unsafe_;
};

TEST_P(UnsafeLevelFileName, ReadsAsNoDataAndWritesNothing) {
    EXPECT_EQ(unsafe_.getDataNumNoWait(BandDir()), 0);
    EXPECT_EQ(unsafe_.getDataNum(BandDir(), std::chrono::milliseconds(0)), 0);
    EXPECT_TRUE(unsafe_.getData(BandDir()).empty());
    std::int32_t n = 2;
    EXPECT_TRUE(unsafe_.getDataArea(1, n, BandDir()).empty());
    EXPECT_EQ(n, 0);
    EXPECT_TRUE(unsafe_.getDataAreas(MakeScopes({{1, 2}}), n, BandDir()).empty());
    EXPECT_EQ(n, 0);
    BinaryFile text = BinaryFile::InMemory();
    EXPECT_FALSE(unsafe_.TextFileOut(text, 1, BandDir(), kLevelSliceLength, std::chrono::milliseconds(0)));
    EXPECT_FALSE(unsafe_.TextFileAreaOut(text, 1, 2, BandDir()));
    EXPECT_EQ(text.Bytes(), "");

    EXPECT_FALSE(unsafe_.SaveData(std::vector<float>{99.0f}, BandDir()));
    EXPECT_EQ(ReadBytes((dir_ / "outside.lvl").string()), std::string(8, '\x01'));
    EXPECT_EQ(data_.getDataNumNoWait(BandDir()), 7);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir_), {}), 2);  // F and outside.lvl
}

INSTANTIATE_TEST_SUITE_P(Names, UnsafeLevelFileName,
                         ::testing::Values("<absolute>", "../outside.lvl", "../F/A.lvl", "../written.lvl", "..", ".",
                                           ""));

}  // namespace
}  // namespace murtesk
