// The resampled level text: byte-exact files for short series computed by hand, long outputs that cross the
// writer's pieces, and every refusal.
#include "chg_hz.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <filesystem>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "temp_folder.h"

namespace murtesk::analysis {
namespace {

using testing::TempFolder;

std::string readAll(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream(path, std::ios::binary) << text;
}

TEST(ChgHz, LinearInterpolationByHand)
{
    // 1, 2, 4 at 1 Hz to 2 Hz: positions 0, 0.5 .. 2.5; the value past the end repeats the last one.
    TempFolder folder;
    const std::string path = folder.file("lin.txt");
    const double series[] = {1.0, 2.0, 4.0};
    ASSERT_EQ(ChgHz(path.c_str(), series, 3, 1.0, 2.0, 1), 1);
    EXPECT_EQ(readAll(path), "1.000000\r\n1.500000\r\n2.000000\r\n3.000000\r\n4.000000\r\n4.000000\r\n");
}

TEST(ChgHz, FourPointKernelByHand)
{
    // 0, 1 at 1 Hz to 4 Hz. Kernel weights at f = 0.25: -0.140625, 0.890625, 0.296875, -0.046875; at 0.5:
    // -0.125, 0.625, 0.625, -0.125. The ends repeat, so past the last value the kernel overshoots.
    TempFolder folder;
    const std::string path = folder.file("cubic.txt");
    const double series[] = {0.0, 1.0};
    ASSERT_EQ(ChgHz(path.c_str(), series, 2, 1.0, 4.0, 0), 1);
    EXPECT_EQ(readAll(path), "0.000000\r\n0.250000\r\n0.500000\r\n0.750000\r\n"
                             "1.000000\r\n1.140625\r\n1.125000\r\n1.046875\r\n");
}

TEST(ChgHz, ExactDoublingUsesTheHalfSampleKernel)
{
    // Half-sample weights -2/(3 pi), 2/pi, 2/pi, -2/(3 pi) = -0.2122066, 0.6366198, ...; any mode but 1.
    TempFolder folder;
    const std::string path = folder.file("double.txt");
    const double series[] = {0.0, 1.0, 0.0, 0.0};
    ASSERT_EQ(ChgHz(path.c_str(), series, 4, 100.0, 200.0, 7), 1);
    EXPECT_EQ(readAll(path), "0.000000\r\n0.636620\r\n1.000000\r\n0.636620\r\n"
                             "0.000000\r\n-0.212207\r\n0.000000\r\n0.000000\r\n");
}

TEST(ChgHz, NumbersHaveTheFormOfPrintfFixedWithSixDecimals)
{
    // At the same rate every value is written as it stands; the C locale's printf is the reference.
    TempFolder folder;
    const std::string path = folder.file("forms.txt");
    const std::vector<double> series = {
        65.3, -5.0, -0.0, 0.0000004, -0.0000004, 1e9, -123456.7890123, -1e9, 999999999.999999};
    ASSERT_EQ(ChgHz(path.c_str(), series.data(), static_cast<int32_t>(series.size()), 10.0, 10.0, 1), 1);
    std::string expected;
    for (double v : series) {
        char line[64];
        std::snprintf(line, sizeof line, "%lf\r\n", v);
        expected += line;
    }
    EXPECT_EQ(readAll(path), expected);
    EXPECT_EQ(expected.substr(0, 21), "65.300000\r\n-5.000000\r");
}

TEST(ChgHz, LongOutputsAreWrittenWhole)
{
    // 5,000 values of a ramp at 10 times the rate: 50,000 lines, more than one piece and one buffer of text.
    TempFolder folder;
    const std::string path = folder.file("long.txt");
    std::vector<double> ramp(5000);
    for (size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<double>(i);
    ASSERT_EQ(ChgHz(path.c_str(), ramp.data(), 5000, 100.0, 1000.0, 1), 1);
    std::istringstream text(readAll(path));
    std::string line;
    int i = 0;
    for (; std::getline(text, line, '\n'); ++i) {
        char expected[64];
        std::snprintf(expected, sizeof expected, "%.6f\r", i < 49990 ? i / 10.0 : 4999.0);
        ASSERT_EQ(line, expected) << "line " << i;
    }
    EXPECT_EQ(i, 50000);

    // The four-point kernel at 10 times the rate gives 10 lines per value, too.
    ASSERT_EQ(ChgHz(path.c_str(), ramp.data(), 7, 10.0, 100.0, 0), 1);
    const std::string small = readAll(path);
    EXPECT_EQ(std::count(small.begin(), small.end(), '\n'), 70);
    EXPECT_EQ(std::count(small.begin(), small.end(), '\r'), 70);
}

TEST(ChgHz, AnOutputOfNoValuesIsAnEmptyFile)
{
    // One value from 100 Hz to 10 Hz is 0.1 values, rounded to none.
    TempFolder folder;
    const std::string path = folder.file("none.txt");
    writeText(path, "old");
    const double one = 3.0;
    EXPECT_EQ(ChgHz(path.c_str(), &one, 1, 100.0, 10.0, 1), 1);
    EXPECT_EQ(readAll(path), "");
}

TEST(ChgHz, BadArgumentsAreRefusedWithoutTouchingTheFile)
{
    TempFolder folder;
    const std::string path = folder.file("keep.txt");
    writeText(path, "kept\r\n");
    const double s[] = {1.0, 2.0};
    const double inf = INFINITY;
    const double nan = NAN;
    EXPECT_EQ(ChgHz(nullptr, s, 2, 10.0, 100.0, 1), 0);
    EXPECT_EQ(ChgHz(path.c_str(), nullptr, 2, 10.0, 100.0, 1), 0);
    EXPECT_EQ(ChgHz(path.c_str(), s, 0, 10.0, 100.0, 1), 0);
    EXPECT_EQ(ChgHz(path.c_str(), s, -2, 10.0, 100.0, 1), 0);
    for (double bad : {0.0, -10.0, inf, -inf, nan}) {
        EXPECT_EQ(ChgHz(path.c_str(), s, 2, bad, 100.0, 0), 0) << bad;
        EXPECT_EQ(ChgHz(path.c_str(), s, 2, 10.0, bad, 0), 0) << bad;
    }
    // Outputs the resamplers cannot count (the series is never read: the sizes alone refuse them).
    EXPECT_EQ(ChgHz(path.c_str(), s, 1000000000, 1.0, 10.0, 0), 0);
    EXPECT_EQ(ChgHz(path.c_str(), s, 1200000000, 1.0, 2.0, 0), 0);
    EXPECT_EQ(ChgHz(path.c_str(), s, 2, 1e-300, 1e300, 1), 0);
    EXPECT_EQ(readAll(path), "kept\r\n");
}

// A value the six decimals cannot show (not finite, or beyond ±1e9, where levels never go) refuses the whole
// series before the file is touched; printf would write "nan", "inf" or 309 digits.
struct Unwritable {
    const char* name;
    double value;
};

void PrintTo(const Unwritable& u, std::ostream* os) { *os << u.name; }

class UnwritableValues : public ::testing::TestWithParam<Unwritable> {};

TEST_P(UnwritableValues, AreRefusedWithoutTouchingTheFile) {
    TempFolder folder;
    const std::string path = folder.file("keep.txt");
    writeText(path, "kept\r\n");
    const double series[] = {60.0, GetParam().value, 61.0};
    for (int32_t mode : {0, 1}) EXPECT_EQ(ChgHz(path.c_str(), series, 3, 10.0, 20.0, mode), 0) << "mode " << mode;
    EXPECT_EQ(readAll(path), "kept\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

INSTANTIATE_TEST_SUITE_P(Table, UnwritableValues,
                         ::testing::Values(Unwritable{"nan", NAN}, Unwritable{"infinity", INFINITY},
                                           Unwritable{"minus_infinity", -INFINITY},
                                           Unwritable{"largest_double", 1.7976931348623157e308},
                                           Unwritable{"just_above_1e9", 1000000000.000001},
                                           Unwritable{"minus_1e10", -1e10}),
                         [](const ::testing::TestParamInfo<Unwritable>& info) { return std::string(info.param.name); });

TEST(ChgHz, FilesThatCannotBeWrittenFail)
{
    TempFolder folder;
    const double s[] = {1.0, 2.0};
    EXPECT_EQ(ChgHz(folder.file("no-such-folder/x.txt").c_str(), s, 2, 10.0, 100.0, 1), 0);
    EXPECT_EQ(ChgHz(folder.path().string().c_str(), s, 2, 10.0, 100.0, 1), 0);
    EXPECT_EQ(ChgHz("", s, 2, 10.0, 100.0, 1), 0);
    // A full disk is a failure, not a success.
    if (std::FILE* full = std::fopen("/dev/full", "wb")) {
        std::fclose(full);
        EXPECT_EQ(ChgHz("/dev/full", s, 2, 10.0, 100.0, 1), 0);
    }
}

// A write cut short by a full disk (a file-size limit in a child process) fails and leaves the older text as it
// was, with nothing beside it.
TEST(ChgHz, AFullDiskKeepsTheOldText)
{
    TempFolder folder;
    const std::string path = folder.file("levels.txt");
    writeText(path, "old\r\n");
    std::vector<double> series(100000, 60.0);
    EXPECT_EXIT(
        {
            testing::LimitFileSize(4096);
            std::_Exit(ChgHz(path.c_str(), series.data(), 100000, 10.0, 20.0, 1) == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
    EXPECT_EQ(readAll(path), "old\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

}  // namespace
}  // namespace murtesk::analysis
