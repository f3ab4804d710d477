// Offscreen: the import dialog's view opens on the file list page and moving a block of entries
// with "↓" reaches the form and comes back into the list widget; keys in open lists, the pages'
// size, and what a run shows while the user waits, through real key and mouse events.
#include "frmWavFileReadADView.h"
#include "qt_test_app.h"
#include "import_fakes.h"
#include "import_views.h"
#include "qt_ui.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <mutex>
#include <thread>

namespace murtesk::import::testing {
namespace {

using ::murtesk::platform::qt::testing::TestApp;

// The dialog on the real view, turned to the condition page of a two-channel recording.
struct ConditionPageView : ::testing::Test {
    ConditionPageView() {
        TestApp();
        RegisterImportViews(ui);
        const std::string cal = folder.Touch("cal.wav");
        const std::string rec = folder.Touch("rec.wav");
        library.Add(cal, 2);
        library.Add(rec, 2);
        document.calibration = cal;
        document.targets = rec;
        ui.Show(form);
        view = dynamic_cast<frmWavFileReadADView*>(ui.ViewOf(form));
        EXPECT_TRUE(QTest::qWaitForWindowActive(view->Widget()));  // keys go to the active window
        QTest::mouseClick(Button("cmdNext"), Qt::LeftButton);
    }
    ~ConditionPageView() override {
        if (ui.IsLoaded(form)) {
            ui.Unload(form);
        }
        ui.DestroyAllViews();
    }
    QPushButton* Button(const char* name) const { return qobject_cast<QPushButton*>(view->Control(name)); }
    QComboBox* Combo(const char* name) const { return qobject_cast<QComboBox*>(view->Control(name)); }
    // Opens a drop-down list from the keyboard and returns its list.
    QWidget* OpenList(const char* name) const {
        QComboBox* combo = Combo(name);
        combo->setFocus();
        QTest::keyClick(combo, Qt::Key_Down, Qt::AltModifier);
        EXPECT_NE(QApplication::activePopupWidget(), nullptr) << name;
        return combo->view();
    }

    platform::qt::QtUi ui;
    ScratchFolder folder;
    FakeDocument document;
    FakeLibrary library;
    frmWavFileReadAD form{ui, document, library};
    frmWavFileReadADView* view = nullptr;
};

// Enter and Esc in an open list choose or close the list and do nothing else: no run starts, the
// page stays.
class KeyInAnOpenList : public ConditionPageView,
                        public ::testing::WithParamInterface<std::pair<const char*, Qt::Key>> {};

TEST_P(KeyInAnOpenList, StaysInTheList) {
    const auto [name, key] = GetParam();
    const int before = Combo(name)->currentIndex();
    QWidget* list = OpenList(name);
    QTest::keyClick(list, Qt::Key_Down);
    QTest::keyClick(list, key);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(Combo(name)->currentIndex(), key == Qt::Key_Escape ? before : before + 1);
    EXPECT_TRUE(form.vsElastic2.Visible);
    EXPECT_TRUE(library.CallsStartingWith("start").empty());
}

INSTANTIATE_TEST_SUITE_P(EnterAndEsc, KeyInAnOpenList,
                         ::testing::Values(std::pair{"cmbStartBand", Qt::Key_Return},
                                           std::pair{"cmbCh", Qt::Key_Return}, std::pair{"cmbW", Qt::Key_Escape},
                                           std::pair{"cmbCh", Qt::Key_Escape}));

// With the lists closed, Esc presses the page's cancel button ("戻る") and Enter its default button
// ("次へ"); going back leaves the window no taller than the condition page made it.
TEST_F(ConditionPageView, EscGoesBackEnterGoesOnAndTheWindowKeepsItsSize) {
    ASSERT_TRUE(form.vsElastic2.Visible);
    const int height = view->Widget()->height();
    QTest::keyClick(Combo("cmbCh"), Qt::Key_Escape);
    EXPECT_TRUE(form.vsElastic1.Visible);
    EXPECT_LE(view->Widget()->height(), height);
    QTest::keyClick(view->Control("lstWaveFile"), Qt::Key_Return);
    EXPECT_TRUE(form.vsElastic2.Visible);
}

// A run's progress is painted as each status arrives, with the worker still waiting in its send;
// the box at the end opens over a start button shown enabled again.
TEST_F(ConditionPageView, ARunShowsItsProgressAtOnceAndItsEndOverTheIdleButton) {
    std::mutex mutex;
    std::vector<QString> painted;
    QLabel* progress = qobject_cast<QLabel*>(view->Control("lblSate"));
    ASSERT_NE(progress, nullptr);
    struct PaintSpy : QObject {
        std::function<void()> onPaint;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) onPaint();
            return false;
        }
    } spy;
    spy.onPaint = [&] {
        std::lock_guard lock(mutex);
        painted.push_back(progress->text());
    };
    progress->installEventFilter(&spy);

    QTest::mouseClick(Button("cmdStart"), Qt::LeftButton);
    ASSERT_EQ(library.CallsStartingWith("start").size(), 1u);
    QString startUnderTheBox;
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            box != nullptr && startUnderTheBox.isEmpty()) {
            EXPECT_EQ(box->text(), QStringLiteral("終了しました."));
            startUnderTheBox =
                Button("cmdStart")->isEnabled() ? Button("cmdStart")->text() : QStringLiteral("disabled");
            QTimer::singleShot(0, box, [box] { QTest::keyClick(box, Qt::Key_Return); });
        }
    });
    poll.start();

    library.secondsDone = 141;
    std::vector<QString> paintedWhenSent;
    QEventLoop loop;
    MurteskWindow* window = form.StatusWindowHandle();
    std::thread worker([&] {
        window->send(window->context, WM_WAVSTATUS, 0, WAVSTATUS_PROGRESS);
        {
            std::lock_guard lock(mutex);
            paintedWhenSent = painted;
        }
        window->send(window->context, WM_WAVSTATUS, 0, WAVSTATUS_CALC_END);
        QMetaObject::invokeMethod(
            &loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    poll.stop();

    const QString shown = QString::fromUtf8("1/1番目Waveファイル  (8ch分割:1/1) 141秒データ処理完了");
    EXPECT_NE(std::find(paintedWhenSent.begin(), paintedWhenSent.end(), shown), paintedWhenSent.end());
    EXPECT_EQ(startUnderTheBox, QString::fromUtf8("測定開始(&M)"));
    EXPECT_EQ(document.measures.size(), 1u);
}

TEST(ImportView, MovesEntriesThroughTheWidgets)
{
    TestApp();
    platform::qt::QtUi ui;
    RegisterImportViews(ui);
    FakeDocument document;
    document.targets = std::string("a.wav\0b.wav\0c.wav", 17);
    FakeLibrary library;
    frmWavFileReadAD form(ui, document, library);
    ui.Show(form);

    auto* view = dynamic_cast<frmWavFileReadADView*>(ui.ViewOf(form));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Widget()->windowTitle(), QString::fromUtf8("Waveファイル読込み条件を指定してください"));
    auto* list = qobject_cast<QListWidget*>(view->Control("lstWaveFile"));
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(list->count(), 3);
    EXPECT_TRUE(view->Control("cmbCh")->isHidden() || !view->Control("cmbCh")->isVisibleTo(view->Widget()));

    list->item(0)->setSelected(true);
    list->item(1)->setSelected(true);
    qobject_cast<QPushButton*>(view->Control("cmdDown"))->click();

    EXPECT_EQ(form.lstWaveFile.Items, (std::vector<std::string>{"c.wav", "a.wav", "b.wav"}));
    EXPECT_EQ(list->item(0)->text(), QString("c.wav"));
    EXPECT_TRUE(list->item(1)->isSelected());
    EXPECT_TRUE(list->item(2)->isSelected());
    EXPECT_FALSE(list->item(0)->isSelected());

    ui.Unload(form);
    ui.DestroyAllViews();
}

// Both pages drawn as the user sees them; with MURTESK_SCREENSHOT_DIR set they are also written
// there as PNG files.
TEST(ImportView, DrawsBothPages)
{
    TestApp();
    platform::qt::QtUi ui;
    RegisterImportViews(ui);
    ScratchFolder folder;
    FakeDocument document;
    document.userNames = {"オリジナル特性1"};
    FakeLibrary library;
    const std::string cal = folder.Touch("校正.wav");
    const std::string rec = folder.Touch("道路騒音.wav");
    library.Add(cal, 4);
    library.Add(rec, 4);
    frmWavFileReadAD form(ui, document, library);
    ui.Show(form);
    form.txtCSVPathName.Text = cal;
    form.lstWaveFile.AddItem(rec);
    ui.RefreshAll();
    auto* view = dynamic_cast<frmWavFileReadADView*>(ui.ViewOf(form));
    ASSERT_NE(view, nullptr);
    const QString dir = qEnvironmentVariable("MURTESK_SCREENSHOT_DIR");
    const QImage files = view->Widget()->grab().toImage();
    EXPECT_FALSE(files.isNull());

    qobject_cast<QPushButton*>(view->Control("cmdNext"))->click();
    ASSERT_TRUE(form.vsElastic2.Visible);
    auto* channels = qobject_cast<QComboBox*>(view->Control("cmbCh"));
    ASSERT_NE(channels, nullptr);
    EXPECT_EQ(channels->count(), 4);
    EXPECT_EQ(channels->currentText(), QString("1ch"));
    const QImage conditions = view->Widget()->grab().toImage();
    if (!dir.isEmpty()) {
        files.save(dir + "/import_files.png");
        conditions.save(dir + "/import_conditions.png");
    }
    ui.Unload(form);
    ui.DestroyAllViews();
}

}  // namespace
}  // namespace murtesk::import::testing
