// Offscreen checks of the Qt side: binders both ways, views made by type, frame close through the
// form runtime, modal showing, filters, drops, and window messages delivered by the event loop.
#include "drops.h"
#include "form_view.h"
#include "qt_message_window.h"
#include "qt_ui.h"

#include <QApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <thread>

namespace murtesk::platform::qt {
namespace {

QApplication& App()
{
    static int argc = 1;
    static char name[] = "test_ui_qt";
    static char* argv[] = {name, nullptr};
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    // Never destroyed: at exit it would go after the input devices of the synthesised events.
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}

class CounterForm : public Form {
public:
    explicit CounterForm(UiServices& ui) : Form(ui, "frmCounter")
    {
        Caption = "カウンタ";
        cmdAdd.Caption = "追加(&A)";
        lblCount.Caption = "0";
        lstRows.Columns = {{"No.", 800, ColumnAlignment::Left}, {"名前", 2000, ColumnAlignment::Center}};
        lstRows.Checkboxes = true;
    }

    void cmdAdd_Click()
    {
        ++count;
        lblCount.Caption = std::to_string(count);
        lstRows.Rows.push_back({{std::to_string(count), txtName.Text}, false});
        lstRows.SelectedIndex = static_cast<int>(lstRows.Rows.size()) - 1;
    }
    void lstRows_Click() { ++listClicks; }
    void Form_QueryUnload(bool& cancel, UnloadMode mode) override
    {
        lastMode = mode;
        cancel = keepOpen;
    }

    CommandButton cmdAdd;
    Label lblCount;
    TextBox txtName;
    ListView lstRows;
    int count = 0;
    int listClicks = 0;
    bool keepOpen = false;
    UnloadMode lastMode = UnloadMode::FormCode;
};

class CounterView : public FormView {
public:
    CounterView(CounterForm& form, QtUi& ui) : FormView(form, ui, std::make_unique<QWidget>(nullptr, Qt::Dialog))
    {
        auto* layout = new QVBoxLayout(Widget());
        button = new QPushButton(Widget());
        label = new QLabel(Widget());
        edit = new QLineEdit(Widget());
        list = new QTreeWidget(Widget());
        layout->addWidget(button);
        layout->addWidget(label);
        layout->addWidget(edit);
        layout->addWidget(list);
        Bind().Bind(button, form.cmdAdd, [&form] { form.cmdAdd_Click(); });
        Bind().Bind(label, form.lblCount);
        Bind().Bind(edit, form.txtName);
        Bind().Bind(list, form.lstRows, [&form] { form.lstRows_Click(); });
    }
    QPushButton* button;
    QLabel* label;
    QLineEdit* edit;
    QTreeWidget* list;
};

struct Fixture : ::testing::Test {
    Fixture()
    {
        App();
        ui.RegisterView<CounterForm, CounterView>("frmCounter");
    }
    ~Fixture() override { ui.DestroyAllViews(); }
    QtUi ui;
    CounterForm form{ui};
};

TEST_F(Fixture, ClickEditAndSelectTravelThroughTheBinders)
{
    ui.Show(form);
    auto* view = static_cast<CounterView*>(ui.ViewOf(form));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->Widget()->windowTitle(), QStringLiteral("カウンタ"));
    EXPECT_EQ(view->button->text(), QStringLiteral("追加(&A)"));

    view->edit->setText(QStringLiteral("騒音"));
    emit view->edit->textEdited(view->edit->text());
    EXPECT_EQ(form.txtName.Text, "騒音");

    view->button->click();
    view->button->click();
    EXPECT_EQ(view->label->text(), QStringLiteral("2"));
    ASSERT_EQ(view->list->topLevelItemCount(), 2);
    EXPECT_EQ(view->list->topLevelItem(1)->text(1), QStringLiteral("騒音"));
    EXPECT_TRUE(view->list->topLevelItem(1)->isSelected());
    EXPECT_EQ(form.listClicks, 0);  // the model's own selection is no click

    view->list->setCurrentItem(view->list->topLevelItem(0));
    EXPECT_EQ(form.lstRows.SelectedIndex, 0);
    EXPECT_EQ(form.listClicks, 1);
    view->list->topLevelItem(1)->setCheckState(0, Qt::Checked);
    EXPECT_TRUE(form.lstRows.Rows[1].Checked);

    form.cmdAdd.Enabled = false;
    ui.RefreshAll();
    EXPECT_FALSE(view->button->isEnabled());
}

TEST_F(Fixture, AFormOfAnotherTypeUnderTheRegisteredNameGetsNoView)
{
    Form stranger(ui, "frmCounter");
    EXPECT_EQ(ui.ViewOf(stranger), nullptr);
    ui.Show(stranger);
    EXPECT_EQ(ui.ViewOf(stranger), nullptr);
    EXPECT_NE(ui.ViewOf(form), nullptr);
}

TEST_F(Fixture, FrameCloseAsksTheFormAndEndsTheModalLoop)
{
    form.keepOpen = true;
    bool stillShownAfterRefusal = false;
    QTimer::singleShot(0, [&] {
        ui.ViewOf(form)->Widget()->close();
        stillShownAfterRefusal = ui.ViewOf(form)->Widget()->isVisible();
        form.keepOpen = false;
        ui.ViewOf(form)->Widget()->close();
    });
    ui.ShowModal(form);
    EXPECT_TRUE(stillShownAfterRefusal);
    EXPECT_EQ(form.lastMode, UnloadMode::FormControlMenu);
    EXPECT_FALSE(ui.IsLoaded(form));
}

// A box tells of what a handler has just done, so the views show the forms' state before it opens;
// and a short box is wide enough for its title beside the title bar's icon and buttons.
TEST_F(Fixture, AMessageBoxOpensOverTheFormsStateAndShowsItsWholeTitle) {
    ui.Show(form);
    QCoreApplication::processEvents();  // the activation, and the showing after it
    auto* view = static_cast<CounterView*>(ui.ViewOf(form));
    QString labelUnderTheBox;
    int boxWidth = 0;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        labelUnderTheBox = view->label->text();
        boxWidth = box->width();
        QTest::keyClick(box, Qt::Key_Return);
    });
    form.lblCount.Caption = "7";
    EXPECT_EQ(ui.MsgBox("済", MsgButtons::OK, MsgIcon::None, "選択データ削除指示"), MsgAnswer::OK);
    EXPECT_EQ(labelUnderTheBox, QStringLiteral("7"));
    QFont titleFont = QApplication::font("QMdiSubWindowTitleBar");
    titleFont.setBold(true);
    EXPECT_GE(boxWidth, QFontMetrics(titleFont).horizontalAdvance(QStringLiteral("選択データ削除指示")) + 100);
}

// The model's column widths hold until its columns change: a width the user drags stays over the
// refreshes that follow, and a column marked AutoSize is widened to its texts once.
TEST_F(Fixture, ColumnsKeepTheUsersWidthsAndFitTheirTextsOnce) {
    form.lstRows.Columns.push_back({"備考", 1500, ColumnAlignment::Left});
    form.lstRows.Columns[1].AutoSize = true;
    form.txtName.Text = "滑走路北端_2026年12月09日_第3回測定_騒音.wav";
    ui.Show(form);
    auto* view = static_cast<CounterView*>(ui.ViewOf(form));
    view->Widget()->resize(700, 400);
    QTest::mouseClick(view->button, Qt::LeftButton);
    const int fitted = view->list->columnWidth(1);
    EXPECT_GT(fitted, view->list->fontMetrics().horizontalAdvance(ToQ(form.txtName.Text)));

    QHeaderView* header = view->list->header();
    const int edge = header->sectionViewportPosition(0) + header->sectionSize(0) - 1;
    QTest::mousePress(header->viewport(), Qt::LeftButton, {}, QPoint(edge, 5));
    QTest::mouseMove(header->viewport(), QPoint(edge + 40, 5));
    QTest::mouseRelease(header->viewport(), Qt::LeftButton, {}, QPoint(edge + 40, 5));
    EXPECT_EQ(view->list->columnWidth(0), 800 / 15 + 40);

    form.txtName.Text = "もっと長い名前の測定ファイル_2026年12月09日_第4回測定_騒音と振動.wav";
    QTest::mouseClick(view->button, Qt::LeftButton);
    EXPECT_EQ(view->list->columnWidth(0), 800 / 15 + 40);
    EXPECT_EQ(view->list->columnWidth(1), fitted);
}

// A name in a folder that does not exist is refused by a dialog whose request says the path must
// exist: the dialog says so over itself and stays open for another name.
TEST_F(Fixture, TheSaveDialogRefusesAFolderThatDoesNotExist) {
    const QString missing = QDir::temp().filePath(QStringLiteral("murtesk-no-such-folder/a.qvd"));
    const QString good = QDir::temp().filePath(QStringLiteral("murtesk-save-test.qvd"));
    QStringList said;
    int typed = 0;
    QTimer poll;
    poll.setInterval(20);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal); box != nullptr && said.size() < typed) {
            said << box->text();
            EXPECT_NE(qobject_cast<QFileDialog*>(box->parentWidget()), nullptr);
            QTimer::singleShot(0, box, [box] { QTest::keyClick(box, Qt::Key_Return); });
        } else if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog != nullptr && typed == said.size()) {
            auto* name = dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
            ASSERT_NE(name, nullptr);
            name->setText(typed++ == 0 ? missing : good);  // pasted
            for (QPushButton* button : dialog->findChildren<QPushButton*>()) {
                if (button->isDefault()) {
                    QTimer::singleShot(0, button, [button] { QTest::mouseClick(button, Qt::LeftButton); });
                }
            }
        }
    });
    poll.start();
    FileDialogRequest request;
    request.Title = "新規の保存先ファイル名を指定して下さい．";
    request.Filter = "ﾃﾞｰﾀﾌｧｲﾙ (*.qvd)|*.qvd";
    request.PathMustExist = true;
    const std::optional<std::string> chosen = ui.ShowSave(request);
    poll.stop();
    ASSERT_EQ(said.size(), 1);
    EXPECT_TRUE(said.front().contains(QStringLiteral("murtesk-no-such-folder"))) << said.front().toStdString();
    EXPECT_EQ(chosen, std::optional<std::string>(FromQ(good)));
}

TEST(QtUiHelpers, Filters)
{
    EXPECT_EQ(ToQtFilters("ﾃﾞｰﾀﾌｧｲﾙ (*.qvd;*.dat)|*.qvd;*.dat"), QStringList{QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙ (*.qvd *.dat)")});
    EXPECT_EQ(ToQtFilters("CSV|*.csv|全て|*.*"), (QStringList{QStringLiteral("CSV (*.csv)"), QStringLiteral("全て (*.*)")}));
}

// A file manager sends its files as addresses and as text: the files count. Text counts only when
// the drop carries no addresses. Addresses of other machines are left out.
TEST(Drops, FilesOrElsePlainTextReachTheHandlerThenTheViewsAreShownAgain)
{
    App();
    QLineEdit target;
    std::vector<DropData> dropped;
    int shownAgain = 0;
    AcceptDrops(&target, [&](const DropData& d) { dropped.push_back(d); }, [&] { ++shownAgain; });
    // Qt hands a drop to the widget that accepted the drag's entry.
    const auto drop = [&](QMimeData& mime) {
        QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &enter);
        QDropEvent event(QPointF(1, 1), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&target, &event);
        return enter.isAccepted() && event.isAccepted();
    };
    QMimeData files;
    files.setUrls({QUrl::fromLocalFile(QStringLiteral("/d/b c.wav")), QUrl(QStringLiteral("https://example.org/x.wav")),
                   QUrl::fromLocalFile(QStringLiteral("/d/音.wav"))});
    files.setText(QStringLiteral("file:///d/b%20c.wav\r\nfile:///d/%E9%9F%B3.wav"));
    QMimeData text;
    text.setText(QStringLiteral("\"/d/a.qvd\""));
    EXPECT_TRUE(drop(files));
    EXPECT_TRUE(drop(text));

    ASSERT_EQ(dropped.size(), 2u);
    EXPECT_EQ(dropped[0].Files, (std::vector<std::string>{"/d/b c.wav", "/d/音.wav"}));
    EXPECT_FALSE(dropped[0].Text.has_value());
    EXPECT_TRUE(dropped[1].Files.empty());
    EXPECT_EQ(dropped[1].Text, std::optional<std::string>("\"/d/a.qvd\""));
    EXPECT_EQ(shownAgain, 2);
}

TEST(QtMessageWindow, WorkerSendRunsOnTheEventLoopThread)
{
    App();
    const auto uiThread = std::this_thread::get_id();
    std::thread::id ranOn;
    QtMessageWindow window([&](std::uint32_t, std::uintptr_t, std::intptr_t l) {
        ranOn = std::this_thread::get_id();
        return l + 1;
    });
    MurteskWindow* h = window.Handle();
    std::intptr_t result = 0;
    QEventLoop loop;
    std::thread worker([&] {
        result = h->send(h->context, WM_WAVSTATUS, 0, 9899);
        QMetaObject::invokeMethod(&loop, [&loop] { loop.quit(); }, Qt::QueuedConnection);
    });
    loop.exec();
    worker.join();
    EXPECT_EQ(result, 9900);
    EXPECT_EQ(ranOn, uiThread);
}

}  // namespace
}  // namespace murtesk::platform::qt
