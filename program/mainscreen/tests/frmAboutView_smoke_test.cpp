// Offscreen smoke test of the version window's view: it shows the model's texts and its OK button
// closes the window through the form runtime.
#include "frmAbout.h"
#include "frmAboutView.h"
#include "mainscreen_views.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace murtesk {
namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "test_mainscreen_extras_views";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication app(argc, argv);
    return app;
}

TEST(frmAboutView, ShowsTheVersionAndClosesWithOk)
{
    App();
    platform::qt::QtUi ui;
    RegisterMainScreenViews(ui);
    frmAbout form(ui, 7, 1, 0);
    bool sawVersion = false;
    QTimer::singleShot(0, [&] {
        auto* view = static_cast<frmAboutView*>(ui.ViewOf(form));
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->Widget()->windowTitle(), QStringLiteral("ﾊﾞｰｼﾞｮﾝ情報 Murtesk"));
        sawVersion = view->lblVersion->text() == QStringLiteral("ﾊﾞｰｼﾞｮﾝ 7.1.0");
        EXPECT_EQ(view->cmdSysInfo->text(), QStringLiteral("ｼｽﾃﾑ情報(&S)..."));
        view->cmdOK->click();
    });
    ui.ShowModal(form);
    EXPECT_TRUE(sawVersion);
    EXPECT_FALSE(ui.IsLoaded(form));
    ui.DestroyAllViews();
}

}  // namespace
}  // namespace murtesk
