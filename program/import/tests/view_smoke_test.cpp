// Offscreen: the import dialog's view opens on the file list page and moving a block of entries
// with "↓" reaches the form and comes back into the list widget.
#include "frmWavFileReadADView.h"
#include "import_fakes.h"
#include "import_views.h"
#include "qt_ui.h"

#include <QApplication>
#include <QComboBox>
#include <QListWidget>
#include <QPushButton>

#include <gtest/gtest.h>

namespace murtesk::import::testing {
namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "test_import_view";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static QApplication app(argc, argv);
    return app;
}

TEST(ImportView, MovesEntriesThroughTheWidgets)
{
    App();
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
    App();
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
