// Offscreen checks of the calculation screen's views: the screen over a project (a channel chosen
// and the window scrolled through the widgets, the chart drawn) and the horizontal-line dialog.
// With MURTESK_SCREENSHOT_DIR set the screen is also written there as a PNG file.
#include "calc_fixture.h"
#include "calcscreen_views.h"
#include "frmHorizontalLineView.h"
#include "frmOctCalcView.h"
#include "frmHorizontalLine.h"
#include "level_chart_widget.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

namespace murtesk::testing {
namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "test_calcscreen_views";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

TEST(CalcViews, ScreenShowsTheChartAndFollowsChannelAndScroll) {
    App();
    CalcProject project("views");
    ChannelSpec spec;
    spec.values = 6000;
    ChannelSpec second = spec;
    second.windowStart = 100;
    project.AddMeasure(600, {spec, second});
    CScopes& excluded = CalcProject::Channel(1, 1).BandLCalcInfos.Item(2).Scopes;
    excluded.Add(CScope(Variant(std::int32_t{151}), Variant(std::int32_t{300})));
    platform::qt::QtUi ui;
    RegisterCalcScreenViews(ui);
    StandInMainScreen main(ui);
    frmOctCalc calc(ui);
    g_frmMeasure = &main;
    ui.Load(calc);
    std::int32_t first = 1;
    calc.setForm(first);
    ui.Show(calc);
    auto* view = dynamic_cast<frmOctCalcView*>(ui.ViewOf(calc));
    ASSERT_NE(view, nullptr);
    view->Widget()->resize(1240, 820);
    EXPECT_EQ(view->Chart()->Background().size(), view->Chart()->size());
    if (const QString dir = qEnvironmentVariable("MURTESK_SCREENSHOT_DIR"); !dir.isEmpty()) {
        view->Widget()->grab().save(dir + "/calc_screen.png");
    }

    auto* channels = qobject_cast<QComboBox*>(view->Control("cmbCh"));
    ASSERT_NE(channels, nullptr);
    ASSERT_EQ(channels->count(), 2);
    emit channels->activated(1);
    EXPECT_EQ(calc.ShownChannel().get(), &CalcProject::Channel(1, 2));
    EXPECT_EQ(calc.Chart2DLevelWave.LevelPoint(1).y, LevelAt(1001));
    EXPECT_EQ(view->Scroll()->value(), calc.scrGraph.Value);

    view->Scroll()->triggerAction(QAbstractSlider::SliderPageStepAdd);  // 100 of 1000: a tenth of 600 s
    EXPECT_EQ(calc.Chart2DLevelWave.LevelPoint(1).y, LevelAt(1601));
    EXPECT_EQ(view->Scroll()->value(), calc.scrGraph.Value);
    EXPECT_EQ(qobject_cast<QLabel*>(view->Control("lblCLp"))->text(), QString("Ｌp 160.1dB"));

    ui.Hide(calc);
    ui.DestroyAllViews();
    g_frmMeasure = nullptr;
}

TEST(CalcViews, HorizontalLineDialogWorksThroughItsWidgets) {
    App();
    CalcProject project("views-line");
    project.AddMeasure(60, {ChannelSpec{}});
    g_ChMeasure = std::make_shared<CChMeasure>(CalcProject::Channel(1, 1));
    g_ChMeasure->HorizontalLine.RecLevel = 72.5;
    platform::qt::QtUi ui;
    RegisterCalcScreenViews(ui);
    frmHorizontalLine dialog(ui);
    ui.Show(dialog);
    auto* view = dynamic_cast<frmHorizontalLineView*>(ui.ViewOf(dialog));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->txtLevel->text(), "72.5");
    EXPECT_FALSE(view->txtLevel->isEnabled());
    view->chkOk->click();
    EXPECT_TRUE(view->txtLevel->isEnabled());
    view->txtLevel->setText("75");
    emit view->txtLevel->textEdited("75");
    g_bDialogOk = false;
    view->cmdOK->click();
    EXPECT_TRUE(g_bDialogOk);
    EXPECT_FALSE(ui.IsLoaded(dialog));
    EXPECT_EQ(g_ChMeasure->HorizontalLine.OkFlg, -1);
    EXPECT_EQ(g_ChMeasure->HorizontalLine.RecLevel, 75.0);
    ui.DestroyAllViews();
}

}  // namespace
}  // namespace murtesk::testing
