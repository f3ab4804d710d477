// The import's view of the project document over the real records: the template measurement, the
// measurement a run builds, its statistics and the document's correction tables.
#include "import_fakes.h"
#include "preserve_import.h"

#include "model/band_slots.h"
#include "model/shared_procedures.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace murtesk::import::testing {
namespace {

class PreserveImport : public ::testing::Test {
protected:
    ScratchFolder folder;
    StatsContext context{[this] { return preserve.SaveFilePath; }, [] { return Date{45356.5}; }};
    CPreserve preserve{context};
    COriginalWs originalWs;
    PreserveImportDocument document{preserve, originalWs};

    PreserveImport() { preserve.SaveFilePath = folder.Path("p.qvd"); }
};

TEST_F(PreserveImport, TemplateFollowsTheFileCheck)
{
    document.SetChannelCount(3);
    ASSERT_EQ(preserve.WAVMeasure.ChMeasures.count(), 3);
    document.ChannelCondition(1).CAL = 111.0;
    document.ChannelCondition(3).CAL = 333.0;
    document.SetChannelCount(2);  // records go from the end
    ASSERT_EQ(document.ChannelCount(), 2);
    EXPECT_EQ(preserve.WAVMeasure.ChMeasures.Item(1).ChMeasureCondition.CAL, 111.0);
    document.SetChannelCount(4);
    EXPECT_EQ(document.ChannelCondition(4).CAL, CChMeasureCondition{}.CAL);

    document.SetPaths(std::string("a.wav\0b.wav", 11), "cal.wav");
    document.SetInHz(96000.0);
    EXPECT_EQ(preserve.WAVMeasure.MeasureCondition.Account, std::string("a.wav\0b.wav", 11));
    EXPECT_EQ(document.CalibrationPath(), "cal.wav");
    EXPECT_EQ(preserve.WAVMeasure.MeasureCondition.InHz, 96000.0);
}

TEST_F(PreserveImport, NewMeasureIsADeepCopyUntilAdded)
{
    document.SetChannelCount(1);
    document.ChannelCondition(1).LVL = 90.0;
    std::unique_ptr<ImportMeasure> m = document.NewMeasureFromTemplate();
    m->ChannelCondition(1).LVL = 80.0;
    m->ChannelCondition(1).Account = "memo";
    m->SetStartTime(45000.0);
    m->SetEndTime(45000.5);
    m->SetAccount("rec.wav");
    CChMeasureCondition placeholder = document.ChannelCondition1();
    placeholder.oct1or3 = 0;
    m->AddChannel(placeholder);

    EXPECT_EQ(document.ChannelCondition(1).LVL, 90.0);
    EXPECT_EQ(document.ChannelCount(), 1);
    EXPECT_EQ(preserve.Measures.count(), 0);
    document.AddMeasure(std::move(m));
    ASSERT_EQ(preserve.Measures.count(), 1);
    const CMeasure& added = preserve.Measures.Item(1);
    EXPECT_EQ(added.StartTime, 45000.0);
    EXPECT_EQ(added.EndTime, 45000.5);
    EXPECT_EQ(added.MeasureCondition.Account, "rec.wav");
    ASSERT_EQ(added.ChMeasures.count(), 2);
    EXPECT_EQ(added.ChMeasures.Item(1).ChMeasureCondition.Account, "memo");
    EXPECT_EQ(added.ChMeasures.Item(2).ChMeasureCondition.oct1or3, 0);
}

TEST_F(PreserveImport, ChannelRecordsCarryLevelsAxesAndStatistics)
{
    document.SetChannelCount(1);
    std::unique_ptr<ImportMeasure> m = document.NewMeasureFromTemplate();
    m->PrepareChannel(1, "rec_1ch.lvl", 17);
    auto& measure = static_cast<PreserveImportMeasure&>(*m);
    CChMeasure& ch = measure.Measure()->ChMeasures.Item(1);
    EXPECT_EQ(ch.LevelData.SaveFileName, "rec_1ch.lvl");
    ASSERT_EQ(ch.BandLCalcInfos.count(), 17);

    const std::string flat = document.FlatBandFolder();
    EXPECT_TRUE(std::filesystem::is_directory(flat)) << "the level folder is made for the library";
    EXPECT_EQ(flat, GetFlatBandFolder(preserve.SaveFilePath));
    std::vector<float> back;
    EXPECT_FALSE(m->ReadLevels(1, flat, back));

    const std::vector<float> levels{60.0f, 70.0f, 60.0f, 50.0f};
    ASSERT_TRUE(m->WriteLevels(1, flat, levels));
    EXPECT_EQ(m->LevelCount(1, flat), 4);
    ASSERT_TRUE(m->ReadLevels(1, flat, back));
    EXPECT_EQ(back, levels);

    // Stale excluded ranges of the template do not narrow the new statistics.
    ch.BandLCalcInfos.Item(1).Scopes.SimpleAdd(std::make_shared<CScope>(Variant(std::int32_t{2}), Variant(std::int32_t{3})));
    EXPECT_TRUE(m->ComputeBandStatistics(1, 1, 4, flat));
    const CBandLCalcInfo& info = ch.BandLCalcInfos.Item(1);
    EXPECT_EQ(info.Scopes.count(), 0);
    EXPECT_EQ(info.AllLCalc.Scope.S.AsDouble(), 1.0);
    EXPECT_EQ(info.AllLCalc.Scope.E.AsDouble(), 4.0);
    EXPECT_EQ(info.LCalc.getNum(), 4);
    EXPECT_DOUBLE_EQ(info.LCalc.getLmax(), 70.0);
    EXPECT_EQ(info.LCalc.getLmaxPos(), 2);
    const double leq = 10.0 * std::log10((2e6 + 1e7 + 1e5) / 4.0);
    EXPECT_NEAR(info.LCalc.getLeq(), leq, 1e-6);
    EXPECT_TRUE(std::filesystem::exists(
        std::filesystem::path(context.LCalcFolder()) / info.LCalc.LxData.SaveFileName));

    m->SetCalcXYAxis(1, 45000.0, 45000.25, 50.0, 100.0);
    EXPECT_EQ(ch.CalcXYAxis.XAxisUnit, 3);
    EXPECT_TRUE(ch.CalcXYAxis.XAxisMin.IsDate());
    EXPECT_EQ(ch.CalcXYAxis.XAxisMax.AsDouble(), 45000.25);
    EXPECT_EQ(ch.CalcXYAxis.getXWidthSec(), 6 * 3600);
    EXPECT_EQ(ch.CalcXYAxis.YAxisMin, 50.0);

    // No histogram can be stored where the statistics folder cannot be made: the slot says so.
    std::filesystem::remove_all(context.LCalcFolder());
    { std::ofstream(context.LCalcFolder()) << "not a folder"; }
    EXPECT_FALSE(m->ComputeBandStatistics(1, 2, 4, flat));
}

TEST_F(PreserveImport, CorrectionsCountFromTheHighestBand)
{
    preserve.MeasureRevise1.setdB(1, 1.5);
    preserve.MeasureRevise1.setdB(15, -2.5);
    preserve.MeasureRevise3.setdB(45, 4.0);
    EXPECT_EQ(document.MeasureRevise(1, 1), 1.5);
    EXPECT_EQ(document.MeasureRevise(1, 15), -2.5);
    EXPECT_EQ(document.MeasureRevise(3, 45), 4.0);

    COriginalW w;
    w.WName = "低周波";
    w.WRevise3.SetdBInit(-3.0);
    w.WMax3.SetdBInit(80.0);
    w.WRevise1.setdB(2, -7.0);
    w.WMax1.setdB(2, 90.0);
    originalWs.Add(w);
    EXPECT_EQ(document.UserCharacteristicNames(), (std::vector<std::string>{"低周波"}));
    double revise = 0.0;
    double ceiling = 0.0;
    ASSERT_TRUE(document.UserCorrection(1, 3, 10, revise, ceiling));
    EXPECT_EQ(revise, -3.0);
    EXPECT_EQ(ceiling, 80.0);
    ASSERT_TRUE(document.UserCorrection(1, 1, 2, revise, ceiling));
    EXPECT_EQ(revise, -7.0);
    EXPECT_EQ(ceiling, 90.0);
    EXPECT_FALSE(document.UserCorrection(2, 1, 2, revise, ceiling));
    EXPECT_FALSE(document.UserCorrection(0, 1, 2, revise, ceiling));
    EXPECT_EQ(document.BandName(3, 3), std::string(GetBandName(3, 3)));
}

}  // namespace
}  // namespace murtesk::import::testing
