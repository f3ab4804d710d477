// The measurement list operations of the program's document over real measurements and files, and its saves.
#include "failing_flushes.h"
#include "globals.h"
#include "model/band_rows.h"
#include "model/shared_procedures.h"
#include "platform/binary_file.h"
#include "platform/own_folder.h"
#include "preserve_document.h"
#include "scratch_folder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace murtesk {
namespace {

namespace fs = std::filesystem;

constexpr double kSecond = 1.0 / 86400.0;

class PreserveDocumentList : public ::testing::Test {
protected:
    PreserveDocumentList()
    {
        doc.SetSaveFilePath((dir / "p.qvd").string());
        fs::create_directories(GetFlatBandFolder(doc.SaveFilePath()));
    }
    // A measurement starting at day 45000 whose channel 1 has `values` flat levels at `rate` per second.
    CMeasure& AddMeasure(const std::string& name, int values, double rate)
    {
        CMeasure& m = doc.Preserve().Measures.AddNew();
        m.StartTime = 45000.0;
        m.EndTime = 45000.0;
        CChMeasure& ch = m.ChMeasures.AddNew();
        ch.ChMeasureCondition.LevelOutHz = rate;
        ch.LevelData.SaveFileName = name;
        if (values > 0) {
            const std::vector<float> levels(static_cast<std::size_t>(values), 60.0f);
            EXPECT_TRUE(ch.LevelData.SaveData(levels, GetFlatBandFolder(doc.SaveFilePath())));
        }
        return m;
    }

    test_support::ScratchFolder scratch{"preserve-doc"};
    fs::path dir = scratch.path();
    PreserveDocument doc;
};

TEST_F(PreserveDocumentList, EndTimeFollowsTheLevelFileInWholeSeconds)
{
    CMeasure& exact = AddMeasure("a.lvl", 20, 10.0);
    CMeasure& rounded = AddMeasure("b.lvl", 10, 3.0);  // 3.33 s
    CMeasure& tooShort = AddMeasure("c.lvl", 4, 10.0);
    doc.UpdateEndTimeFromLevels(1);
    doc.UpdateEndTimeFromLevels(2);
    doc.UpdateEndTimeFromLevels(3);
    EXPECT_NEAR(exact.EndTime, 45000.0 + 2 * kSecond, 1e-9);
    EXPECT_NEAR(rounded.EndTime, 45000.0 + 3 * kSecond, 1e-9);
    EXPECT_EQ(tooShort.EndTime, 45000.0);
}

TEST_F(PreserveDocumentList, EndTimeStaysWithoutChannelsRateOrFile)
{
    CMeasure& noChannels = doc.Preserve().Measures.AddNew();
    noChannels.EndTime = 45001.0;
    CMeasure& zeroRate = AddMeasure("z.lvl", 50, 0.0);
    CMeasure& missing = AddMeasure("missing.lvl", 0, 10.0);
    for (std::int32_t i = 1; i <= 3; ++i) {
        doc.UpdateEndTimeFromLevels(i);
    }
    EXPECT_EQ(noChannels.EndTime, 45001.0);
    EXPECT_EQ(zeroRate.EndTime, 45000.0);
    EXPECT_EQ(missing.EndTime, 45000.0);
}

TEST_F(PreserveDocumentList, ATakenMeasurementKeepsItsFilesUntilAsked)
{
    AddMeasure("a.lvl", 10, 10.0);
    AddMeasure("b.lvl", 10, 10.0);
    const fs::path file = fs::path(GetFlatBandFolder(doc.SaveFilePath())) / "a.lvl";
    ASSERT_TRUE(fs::exists(file));
    std::unique_ptr<RemovedMeasure> removed = doc.TakeMeasure(1);
    EXPECT_EQ(doc.MeasureCount(), 1);
    EXPECT_EQ(doc.Preserve().Measures.Item(1).ChMeasures.Item(1).LevelData.SaveFileName, "b.lvl");
    EXPECT_TRUE(fs::exists(file));
    removed->DeleteFiles(doc.SaveFilePath());
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(fs::exists(fs::path(GetFlatBandFolder(doc.SaveFilePath())) / "b.lvl"));
}

TEST_F(PreserveDocumentList, AVideoStaysWhileAnotherMeasurementOfItsStartIsLeft) {
    AddMeasure("a.lvl", 0, 10.0);  // the same recording imported twice: both start at 2023-03-15 00:00:00
    AddMeasure("b.lvl", 0, 10.0);
    const fs::path recWav = GetRecWavFolder(doc.SaveFilePath());
    fs::create_directories(recWav);
    std::vector<fs::path> video;
    for (const char* e : {".avi", ".car", ".kmh"}) {
        video.push_back(recWav / (std::string("23-3-15-0_0_0") + e));
        std::ofstream(video.back()) << e;
    }
    doc.TakeMeasure(1)->DeleteFiles(doc.SaveFilePath());
    for (const fs::path& f : video) EXPECT_TRUE(fs::exists(f)) << f;
    doc.TakeMeasure(1)->DeleteFiles(doc.SaveFilePath());
    for (const fs::path& f : video) EXPECT_FALSE(fs::exists(f)) << f;
}

TEST_F(PreserveDocumentList, SwappingAndRestoringMoveTheMeasurementsThemselves) {
    CMeasure& first = AddMeasure("a.lvl", 0, 10.0);
    CMeasure& second = AddMeasure("b.lvl", 0, 10.0);
    CMeasure& third = AddMeasure("c.lvl", 0, 10.0);
    const std::unique_ptr<MeasureListCopy> before = doc.CopyMeasureList();
    doc.SwapMeasures(2, 3);
    EXPECT_EQ(&doc.Preserve().Measures.Item(1), &first);
    EXPECT_EQ(&doc.Preserve().Measures.Item(2), &third);
    EXPECT_EQ(&doc.Preserve().Measures.Item(3), &second);
    doc.TakeMeasure(1);
    doc.RestoreMeasureList(*before);
    ASSERT_EQ(doc.MeasureCount(), 3);
    EXPECT_EQ(&doc.Preserve().Measures.Item(1), &first);
    EXPECT_EQ(&doc.Preserve().Measures.Item(2), &second);
    EXPECT_EQ(&doc.Preserve().Measures.Item(3), &third);
}

TEST_F(PreserveDocumentList, AdoptingAConditionKeepsTheMemo)
{
    AddMeasure("a.lvl", 0, 10.0).MeasureCondition.Account = "/rec/a.wav";
    AddMeasure("b.lvl", 0, 10.0).MeasureCondition.Account = "/rec/b.wav";
    doc.SetMemo("memo");
    doc.Preserve().Measures.Item(1).MeasureCondition.InHz = 12345.0;
    doc.AdoptMeasureCondition(1);
    EXPECT_EQ(doc.Memo(), "memo");
    EXPECT_EQ(doc.Preserve().MeasureCondition.InHz, 12345.0);
}

std::string Bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// A save whose new histograms could not be flushed to the disk is a failed save: the project file and the
// histograms it names stay as they were. The system reports a lost write-back once, so a later save fails too
// until those counts are written again.
TEST_F(PreserveDocumentList, ASaveWhoseHistogramsCannotBeFlushedFailsUntilTheyAreWrittenAgain)
{
    const fs::path lcalc = GetLCalcFolder(doc.SaveFilePath());
    fs::create_directories(lcalc);
    CBandLCalcInfo& band = AddMeasure("a.lvl", 0, 10.0).ChMeasures.Item(1).BandLCalcInfos.AddNew();
    std::string& name = band.LCalc.LxData.SaveFileName;
    name = "saved.ldt";
    std::ofstream(lcalc / name) << "saved counts";
    ASSERT_TRUE(doc.FileWrite(doc.SaveFilePath()));
    doc.BeginProject();
    struct End {
        PreserveDocument& doc;
        ~End() { doc.EndProject(); }
    } end{doc};
    const std::string saved = Bytes(doc.SaveFilePath());
    HistogramFiles& histograms = doc.Preserve().context().Histograms();
    const auto counts = [](platform::BinaryFile& file) { return file.Write("new counts", 10); };
    ASSERT_TRUE(histograms.Write(lcalc.string(), name, counts));
    ASSERT_NE(name, "saved.ldt");
    {
        platform::testing::FailingFlushes failing(platform::testing::FailingFlushes::Under(lcalc.string()));
        EXPECT_FALSE(doc.SaveProject());
        EXPECT_GT(failing.failed(), 0);
    }
    EXPECT_FALSE(doc.SaveProject());
    EXPECT_EQ(Bytes(doc.SaveFilePath()), saved);
    EXPECT_TRUE(fs::exists(lcalc / "saved.ldt"));

    ASSERT_TRUE(histograms.Write(lcalc.string(), name, counts));
    EXPECT_TRUE(doc.SaveProject());
    EXPECT_NE(Bytes(doc.SaveFilePath()), saved);
    EXPECT_FALSE(fs::exists(lcalc / "saved.ldt"));
    EXPECT_TRUE(fs::exists(lcalc / name));
}

// Former bug: a copy opened without saving whose folder of its own could not hold the statistics
// (a small, full runtime folder) showed every band it could not copy as having lost its statistics,
// although the project held them. Such a copy reads them where they lie, and keeps no folder.
TEST_F(PreserveDocumentList, ACopyWhoseFoldersCannotHoldTheStatisticsReadsThemWhereTheyLie)
{
    // The program's document, whose path the statistics context follows.
    g_Preserve = std::make_unique<PreserveDocument>();
    struct Reset {
        ~Reset() { g_Preserve.reset(); }
    } reset;
    auto& held = static_cast<PreserveDocument&>(*g_Preserve);
    held.SetSaveFilePath((dir / "held.qvd").string());
    CChMeasure& ch = held.Preserve().Measures.AddNew().ChMeasures.AddNew();
    ch.ChMeasureCondition.LevelOutHz = 10.0;
    ch.LevelData.SaveFileName = "a.lvl";
    const std::string levels = GetFlatBandFolder(held.SaveFilePath());
    ASSERT_TRUE(ch.LevelData.SaveData(std::vector<float>(20, 60.0f), levels));
    CBandLCalcInfo& band = ch.BandLCalcInfos.AddNew();
    CScopes whole;
    whole.Add(CScope(std::int32_t{1}, std::int32_t{20}));
    ASSERT_TRUE(band.LCalc.resetNew(whole, ch.LevelData, levels));
    ASSERT_TRUE(fs::exists(fs::path(GetLCalcFolder(held.SaveFilePath())) / band.LCalc.LxData.SaveFileName));
    ASSERT_TRUE(held.FileWrite(held.SaveFilePath()));
    const auto copies = [] {
        int n = 0;
        for (const std::string& parent : platform::OwnFoldersParents()) {
            for (const auto& entry : fs::directory_iterator(parent)) {
                n += entry.path().filename().string().starts_with("murtesk-copy-") ? 1 : 0;
            }
        }
        return n;
    };
    const int before = copies();
    platform::SetDiskSpaceForTests(100);  // less than one histogram, in every folder
    held.BeginProjectWithoutSaving();
    platform::SetDiskSpaceForTests(-1);
    EXPECT_FALSE(held.Preserve().context().Histograms().OwnFolder());
    EXPECT_EQ(copies(), before);
    const BandRowStatistics s = StoredStatistics(band.LCalc);
    EXPECT_FALSE(s.missing);
    EXPECT_EQ(s.num, 20);
    EXPECT_NEAR(s.leq, 60.0, 1e-6);
    held.EndProject();
}

}  // namespace
}  // namespace murtesk
