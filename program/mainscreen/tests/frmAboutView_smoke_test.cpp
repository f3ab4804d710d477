// Offscreen smoke test of the version window's view: it shows the model's texts and its OK button
// closes the window through the form runtime.
#include "frmAbout.h"
#include "qt_test_app.h"
#include "frmAboutView.h"
#include "mainscreen_views.h"

#include <QApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

namespace murtesk {
namespace {

using ::murtesk::platform::qt::testing::TestApp;

TEST(frmAboutView, ShowsTheVersionAndClosesWithOk)
{
    TestApp();
    platform::qt::QtUi ui;
    RegisterMainScreenViews(ui);
    frmAbout form(ui, 7, 1, 0, FfmpegReport{});
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

// The window opens with the focus on OK; Enter, Space and Esc each close it from there.
TEST(frmAboutView, OpensOnOkAndClosesWithEnterSpaceOrEsc) {
    TestApp();
    platform::qt::QtUi ui;
    RegisterMainScreenViews(ui);
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter, Qt::Key_Space, Qt::Key_Escape}) {
        SCOPED_TRACE(QKeySequence(key).toString().toStdString());
        frmAbout form(ui, 7, 1, 0, FfmpegReport{});
        bool closedByKey = false;
        QTimer::singleShot(0, [&] {
            auto* view = static_cast<frmAboutView*>(ui.ViewOf(form));
            ASSERT_NE(view, nullptr);
            QWidget* focus = view->Widget()->focusWidget();
            EXPECT_EQ(focus, view->cmdOK);
            if (focus == nullptr) focus = view->Widget();
            QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier,
                            key == Qt::Key_Space ? QStringLiteral(" ") : QString());
            QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier,
                              key == Qt::Key_Space ? QStringLiteral(" ") : QString());
            QApplication::sendEvent(focus, &press);
            QApplication::sendEvent(focus, &release);
            closedByKey = !ui.IsLoaded(form);
            if (!closedByKey) view->cmdOK->click();
        });
        ui.ShowModal(form);
        EXPECT_TRUE(closedByKey);
        EXPECT_FALSE(ui.IsLoaded(form));
        ui.DestroyAllViews();
    }
}

}  // namespace
}  // namespace murtesk
