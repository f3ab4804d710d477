// The statistics of a mark range per band slot over small level files written value by value,
// compared with statistics computed the plain way from the same values.
#include "band_statistics.h"

#include "globals.h"
#include "model/band_slots.h"
#include "model/shared_procedures.h"
#include "model/testing/level_oracle.h"
#include "platform/dates.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <unistd.h>

namespace murtesk {
namespace {

namespace fs = std::filesystem;
using testing::Oracle;
using testing::OracleStats;

constexpr double kRate = 1000.0;  // so that the band delays move positions
constexpr std::int16_t kShown = 10;  // 125 Hz, delay 42 ms
constexpr std::int32_t kS = 51;
constexpr std::int32_t kE = 200;

using Level = std::function<float(std::int64_t)>;

// Levels of the slots written, and how many values each file holds.
struct SlotFile {
    std::int16_t slot;
    std::int64_t values;
    Level level;
};

const std::vector<SlotFile>& Files() {
    static const std::vector<SlotFile> files{
        {1, 300, [](std::int64_t p) { return p == 120 ? 70.0f : 40.0f + static_cast<float>(p * 37 % 101) / 10; }},
        // W: its maximum 75 at 150, and 65 (exactly Lmax - 10) at 60.
        {2, 300, [](std::int64_t p) {
             return p == 150 ? 75.0f : p == 60 ? 65.0f : 40.0f + static_cast<float>(p * 53 % 97) / 10;
         }},
        {3, 300, [](std::int64_t) { return -59.9f; }},
        {4, 300, [](std::int64_t) { return -60.0f; }},
        {5, 300, [](std::int64_t p) { return 45.0f + static_cast<float>(p % 10) / 10; }},
        {kShown, 300, [](std::int64_t p) { return 30.0f + static_cast<float>(p % 50) / 10; }},
        // 31.5 Hz (delay 173 ms): its file ends before the delayed moments.
        {12, 250, [](std::int64_t p) { return 60.0f - static_cast<float>(p) / 10; }},
    };
    return files;
}

const SlotFile* FileOf(std::int16_t slot) {
    for (const SlotFile& f : Files())
        if (f.slot == slot) return &f;
    return nullptr;
}

class BandStatisticsTest : public ::testing::Test {
public:
    BandStatisticsTest()
        : context_([this] { return (folder_ / "p.qvd").string(); },
                   [] { return platform::DateFromParts(2024, 1, 2, 3, 4, 5); }) {
        channel_ = std::make_shared<CChMeasure>(context_);
        CChMeasureCondition& c = channel_->ChMeasureCondition;
        c.oct1or3 = 1;
        c.LevelOutHz = kRate;
        channel_->LevelData.SaveFileName = "t1ch.lvl";
        for (int j = 0; j < 17; ++j) channel_->BandLCalcInfos.AddNew();
        for (const SlotFile& f : Files()) Write(f);
        // The shown slot's mark is the one taken; slot 1's own marks are not.
        Info(1).MarkScopes.SimpleAdd(std::make_shared<CScope>(Variant(1), Variant(300)));
        Info(kShown).MarkScopes.SimpleAdd(std::make_shared<CScope>(Variant(1), Variant(10)));
        Info(kShown).MarkScopes.SimpleAdd(std::make_shared<CScope>(Variant(kS), Variant(kE)));
        // Excluded: all of slot 5's mark, ten values of the shown slot's.
        Info(5).Scopes.SimpleAdd(std::make_shared<CScope>(Variant(1), Variant(300)));
        Info(kShown).Scopes.SimpleAdd(std::make_shared<CScope>(Variant(101), Variant(110)));
        g_ChMeasure = channel_;
        g_BandIndex = kShown;
        g_SelectNo = 2;
        g_CalcAreaInfluence = 1;
    }
    ~BandStatisticsTest() override {
        g_ChMeasure.reset();
    }

    CBandLCalcInfo& Info(std::int16_t slot) { return channel_->BandLCalcInfos.Item(slot); }

    void Write(const SlotFile& f) {
        const std::string dir = GetBandFolder(context_.ProjectFilePath(), 1, f.slot);
        fs::create_directories(dir);
        std::ofstream out(*channel_->LevelData.PathIn(dir), std::ios::binary);
        for (std::int64_t p = 1; p <= f.values; ++p) {
            const float v = f.level(p);
            out.write(reinterpret_cast<const char*>(&v), sizeof v);
        }
    }

    // The plain statistics of a slot over the mark, with or without its excluded ranges.
    OracleStats Expected(std::int16_t slot, bool exclude) {
        std::vector<std::pair<std::int64_t, float>> values;
        const SlotFile* f = FileOf(slot);
        for (std::int64_t p = kS; f != nullptr && p <= std::min<std::int64_t>(kE, f->values); ++p) {
            if (exclude && Info(slot).Scopes.isScopes(static_cast<double>(p))) continue;
            values.emplace_back(p, f->level(p));
        }
        return Oracle(values, kRate);
    }

    // The level of a slot at a moment, -60 past the end of its file.
    double LevelOf(std::int16_t slot, std::int64_t p) {
        const SlotFile* f = FileOf(slot);
        return f != nullptr && p >= 1 && p <= f->values ? f->level(p) : -60.0;
    }

    std::size_t HistogramFiles() {
        std::size_t n = 0;
        const fs::path lcalc = context_.LCalcFolder();
        if (fs::exists(lcalc))
            for (const auto& e : fs::directory_iterator(lcalc)) n += e.path().extension() == ".ldt";
        return n;
    }

    test_support::ScratchFolder scratch_{"bandstats"};
    fs::path folder_ = scratch_.path();
    StatsContext context_;
    std::shared_ptr<CChMeasure> channel_;
};

struct Case {
    const char* name;
    std::int32_t code;
    std::int16_t slot;
    std::int16_t w;
    bool exclude;
    // The expected value from the plain statistics and the files.
    std::function<double(BandStatisticsTest&, bool exclude)> expected;

    friend void PrintTo(const Case& c, std::ostream* os) { *os << c.name; }
};

class BandStatisticsCodes : public BandStatisticsTest, public ::testing::WithParamInterface<Case> {};

TEST_P(BandStatisticsCodes, EvaluatesAsThePlainStatistics) {
    const Case& c = GetParam();
    channel_->ChMeasureCondition.w = c.w;
    g_CalcAreaInfluence = c.exclude ? 1 : 0;
    BandStatistics stats;
    ASSERT_TRUE(stats.MakeAllBandLCalcs(4));
    // The level file's values are floats: the engine and the plain sums agree to far below 0.001 dB.
    EXPECT_NEAR(stats.Evaluate(c.code, c.slot), c.expected(*this, c.exclude), 1e-6) << c.name;
}

auto Stat(double OracleStats::*field) {
    return [field](BandStatisticsTest& t, bool exclude) {
        const OracleStats s = t.Expected(kShown, exclude);
        return std::max(s.*field, -60.0);
    };
}

INSTANTIATE_TEST_SUITE_P(
    Codes, BandStatisticsCodes,
    ::testing::Values(
        Case{"Leq, excluded left out", kCodeLeq, kShown, 3, true, Stat(&OracleStats::leq)},
        Case{"Leq, mark whole", kCodeLeq, kShown, 3, false, Stat(&OracleStats::leq)},
        Case{"Lmax", kCodeLmax, kShown, 3, true, Stat(&OracleStats::lmax)},
        Case{"LE", kCodeLE, kShown, 3, true, Stat(&OracleStats::le)},
        Case{"L5", 5, kShown, 3, true, [](BandStatisticsTest& t, bool x) { return t.Expected(kShown, x).Lx(5); }},
        Case{"L50", 50, kShown, 3, false, [](BandStatisticsTest& t, bool x) { return t.Expected(kShown, x).Lx(50); }},
        Case{"Lmin", kCodeLmin, kShown, 3, true,
             [](BandStatisticsTest& t, bool x) { return t.Expected(kShown, x).Lx(100); }},
        Case{"Leq(Lmax-10dB) counts a value exactly 10 dB down", kCodeUpperLeq, 2, 3, true,
             [](BandStatisticsTest& t, bool x) {
                 const OracleStats s = t.Expected(2, x);
                 EXPECT_EQ(s.upperCount, 2);
                 return s.upperLeq;
             }},
        Case{"covered slot: no value", kCodeLeq, 5, 3, true, [](BandStatisticsTest&, bool) { return -60.0; }},
        Case{"covered slot: no LFmax either", kCodeLFmax, 5, 3, true, [](BandStatisticsTest&, bool) { return -60.0; }},
        Case{"excluded ranges ignored without the option", kCodeLeq, 5, 3, false, [](BandStatisticsTest& t, bool x) {
                 return t.Expected(5, x).leq;
             }},
        Case{"LFmax of F at its own delayed maximum", kCodeLFmax, 1, 3, true,
             [](BandStatisticsTest& t, bool) { return t.LevelOf(1, 120 + 1); }},
        Case{"LFmax of a band: F's maximum plus the band's delay", kCodeLFmax, kShown, 3, true,
             [](BandStatisticsTest& t, bool) { return t.LevelOf(kShown, 120 + 42); }},
        Case{"LWmax with A weighting: delayed", kCodeLWmax, kShown, 3, true,
             [](BandStatisticsTest& t, bool) { return t.LevelOf(kShown, 150 + 42); }},
        Case{"LWmax with a user characteristic: at W's maximum", kCodeLWmax, kShown, 6, true,
             [](BandStatisticsTest& t, bool) { return t.LevelOf(kShown, 150); }},
        Case{"LFmax read past the end of the band's file", kCodeLFmax, 12, 3, true,
             [](BandStatisticsTest&, bool) { return -60.0; }},
        Case{"slot without a level file", kCodeLmax, 7, 3, true, [](BandStatisticsTest&, bool) { return -60.0; }},
        Case{"-60.0 is no value", kCodeLmax, 4, 3, true, [](BandStatisticsTest&, bool) { return -60.0; }},
        Case{"-59.9 is a value", kCodeLmax, 3, 3, true,
             [](BandStatisticsTest&, bool) { return static_cast<double>(-59.9f); }}),
    [](const ::testing::TestParamInfo<Case>& info) { return "case" + std::to_string(info.index); });

TEST_F(BandStatisticsTest, NoValueRuleOfTheDisplay) {
    EXPECT_EQ(LevelDisplay(StoredLevel(-60.0)), "---");
    EXPECT_EQ(StoredLevel(-1000.0), -60.0);
    EXPECT_EQ(LevelDisplay(-59.9), "-59.9dB");
    EXPECT_EQ(LevelDisplay(static_cast<double>(-59.9f)), "-59.9dB");
    EXPECT_EQ(LevelDisplay(72.25), "72.3dB");
}

TEST_F(BandStatisticsTest, CodesInTheChoosersOrderWithTheirNames) {
    const std::vector<std::int32_t> codes = StatisticCodes();
    ASSERT_EQ(codes.size(), 106u);
    std::vector<std::string> names;
    for (std::int32_t code : codes) names.push_back(StatisticName(code));
    EXPECT_EQ(std::vector<std::string>(names.begin(), names.begin() + 5),
              (std::vector<std::string>{"Ｌeq", "Ｌmax", "Ｌeq(Lmax-10dB)", "ＬE", "Ｌ1"}));
    EXPECT_EQ(names[102], "Ｌ99");
    EXPECT_EQ(std::vector<std::string>(names.end() - 3, names.end()),
              (std::vector<std::string>{"Ｌmin", "ＬFmax", "ＬWmax"}));
}

TEST_F(BandStatisticsTest, ReleaseLeavesNoHistogramFile) {
    {
        BandStatistics stats;
        ASSERT_TRUE(stats.MakeAllBandLCalcs(3));
        EXPECT_EQ(HistogramFiles(), 2u * 17u);
        stats.Release();
        EXPECT_EQ(HistogramFiles(), 0u);
        ASSERT_TRUE(stats.MakeOneBandLCalc());
        EXPECT_EQ(stats.Slots(), std::vector<std::int16_t>{kShown});
        EXPECT_EQ(HistogramFiles(), 2u);
    }
    EXPECT_EQ(HistogramFiles(), 0u);
}

TEST_F(BandStatisticsTest, MarkBeyondTheListOrReversedCountsNothing) {
    for (const auto& [select, s, e] : {std::tuple{7, kS, kE}, std::tuple{2, kE, kS}}) {
        Info(kShown).MarkScopes.Item(2).S = s;
        Info(kShown).MarkScopes.Item(2).E = e;
        g_SelectNo = select;
        BandStatistics stats;
        EXPECT_TRUE(stats.MakeAllBandLCalcs(2));
        for (std::int16_t j = 1; j <= 17; ++j) EXPECT_EQ(stats.Evaluate(kCodeLmax, j), -60.0) << j;
    }
}

TEST_F(BandStatisticsTest, ShortBandListCountsTheMissingSlotsAsEmpty) {
    while (channel_->BandLCalcInfos.count() > 12) channel_->BandLCalcInfos.Delete(channel_->BandLCalcInfos.count());
    BandStatistics stats;
    EXPECT_TRUE(stats.MakeAllBandLCalcs(2));
    EXPECT_GT(stats.Evaluate(kCodeLeq, kShown), 30.0);
    EXPECT_EQ(stats.Evaluate(kCodeLeq, 13), -60.0);
}

TEST_F(BandStatisticsTest, HistogramThatCannotBeWrittenFailsTheBuild) {
    // A file where the histogram folder should be.
    std::ofstream(context_.LCalcFolder()) << "x";
    BandStatistics stats;
    EXPECT_FALSE(stats.MakeAllBandLCalcs(2));
    EXPECT_EQ(stats.Evaluate(kCodeLeq, kShown), -60.0);
}

}  // namespace
}  // namespace murtesk
