#include "model/band_slots.h"
#include "model/input_checks.h"
#include "model/shared_procedures.h"

#include <gtest/gtest.h>

#include <string>

namespace murtesk {
namespace {

using namespace std::string_literals;
using Parts = std::vector<std::string>;

TEST(ProjectPaths, SplitAtTheLastSeparatorOfEitherKind) {
    EXPECT_EQ(GetParentPath("/home/u/data/p.qvd"), "/home/u/data");
    EXPECT_EQ(GetParentPath("C:\\data\\p.qvd"), "C:\\data");
    EXPECT_EQ(GetParentPath("C:\\p.qvd"), "C:");
    EXPECT_EQ(GetParentPath("p.qvd"), "p.qvd");
    EXPECT_EQ(GetParentPath(""), "");
    EXPECT_EQ(GetParentPath("/p.qvd"), "");  // a project in the root folder
    EXPECT_EQ(GetFileName("/home/u/data/p.qvd"), "p.qvd");
    EXPECT_EQ(GetFileName("C:\\data\\"), "");
    EXPECT_EQ(GetFileName("p.qvd"), "p.qvd");
    EXPECT_EQ(GetFileName("/p.qvd"), "p.qvd");
    // In CP932 表 is 95 5C, whose second byte is "\"; the UTF-8 text holds no such byte.
    EXPECT_EQ(GetParentPath("/data/表/p.qvd"), "/data/表");
    EXPECT_EQ(GetFileName("/data/表.qvd"), "表.qvd");
}

TEST(ProjectPaths, FoldersBesideTheProjectFile) {
    EXPECT_EQ(GetRecWavFolder("/data/p.qvd"), "/data/RecWav");
    EXPECT_EQ(GetLCalcFolder("/data/p.qvd"), "/data/LCalc");
    EXPECT_EQ(GetFlatBandFolder("/data/p.qvd"), "/data/F");
    EXPECT_EQ(GetBandFolder("/data/p.qvd", 1, 12), "/data/31_5Hz");
    EXPECT_EQ(GetBandFolder("/data/p.qvd", 2, 12), "/data/31_5Hz");  // any mode but 3 is octave
    EXPECT_EQ(GetBandFolder("/data/p.qvd", 1, 0), "/data/XXXHz");
    EXPECT_EQ(GetBandFolder("/data/p.qvd", 1, 18), "/data/XXXHz");
    EXPECT_EQ(GetBandFolder("/data/p.qvd", 3, 47), "/data/0_8Hz");
    EXPECT_EQ(GetRecWavFolder("/p.qvd"), "/RecWav");
}

TEST(BandSlots, LabelsAndNamesOfBothLists) {
    EXPECT_EQ(GetBandLabel(1, 1), "F");
    EXPECT_EQ(GetBandName(1, 1), "Ｆ特性");
    EXPECT_EQ(GetBandName(3, 2), "補正特性");
    EXPECT_EQ(GetBandLabel(1, 3), "16000Hz");
    EXPECT_EQ(GetBandName(1, 3), "16kHz帯域");
    EXPECT_EQ(GetBandName(1, 12), "31.5Hz帯域");
    EXPECT_EQ(GetBandLabel(1, 17), "1Hz");
    EXPECT_EQ(GetBandLabel(3, 3), "20000Hz");
    EXPECT_EQ(GetBandName(3, 5), "12.5kHz帯域");
    EXPECT_EQ(GetBandName(3, 11), "3.15kHz帯域");
    EXPECT_EQ(GetBandLabel(3, 41), "3_15Hz");
    EXPECT_EQ(GetBandName(3, 47), "0.8Hz帯域");
    EXPECT_EQ(GetBandName(3, 48), "?Hz帯域");
    EXPECT_EQ(GetBandName(1, -1), "?Hz帯域");
}

TEST(BandSlots, OneThirdOctaveLabelsFollowTheNominalFrequencies) {
    // Independent spelling: the nominal frequencies in Hz, 20 kHz down to 0.8 Hz.
    const double nominal[] = {20000, 16000, 12500, 10000, 8000, 6300, 5000, 4000, 3150, 2500, 2000, 1600,
                              1250,  1000,  800,   630,   500,  400,  315,  250,  200,  160,  125,  100,
                              80,    63,    50,    40,    31.5, 25,   20,   16,   12.5, 10,   8,    6.3,
                              5,     4,     3.15,  2.5,   2,    1.6,  1.25, 1,    0.8};
    for (int i = 0; i < 45; ++i) {
        const double f = nominal[i];
        std::string label = std::to_string(f);
        label.erase(label.find_last_not_of('0') + 1);
        if (label.back() == '.') label.pop_back();
        std::string name = label;
        if (f >= 1000) {
            name = std::to_string(f / 1000);
            name.erase(name.find_last_not_of('0') + 1);
            if (name.back() == '.') name.pop_back();
            name += "kHz帯域";
        } else {
            name += "Hz帯域";
        }
        for (auto& c : label) {
            if (c == '.') c = '_';
        }
        const auto slot = static_cast<std::int16_t>(i + 3);
        EXPECT_EQ(GetBandLabel(3, slot), label + "Hz") << slot;
        EXPECT_EQ(GetBandName(3, slot), name) << slot;
    }
}

struct DelayCase {
    std::int16_t mode, slot;
    std::int32_t pos;
    double rate;
    std::int32_t expected;
};

class BandDelays : public testing::TestWithParam<DelayCase> {};

INSTANTIATE_TEST_SUITE_P(Cases, BandDelays,
                         testing::Values(DelayCase{1, 17, 100, 10, 150},       // 49.64 -> 50
                                         DelayCase{3, 47, 100, 10, 207},       // 106.72 -> 107
                                         DelayCase{1, 8, 0, 100, 1},           // 1.1 -> 1
                                         DelayCase{3, 8, 0, 500, 2},           // 1.5 -> 2 (even)
                                         DelayCase{3, 11, 0, 500, 2},          // 2.5 -> 2 (even)
                                         DelayCase{1, 1, 7, 1000, 8},          // F: the smallest delay
                                         DelayCase{3, 2, 7, 1000, 9},          // W: 2 ms
                                         DelayCase{2, 17, 0, 1000, 4964},      // mode 2 is octave
                                         DelayCase{1, 99, 0, 1000, 1},         // unknown slot
                                         DelayCase{3, 0, 0, 1000, 2},
                                         DelayCase{1, 17, 2147483000, 1000, 2147483647}));

TEST_P(BandDelays, MoveThePositionByTheFilterDelay) {
    const DelayCase& c = GetParam();
    EXPECT_EQ(AddBandDelay(c.mode, c.slot, c.pos, c.rate), c.expected);
}

TEST(TextSplitting, AtNulAndAtCrLf) {
    EXPECT_EQ(SplitByNull("a\0b\0"s), (Parts{"a", "b", ""}));
    EXPECT_EQ(SplitByNull(""), (Parts{""}));
    EXPECT_EQ(SplitByNull("\0\0"s), (Parts{"", "", ""}));
    EXPECT_EQ(SplitByNull("表\0ｼ"s), (Parts{"表", "ｼ"}));
    EXPECT_EQ(SplitByCrLf("x\r\n\r\ny"), (Parts{"x", "", "y"}));
    EXPECT_EQ(SplitByCrLf("a\rb\nc\r\n"), (Parts{"a\rb\nc", ""}));
    EXPECT_EQ(SplitByCrLf("\r\r\n\n"), (Parts{"\r", "\n"}));
    EXPECT_EQ(SplitByCrLf(""), (Parts{""}));
}

TEST(Rounding, RoundOffAndFixToTen) {
    EXPECT_EQ(RoundOff(2.5), 3);
    EXPECT_EQ(RoundOff(-2.5), -3);
    EXPECT_EQ(RoundOff(2.49), 2);
    EXPECT_EQ(RoundOff(-0.5), -1);
    EXPECT_EQ(RoundOff(-0.49), 0);
    EXPECT_EQ(RoundOff(0.0), 0);
    EXPECT_EQ(RoundOff(1e17), 1e17);
    EXPECT_EQ(FixToTen(37), 30);
    EXPECT_EQ(FixToTen(-37), -30);
    EXPECT_EQ(FixToTen(9.99), 0);
}

TEST(Rounding, ClipRange) {
    double start = 5, end = 15;
    EXPECT_TRUE(ClipRange(10.0, 20.0, start, end));
    EXPECT_EQ(start, 10);
    EXPECT_EQ(end, 15);
    start = 20, end = 30;
    EXPECT_FALSE(ClipRange(10.0, 20.0, start, end));
    EXPECT_EQ(start, 20);
    start = 0, end = 5;
    EXPECT_FALSE(ClipRange(10.0, 20.0, start, end));
    EXPECT_EQ(end, 5);
    std::int32_t s = 1, e = 100;
    EXPECT_TRUE(ClipRange<std::int32_t>(10, 20, s, e));
    EXPECT_EQ(s, 10);
    EXPECT_EQ(e, 20);
}

struct CheckCase {
    const char* text;
    std::optional<std::string> integer_1_100;  // CheckIntegerText(text, 1, 100)
    std::optional<std::string> over_0;         // CheckOverText(text, 0)
};

const std::string kRange = "1以上、100以下の数値を入力してください。";
const std::string kOver = "0より大きい数値を入力してください。";
const std::string kNumber = "数値を入力してください。";

class InputChecks : public testing::TestWithParam<CheckCase> {};

INSTANTIATE_TEST_SUITE_P(Cases, InputChecks,
                         testing::Values(CheckCase{"50", std::nullopt, std::nullopt},
                                         CheckCase{"50.5", kRange, std::nullopt},
                                         CheckCase{"abc", kNumber, kNumber},
                                         CheckCase{"0", kRange, kOver},
                                         CheckCase{"0.001", kRange, std::nullopt},
                                         CheckCase{" 100 ", std::nullopt, std::nullopt},
                                         CheckCase{"+1e2", std::nullopt, std::nullopt},
                                         CheckCase{"1e999", kNumber, kNumber},
                                         CheckCase{"1e-999", kRange, kOver},
                                         CheckCase{"-3", kRange, kOver},
                                         CheckCase{".5", kRange, std::nullopt},
                                         CheckCase{"", kNumber, kNumber},
                                         CheckCase{"1.2.3", kNumber, kNumber},
                                         CheckCase{"inf", kNumber, kNumber},
                                         CheckCase{"0x10", kNumber, kNumber},
                                         CheckCase{"5e", kNumber, kNumber},
                                         CheckCase{"- 5", kNumber, kNumber}));

TEST_P(InputChecks, GiveTheMessageTheFormShows) {
    EXPECT_EQ(CheckIntegerText(GetParam().text, 1, 100), GetParam().integer_1_100) << GetParam().text;
    EXPECT_EQ(CheckOverText(GetParam().text, 0), GetParam().over_0) << GetParam().text;
}

TEST(InputChecks, LimitsAppearInTheirStandardTextForm) {
    EXPECT_EQ(CheckRangeText("7", 0.5, 1.25), "0.5以上、1.25以下の数値を入力してください。");
    EXPECT_EQ(CheckRangeText("1.25", 0.5, 1.25), std::nullopt);
    EXPECT_EQ(CheckRangeText("x", 0.5, 1.25), kNumber);
    EXPECT_EQ(CheckOverText("-1", -0.001), "-0.001より大きい数値を入力してください。");
    EXPECT_EQ(CheckNumericText("-12.5e-1"), std::nullopt);
    EXPECT_EQ(CheckNumericText("12,5"), kNumber);
    // A whole number beyond the 32-bit range is refused even inside the given range.
    EXPECT_EQ(CheckIntegerText("3000000000", 0, 1e10), "0以上、10000000000以下の数値を入力してください。");
    EXPECT_EQ(ParseNumericText(" -0.25 "), -0.25);
}

}  // namespace
}  // namespace murtesk
