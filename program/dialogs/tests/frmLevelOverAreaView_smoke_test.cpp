// Offscreen smoke test of the level-over dialog's view: it shows the band's threshold, a typed
// level reaches the model through "表示", and the close box answers as Cancel.
#include "dialogs_views.h"
#include "qt_test_app.h"
#include "frmLevelOverArea.h"
#include "frmLevelOverAreaView.h"
#include "globals.h"
#include "model/ch_measure.h"

#include <QApplication>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace murtesk {
namespace {

using ::murtesk::platform::qt::testing::TestApp;

TEST(frmLevelOverAreaView, TypedLevelReachesTheBandAndTheCloseBoxCancels) {
    TestApp();
    platform::qt::QtUi ui;
    RegisterDialogViews(ui);
    StatsContext context{[] { return std::string("/nonexistent/p.qvd"); }, [] { return 45000.0; }};
    auto channel = std::make_shared<CChMeasure>(context);
    channel->BandLCalcInfos.AddNew().OverLevel = 82.5;
    g_ChMeasure = channel;
    g_BandIndex = 1;
    frmLevelOverArea form(ui);

    QTimer::singleShot(0, [&] {
        auto* view = static_cast<frmLevelOverAreaView*>(ui.ViewOf(form));
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->Widget()->windowTitle(), QStringLiteral("指定レベル以上範囲表示（オレンジ色です）..."));
        EXPECT_EQ(view->Frame1->title(), QStringLiteral("範囲表示最低レベル"));
        EXPECT_EQ(view->txtLevel->text(), QStringLiteral("82.5"));
        view->txtLevel->selectAll();
        view->txtLevel->insert(QStringLiteral("66"));  // as typed: the edit reaches the model
        view->cmdOK->click();
    });
    ui.ShowModal(form);
    EXPECT_FALSE(ui.IsLoaded(form));
    EXPECT_EQ(channel->BandLCalcInfos.Item(1).OverLevel, 66.0);
    EXPECT_TRUE(g_bDialogOk);

    QTimer::singleShot(0, [&] {
        auto* view = static_cast<frmLevelOverAreaView*>(ui.ViewOf(form));
        ASSERT_NE(view, nullptr);
        view->Widget()->close();
    });
    ui.ShowModal(form);
    EXPECT_FALSE(ui.IsLoaded(form));
    EXPECT_FALSE(g_bDialogOk);
    EXPECT_EQ(g_ChMeasure, nullptr);
    ui.DestroyAllViews();
}

}  // namespace
}  // namespace murtesk
