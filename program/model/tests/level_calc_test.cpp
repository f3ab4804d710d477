#include "model/level_calc.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "model/level_calcs.h"
#include "platform/binary_file.h"
#include "platform/own_folder.h"
#include "stats_fixture.h"

namespace murtesk {
namespace {

using testing::MakeScopes;

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

class CLCalcTest : public testing::ScratchProject {
protected:
    CLCalcTest() { data_.SaveFileName = "A.lvl"; }

    // Statistics over the whole of `levels`.
    CLCalc Over(const std::vector<float>& levels, std::int32_t slice = kLevelSliceLength) {
        WriteLevels("A.lvl", levels);
        CLCalc calc(context_);
        EXPECT_TRUE(calc.resetNew(MakeScopes({{1, static_cast<std::int32_t>(levels.size())}}), data_, BandDir(), slice));
        return calc;
    }
    std::string HistogramFile(const CLCalc& calc) const {
        return (std::filesystem::path(LCalcDir()) / calc.LxData.SaveFileName).string();
    }

    CData data_;
};

TEST_F(CLCalcTest, StatisticsOfThreeLevels) {
    const CLCalc calc = Over({40, 50, 60});
    EXPECT_NEAR(calc.getLeq(), 55.682, 0.0005);
    EXPECT_DOUBLE_EQ(calc.getLx(50), 50.0);
    EXPECT_DOUBLE_EQ(calc.getLx(90), 40.0);
    EXPECT_DOUBLE_EQ(calc.getLx(10), 60.0);
    EXPECT_DOUBLE_EQ(calc.getLx(100), 40.0);
    EXPECT_DOUBLE_EQ(calc.getLx(0), 60.0);
    EXPECT_EQ(calc.getNum(), 3);
    EXPECT_EQ(calc.getLmax(), 60);
    EXPECT_EQ(calc.getLmaxPos(), 3);
    EXPECT_EQ(calc.Scope.S.AsDouble(), 1);
    EXPECT_EQ(calc.Scope.E.AsDouble(), 3);
}

TEST_F(CLCalcTest, PercentileThresholdsLandOnExactBinBoundaries) {
    // 14 values, L50: the threshold 7 is reached exactly at 40 dB. Computing it as
    // 14 / 100 * 50 gives 7.000000000000001 and would move the result to 50 dB.
    std::vector<float> levels(7, 40.0f);
    levels.insert(levels.end(), 7, 50.0f);
    EXPECT_DOUBLE_EQ(Over(levels).getLx(50), 40.0);
    // 25 values, L44: threshold 14; 25 * (56 / 100) gives 14.000000000000002.
    levels.assign(14, 40.0f);
    levels.insert(levels.end(), 11, 50.0f);
    EXPECT_DOUBLE_EQ(Over(levels).getLx(44), 40.0);
    EXPECT_DOUBLE_EQ(Over(levels).getLx(43), 50.0);  // threshold 14.25
}

TEST_F(CLCalcTest, HistogramFileIsExactlyTheBinCounts) {
    const CLCalc calc = Over({25.25f, -60.0f, 169.75f, 170.0f, -60.25f, -1000.0f, 25.3f, kNaN, 6599.3f});
    std::string expected(2300 * 4, '\0');
    auto put = [&](int bin, std::int32_t count) { std::memcpy(&expected[bin * 4], &count, 4); };
    put(853, 2);  // 25.25 rounds up into 25.3 dB
    put(0, 1);
    put(2298, 1);
    EXPECT_EQ(ReadBytes(HistogramFile(calc)), expected);
    EXPECT_EQ(calc.getNum(), 4);
    EXPECT_EQ(calc.Scope.E.AsDouble(), 4);
}

TEST_F(CLCalcTest, ValuesBelowTheFloorAreReplacedUntilTheSumStarts) {
    const CLCalc calc = Over({-1000, 50});
    EXPECT_DOUBLE_EQ(calc.m_dBSum, 50);
    EXPECT_EQ(calc.getNum(), 1);
    EXPECT_DOUBLE_EQ(calc.getLeq(), 50);
    // Once started, low values are added (and change nothing measurable).
    EXPECT_NEAR(Over({50, -1000, -70}).m_dBSum, 50, 1e-9);
    // Nothing at or above -60: the sum is the last value and Leq stays at the floor.
    const CLCalc silent = Over({-70, -65});
    EXPECT_DOUBLE_EQ(silent.m_dBSum, -65);
    EXPECT_DOUBLE_EQ(silent.getLeq(), -60);
}

TEST_F(CLCalcTest, EmptyRangeListGivesEmptyStatistics) {
    WriteLevels("A.lvl", {50, 60});
    CLCalc calc(context_);
    EXPECT_TRUE(calc.resetNew(CScopes(), data_, BandDir()));
    EXPECT_DOUBLE_EQ(calc.getLeq(), -60);
    for (int x : {0, 1, 50, 99, 100}) EXPECT_DOUBLE_EQ(calc.getLx(x), -60) << x;
    EXPECT_DOUBLE_EQ(calc.getLmax(), -60);
    EXPECT_EQ(calc.getLmaxPos(), 0);
    EXPECT_EQ(calc.Scope.S.AsDouble(), 1);
    EXPECT_EQ(calc.Scope.E.AsDouble(), 0);
}

TEST_F(CLCalcTest, MaximumPositionIsAbsoluteAndTheFirstOfEquals) {
    std::vector<float> levels(30, 40.0f);
    levels[20] = 80;  // position 21
    levels[21] = 80;  // position 22, equal: the first is kept
    levels[1] = 90;   // position 2, outside the ranges
    WriteLevels("A.lvl", levels);
    CLCalc calc(context_);
    ASSERT_TRUE(calc.resetNew(MakeScopes({{5, 9}, {20, 22}}), data_, BandDir()));
    EXPECT_EQ(calc.getLmax(), 80);
    EXPECT_EQ(calc.getLmaxPos(), 21);
    EXPECT_EQ(calc.getNum(), 8);
    EXPECT_EQ(calc.m_Cnt, 3);  // values of the last range
}

class SliceTest : public CLCalcTest, public ::testing::WithParamInterface<std::int32_t> {};

TEST_P(SliceTest, SlicedPassEqualsOnePass) {
    const std::vector<float> levels{55, 42, kNaN, 71.5f, 71.5f, -1000, 60, 33.3f, 80, 79.96f, 12};
    WriteLevels("A.lvl", levels);
    const CScopes ranges = MakeScopes({{2, 7}, {6, 11}, {9, 30}});
    CLCalc whole(context_), sliced(context_);
    ASSERT_TRUE(whole.resetNew(ranges, data_, BandDir()));
    ASSERT_TRUE(sliced.resetNew(ranges, data_, BandDir(), GetParam()));
    EXPECT_NEAR(sliced.m_dBSum, whole.m_dBSum, 1e-9);
    EXPECT_EQ(sliced.Lmax, whole.Lmax);
    EXPECT_EQ(sliced.LmaxPos, whole.LmaxPos);
    EXPECT_EQ(sliced.LmaxPos, 9);
    EXPECT_EQ(sliced.m_Cnt, whole.m_Cnt);
    EXPECT_EQ(ReadBytes(HistogramFile(sliced)), ReadBytes(HistogramFile(whole)));
}

INSTANTIATE_TEST_SUITE_P(Lengths, SliceTest, ::testing::Values(1, 2, 3, 5, 6, 11, 12));

// The parts an excluded list keeps, computed in one pass over the file (GapPositions, slices run on
// over the following parts), against the same statistics counted by hand over a mask of the kept
// positions, and against the pass over the gaps as range objects.
class KeptPartsTest : public CLCalcTest, public ::testing::WithParamInterface<std::int32_t> {};

TEST_P(KeptPartsTest, OnePassOverTheKeptPartsEqualsCountingThemByHand) {
    constexpr std::int32_t n = 30'000;
    std::mt19937 random(23);
    // Whole tenths of a decibel from 20 to 109.9 dB: the level of tenths k lies in bin k + 600.
    std::vector<std::int32_t> tenths(n);
    std::vector<float> levels(n);
    for (std::int32_t i = 0; i < n; ++i) {
        tenths[i] = 200 + static_cast<std::int32_t>(random() % 900);
        levels[i] = static_cast<float>(tenths[i]) / 10.0f;
    }
    WriteLevels("A.lvl", levels);
    // Dense short excluded ranges over the first half, with gaps of one value and more; a few
    // wide apart over the second half (gaps beyond what one read runs on over); both ends reached.
    CScopes excluded;
    auto exclude = [&](std::int32_t s, std::int32_t e) { excluded.Add(CScope(Variant(s), Variant(e))); };
    exclude(-3, 2);
    for (int i = 0; i < 1500; ++i) {
        const auto s = static_cast<std::int32_t>(random() % (n / 2));
        exclude(s, s + static_cast<std::int32_t>(random() % 12));
    }
    for (std::int32_t s = n / 2 + 5000; s < n - 100; s += 6000) exclude(s, s + 50);
    exclude(n - 1, n + 9);
    excluded.ResetScopes();

    std::vector<bool> kept(n + 1, true);
    for (const auto& r : excluded) {
        for (double p = std::max(1.0, r->S.AsDouble()); p <= std::min<double>(n, r->E.AsDouble()); ++p) {
            kept[static_cast<std::size_t>(p)] = false;
        }
    }
    LevelHistogram bins{};
    std::vector<std::int32_t> sorted;
    long double energy = 0;
    std::int32_t maxTenths = -1;
    std::int32_t maxPos = 0;
    for (std::int32_t p = 1; p <= n; ++p) {
        if (!kept[p]) continue;
        const std::int32_t t = tenths[p - 1];
        ++bins[static_cast<std::size_t>(t + 600)];
        sorted.push_back(t);
        energy += std::pow(10.0L, static_cast<long double>(levels[p - 1]) / 10.0L);
        if (t > maxTenths) {
            maxTenths = t;
            maxPos = p;
        }
    }
    std::sort(sorted.begin(), sorted.end());
    const auto count = static_cast<std::int32_t>(sorted.size());
    ASSERT_GT(count, n / 4);
    ASSERT_LT(count, n - 1000);

    CLCalc fast(context_);
    ASSERT_TRUE(fast.ResetNewIn(LCalcDir(), GapPositions(excluded, n), data_, BandDir(), GetParam()));
    EXPECT_EQ(fast.getNum(), count);
    EXPECT_EQ(fast.LxData.getData(LCalcDir()), bins);
    EXPECT_EQ(fast.getLmax(), levels[maxPos - 1]);
    EXPECT_EQ(fast.getLmaxPos(), maxPos);
    EXPECT_NEAR(fast.getLeq(), static_cast<double>(10.0L * std::log10(energy / count)), 1e-9);
    // Lx: the smallest level with at least count × (100 - X) / 100 values at or below it.
    for (const std::int32_t X : {100, 90, 50, 10, 5, 1}) {
        const auto rank = static_cast<std::size_t>(std::max(1.0, std::ceil(count * (100.0 - X) / 100.0)));
        EXPECT_NEAR(fast.getLx(X), sorted[rank - 1] / 10.0, 1e-9) << X;
    }

    CLCalc objects(context_);
    ASSERT_TRUE(
        objects.resetNew(excluded.getReverse(Variant(std::int32_t{1}), Variant(n)), data_, BandDir(), GetParam()));
    EXPECT_EQ(objects.m_dBSum, fast.m_dBSum);
    EXPECT_EQ(objects.m_Cnt, fast.m_Cnt);
    EXPECT_EQ(objects.Scope.E.AsDouble(), fast.Scope.E.AsDouble());
}

INSTANTIATE_TEST_SUITE_P(Slices, KeptPartsTest, ::testing::Values(7, 4096, kStatsSliceLength));

TEST_F(CLCalcTest, NonFiniteValuesKeepTheirPositionButCountNowhere) {
    const CLCalc calc = Over({50, kNaN, kInf, -kInf, 70, 60});
    EXPECT_EQ(calc.getLmaxPos(), 5);
    EXPECT_EQ(calc.getLmax(), 70);
    EXPECT_EQ(calc.getNum(), 3);
    EXPECT_NEAR(calc.m_dBSum, 10 * std::log10(1e5 + 1e7 + 1e6), 1e-9);
    EXPECT_EQ(calc.m_Cnt, 6);
}

TEST_F(CLCalcTest, LinearSumAgreesWithAddingLevelByLevel) {
    std::mt19937 random(7);
    std::normal_distribution<float> level(55, 20);
    std::vector<float> levels{-1000, -75};
    for (int i = 0; i < 5000; ++i) levels.push_back(random() % 50 == 0 ? -1000.0f : level(random));
    const CLCalc fast = Over(levels);

    // The same values taken one by one with the dB-domain formula.
    CLCalc slow(context_);
    slow.Scope.S = 1;
    LevelHistogram histogram{};
    for (float v : levels) slow.setdB(v, histogram);
    EXPECT_NEAR(fast.m_dBSum, slow.m_dBSum, 0.001);
    EXPECT_EQ(fast.Lmax, slow.Lmax);
    EXPECT_EQ(fast.LmaxPos, slow.LmaxPos);
    EXPECT_EQ(fast.LxData.getData(LCalcDir()), histogram);
}

TEST_F(CLCalcTest, PartWithinTenDecibelsOfTheMaximum) {
    WriteLevels("A.lvl", {70, 50, 75, 64.9f, 65, 40});
    const CScopes all = MakeScopes({{1, 6}});
    CLCalc calc(context_), upper(context_);
    ASSERT_TRUE(calc.resetNew(all, data_, BandDir()));
    ASSERT_TRUE(upper.resetNewMaxMinusNArea(all, data_, BandDir(), calc.getLmax(), 10.0));
    EXPECT_EQ(upper.getNum(), 3);  // 70, 75 and 65; 64.9 is below
    EXPECT_EQ(upper.m_Cnt, 3);
    EXPECT_NEAR(upper.getLeq(), 10 * std::log10((1e7 + std::pow(10, 7.5) + std::pow(10, 6.5)) / 3), 1e-9);
    EXPECT_EQ(upper.getLmaxPos(), 3);  // the position in the series, not among the values taken
}

TEST_F(CLCalcTest, ExposureLevel) {
    CLCalc calc(context_);
    EXPECT_NEAR(calc.getLE(std::vector<float>{60, 60}, 10), 53.0103, 0.0001);
    EXPECT_NEAR(calc.LE, 53.0103, 0.0001);
    EXPECT_NEAR(calc.getLE(std::vector<float>{60, kNaN, 60}, 10), 53.0103, 0.0001);
    EXPECT_DOUBLE_EQ(calc.getLE({}, 10), -60);
    EXPECT_DOUBLE_EQ(calc.getLE(std::vector<float>{kNaN}, 10), -60);
    // Former bug: a rate that is no positive number gave +inf or NaN.
    for (double hz : {0.0, -10.0, std::nan(""), std::numeric_limits<double>::infinity(),
                      -std::numeric_limits<double>::infinity()}) {
        EXPECT_DOUBLE_EQ(calc.getLE(std::vector<float>{60, 60}, hz), -60) << hz;
        EXPECT_DOUBLE_EQ(calc.LE, -60) << hz;
    }
}

TEST_F(CLCalcTest, HistogramFileNamesCarryTheClockAndTheRunningNumber) {
    context_.g_LdtFileNo = 1'999'999'999;
    const CLCalc a(context_);
    const CLCalc b(context_);
    EXPECT_EQ(a.LxData.SaveFileName, "24-3-5-7_8_9_1999999999.ldt");
    EXPECT_EQ(b.LxData.SaveFileName, "24-3-5-7_8_9_0.ldt");
    EXPECT_EQ(context_.g_LdtFileNo, 1);
}

TEST_F(CLCalcTest, HistogramFilesOfOtherLengths) {
    std::filesystem::create_directories(LCalcDir());
    CLCalcData old(context_);
    std::string bytes(2000 * 4, '\0');
    const std::int32_t five = 5;
    std::memcpy(&bytes[10 * 4], &five, 4);
    std::memcpy(&bytes[1999 * 4], &five, 4);
    WriteBytes(LCalcDir(), old.SaveFileName, bytes);
    LevelHistogram expected{};
    expected[10] = 5;
    expected[1999] = 5;
    EXPECT_EQ(old.getData(LCalcDir()), expected);

    WriteBytes(LCalcDir(), old.SaveFileName, std::string(8, '\x01'));
    EXPECT_EQ(old.getData(LCalcDir()), LevelHistogram{});
    EXPECT_EQ(CLCalcData::getDataNum(), 2300);
}

TEST_F(CLCalcTest, CopiesShareTheHistogramFile) {
    const CLCalc calc = Over({40, 50});
    const CLCalc copy = calc.MeCopy();
    EXPECT_EQ(copy.LxData.SaveFileName, calc.LxData.SaveFileName);
    EXPECT_TRUE(copy.IsMeEqualTo(calc));
    EXPECT_EQ(copy.getNum(), 2);
    copy.DeleteFile();
    EXPECT_EQ(calc.getNum(), 0);  // one file for both
}

TEST_F(CLCalcTest, GoingOutOfScopeDeletesNothing) {
    std::string path;
    {
        const CLCalc calc = Over({40});
        path = HistogramFile(calc);
    }
    EXPECT_TRUE(std::filesystem::exists(path));
}

TEST_F(CLCalcTest, MissingHistogramFolderIsCreated) {
    ASSERT_FALSE(std::filesystem::exists(LCalcDir()));
    EXPECT_EQ(Over({40, 50}).getNum(), 2);
}

TEST_F(CLCalcTest, FailedSaveLeavesEmptyStatisticsAndSaysSo) {
    WriteBytes(dir_.string(), "LCalc", "not a folder");
    WriteLevels("A.lvl", {40, 50});
    CLCalc calc(context_);
    EXPECT_FALSE(calc.resetNew(MakeScopes({{1, 2}}), data_, BandDir()));
    EXPECT_EQ(calc.getNum(), 0);
    EXPECT_DOUBLE_EQ(calc.getLeq(), -60);
    EXPECT_EQ(calc.Scope.E.AsDouble(), 0);
}

TEST_F(CLCalcTest, HistogramNamesNeverReachOutsideTheFolder) {
    WriteBytes(dir_.string(), "victim", "keep me");
    CLCalc calc(context_);
    calc.LxData.SaveFileName = "../victim";
    calc.DeleteFile();
    calc.initdB();
    EXPECT_EQ(ReadBytes((dir_ / "victim").string()), "keep me");
    EXPECT_EQ(calc.getNum(), 0);
}

// Former bug: removing a histogram removed whatever its name denoted, an empty folder included.
TEST_F(CLCalcTest, RemovingAHistogramRemovesRegularFilesOnly) {
    CLCalc calc(context_);
    const std::filesystem::path folder = std::filesystem::path(LCalcDir()) / calc.LxData.SaveFileName;
    std::filesystem::create_directories(folder);
    calc.DeleteFile();
    calc.initdB();
    EXPECT_TRUE(std::filesystem::is_directory(folder));
}

// Former bug: the histogram was written in place, so a failed save had already emptied it.
TEST_F(CLCalcTest, AFailedHistogramSaveKeepsTheOldFile) {
    CLCalc calc = Over({40, 50});
    const std::string before = ReadBytes(HistogramFile(calc));
    LevelHistogram other{};
    other[7] = 3;
    platform::SetWriteLimitForTests(100);
    const bool saved = calc.LxData.SaveData(other, LCalcDir());
    platform::SetWriteLimitForTests(-1);
    EXPECT_FALSE(saved);
    EXPECT_EQ(ReadBytes(HistogramFile(calc)), before);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(LCalcDir()), {}), 1);  // no temporary left
}

// In the open project a first write never replaces a file of that name that another run made (it
// takes a fresh name), and a file no save came to name goes when the project closes.
TEST_F(CLCalcTest, InTheOpenProjectAnotherRunsFileStaysAndUnsavedFilesGoAtTheEnd) {
    context_.Histograms().BeginProject(LCalcDir(), {});
    CLCalc calc(context_);
    const std::string taken = calc.LxData.SaveFileName;
    std::filesystem::create_directories(LCalcDir());
    WriteBytes(LCalcDir(), taken, "another run's");
    WriteLevels("A.lvl", {40, 50, 60});
    ASSERT_TRUE(calc.resetNew(MakeScopes({{1, 3}}), data_, BandDir()));
    EXPECT_NE(calc.LxData.SaveFileName, taken);
    EXPECT_EQ(ReadBytes(LCalcDir() + "/" + taken), "another run's");
    EXPECT_EQ(calc.getNum(), 3);
    context_.Histograms().EndProject();
    EXPECT_FALSE(std::filesystem::exists(HistogramFile(calc)));
    EXPECT_TRUE(std::filesystem::exists(LCalcDir() + "/" + taken));
}

// A project another program holds: its histograms are copied when it is opened, so what the holder
// deletes changes nothing here; this run's statistics go to a folder of its own, nothing into the
// project's, and that folder goes when the project closes. Without such a folder nothing is written.
TEST_F(CLCalcTest, AProjectOpenedWithoutSavingKeepsItsStatisticsInAFolderOfItsOwn) {
    CLCalc held = Over({40, 50, 60});
    const auto listing = [this] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(LCalcDir())) names.push_back(entry.path().filename());
        std::sort(names.begin(), names.end());
        return names;
    };
    std::filesystem::create_directories(dir_ / "run");
    HistogramFiles& histograms = context_.Histograms();
    histograms.BeginProjectWithoutSaving(LCalcDir(), {held.LxData.SaveFileName, "gone.ldt"},
                                         platform::OwnFolder::Make((dir_ / "run").string()));
    const std::optional<std::string> own = histograms.OwnFolder();
    ASSERT_TRUE(own);
    EXPECT_EQ(context_.LCalcFolder(), *own);
    std::filesystem::remove(HistogramFile(held));  // the holder's save no longer names it
    EXPECT_EQ(held.getNum(), 3);
    EXPECT_NEAR(held.getLeq(), 55.682, 0.0005);
    EXPECT_FALSE(held.HistogramMissing());

    CLCalc mine(context_);
    ASSERT_TRUE(mine.resetNew(MakeScopes({{1, 2}}), data_, BandDir()));
    EXPECT_EQ(mine.getNum(), 2);
    held.initdB();
    EXPECT_TRUE(listing().empty());
    histograms.EndProject();
    EXPECT_FALSE(std::filesystem::exists(*own));

    CLCalc other = Over({70});
    const std::vector<std::string> before = listing();
    histograms.BeginProjectWithoutSaving(LCalcDir(), {other.LxData.SaveFileName}, nullptr);
    EXPECT_FALSE(histograms.OwnFolder());
    EXPECT_EQ(other.getNum(), 1);  // read where it lies
    CLCalc refused(context_);
    EXPECT_FALSE(refused.resetNew(MakeScopes({{1, 1}}), data_, BandDir()));
    other.initdB();
    histograms.EndProject();
    EXPECT_EQ(listing(), before);
}

// Former bug: a count at the 32-bit limit overflowed (undefined behaviour). Counts stop at the
// largest a histogram file holds.
TEST_F(CLCalcTest, BinCountsStopAtTheLargestStoredCount) {
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    LevelHistogram histogram{};
    histogram[1000] = kMax - 1;  // 40 dB
    CLCalc calc(context_);
    for (int i = 0; i < 3; ++i) calc.setdB(40.0, histogram);
    EXPECT_EQ(histogram[1000], kMax);

    histogram[1100] = kMax - 2;  // 50 dB
    const std::vector<float> levels(9, 50.0f);
    LevelAccumulator pass(kEmptyEnergySum, kNoLevel, 0, histogram);
    EXPECT_EQ(pass.Add(levels.data(), levels.size(), 1, -std::numeric_limits<double>::infinity()), 9);
    EXPECT_EQ(histogram[1100], kMax);
    EXPECT_EQ(histogram[1000], kMax);
}

TEST_F(CLCalcTest, RecordRoundTrip) {
    CLCalc calc = Over({40, 50, 60});
    calc.getLE(std::vector<float>{40, 50, 60}, 10);
    BinaryFile file = BinaryFile::InMemory();
    ASSERT_TRUE(calc.MeWrite(file));
    // magic, scope (magic, tag 2 + 2, tag 3 + 4), name (magic, count, characters), three
    // doubles and two longs
    EXPECT_EQ(file.Bytes().size(), 4u + (4 + 4 + 6) + (4 + 4 + calc.LxData.SaveFileName.size()) + 8 * 3 + 4 * 2);
    BinaryFile in = BinaryFile::FromBytes(file.Bytes());
    CLCalc back(context_);
    ASSERT_TRUE(back.MeRead(in));
    EXPECT_TRUE(back.IsMeEqualTo(calc));
    EXPECT_EQ(back.m_Cnt, calc.m_Cnt);
    EXPECT_EQ(back.getNum(), 3);

    BinaryFile bad = BinaryFile::FromBytes(std::string(8, '\0'));
    EXPECT_FALSE(back.MeRead(bad));
}

TEST_F(CLCalcTest, ResultsComputedEarlierAreTakenByRange) {
    WriteLevels("A.lvl", {40, 50, 60, 70});
    CLCalcs earlier(context_);
    for (auto [s, e] : {std::pair{1, 2}, std::pair{3, 4}}) {
        auto calc = std::make_shared<CLCalc>(context_);
        ASSERT_TRUE(calc->resetNew(MakeScopes({{s, e}}), data_, BandDir()));
        calc->Scope = CScope(s, e);
        earlier.Add(calc);
    }
    const std::string file = earlier.Item(2).LxData.SaveFileName;

    CLCalc calc(context_);
    calc.Scope = CScope(2, 2);
    EXPECT_FALSE(calc.resetFromTempLCalcs(earlier));
    EXPECT_EQ(earlier.count(), 2);

    calc.Scope = CScope(3, 4);
    ASSERT_TRUE(calc.resetFromTempLCalcs(earlier));
    EXPECT_EQ(earlier.count(), 1);
    EXPECT_EQ(calc.LxData.SaveFileName, file);
    EXPECT_EQ(calc.getNum(), 2);  // the file survived the removal from the list
    EXPECT_EQ(calc.getLmax(), 70);
}

}  // namespace
}  // namespace murtesk
