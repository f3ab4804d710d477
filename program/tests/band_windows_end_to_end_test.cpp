// The band result windows on a recording imported through the built analysis library, opened from
// the calculation screen's mark panel as the program wires them: the all-band window's values, the
// one-band window's and the weighted window's equal statistics computed here from the level files.
#include "band_windows.h"
#include "frmALevel.h"
#include "frmAllBandL.h"
#include "frmMeasure.h"
#include "frmOctCalc.h"
#include "frmOneBandL.h"
#include "import_recordings.h"
#include "mainscreen_fixture.h"

#include "model/band_slots.h"
#include "model/shared_procedures.h"
#include "model/testing/level_oracle.h"

#include <cmath>
#include <cstdio>

namespace murtesk::testing {
namespace {

std::string ReadOut(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1fdB", v);
    return v > -60.0 ? text : "---";
}

class BandWindowsEndToEnd : public MainScreenTest {
protected:
    BandWindowsEndToEnd() {
        g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
        g_NewCalcScreen = [](platform::UiServices& u) { return std::make_unique<frmOctCalc>(u); };
        InstallBandWindows();
    }
    ~BandWindowsEndToEnd() override {
        g_ShowBandResult = ShowBandResultNotAvailable;
        g_ShowALevel = ShowALevelNotAvailable;
    }
    CPreserve& Records() { return static_cast<PreserveDocument&>(g_PreserveDoc()).Preserve(); }
    frmOctCalc& Calc() { return static_cast<frmOctCalc&>(*forms.octCalc); }
};

TEST_F(BandWindowsEndToEnd, WindowsOpenedFromTheMarkPanelShowTheImportedStatistics) {
    const std::string project = Data("road.qvd");
    PreserveDocument empty;
    empty.SetSaveFilePath(project);
    ASSERT_TRUE(empty.FileWrite(project));
    Start({project});
    ImportRecordings(ui, (home / "data").string(), {12.0});
    Main().ShowLastMeasure();
    Main().ListView1.SelectedIndex = 0;
    Main().cmdOK_Click();
    ASSERT_TRUE(Calc().Visible) << ::testing::PrintToString(ui.MessageTexts());
    const CChMeasure& ch = *Calc().Shown().channel;
    const CChMeasureCondition& c = ch.ChMeasureCondition;
    const auto S = static_cast<std::int32_t>(std::lround(2 * c.LevelOutHz)) + 1;
    const auto E = static_cast<std::int32_t>(std::lround(9 * c.LevelOutHz)) + 1;
    Calc().addMarkArea(S, E);
    Calc().lstMarkArea.ListIndex = 0;
    const auto expected = [&](std::int16_t slot) {
        const std::vector<float> levels = ReadFloats(*ch.LevelData.PathIn(GetBandFolder(project, c.oct1or3, slot)));
        std::vector<std::pair<std::int64_t, float>> values;
        for (std::int64_t p = S; p <= std::min<std::int64_t>(E, static_cast<std::int64_t>(levels.size())); ++p)
            values.emplace_back(p, levels[static_cast<std::size_t>(p - 1)]);
        return Oracle(values, c.LevelOutHz);
    };

    const std::int16_t n = SlotCount(c.oct1or3);
    std::string weightedF;
    int opened = 0;
    ui.OnModal("frmAllBandL", [&](platform::Form& form) {
        auto& f = dynamic_cast<frmAllBandL&>(form);
        ++opened;
        for (std::int16_t slot = 1; slot <= n; ++slot) {
            EXPECT_NEAR(f.SlotLevels()[static_cast<std::size_t>(slot - 1)], std::max(-60.0, expected(slot).leq), 1e-3)
                << slot;
        }
        EXPECT_EQ(f.gridCalc.FValue.Caption, ReadOut(expected(1).leq));
        ui.OnModal("frmALevel", [&](platform::Form& weighted) {
            weightedF = dynamic_cast<frmALevel&>(weighted).gridCalc.FValue.Caption;
            ui.Unload(weighted);
        });
        f.cmdA_Click();
        f.cmdCancel_Click();
    });
    Calc().chkAllBandMarkCalc.Value = true;
    Calc().cmdShowMarkCalc_Click();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(weightedF, ReadOut(expected(1).leq));

    const OracleStats shown = expected(Calc().Shown().band);
    ui.OnModal("frmOneBandL", [&](platform::Form& form) {
        auto& f = dynamic_cast<frmOneBandL&>(form);
        ++opened;
        EXPECT_EQ(f.lblLeq.Caption, ReadOut(shown.leq));
        EXPECT_EQ(f.lblLmax.Caption, ReadOut(shown.lmax));
        EXPECT_EQ(f.lblL50.Caption, ReadOut(shown.Lx(50)));
    });
    Calc().chkAllBandMarkCalc.Value = false;
    Calc().cmdShowMarkCalc_Click();
    EXPECT_EQ(opened, 2);
    EXPECT_FALSE(g_ChMeasure);
    EXPECT_TRUE(ui.Messages().empty()) << ::testing::PrintToString(ui.MessageTexts());
}

}  // namespace
}  // namespace murtesk::testing
