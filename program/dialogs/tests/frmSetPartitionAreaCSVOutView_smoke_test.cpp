// Offscreen smoke test of the partition dialog's view: the presets show, a typed length and a
// cleared box reach the model through "Ok", and the close box answers as Cancel. With
// MURTESK_SCREENSHOT_DIR set the dialog is written there as partition_dialog.png.
#include "dialogs_views.h"
#include "qt_test_app.h"
#include "frmSetPartitionAreaCSVOut.h"
#include "frmSetPartitionAreaCSVOutView.h"
#include "globals.h"

#include <QApplication>
#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace murtesk {
namespace {

using ::murtesk::platform::qt::testing::TestApp;
using ::murtesk::platform::qt::testing::SavePicture;

TEST(frmSetPartitionAreaCSVOutView, TypedLengthReachesTheModelAndTheCloseBoxCancels) {
    TestApp();
    platform::qt::QtUi ui;
    RegisterDialogViews(ui);
    frmSetPartitionAreaCSVOut form(ui);
    form.m_bAllBand = true;
    form.m_bCalcAreaInfluence = false;

    QTimer::singleShot(0, [&] {
        auto* view = static_cast<frmSetPartitionAreaCSVOutView*>(ui.ViewOf(form));
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->Widget()->windowTitle(), QStringLiteral("分割計算値出力条件"));
        EXPECT_EQ(view->Label1->text(), QStringLiteral("分割時間（分）："));
        EXPECT_EQ(view->txtSplitMin->text(), QStringLiteral("10"));
        EXPECT_TRUE(view->chkAllBand->isChecked());
        EXPECT_FALSE(view->chkCalcAreaInfluence->isChecked());
        EXPECT_EQ(view->chkAllBand->text(), QStringLiteral("全バンドを出力する"));
        SavePicture(*view->Widget(), "partition_dialog.png");
        view->txtSplitMin->selectAll();
        view->txtSplitMin->insert(QStringLiteral("30"));
        view->chkAllBand->click();
        view->cmdOK->click();
    });
    g_bDialogOk = true;
    ui.ShowModal(form);
    EXPECT_TRUE(g_bDialogOk);
    EXPECT_EQ(form.m_SplitMin, 30);
    EXPECT_FALSE(form.m_bAllBand);
    EXPECT_FALSE(form.m_bCalcAreaInfluence);
    ui.Unload(form);

    QTimer::singleShot(0, [&] {
        auto* view = static_cast<frmSetPartitionAreaCSVOutView*>(ui.ViewOf(form));
        ASSERT_NE(view, nullptr);
        view->Widget()->close();
    });
    ui.ShowModal(form);
    EXPECT_FALSE(ui.IsLoaded(form));
    EXPECT_FALSE(g_bDialogOk);
    ui.DestroyAllViews();
}

}  // namespace
}  // namespace murtesk
