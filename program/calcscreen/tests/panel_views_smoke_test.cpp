// Offscreen checks of the panel commands' views: the bars/list toggle of a band panel, the
// graph-axis dialog and the common graph axis dialog through their widgets, and orange ranges on
// the level chart. With MURTESK_SCREENSHOT_DIR set the pictures are also written there.
#include "calc_fixture.h"
#include "qt_test_app.h"
#include "calcscreen_views.h"
#include "frmCommonGraphAxis.h"
#include "frmInputDate.h"
#include "frmOctCalcView.h"
#include "frmSetCalcGraph.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>

namespace murtesk::testing {
namespace {

using ::murtesk::platform::qt::testing::TestApp;
using ::murtesk::platform::qt::testing::SavePicture;

TEST(PanelViews, BarsAndListTakeTurnsAndOrangeRangesAreDrawn) {
    TestApp();
    CalcProject project("views-panels");
    ChannelSpec spec;
    spec.values = 600;
    project.AddMeasure(60, {spec});
    CBandLCalcInfo& band = CalcProject::Channel(1, 1).BandLCalcInfos.Item(1);
    band.LevelOverScopes.SimpleAdd(std::make_shared<CScope>(Variant(std::int32_t{100}), Variant(std::int32_t{250})));
    band.LevelOverScopes.SimpleAdd(std::make_shared<CScope>(Variant(std::int32_t{400}), Variant(std::int32_t{450})));
    platform::qt::QtUi ui;
    RegisterCalcScreenViews(ui);
    StandInMainScreen main{ui};
    g_frmMeasure = &main;
    frmOctCalc calc{ui};
    ui.Load(calc);
    std::int32_t first = 1;
    calc.setForm(first);
    ui.Show(calc);
    QWidget* w = ui.ViewOf(calc)->Widget();
    auto* button = w->findChild<QPushButton*>("cmdBarOrList");
    auto* list = w->findChild<QListWidget*>("vsElasticList");
    auto* bars = w->findChild<QWidget*>("chartCSFFT");
    ASSERT_TRUE(button && list && bars);
    EXPECT_TRUE(list->isHidden());
    EXPECT_FALSE(button->icon().isNull());
    const qint64 listIcon = button->icon().cacheKey();
    button->click();
    EXPECT_FALSE(list->isHidden());
    EXPECT_TRUE(bars->isHidden());
    EXPECT_EQ(button->toolTip(), QStringLiteral("バー"));
    EXPECT_NE(button->icon().cacheKey(), listIcon);
    ASSERT_EQ(list->count(), 47);
    EXPECT_TRUE(list->item(0)->text().startsWith(QStringLiteral("[F特AP]")));
    SavePicture(*w, "panel_list_and_orange.png");
    button->click();
    EXPECT_TRUE(list->isHidden());
    EXPECT_FALSE(bars->isHidden());
    EXPECT_TRUE(w->findChild<QListWidget*>("vsElasticCalcList")->isHidden());
    ui.Hide(calc);
    ui.DestroyAllViews();
    g_frmMeasure = nullptr;
}

TEST(PanelViews, GraphAxisDialogThroughItsWidgets) {
    TestApp();
    CalcProject project("views-axis");
    project.AddMeasure(3600, {ChannelSpec{}});
    g_ChMeasure = std::make_shared<CChMeasure>(CalcProject::Channel(1, 1));
    g_MeasStartTime = kMeasureStart;
    g_MeasEndTime = platform::AddSeconds(kMeasureStart, 3600.0);
    CalcProject::SetWindow(*g_ChMeasure, kMeasureStart, 0, 5400);
    platform::qt::QtUi ui;
    RegisterCalcScreenViews(ui);
    frmSetCalcGraph dialog(ui);
    ui.Show(dialog);
    QWidget* w = ui.ViewOf(dialog)->Widget();
    EXPECT_EQ(w->windowTitle(), QStringLiteral("演算画面レベル表示グラフの設定"));
    auto* width = w->findChild<QLineEdit*>("txtXAxisWidth1");
    EXPECT_EQ(width->text(), QStringLiteral("90"));
    EXPECT_TRUE(w->findChild<QRadioButton*>("optTimeUnit11")->isChecked());
    EXPECT_EQ(w->findChild<QComboBox*>("cmbMaxY1")->count(), 23);
    EXPECT_EQ(w->findChild<QComboBox*>("cmbMaxY1")->currentText(), QStringLiteral("120dB"));
    EXPECT_EQ(w->findChild<QPushButton*>("cmdStartTime")->toolTip(), QStringLiteral("表示開始日時指定..."));
    SavePicture(*w, "graph_axis_dialog.png");
    width->setText(QStringLiteral("2"));
    emit width->textEdited(width->text());
    w->findChild<QRadioButton*>("optTimeUnit12")->click();
    g_bDialogOk = false;
    w->findChild<QPushButton*>("cmdOK")->click();
    EXPECT_TRUE(g_bDialogOk);
    EXPECT_EQ(platform::WholeSecondsBetween(g_ChMeasure->CalcXYAxis.XAxisMin.AsDouble(),
                                            g_ChMeasure->CalcXYAxis.XAxisMax.AsDouble()),
              7200);
    ui.DestroyAllViews();
    g_ChMeasure.reset();
}

TEST(PanelViews, CommonGraphAxisDialogThroughItsWidgets) {
    TestApp();
    g_CommonGraphAxisInfo = CCommonGraphAxisInfo{};
    platform::qt::QtUi ui;
    RegisterCalcScreenViews(ui);
    frmCommonGraphAxis dialog(ui);
    ui.Show(dialog);
    QWidget* w = ui.ViewOf(dialog)->Widget();
    QStringList titles;
    for (const QGroupBox* box : w->findChildren<QGroupBox*>()) {
        titles << box->title();
    }
    EXPECT_EQ(titles, (QStringList{QStringLiteral("レベル波形グラフ"), QStringLiteral("周波数バーグラフ")}));
    EXPECT_EQ(w->findChild<QCheckBox*>("chkAllData")->text(), QStringLiteral("全データ共通"));
    EXPECT_TRUE(w->findChild<QCheckBox*>("chkLevelYAxis")->isChecked());
    SavePicture(*w, "common_axis_dialog.png");
    w->findChild<QCheckBox*>("chkLevelXAxis")->click();
    w->findChild<QPushButton*>("cmdOK")->click();
    EXPECT_TRUE(g_CommonGraphAxisInfo.m_bLevelXAxis);
    ui.DestroyAllViews();
    g_CommonGraphAxisInfo = CCommonGraphAxisInfo{};
}

// A dialog is wide enough for its title in a title bar: the title in bold, in a window manager's font up to a
// quarter larger than the program's (8 point "sans" on this desktop's), beside the bar's icon and three
// buttons (16 px each, their margins another 16 px), so it is never cut short.
TEST(PanelViews, DialogsAreAsWideAsTheirTitles) {
    TestApp();
    const platform::qt::testing::ProgramFont font;
    platform::qt::QtUi ui;
    RegisterCalcScreenViews(ui);
    g_InputDate = platform::DateFromParts(2024, 5, 1, 10, 12, 30);
    frmCommonGraphAxis axes(ui);
    frmInputDate date(ui);  // a window of fixed size
    for (platform::Form* form : {static_cast<platform::Form*>(&axes), static_cast<platform::Form*>(&date)}) {
        ui.Show(*form);
        QWidget* w = ui.ViewOf(*form)->Widget();
        QFont bold = QApplication::font();
        bold.setBold(true);
        const int title = QFontMetrics(bold).horizontalAdvance(QString::fromStdString(form->Caption));
        EXPECT_GE(w->width(), 1.25 * title + 5 * 16) << form->Caption;
        ui.Unload(*form);
    }
    ui.DestroyAllViews();
}

}  // namespace
}  // namespace murtesk::testing
