// A picture of the calculation screen on a recording imported through the built analysis library,
// with a range of every kind and the horizontal line. With MURTESK_SCREENSHOT_DIR set, the picture
// is written there, and so is the project ("calc-project/road.qvd" with its folders), to be opened
// in the program.
#include "calcscreen_views.h"
#include "frmOctCalcView.h"
#include "frmOctCalc.h"
#include "import_recordings.h"
#include "level_chart_widget.h"

#include <QApplication>
#include <QImage>

#include <filesystem>

namespace murtesk::testing {
namespace {

TEST(CalcPicture, ScreenOnAnImportedRecording) {
    static int argc = 1;
    static char name[] = "test_calc_picture";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    const QString shots = qEnvironmentVariable("MURTESK_SCREENSHOT_DIR");
    const std::filesystem::path folder = shots.isEmpty() ? std::filesystem::temp_directory_path() /
                                                               ("murtesk-calc-picture-" + std::to_string(::getpid()))
                                                         : std::filesystem::path(shots.toStdString()) / "calc-project";
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
    g_ResetPreserve();
    g_PreserveDoc().SetSaveFilePath((folder / "road.qvd").string());
    platform::testing::FakeUi importUi;
    ImportRecordings(importUi, folder.string(), {60.0});
    CPreserve& records = static_cast<PreserveDocument&>(g_PreserveDoc()).Preserve();
    ASSERT_EQ(records.Measures.count(), 1);

    CChMeasure& ch = records.Measures.Item(1).ChMeasures.Item(1);
    const auto range = [](std::int32_t s, std::int32_t e) { return CScope(Variant(s), Variant(e)); };
    CBandLCalcInfo& w = ch.BandLCalcInfos.Item(2);
    w.LevelOverScopes.Add(range(40, 90));
    w.MarkScopes.Add(range(120, 180));
    w.MarkScopes.Add(range(400, 430));
    w.Scopes.Add(range(230, 300));
    w.LEScopes.Add(range(480, 560));
    ch.HorizontalLine.OkFlg = -1;
    ch.HorizontalLine.RecLevel = 70.0;

    platform::qt::QtUi ui;
    RegisterCalcScreenViews(ui);
    frmOctCalc calc(ui);
    ui.Load(calc);
    std::int32_t first = 1;
    calc.setForm(first);
    ui.Show(calc);
    auto* view = dynamic_cast<frmOctCalcView*>(ui.ViewOf(calc));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(calc.Chart2DLevelWave.LevelCount(), static_cast<std::int32_t>(60 * ch.ChMeasureCondition.LevelOutHz));
    EXPECT_EQ(calc.Chart2DLevelWave.ShownRanges().size(), 5u);
    const QImage picture = view->Widget()->grab().toImage();
    EXPECT_FALSE(picture.isNull());
    ui.Unload(calc, platform::UnloadMode::AppWindows);
    ui.DestroyAllViews();
    if (!shots.isEmpty()) {
        picture.save(shots + "/calc_screen_imported.png");
        EXPECT_TRUE(g_PreserveDoc().FileWrite(g_PreserveDoc().SaveFilePath()));
    } else {
        std::error_code ec;
        std::filesystem::remove_all(folder, ec);
    }
    g_Preserve.reset();
}

}  // namespace
}  // namespace murtesk::testing
