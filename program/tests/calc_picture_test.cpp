// Pictures of the calculation screen on a recording imported through the built analysis library:
// with a range of every kind and the horizontal line, and with ranges and marks entered by dates
// through the real dialogs. With MURTESK_SCREENSHOT_DIR set, the pictures are written there, and
// so is the first project ("calc-project/road.qvd" with its folders), to be opened in the program.
#include "calcscreen_views.h"
#include "qt_test_app.h"
#include "frmOctCalcView.h"
#include "frmOctCalc.h"
#include "import_recordings.h"
#include "level_chart_widget.h"

#include "platform/dates.h"
#include "scratch_folder.h"

#include <QApplication>
#include <QComboBox>
#include <QImage>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

#include <filesystem>

namespace murtesk::testing {
namespace {

using ::murtesk::platform::qt::testing::TestApp;

// The calculation screen on the first measurement of the document, shown through its view.
struct ShownScreen {
    ShownScreen() {
        RegisterCalcScreenViews(ui);
        ui.Load(calc);
        std::int32_t first = 1;
        calc.setForm(first);
        ui.Show(calc);
    }
    ~ShownScreen() {
        ui.Unload(calc, platform::UnloadMode::AppWindows);
        ui.DestroyAllViews();
    }
    frmOctCalcView* View() { return dynamic_cast<frmOctCalcView*>(ui.ViewOf(calc)); }

    platform::qt::QtUi ui;
    frmOctCalc calc{ui};
};

// A new project "road.qvd" in `folder` (emptied first) holding one recording of a minute imported.
CPreserve& ImportedProject(const std::filesystem::path& folder) {
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
    g_ResetPreserve();
    g_PreserveDoc().SetSaveFilePath((folder / "road.qvd").string());
    platform::testing::FakeUi importUi;
    ImportRecordings(importUi, folder.string(), {60.0});
    return static_cast<PreserveDocument&>(g_PreserveDoc()).Preserve();
}

TEST(CalcPicture, ScreenOnAnImportedRecording) {
    TestApp();
    const QString shots = qEnvironmentVariable("MURTESK_SCREENSHOT_DIR");
    const test_support::ScratchFolder scratch("calc-picture");
    const std::filesystem::path folder = shots.isEmpty() ? scratch / "calc-project"
                                                         : std::filesystem::path(shots.toStdString()) / "calc-project";
    CPreserve& records = ImportedProject(folder);
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

    auto shown = std::make_unique<ShownScreen>();
    frmOctCalc& calc = shown->calc;
    frmOctCalcView* view = shown->View();
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(calc.Chart2DLevelWave.LevelCount(), static_cast<std::int32_t>(60 * ch.ChMeasureCondition.LevelOutHz));
    EXPECT_EQ(calc.Chart2DLevelWave.ShownRanges().size(), 5u);
    const QImage picture = view->Widget()->grab().toImage();
    EXPECT_FALSE(picture.isNull());
    shown.reset();
    if (!shots.isEmpty()) {
        picture.save(shots + "/calc_screen_imported.png");
        EXPECT_TRUE(g_PreserveDoc().FileWrite(g_PreserveDoc().SaveFilePath()));
    }
    g_Preserve.reset();
}

// Sends one mouse event to a widget at a pixel, as the window system would.
void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButton button, Qt::MouseButtons held) {
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

TEST(CalcPicture, BandPanelsFilledWhileDragging) {
    TestApp();
    const QString shots = qEnvironmentVariable("MURTESK_SCREENSHOT_DIR");
    const test_support::ScratchFolder scratch("calc-bands");
    const std::filesystem::path folder = scratch / "project";
    ASSERT_EQ(ImportedProject(folder).Measures.count(), 1);
    auto shown = std::make_unique<ShownScreen>();
    frmOctCalc& calc = shown->calc;
    frmOctCalcView* view = shown->View();
    ASSERT_NE(view, nullptr);
    calc.cmdAllCalc_Click();
    shown->ui.RefreshAll();
    EXPECT_NE(calc.lblCalcFdB.Caption, "---");

    platform::qt::LevelChartWidget* chart = view->Chart();
    const platform::PlotRect plot = calc.Chart2DLevelWave.Geometry().Plot();
    const int y = plot.top + plot.height / 2;
    SendMouse(chart, QEvent::MouseButtonPress, {plot.left + plot.width / 3, y}, Qt::LeftButton, Qt::LeftButton);
    SendMouse(chart, QEvent::MouseMove, {plot.left + plot.width / 2, y}, Qt::NoButton, Qt::LeftButton);
    ASSERT_TRUE(calc.Chart2DLevelWave.RubberBandShown());
    EXPECT_NE(calc.lblFdB.Caption, " ");
    const QImage picture = view->Widget()->grab().toImage();
    EXPECT_FALSE(picture.isNull());
    SendMouse(chart, QEvent::MouseButtonRelease, {plot.left + plot.width / 2, y}, Qt::LeftButton, Qt::NoButton);
    EXPECT_EQ(calc.lstCalcDelArea.ListCount(), 1);
    shown.reset();
    if (!shots.isEmpty()) {
        picture.save(shots + "/calc_screen_band_panels.png");
    }
    g_Preserve.reset();
}

// Answers the date input dialog on show: each list set to the date's part as a user picks it, OK.
void AnswerInputDate(double date) {
    QWidget* input = QApplication::activeModalWidget();
    ASSERT_TRUE(input != nullptr && input->objectName() == "frmInputDate");
    const platform::DateParts p = platform::PartsFromDate(date);
    auto* year = input->findChild<QComboBox*>("cmbyyyy");
    year->lineEdit()->setText(QString::number(p.Year));
    emit year->lineEdit()->textEdited(year->lineEdit()->text());
    for (const auto& [name, index] : {std::pair{"cmbmm", p.Month - 1},
                                      {"cmbdd", p.Day - 1},
                                      {"cmbhh", p.Hour},
                                      {"cmbnn", p.Minute},
                                      {"cmbss", p.Second}}) {
        auto* list = input->findChild<QComboBox*>(name);
        list->setCurrentIndex(index);
        emit list->activated(index);
    }
    input->findChild<QPushButton*>("cmdOK")->click();
}

// Enters a range by its dates through the date-range dialog that `command` opens.
void EnterByDates(QWidget* command, double start, double end) {
    QTimer::singleShot(0, [start, end] {
        QWidget* dialog = QApplication::activeModalWidget();
        ASSERT_TRUE(dialog != nullptr && dialog->objectName() == "frmDateArea");
        QTimer::singleShot(0, [start] { AnswerInputDate(start); });
        dialog->findChild<QPushButton*>("cmdStartTime")->click();
        QTimer::singleShot(0, [end] { AnswerInputDate(end); });
        dialog->findChild<QPushButton*>("cmdEndTime")->click();
        dialog->findChild<QPushButton*>("cmdOK")->click();
    });
    static_cast<QPushButton*>(command)->click();
}

TEST(CalcPicture, RangesAndMarksEnteredByDates) {
    TestApp();
    const QString shots = qEnvironmentVariable("MURTESK_SCREENSHOT_DIR");
    const test_support::ScratchFolder scratch("calc-dates");
    const std::filesystem::path folder = scratch / "project";
    CPreserve& records = ImportedProject(folder);
    ASSERT_EQ(records.Measures.count(), 1);
    const double start = records.Measures.Item(1).StartTime;
    const auto at = [start](int seconds) { return platform::AddSeconds(start, seconds); };

    auto shown = std::make_unique<ShownScreen>();
    frmOctCalc& calc = shown->calc;
    frmOctCalcView* view = shown->View();
    ASSERT_NE(view, nullptr);
    EnterByDates(view->Control("cmdAddDel"), at(8), at(16));
    EnterByDates(view->Control("cmdAddMark"), at(22), at(28));
    EnterByDates(view->Control("cmdAddMark"), at(36), at(47));
    EnterByDates(view->Control("cmdChangeLEArea"), at(50), at(57));

    const double rate = calc.Shown().channel->ChMeasureCondition.LevelOutHz;
    const CBandLCalcInfo& band = *calc.Shown().channel->BandLCalcInfos.ItemShared(calc.Shown().band);
    const auto position = [&](const Variant& end) { return end.AsDouble(); };
    ASSERT_EQ(band.MarkScopes.count(), 2);
    EXPECT_EQ(position(band.MarkScopes.Item(2).S), 36 * rate + 1);
    EXPECT_EQ(position(band.Scopes.Item(1).E), 16 * rate + 1);
    EXPECT_EQ(calc.lstMarkArea.ListCount(), 2);
    EXPECT_EQ(calc.lblLEStart.Caption, platform::FormatDisplayDate(at(50)));
    calc.tabAreas.Tab = 2;
    shown->ui.RefreshAll();
    const QImage picture = view->Widget()->grab().toImage();
    EXPECT_FALSE(picture.isNull());
    shown.reset();
    if (!shots.isEmpty()) {
        picture.save(shots + "/calc_screen_ranges_by_dates.png");
    }
    g_Preserve.reset();
}

}  // namespace
}  // namespace murtesk::testing
