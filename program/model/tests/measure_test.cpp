// Measurements and their parts: the measuring condition, the per-band statistics record, the
// channel record with its migrations, and the deletion of a measurement's files.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "model/band_lcalc_info.h"
#include "model/ch_measure.h"
#include "model/measure.h"
#include "model/measure_condition.h"
#include "model/shared_procedures.h"
#include "platform/dates.h"
#include "old_layouts.h"
#include "record_bytes.h"
#include "stats_fixture.h"

namespace murtesk {
namespace {

using testing::Bytes;
using testing::ExpectRoundTrip;
using testing::ReadAll;
using testing::WrittenBytes;

TEST(MeasureCondition, MeasuringTime) {
    CMeasureCondition c;
    EXPECT_EQ(c.getMeasTimeSec(), 30);
    EXPECT_EQ(c.getMeasTimeMin(), 1);
    EXPECT_EQ(platform::FormatDisplayDate(c.getEndDate(platform::DateFromParts(2024, 1, 1))), "2024/01/01 00:00:30");
    c.MeasTimeHour = 25;
    c.MeasTimeSec = 0;
    EXPECT_EQ(c.getMeasTimeMin(), 1500);
    EXPECT_EQ(c.getMeasTimeSec(), 90000);
    EXPECT_EQ(platform::FormatDisplayDate(c.getEndDate(platform::DateFromParts(2024, 2, 28, 23))),
              "2024/03/01 00:00:00");
}

TEST(MeasureCondition, RecordHoldsAFixedValueAndIgnoresCommentsInComparison) {
    CMeasureCondition c;
    c.MeasTimeMin = 5;
    c.InHz = 48000.0;
    c.Account = "ab";
    c.Account2 = "表";
    EXPECT_EQ(WrittenBytes(c),
              Bytes().magic().i16(0).i16(5).i16(30).f64(48000.0).f64(10.0).text(2, "ab").text(1, "\x95\x5C").str());
    EXPECT_EQ(WrittenBytes(CMeasureCondition{}).size(), 34u);
    ExpectRoundTrip(c);
    // Whatever the file holds in the fixed place is passed over.
    CMeasureCondition r;
    ASSERT_TRUE(ReadAll(Bytes().magic().i16(1).i16(2).i16(3).f64(8000.0).f64(-7.0).text(0, "").text(0, ""), r));
    EXPECT_EQ(r.MeasTimeSec, 3);
    EXPECT_EQ(WrittenBytes(r).substr(18, 8), Bytes().f64(10.0).str());

    CMeasureCondition other = c;
    other.Account = "x";
    other.Account2 = "";
    EXPECT_TRUE(other.IsMeEqualTo(c));
    other.InHz = 44100.0;
    EXPECT_FALSE(other.IsMeEqualTo(c));
}

class MeasureRecords : public testing::ScratchProject {
protected:
    platform::ScopedClock clock_{testing::kFixedNow};
};

TEST_F(MeasureRecords, BandRecordDefaultsComparisonAndTruncatedLists) {
    ScopedFileVersion version({7, 1, 0});
    CBandLCalcInfo fresh(context_);
    CBandLCalcInfo read(context_);
    ASSERT_TRUE(ReadAll(WrittenBytes(fresh), read));
    EXPECT_EQ(read.OverLevel, 75.0);
    EXPECT_EQ(read.Scopes.count() + read.LEScopes.count() + read.LevelOverScopes.count() + read.MarkScopes.count(), 0);

    CBandLCalcInfo band(context_);
    band.Scopes = testing::MakeScopes({{1, 10}, {20, 30}});
    band.LEScopes = testing::MakeScopes({{5, 6}});
    band.LevelOverScopes = testing::MakeScopes({{7, 9}});
    band.MarkScopes = testing::MakeScopes({{40, 50}, {60, 70}});
    band.OverLevel = 82.5;
    band.AllLCalc.Lmax = 91.25;
    band.LCalc.LmaxPos = 17;
    ExpectRoundTrip(band, CBandLCalcInfo(context_));

    // A mark list cut short: the read fails, everything before it holds the file's values.
    const std::string bytes = WrittenBytes(band);
    CBandLCalcInfo cut(context_);
    EXPECT_FALSE(ReadAll(bytes.substr(0, bytes.size() - 3), cut));
    EXPECT_TRUE(cut.Scopes.IsMeEqualTo(band.Scopes));
    EXPECT_TRUE(cut.AllLCalc.IsMeEqualTo(band.AllLCalc));
    EXPECT_TRUE(cut.LCalc.IsMeEqualTo(band.LCalc));
    EXPECT_TRUE(cut.LevelOverScopes.IsMeEqualTo(band.LevelOverScopes));
    EXPECT_EQ(cut.OverLevel, 82.5);

    CBandLCalcInfo near = band;
    near.OverLevel = 82.500001;
    EXPECT_FALSE(near.IsMeEqualTo(band));
}

TEST_F(MeasureRecords, NewChannelAxes) {
    const CChMeasure ch(context_);
    EXPECT_TRUE(ch.CalcXYAxis.XAxisMin.IsDate());
    EXPECT_EQ(ch.CalcXYAxis.XAxisMin.AsDouble(), testing::kFixedNow);
    EXPECT_EQ(ch.CalcXYAxis.getXWidthSec(), 600);
    EXPECT_EQ(ch.HzYAxis.YAxisMax, 100.0);
    EXPECT_EQ(ch.HzYAxis.YAxisMin, 30.0);
    EXPECT_EQ(ch.HzYAxis.XAxisUnit, 1);
}

struct GrowthCase {
    FileVersion version;
    std::int16_t oct1or3;
    int bands;
    int bandsAfter;
    int fresh;  // fresh slots inserted from slot 3 on
};

class ChannelMigration : public MeasureRecords, public ::testing::WithParamInterface<GrowthCase> {};

TEST_P(ChannelMigration, OldBandListsGrowAndAxesFollowTheVersion) {
    const GrowthCase g = GetParam();
    CChMeasure ch(context_);
    ch.ChMeasureCondition.oct1or3 = g.oct1or3;
    ch.LevelData.SaveFileName = "24-3-5-7_8_9ch1.lvl";
    ch.HzYAxis.YAxisMax = 120.0;
    ch.HzYAxis.XAxisUnit = 0;
    for (int i = 0; i < g.bands; ++i) ch.BandLCalcInfos.AddNew().OverLevel = 100.0 + i;
    const std::string bytes = testing::OldChannelBytes(ch, g.version);

    ScopedFileVersion version(g.version);
    CChMeasure read(context_);
    read.HzYAxis.Lx = 42;
    ASSERT_TRUE(ReadAll(bytes, read));
    ASSERT_EQ(read.BandLCalcInfos.count(), g.bandsAfter);
    const bool hasHzAxis = testing::HasBandAxis(g.version);
    EXPECT_EQ(read.HzYAxis.YAxisMax, hasHzAxis ? 120.0 : 100.0);
    EXPECT_EQ(read.HzYAxis.YAxisMin, 30.0);
    EXPECT_EQ(read.HzYAxis.XAxisUnit, hasHzAxis ? 0 : 1);
    if (!hasHzAxis) {
        EXPECT_EQ(read.HzYAxis.Lx, 42);  // the rest of the axis is left as it was
    }
    EXPECT_EQ(read.BandLCalcInfos.Item(1).OverLevel, 100.0);
    EXPECT_EQ(read.BandLCalcInfos.Item(2).OverLevel, 101.0);
    for (int k = 3; k < 3 + g.fresh; ++k) {
        EXPECT_EQ(read.BandLCalcInfos.Item(k).OverLevel, 75.0) << k;
        EXPECT_EQ(read.BandLCalcInfos.Item(k).Scopes.count(), 0);
    }
    for (int k = 3 + g.fresh; k <= g.bandsAfter; ++k) {
        EXPECT_EQ(read.BandLCalcInfos.Item(k).OverLevel, 100.0 + (k - 1 - g.fresh)) << k;
    }
    EXPECT_EQ(read.LevelData.SaveFileName, "24-3-5-7_8_9ch1.lvl");
}

INSTANTIATE_TEST_SUITE_P(Versions, ChannelMigration,
                         ::testing::Values(GrowthCase{{2, 9, 9}, 1, 16, 17, 1}, GrowthCase{{2, 0, 0}, 3, 44, 47, 3},
                                           GrowthCase{{2, 9, 9}, 1, 17, 17, 0}, GrowthCase{{2, 9, 9}, 3, 16, 16, 0},
                                           GrowthCase{{3, 0, 0}, 1, 16, 16, 0}, GrowthCase{{3, 1, 9}, 3, 47, 47, 0},
                                           GrowthCase{{3, 2, 0}, 1, 17, 17, 0}, GrowthCase{{7, 1, 0}, 3, 44, 44, 0}));

class DeleteFiles : public MeasureRecords {
protected:
    std::string Touch(const std::string& folder, const std::string& name) const {
        std::filesystem::create_directories(folder);
        const std::string path = (std::filesystem::path(folder) / name).string();
        std::ofstream(path) << "x";
        return path;
    }
    static bool Exists(const std::string& path) { return std::filesystem::exists(std::filesystem::symlink_status(path)); }
};

TEST_F(DeleteFiles, AMeasurementTakesItsFilesAndNothingElse) {
    CMeasure m(context_);
    m.StartTime = testing::kFixedNow;  // 2024-03-05 07:08:09
    CChMeasure& ch = m.ChMeasures.AddNew();
    ch.LevelData.SaveFileName = "a.lvl";
    CWaveFile wave;
    wave.SaveFileName = "a1.wav";
    ch.RecWaveFiles.Add(wave);
    CBandLCalcInfo& band = ch.BandLCalcInfos.AddNew();
    const std::string root = dir_.string();
    const std::string project = ProjectFile();

    std::vector<std::string> gone;
    for (int k = 1; k <= 17; ++k) gone.push_back(Touch(GetBandFolder(project, 1, static_cast<std::int16_t>(k)), "a.lvl"));
    gone.push_back(Touch(root + "/RecWav", "a1.wav"));
    gone.push_back(Touch(root + "/RecWav", "ALLa.Wav"));
    gone.push_back(Touch(root + "/LCalc", band.AllLCalc.LxData.SaveFileName));
    gone.push_back(Touch(root + "/LCalc", band.LCalc.LxData.SaveFileName));
    for (const char* ext : {".avi", ".kmh", ".car"}) gone.push_back(Touch(root + "/RecWav", std::string("24-3-5-7_8_9") + ext));
    const std::string other = Touch(root + "/RecWav", "b1.wav");
    std::filesystem::remove(gone[3]);  // a band file already gone does not stop the rest

    m.DeleteFiles(project);
    for (const auto& path : gone) EXPECT_FALSE(Exists(path)) << path;
    EXPECT_TRUE(Exists(other));
    m.DeleteFiles(project);  // nothing left: no error
}

TEST_F(DeleteFiles, NamesFromAFileNeverReachOutside) {
    const std::string root = dir_.string();
    const std::string outside = Touch(root, "keep.wav");
    const std::string inBand = Touch(root + "/F", "keep.lvl");
    std::filesystem::create_directories(root + "/RecWav");
    std::filesystem::create_symlink(outside, root + "/RecWav/link.wav");
    std::filesystem::create_directories(root + "/RecWav/dir.wav");

    CChMeasure ch(context_);
    ch.LevelData.SaveFileName = "";
    for (const std::string& name : {std::string("../keep.wav"), std::string(".."), std::string(), std::string("sub/../../keep.wav"),
                                    std::string("link.wav"), std::string("dir.wav"), outside}) {
        CWaveFile wave;
        wave.SaveFileName = name;
        ch.RecWaveFiles.Add(wave);
    }
    ch.DeleteFiles(ProjectFile());
    EXPECT_TRUE(Exists(outside));
    EXPECT_TRUE(Exists(inBand));
    EXPECT_TRUE(Exists(root + "/RecWav/link.wav"));
    EXPECT_TRUE(Exists(root + "/RecWav/dir.wav"));

    // A band mode other than 1 or 3 deletes nothing at all.
    CChMeasure odd(context_);
    odd.ChMeasureCondition.oct1or3 = 2;
    odd.LevelData.SaveFileName = "keep.lvl";
    CWaveFile wave;
    wave.SaveFileName = "keep.wav";
    odd.RecWaveFiles.Add(wave);
    Touch(root + "/RecWav", "keep.wav");
    odd.DeleteFiles(ProjectFile());
    EXPECT_TRUE(Exists(inBand));
    EXPECT_TRUE(Exists(root + "/RecWav/keep.wav"));
}

}  // namespace
}  // namespace murtesk
