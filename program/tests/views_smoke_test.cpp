// Offscreen smoke test of the real views as the program registers them: the main screen with a
// project, the first-run window, the splash and the calculation screen, worked through the real
// bindings.
#include "MainSub.h"
#include "calcscreen_views.h"
#include "fake_document.h"
#include "frmFirstSelectView.h"
#include "frmMeasure.h"
#include "frmMeasureView.h"
#include "frmOctCalc.h"
#include "frmOctCalcView.h"
#include "frmSplash.h"
#include "globals.h"
#include "japanese.h"
#include "mainscreen_views.h"

#include "qt_test_app.h"
#include "scratch_folder.h"

#include <QApplication>
#include <QHeaderView>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

namespace murtesk::testing {
namespace {

namespace fs = std::filesystem;

QApplication& App()
{
    static const bool japanese = platform::qt::InstallJapaneseUi(platform::qt::testing::TestApp());
    (void)japanese;
    return platform::qt::testing::TestApp();
}

using platform::qt::testing::RunUntil;

class ViewsSmoke : public ::testing::Test {
protected:
    ViewsSmoke()
    {
        App();
        setenv("MURTESK_HOME", home.c_str(), 1);
        g_NewDocument = [] { return std::make_unique<FakeDocument>(AppFile("DefaultQVD.qvd")); };
        g_NewCalcScreen = [](platform::UiServices& u) { return std::make_unique<frmOctCalc>(u); };
        g_Preserve.reset();
        g_CommandLine.clear();
        RegisterMainScreenViews(ui);
        RegisterCalcScreenViews(ui);
    }
    ~ViewsSmoke() override
    {
        ui.DestroyAllViews();
        g_Preserve.reset();
        g_NewCalcScreen = {};
        unsetenv("MURTESK_HOME");
    }
    test_support::ScratchFolder scratch_{"views"};
    fs::path home = scratch_.path();
    platform::qt::QtUi ui;
    ProgramForms forms;
};

TEST_F(ViewsSmoke, MainScreenShowsTheProjectAndItsPathButtonSavesTheTypedMemo)
{
    FakeDocument project((home / "p.qvd").string());
    project.measures.push_back({"takeoff.wav", "2024/05/01 10:00:00", "滑走路北", "c"});
    project.measures.push_back({"landing.wav", "2024/05/01 11:00:00", "滑走路南", "c"});
    ASSERT_TRUE(project.FileWrite((home / "p.qvd").string()));
    g_CommandLine = {(home / "p.qvd").string()};

    Main(ui, forms);
    auto* view = static_cast<frmMeasureView*>(ui.ViewOf(*forms.measure));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(RunUntil([&] { return view->ListView1->topLevelItemCount() == 2; }));
    EXPECT_TRUE(view->Widget()->isVisible());
    EXPECT_EQ(view->Widget()->windowTitle(), QString::fromUtf8("Murtesk メイン画面 ") + QString::fromStdString((home / "p.qvd").string()));
    EXPECT_EQ(view->ListView1->topLevelItem(1)->text(3), QStringLiteral("滑走路南"));
    EXPECT_EQ(view->ListView1->headerItem()->text(2), QStringLiteral("開始日時"));
    EXPECT_TRUE(view->cmdOK->isEnabled());
    EXPECT_EQ(view->fileMenu->title(), QStringLiteral("ファイル(&F)"));

    view->txtMEMO->setPlainText(QStringLiteral("騒音測定 第2回"));
    // The button saves, then offers the project choice, which the user closes.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (platform::Form* f : ui.LoadedForms()) {
            if (f->Name() == "frmFirstSelect" && f->Visible) {
                ui.ViewOf(*f)->Widget()->close();
            }
        }
    });
    poll.start();
    QTest::mouseClick(view->cmdSavePath, Qt::LeftButton);
    poll.stop();
    FakeDocument saved("");
    ASSERT_TRUE(saved.FileRead((home / "p.qvd").string()));
    EXPECT_EQ(saved.memo, "騒音測定 第2回");
    EXPECT_EQ(forms.measure->m_MeasureIndex, 2);
}

TEST_F(ViewsSmoke, ListsSeveralMeasurementsAndMovesTheSelectedOneDown)
{
    const std::string path = (home / "p.qvd").string();
    FakeDocument project(path);
    for (const char* name : {"first.wav", "second.wav", "third.wav"}) {
        project.measures.push_back({name, "2024/05/01 10:00:00", "", "c"});
    }
    ASSERT_TRUE(project.FileWrite(path));
    g_CommandLine = {path};

    Main(ui, forms);
    auto* view = static_cast<frmMeasureView*>(ui.ViewOf(*forms.measure));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(RunUntil([&] { return view->ListView1->topLevelItemCount() == 3; }));
    EXPECT_EQ(view->ListView1->topLevelItem(0)->text(0), QStringLiteral("1"));
    EXPECT_EQ(view->ListView1->topLevelItem(2)->text(1), QStringLiteral("third.wav"));

    // The user picks the first row and presses the down arrow.
    view->ListView1->setCurrentItem(view->ListView1->topLevelItem(0));
    QPushButton* down = nullptr;
    for (QPushButton* b : view->Widget()->findChildren<QPushButton*>()) {
        if (b->text() == QStringLiteral("↓")) {
            down = b;
        }
    }
    ASSERT_NE(down, nullptr);
    ASSERT_TRUE(down->isEnabled());
    down->click();
    EXPECT_EQ(view->ListView1->topLevelItem(0)->text(1), QStringLiteral("second.wav"));
    EXPECT_EQ(view->ListView1->topLevelItem(1)->text(1), QStringLiteral("first.wav"));
    EXPECT_TRUE(view->ListView1->topLevelItem(1)->isSelected());
    EXPECT_EQ(forms.measure->m_MeasureIndex, 2);
    FakeDocument saved("");
    ASSERT_TRUE(saved.FileRead(path));
    EXPECT_EQ(saved.measures[0].file, "second.wav");
}

// The start dates show whole, and a width the user drags stays when a command shows the list again.
TEST_F(ViewsSmoke, TheListShowsWholeDatesAndKeepsTheUsersColumnWidths) {
    const std::string path = (home / "p.qvd").string();
    FakeDocument project(path);
    project.measures.push_back({"takeoff.wav", "2026/12/09 01:54:30", "", "c"});
    ASSERT_TRUE(project.FileWrite(path));
    g_CommandLine = {path};
    Main(ui, forms);
    auto* view = static_cast<frmMeasureView*>(ui.ViewOf(*forms.measure));
    ASSERT_TRUE(RunUntil([&] { return view->ListView1->topLevelItemCount() == 1; }));
    QTreeWidget* list = view->ListView1;
    // The text and the item's margins on either side.
    EXPECT_GE(list->columnWidth(2), list->fontMetrics().horizontalAdvance(QStringLiteral("2026/12/09 01:54:30")) + 6);

    QHeaderView* header = list->header();
    const int edge = header->sectionViewportPosition(1) + header->sectionSize(1) - 1;
    const int wanted = header->sectionSize(1) + 50;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, 5));
    QTest::mouseMove(header->viewport(), QPoint(edge + 50, 5));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 50, 5));
    ASSERT_EQ(list->columnWidth(1), wanted);
    for (QPushButton* b : view->Widget()->findChildren<QPushButton*>()) {
        if (b->text() == QString::fromUtf8("全ﾃﾞｰﾀﾁｪｯｸON")) {
            QTest::mouseClick(b, Qt::LeftButton);
        }
    }
    EXPECT_EQ(list->topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(list->columnWidth(1), wanted);
}

TEST_F(ViewsSmoke, FirstRunWindowEndButtonAsksInJapaneseAndNoKeepsTheMainScreen)
{
    Main(ui, forms);
    frmFirstSelectView* select = nullptr;
    QString noText;
    bool answered = false;
    // The choice runs in a modal loop inside the main screen's activation.
    QTimer poll;
    poll.setInterval(10);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (platform::Form* f : ui.LoadedForms()) {
            if (f->Name() == "frmFirstSelect" && select == nullptr) {
                select = static_cast<frmFirstSelectView*>(ui.ViewOf(*f));
                EXPECT_EQ(select->Widget()->windowTitle(), QStringLiteral("Murtesk Ver7.1.0"));
                EXPECT_EQ(select->cmdNew->text(), QStringLiteral("新しいデータを作成する(&N)..."));
                select->cmdEnd->click();
                return;
            }
        }
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); box != nullptr && !answered) {
            EXPECT_EQ(box->text(), QStringLiteral("終了しますか？"));
            EXPECT_EQ(box->windowTitle(), QStringLiteral("Murtesk"));
            noText = box->button(QMessageBox::No)->text();
            answered = true;
            box->button(QMessageBox::No)->click();
        }
    });
    poll.start();
    ASSERT_TRUE(RunUntil([&] { return answered && !QApplication::activeModalWidget(); }));
    poll.stop();
    ASSERT_NE(select, nullptr);
    EXPECT_EQ(g_SelectNo, 0);
    EXPECT_TRUE(g_bStartSelect);
    EXPECT_TRUE(ui.IsLoaded(*forms.measure));
    EXPECT_TRUE(ui.ViewOf(*forms.measure)->Widget()->isVisible());
    EXPECT_TRUE(noText.contains(QStringLiteral("いいえ"))) << noText.toStdString();
}

// "ファイル → 終了" and "はい" end the run from inside the menu's own click: the main window and its
// menu bar outlive the click, and the application's loop ends with status 0, as in main.cpp.
TEST_F(ViewsSmoke, ExitFromTheFileMenuEndsTheRunCleanly) {
    FakeDocument project((home / "p.qvd").string());
    project.measures.push_back({"a.wav", "2024/05/01 10:00:00", "", "c"});
    ASSERT_TRUE(project.FileWrite((home / "p.qvd").string()));
    g_CommandLine = {(home / "p.qvd").string()};
    Main(ui, forms);
    auto* view = static_cast<frmMeasureView*>(ui.ViewOf(*forms.measure));
    ASSERT_TRUE(RunUntil([&] { return view->ListView1->topLevelItemCount() == 1; }));

    QAction* exitAction = view->fileMenu->actions().back();
    ASSERT_EQ(exitAction->text(), QStringLiteral("終了(&X)"));
    // Connected after the view's own handler: it runs only when the action outlived that handler, and
    // it sees whether the window and its menu did too (Qt's code after the click still uses them).
    QPointer<QWidget> window = view->Widget();
    QPointer<QMenu> menu = view->fileMenu;
    bool clickEndedOnLiveWindow = false;
    QObject::connect(exitAction, &QAction::triggered, [&] { clickEndedOnLiveWindow = window && menu; });
    bool asked = false;
    QTimer answer;
    answer.setInterval(10);
    QObject::connect(&answer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); box != nullptr && !asked) {
            asked = box->text() == QStringLiteral("終了しますか？");
            QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
        }
    });
    answer.start();
    QTimer::singleShot(0, [&] {
        QMenuBar* bar = static_cast<QMainWindow*>(view->Widget())->menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(view->fileMenu->menuAction()).center());
        ASSERT_TRUE(RunUntil([&] { return view->fileMenu->isVisible(); }));
        QTest::mouseClick(view->fileMenu, Qt::LeftButton, {}, view->fileMenu->actionGeometry(exitAction).center());
    });
    QTimer::singleShot(15000, [] { QApplication::exit(1); });
    EXPECT_EQ(QApplication::exec(), 0);
    EXPECT_TRUE(asked);
    EXPECT_TRUE(clickEndedOnLiveWindow);
    EXPECT_TRUE(ui.LoadedForms().empty());
}

TEST_F(ViewsSmoke, SplashShowsItsTextsAndTheCalculationScreenReturnsToTheMainScreen)
{
    frmSplash splash(ui);
    ui.Show(splash);
    QStringList texts;
    for (QLabel* label : ui.ViewOf(splash)->Widget()->findChildren<QLabel*>()) {
        texts << label->text();
    }
    EXPECT_TRUE(texts.contains(QStringLiteral("Murtesk")));
    EXPECT_TRUE(texts.contains(QStringLiteral("Ver7.1.0")));
    ui.Unload(splash);

    FakeDocument project((home / "p.qvd").string());
    project.measures.push_back({"a.wav", "2024/05/01 10:00:00", "", "c"});
    ASSERT_TRUE(project.FileWrite((home / "p.qvd").string()));
    g_CommandLine = {(home / "p.qvd").string()};
    Main(ui, forms);
    ASSERT_TRUE(RunUntil([&] { return forms.measure->m_MeasureIndex == 1; }));

    std::int32_t index = 1;
    forms.octCalc->setForm(index);
    ui.Show(*forms.octCalc);
    ui.Hide(*forms.measure);
    auto* calc = static_cast<frmOctCalcView*>(ui.ViewOf(*forms.octCalc));
    EXPECT_TRUE(calc->Widget()->windowTitle().endsWith(QString::fromUtf8(" 測定番号:1")));
    EXPECT_EQ(calc->cmdREC->text(), QStringLiteral("戻る"));
    calc->cmdREC->click();
    EXPECT_FALSE(calc->Widget()->isVisible());
    EXPECT_TRUE(ui.ViewOf(*forms.measure)->Widget()->isVisible());
}

}  // namespace
}  // namespace murtesk::testing
