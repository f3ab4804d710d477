// A project imported from generated recordings through the real analysis library, opened on the
// main screen, given new excluded ranges and recalculated by the long job: every band's target
// statistics equal those the test computes straight from the band's level file.
#include "MainSub.h"
#include "frmMeasure.h"
#include "import_recordings.h"

#include "model/band_slots.h"

#include <cmath>
#include <filesystem>

namespace murtesk::testing {
namespace {

namespace fs = std::filesystem;

TEST(JobsEndToEnd, RecalculationAfterNewExcludedRangesGivesTheDirectStatistics) {
    const fs::path home = fs::temp_directory_path() / ("murtesk-jobs-e2e-" + std::to_string(::getpid()));
    fs::remove_all(home);
    fs::create_directories(home / "data");
    setenv("MURTESK_HOME", home.c_str(), 1);
    const std::string project = (home / "data" / "p.qvd").string();
    g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
    g_NewCalcScreen = {};
    g_Preserve.reset();
    platform::testing::FakeUi ui;

    // The import: two channels, one in octaves at 10 values a second, one in one-third octaves.
    {
        CPreserve& preserve = *OpenPreserve();
        preserve.SaveFilePath = project;
        CChMeasures& conditions = preserve.WAVMeasure.ChMeasures;
        conditions.AllDelete();
        conditions.AddNew();
        CChMeasureCondition& third = conditions.AddNew().ChMeasureCondition;
        third.oct1or3 = 3;
        third.StartHz = 20.0;
        third.EndHz = 8000.0;
        ImportRecordings(ui, home.string(), {4.0});
        ASSERT_EQ(preserve.Measures.count(), 1);
        ASSERT_EQ(preserve.Measures.Item(1).ChMeasures.Item(2).ChMeasureCondition.oct1or3, 3);
        ASSERT_TRUE(preserve.FileWrite(project));
    }

    // The main screen opens the project; every band gets new excluded ranges; job 1 recalculates.
    g_Preserve.reset();
    g_CommandLine = {project};
    ProgramForms forms;
    Main(ui, forms);
    ui.RunPendingActivations();
    ASSERT_FALSE(g_bStartSelect);
    CPreserve& doc = *OpenPreserve();
    CMeasure& m = doc.Measures.Item(1);
    for (const auto& channel : m.ChMeasures) {
        for (const auto& band : channel->BandLCalcInfos) {
            band->Scopes.Add(CScope(std::int32_t{3}, std::int32_t{12}));
            band->Scopes.Add(CScope(std::int32_t{30}, std::int32_t{33}));
        }
    }
    ui.ClearTranscript();
    ui.AnswerNext(platform::MsgAnswer::Yes);
    ui.OnModal("frmLongJob", [](platform::Form&) {});
    forms.measure->mnuToolAllCalc_Click();
    ASSERT_EQ(ui.MessageTexts().back(), "全測定の再計算を終了しました．");

    int compared = 0;
    for (const auto& channel : m.ChMeasures) {
        const std::int16_t mode = channel->ChMeasureCondition.oct1or3;
        ASSERT_EQ(channel->BandLCalcInfos.count(), SlotCount(mode));
        for (std::int16_t k = 1; k <= SlotCount(mode); ++k) {
            const std::vector<float> all = ReadFloats(doc.BandFolder(mode, k) + "/" + channel->LevelData.SaveFileName);
            ASSERT_EQ(all.size(), static_cast<std::size_t>(4 * channel->ChMeasureCondition.LevelOutHz));
            double energy = 0.0;
            double lmax = -60.0;
            std::int64_t counted = 0;
            for (std::size_t i = 0; i < all.size(); ++i) {
                const auto p = static_cast<std::int32_t>(i + 1);
                if ((p >= 3 && p <= 12) || (p >= 30 && p <= 33)) {
                    continue;
                }
                energy += std::pow(10.0, all[i] / 10.0);
                lmax = std::max<double>(lmax, all[i]);
                counted += all[i] >= -60.05f && all[i] < 169.95f ? 1 : 0;
            }
            const CLCalc& calc = channel->BandLCalcInfos.Item(k).LCalc;
            EXPECT_EQ(calc.ValueCount(), counted) << "slot " << k;
            if (counted > 0) {
                EXPECT_NEAR(calc.getLeq(), 10.0 * std::log10(energy / static_cast<double>(counted)), 1e-6)
                    << "slot " << k;
                EXPECT_DOUBLE_EQ(calc.getLmax(), lmax) << "slot " << k;
                ++compared;
            }
        }
    }
    EXPECT_GT(compared, 17 + 20);

    g_Preserve.reset();
    g_frmMeasure = nullptr;
    unsetenv("MURTESK_HOME");
    fs::remove_all(home);
}

}  // namespace
}  // namespace murtesk::testing
