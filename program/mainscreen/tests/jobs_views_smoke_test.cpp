// Offscreen smoke tests of the long-job windows through their real views: the level-over dialog
// starts job 7, whose window shows while the main screen's progress label counts, and its Cancel
// button stops it; the choice of measurements lists an entry and marks it. With
// MURTESK_SCREENSHOT_DIR set, the windows are also written there as PNG files.
#include "MainSub.h"
#include "qt_test_app.h"
#include "dialogs_views.h"
#include "frmMeasure.h"
#include "frmSelectCalcPlural.h"
#include "frmSelectCalcPluralView.h"
#include "globals.h"
#include "mainscreen_views.h"
#include "preserve_document.h"

#include "model/preserve.h"
#include "scratch_folder.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>

namespace murtesk {
namespace {

namespace fs = std::filesystem;

using ::murtesk::platform::qt::testing::TestApp;
using ::murtesk::platform::qt::testing::SavePicture;

class JobsViews : public ::testing::Test {
protected:
    JobsViews() {
        TestApp();
        setenv("MURTESK_HOME", home.c_str(), 1);
        g_NewDocument = [] { return std::make_unique<PreserveDocument>(); };
        g_Preserve.reset();
        RegisterMainScreenViews(ui);
        RegisterDialogViews(ui);
    }
    ~JobsViews() override {
        ui.DestroyAllViews();
        QCoreApplication::processEvents();  // the services' queued calls run before they go
        g_Preserve.reset();
        g_frmMeasure = nullptr;
        unsetenv("MURTESK_HOME");
    }
    // A project of one octave measurement whose level files hold `values` levels.
    std::string Project(int values) {
        StatsContext context{[] { return std::string(); }, [] { return 43831.25; }};
        CPreserve p(context);
        p.SaveFilePath = (home / "p.qvd").string();
        CChMeasure& ch = p.Measures.AddNew().ChMeasures.AddNew();
        ch.LevelData.SaveFileName = "a.lvl";
        std::vector<float> levels(static_cast<std::size_t>(values), 80.0f);
        for (std::int16_t k = 1; k <= 17; ++k) {
            ch.BandLCalcInfos.AddNew();
            fs::create_directories(p.BandFolder(1, k));
            std::ofstream(fs::path(p.BandFolder(1, k)) / "a.lvl", std::ios::binary)
                .write(reinterpret_cast<const char*>(levels.data()), static_cast<std::streamsize>(values * 4));
        }
        EXPECT_TRUE(p.FileWrite(p.SaveFilePath));
        return p.SaveFilePath;
    }

    test_support::ScratchFolder scratch_{"jobs-views"};
    fs::path home = scratch_.path();
    platform::qt::QtUi ui;
};

// Calls `shown` with every widget the application shows, from inside the show.
class ShowWatch : public QObject {
public:
    explicit ShowWatch(std::function<void(QObject*)> shown) : shown_(std::move(shown)) {
        QCoreApplication::instance()->installEventFilter(this);
    }
    ~ShowWatch() override { QCoreApplication::instance()->removeEventFilter(this); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Show) shown_(watched);
        return false;
    }

private:
    std::function<void(QObject*)> shown_;
};

// The job is cancelled from its own first test point, however fast it runs: the progress label
// shows once the job runs, and what the test posts then runs when the job next lets events run.
TEST_F(JobsViews, TheLevelDialogStartsAJobWhoseWindowCancels) {
    g_CommandLine = {Project(20000)};
    ProgramForms forms;
    Main(ui, forms);
    QCoreApplication::processEvents();
    ASSERT_FALSE(g_bStartSelect);
    forms.measure->m_JobSettings.pumpInterval = std::chrono::milliseconds(0);  // every test point lets events run

    bool sawDialog = false;
    bool sawJob = false;
    bool cancelPosted = false;
    QString message;
    const auto cancelTheJob = [&] {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!top->isVisible() || top->windowTitle() != QStringLiteral("処理実行中")) continue;
            sawJob = true;
            auto* cancel = top->findChild<QPushButton*>();
            ASSERT_NE(cancel, nullptr);
            EXPECT_EQ(cancel->text(), QStringLiteral("Cancel"));
            EXPECT_TRUE(forms.measure->lblLp0.Visible);
            EXPECT_EQ(forms.measure->lblLp0.Caption, "測定1");
            SavePicture(*ui.ViewOf(*forms.measure)->Widget(), "long_job_main.png");
            SavePicture(*top, "long_job.png");
            cancel->click();  // the job notices it at this test point
        }
    };
    ShowWatch watch([&](QObject*) {
        if (!cancelPosted && forms.measure->lblLp0.Visible) {
            cancelPosted = true;
            QMetaObject::invokeMethod(QCoreApplication::instance(), cancelTheJob, Qt::QueuedConnection);
        }
    });
    // The dialog and the message at the end wait for the user.
    QTimer poll;
    poll.setInterval(5);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            message = box->text();
            box->button(QMessageBox::Ok)->click();
            return;
        }
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (!top->isVisible()) continue;
            if (!sawDialog && top->windowTitle() == QStringLiteral("指定レベル以上範囲表示（オレンジ色です）...")) {
                sawDialog = true;
                auto* level = top->findChild<QLineEdit*>();
                ASSERT_NE(level, nullptr);
                EXPECT_EQ(level->text(), QStringLiteral("75"));
                SavePicture(*top, "level_over_dialog.png");
                for (auto* b : top->findChildren<QPushButton*>()) {
                    if (b->text() == QStringLiteral("表示")) {
                        b->click();  // the dialog's widgets are gone after this
                        return;
                    }
                }
                return;
            }
        }
    });
    poll.start();
    forms.measure->mnuToolTestCommand2_Click();
    poll.stop();
    EXPECT_TRUE(sawDialog);
    EXPECT_TRUE(sawJob);
    EXPECT_EQ(message, QStringLiteral("途中キャンセルしました．"));
    EXPECT_FALSE(forms.measure->lblLp0.Visible);
    EXPECT_EQ(g_frmLongJob, nullptr);
    ui.DestroyAllViews();
}

TEST_F(JobsViews, TheChoiceOfMeasurementsListsAndMarks) {
    auto& doc = static_cast<PreserveDocument&>(g_PreserveDoc());
    for (int i = 0; i < 4; ++i) doc.Preserve().Measures.AddNew();
    frmSelectCalcPlural form(ui);
    bool checked = false;
    QTimer::singleShot(0, [&] {
        auto* view = static_cast<frmSelectCalcPluralView*>(ui.ViewOf(form));
        ASSERT_NE(view, nullptr);
        EXPECT_EQ(view->Widget()->windowTitle(), QStringLiteral("複数測定組合せ計算..."));
        EXPECT_EQ(view->txtStartNo->text(), QStringLiteral("1"));
        EXPECT_EQ(view->txtEndNo->text(), QStringLiteral("4"));
        view->txtStartNo->selectAll();
        view->txtStartNo->insert(QStringLiteral("2"));
        view->cmdAdd->click();
        ASSERT_EQ(view->lstNoCondition->count(), 1);
        EXPECT_EQ(view->lstNoCondition->item(0)->text(), QStringLiteral("2-->4"));
        SavePicture(*view->Widget(), "select_calc_plural.png");
        checked = true;
        view->cmdOK->click();
    });
    ui.ShowModal(form);
    EXPECT_TRUE(checked);
    EXPECT_TRUE(g_bDialogOk);
    EXPECT_EQ(g_bPluralSelect, (std::vector<bool>{false, false, true, true, true}));
}

}  // namespace
}  // namespace murtesk
