// Two recordings made by the samples tool, imported through the built analysis library into the
// program's document, then opened with "演算" from the main screen: the level chart shows the
// level file's values, and moving to the other measurement saves a project that reads back equal.
#include "frmMeasure.h"
#include "frmOctCalc.h"
#include "import_recordings.h"
#include "mainscreen_fixture.h"

#include "model/shared_procedures.h"
#include "platform/numbers.h"

namespace murtesk::testing {
namespace {

class CalcEndToEnd : public MainScreenTest {
protected:
    CalcEndToEnd() {
        g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
        g_NewCalcScreen = [](platform::UiServices& u) { return std::make_unique<frmOctCalc>(u); };
    }
    CPreserve& Records() { return static_cast<PreserveDocument&>(g_PreserveDoc()).Preserve(); }
    frmOctCalc& Calc() { return static_cast<frmOctCalc&>(*forms.octCalc); }
};

TEST_F(CalcEndToEnd, ImportedRecordingsShowTheirLevelsAndNavigationSavesTheProject) {
    // An empty project, opened from the command line.
    const std::string project = Data("road.qvd");
    {
        PreserveDocument empty;
        empty.SetSaveFilePath(project);
        ASSERT_TRUE(empty.FileWrite(project));
    }
    Start({project});
    ASSERT_FALSE(g_bStartSelect);
    ASSERT_EQ(Records().SaveFilePath, project);

    ImportRecordings(ui, (home / "data").string(), {4.0, 5.0});
    ASSERT_EQ(Records().Measures.count(), 2);
    Main().ShowLastMeasure();  // as after the main screen's import command

    // "演算" on the first measurement.
    Main().ListView1.SelectedIndex = 0;
    Main().cmdOK_Click();
    ASSERT_TRUE(Calc().Visible) << ::testing::PrintToString(ui.MessageTexts());
    EXPECT_FALSE(Main().Visible);
    const CChMeasure& ch = Records().Measures.Item(1).ChMeasures.Item(1);
    const std::vector<float> levels =
        ReadFloats(*ch.LevelData.PathIn(GetBandFolder(project, ch.ChMeasureCondition.oct1or3, 2)));
    ASSERT_EQ(levels.size(), static_cast<std::size_t>(4 * ch.ChMeasureCondition.LevelOutHz));
    const platform::LevelChartModel& chart = Calc().Chart2DLevelWave;
    ASSERT_EQ(chart.LevelCount(), static_cast<std::int32_t>(levels.size()));  // the file ends inside the minute
    EXPECT_TRUE(std::equal(levels.begin(), levels.end(), chart.Levels().begin()));
    EXPECT_EQ(Calc().lblCLp.Caption, "Ｌp " + platform::FormatNumber(levels[0], "0.0") + "dB");

    // To the second measurement and back to the main screen: the project reads back equal.
    Calc().txtMEMO.Text = "road, first channel";
    Calc().cmdNext_Click();
    EXPECT_EQ(Calc().ShownMeasureIndex(), 2);
    EXPECT_EQ(Main().m_MeasureIndex, 2);
    EXPECT_EQ(Calc().Chart2DLevelWave.LevelCount(), static_cast<std::int32_t>(5 * ch.ChMeasureCondition.LevelOutHz));
    PreserveDocument reread;
    ASSERT_TRUE(reread.FileRead(project));
    EXPECT_TRUE(reread.Preserve().Measures.IsMeEqualTo(Records().Measures));
    EXPECT_EQ(reread.Preserve().Measures.Item(1).ChMeasures.Item(1).ChMeasureCondition.Account, "road, first channel");
    EXPECT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());
}

}  // namespace
}  // namespace murtesk::testing
