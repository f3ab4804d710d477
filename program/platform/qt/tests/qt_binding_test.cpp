// Offscreen checks of the Qt side: binders both ways, views made by type, frame close through the
// form runtime, modal showing, filters, drops, and window messages delivered by the event loop.
#include "dialog_keys.h"
#include "qt_test_app.h"
#include "drops.h"
#include "form_view.h"
#include "qt_message_window.h"
#include "qt_ui.h"
#include "stored_text.h"
#include "window_target.h"
#include "scratch_folder.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <thread>

namespace murtesk::platform::qt {
namespace {

using ::murtesk::platform::qt::testing::TestApp;

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
    // A command that runs out of memory half-way, after it changed what it shows.
    void cmdFail_Click()
    {
        lblCount.Caption = "途中";
        throw std::bad_alloc();
    }
    void Form_QueryUnload(bool& cancel, UnloadMode mode) override
    {
        lastMode = mode;
        cancel = keepOpen;
    }

    CommandButton cmdAdd;
    CommandButton cmdFail;
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
        failing = new QPushButton(Widget());
        label = new QLabel(Widget());
        edit = new QLineEdit(Widget());
        list = new QTreeWidget(Widget());
        layout->addWidget(button);
        layout->addWidget(label);
        layout->addWidget(edit);
        layout->addWidget(list);
        Bind().Bind(button, form.cmdAdd, [&form] { form.cmdAdd_Click(); });
        Bind().Bind(failing, form.cmdFail, [&form] { form.cmdFail_Click(); });
        Bind().Bind(label, form.lblCount);
        Bind().Bind(edit, form.txtName);
        Bind().Bind(list, form.lstRows, [&form] { form.lstRows_Click(); });
    }
    QPushButton* button;
    QPushButton* failing;
    QLabel* label;
    QLineEdit* edit;
    QTreeWidget* list;
};

struct Fixture : ::testing::Test {
    Fixture()
    {
        TestApp();
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

// Former bug: an exception from a handler crossed the event loop, which ends the program.
TEST_F(Fixture, AHandlerOutOfMemoryEndsItsCommandWithAMessageNotTheProgram)
{
    ui.Show(form);
    auto* view = static_cast<CounterView*>(ui.ViewOf(form));
    ASSERT_NE(view, nullptr);
    QString told;
    QTimer::singleShot(0, [&told] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            told = box->text();
            box->accept();
        }
    });
    EXPECT_NO_THROW(view->failing->click());
    EXPECT_EQ(told, QStringLiteral("メモリまたはシステムの資源が不足しているため、処理を中止しました．"));
    EXPECT_EQ(view->label->text(), QStringLiteral("途中"));  // the views were shown again
    view->button->click();                                     // and the window goes on
    EXPECT_EQ(view->label->text(), QStringLiteral("1"));
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

// A list whose lines are made when shown, an editable box, and a focus request.
class PickerForm : public Form {
public:
    explicit PickerForm(UiServices& ui) : Form(ui, "frmPicker") {
        cmbYear.Editable = true;
        for (const char* year : {"2001", "2002"}) {
            cmbYear.AddItem(year);
        }
    }
    VirtualListBox lstLines;
    ComboBox cmbYear;
    int clicks = 0;
    mutable int made = 0;
};

class PickerView : public FormView {
public:
    PickerView(PickerForm& form, QtUi& ui) : FormView(form, ui, std::make_unique<QWidget>()) {
        auto* layout = new QVBoxLayout(Widget());
        list = new QListView(Widget());
        year = new QComboBox(Widget());
        layout->addWidget(list);
        layout->addWidget(year);
        Bind().Bind(list, form.lstLines, [&form] { ++form.clicks; });
        Bind().Bind(year, form.cmbYear);
        NameControl("cmbYear", year);
    }
    QListView* list;
    QComboBox* year;
};

TEST(Picker, VirtualRowsEditableBoxAndFocusRequest) {
    TestApp();
    QtUi ui;
    ui.RegisterView<PickerForm, PickerView>("frmPicker");
    PickerForm form(ui);
    form.lstLines.SetRows(1'000'000, [&form](int row) {
        ++form.made;
        return "line " + std::to_string(row);
    });
    form.lstLines.ListIndex = 500'000;
    ui.Show(form);
    auto* view = static_cast<PickerView*>(ui.ViewOf(form));
    view->Widget()->resize(300, 300);
    EXPECT_EQ(view->list->model()->rowCount(), 1'000'000);
    EXPECT_EQ(view->list->currentIndex().row(), 500'000);
    EXPECT_EQ(view->list->currentIndex().data().toString(), QStringLiteral("line 500000"));
    EXPECT_LT(form.made, 1000);  // only the lines on show are made
    EXPECT_EQ(form.clicks, 0);

    view->list->setCurrentIndex(view->list->model()->index(3, 0));
    EXPECT_EQ(form.lstLines.ListIndex, 3);
    EXPECT_EQ(form.clicks, 1);
    form.lstLines.SetRows(2, [](int row) { return std::to_string(row); });
    ui.RefreshAll();
    EXPECT_EQ(view->list->model()->rowCount(), 2);
    EXPECT_FALSE(view->list->selectionModel()->hasSelection());

    for (const auto& [typed, index] : {std::pair{"1950", -1}, std::pair{"2002", 1}}) {
        view->year->lineEdit()->setText(QString::fromUtf8(typed));
        emit view->year->lineEdit()->textEdited(view->year->lineEdit()->text());
        EXPECT_EQ(form.cmbYear.Text, typed);
        EXPECT_EQ(form.cmbYear.ListIndex, index);
    }
    emit view->year->activated(0);
    EXPECT_EQ(form.cmbYear.Text, "2001");
    form.SetFocus("cmbYear", true);
    ui.RefreshAll();
    EXPECT_EQ(view->year->lineEdit()->selectedText(), QStringLiteral("2001"));
    EXPECT_TRUE(form.FocusedControl.empty());
    EXPECT_EQ(view->year->objectName(), QStringLiteral("cmbYear"));
    ui.DestroyAllViews();
}

// A memo box: its text breaks lines with CR LF, whatever the widget holds, and showing the form
// again leaves what the user is typing alone.
class MemoForm : public Form {
public:
    explicit MemoForm(UiServices& ui) : Form(ui, "frmMemo") {}
    TextBox txtMEMO;
};

class MemoView : public FormView {
public:
    MemoView(MemoForm& form, QtUi& ui) : FormView(form, ui, std::make_unique<QWidget>()) {
        auto* layout = new QVBoxLayout(Widget());
        memo = new QPlainTextEdit(Widget());
        layout->addWidget(memo);
        Bind().Bind(memo, form.txtMEMO);
    }
    QPlainTextEdit* memo;
};

TEST(MemoBox, LinesBreakWithCrLf) {
    TestApp();
    QtUi ui;
    ui.RegisterView<MemoForm, MemoView>("frmMemo");
    MemoForm form(ui);
    form.txtMEMO.Text = "a\r\nb";
    ui.Show(form);
    auto* view = static_cast<MemoView*>(ui.ViewOf(form));
    EXPECT_EQ(view->memo->toPlainText(), QStringLiteral("a\nb"));
    view->memo->setFocus();
    view->memo->moveCursor(QTextCursor::End);
    QTest::keyClick(view->memo, Qt::Key_Return);
    QTest::keyClicks(view->memo, QStringLiteral("c"));
    EXPECT_EQ(form.txtMEMO.Text, "a\r\nb\r\nc");
    ui.RefreshAll();
    EXPECT_EQ(view->memo->textCursor().position(), 5);
    form.txtMEMO.Text = "x\ny";  // a memo of a project saved before
    ui.RefreshAll();
    EXPECT_EQ(view->memo->toPlainText(), QStringLiteral("x\ny"));
    ui.DestroyAllViews();
}

// A lone surrogate pasted into a memo box reaches its record as a character of its own, which the
// memo check names as one the files cannot keep; the box goes on showing it. A pair stays a pair.
TEST(MemoBox, ALoneSurrogateIsNamedAsACharacterTheFilesCannotKeep) {
    TestApp();
    QtUi ui;
    ui.RegisterView<MemoForm, MemoView>("frmMemo");
    MemoForm form(ui);
    ui.Show(form);
    auto* view = static_cast<MemoView*>(ui.ViewOf(form));
    struct Case {
        QString pasted;
        std::string record;
        std::string told;
    };
    const QChar high(char16_t{0xD83D});
    const QChar low(char16_t{0xDE00});
    const std::vector<Case> cases{
        {QStringLiteral("a") + high + QStringLiteral("b"),
         "a\xED\xA0\xBD"
         "b",
         "U+D83D→「?」"},
        {QStringLiteral("a\n") + low, "a\r\n\xED\xB8\x80", "U+DE00→「?」"},
        {QString(high) + high + low + low, "\xED\xA0\xBD\xF0\x9F\x98\x80\xED\xB8\x80",
         "U+D83D→「?」\r\n「😀」→「?」\r\nU+DE00→「?」"},
    };
    for (const Case& c : cases) {
        view->memo->clear();
        view->memo->insertPlainText(c.pasted);
        EXPECT_EQ(form.txtMEMO.Text, c.record);
        EXPECT_EQ(ChangesText(FitToCp932(form.txtMEMO.Text)), c.told);
        ui.RefreshAll();
        EXPECT_EQ(view->memo->toPlainText(), c.pasted);
    }
    ui.DestroyAllViews();
}

// Enter and Esc press a dialog's default and cancel buttons when the control with the focus leaves the key alone.
TEST(DialogKeys, EnterAndEscReachTheDialogUnlessAControlTakesThem) {
    TestApp();
    FormDialog window;
    auto* layout = new QVBoxLayout(&window);
    auto* edit = new QLineEdit(&window);
    auto* text = new QPlainTextEdit(&window);
    auto* ok = new QPushButton(&window);
    auto* cancel = new QPushButton(&window);
    for (QWidget* w : std::initializer_list<QWidget*>{edit, text, ok, cancel}) {
        layout->addWidget(w);
    }
    for (QPushButton* button : {ok, cancel}) {
        button->setAutoDefault(false);
    }
    ok->setDefault(true);
    window.SetCancelButton(cancel);
    window.show();
    int oks = 0;
    int cancels = 0;
    QObject::connect(ok, &QPushButton::clicked, [&] { ++oks; });
    QObject::connect(cancel, &QPushButton::clicked, [&] { ++cancels; });
    const auto press = [](QWidget* target, int key) {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    };
    press(edit, Qt::Key_Return);
    press(edit, Qt::Key_Enter);
    press(edit, Qt::Key_Escape);
    press(text, Qt::Key_Return);  // a new line of the text
    EXPECT_EQ(oks, 2);
    EXPECT_EQ(cancels, 1);
    EXPECT_EQ(text->toPlainText(), QStringLiteral("\n"));
    cancel->setEnabled(false);
    press(edit, Qt::Key_Escape);
    EXPECT_EQ(cancels, 1);
    EXPECT_TRUE(window.isVisible());  // Esc closes nothing by itself: closing is the form runtime's
}

// A slider, a clickable label and a box under the form's key preview.
class PreviewForm : public Form {
public:
    explicit PreviewForm(UiServices& ui) : Form(ui, "frmPreview") { sldPos.Max = 100; }
    void Form_KeyPress(int& KeyAscii) override {
        seen.push_back(static_cast<char>(KeyAscii));
        if (KeyAscii == 'x') {
            KeyAscii = 0;
        }
    }
    Slider sldPos;
    Label lblKind;
    TextBox txtBox;
    std::vector<int> scrolled;
    int clicks = 0;
    std::string seen;
};

class PreviewView : public FormView {
public:
    PreviewView(PreviewForm& form, QtUi& ui) : FormView(form, ui, std::make_unique<QWidget>()) {
        auto* layout = new QVBoxLayout(Widget());
        slider = new QSlider(Qt::Horizontal, Widget());
        label = new QLabel(Widget());
        edit = new QLineEdit(Widget());
        layout->addWidget(slider);
        layout->addWidget(label);
        layout->addWidget(edit);
        Bind().Bind(slider, form.sldPos, [&form] { form.scrolled.push_back(form.sldPos.Value); });
        Bind().Bind(label, form.lblKind, [&form] { ++form.clicks; });
        Bind().Bind(edit, form.txtBox);
    }
    QSlider* slider;
    QLabel* label;
    QLineEdit* edit;
};

TEST(Binders, SliderMovesComeTogetherLabelsClickAndTheFormPreviewsKeys) {
    TestApp();
    QtUi ui;
    ui.RegisterView<PreviewForm, PreviewView>("frmPreview");
    PreviewForm form(ui);
    ui.Show(form);
    auto* view = static_cast<PreviewView*>(ui.ViewOf(form));

    for (int i = 0; i < 3; ++i) {
        view->slider->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    }
    form.sldPos.Max = 50;  // a change made in code is no move
    ui.RefreshAll();
    QApplication::processEvents();
    EXPECT_EQ(form.scrolled, std::vector<int>{3});

    const QPointF inside(2, 2);
    QMouseEvent press(QEvent::MouseButtonPress, inside, inside, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, inside, inside, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(view->label, &press);
    QApplication::sendEvent(view->label, &release);
    EXPECT_EQ(form.clicks, 1);

    QApplication::setActiveWindow(view->Widget());
    view->edit->setFocus();
    ASSERT_EQ(QApplication::focusWidget(), view->edit);
    auto type = [&](char c) {
        QKeyEvent key(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(QChar(c)));
        QApplication::sendEvent(view->edit, &key);
    };
    form.KeyPreview = true;
    type('a');
    type('x');  // the form keeps it from the box
    form.KeyPreview = false;
    type('b');
    EXPECT_EQ(form.seen, "ax");
    EXPECT_EQ(form.txtBox.Text, "ab");
    ui.DestroyAllViews();
}

TEST(QtUiHelpers, Filters)
{
    EXPECT_EQ(ToQtFilters("ﾃﾞｰﾀﾌｧｲﾙ (*.qvd;*.dat)|*.qvd;*.dat"), QStringList{QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙ (*.qvd *.dat)")});
    EXPECT_EQ(ToQtFilters("CSV|*.csv|全て|*.*"), (QStringList{QStringLiteral("CSV (*.csv)"), QStringLiteral("全て (*.*)")}));
}

// Answers a file dialog's windows as they come up: a message box through `onBox`, which presses one
// of its buttons; the dialog by typing the name `typed` gives and pressing Save. Polls the event loop
// until it goes.
class DialogDriver {
public:
    DialogDriver(std::function<void(QMessageBox&)> onBox, std::function<QString()> typed)
        : onBox_(std::move(onBox)), typed_(std::move(typed))
    {
        QTimer::singleShot(0, &guard_, [this] { Drive(); });
    }

private:
    void Drive()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            QTimer::singleShot(0, &guard_, [this] { Drive(); });
            onBox_(*box);
            return;
        }
        if (auto* dialog = qobject_cast<QFileDialog*>(modal); dialog != nullptr && dialog->isVisible()) {
            // A name typed into the box with the focus there leaves the file the list had selected.
            dialog->findChild<QListView*>(QStringLiteral("listView"))->clearSelection();
            dialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed_());
            QTimer::singleShot(0, &guard_, [this] { Drive(); });
            QMetaObject::invokeMethod(dialog, "accept");
            return;
        }
        QTimer::singleShot(10, &guard_, [this] { Drive(); });
    }

    std::function<void(QMessageBox&)> onBox_;
    std::function<QString()> typed_;
    QObject guard_;  // the polls end with the driver
};

// The save dialog itself: a name typed without an extension takes the filter's, also for the
// question before overwriting; a name with one keeps it; a filter of any file adds none.
TEST(SaveDialog, AddsTheFiltersExtensionToANameTypedWithout)
{
    TestApp();
    const test_support::ScratchFolder scratch("save");
    const QString folder = QString::fromStdString(scratch.path().string());
    QFile existing(folder + QStringLiteral("/kept.mrk"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    struct Case {
        const char* filter;
        const char* typed;
        const char* chosen;
        bool asked;  // the overwrite question
    };
    const Case cases[] = {
        {"MarkAreaﾌｧｲﾙ (*.mrk)|*.mrk", "out", "out.mrk", false},
        {"MarkAreaﾌｧｲﾙ (*.mrk)|*.mrk", "kept", "kept.mrk", true},
        {"DeleteAreaﾌｧｲﾙ (*.dla)|*.dla", "out", "out.dla", false},
        {"テキストファイル(*.csv;*.txt)|*.csv;*.txt", "out", "out.csv", false},
        {"テキストファイル(*.csv;*.txt)|*.csv;*.txt", "out.txt", "out.txt", false},
        {"Waveﾌｧｲﾙ (*.wav)|*.wav", "out", "out.wav", false},
        {"動画ﾌｧｲﾙ (*.*)|*.*", "out", "out", false},
    };
    QtUi ui;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed + std::string(" under ") + c.filter);
        FileDialogRequest request;
        request.Filter = c.filter;
        request.InitialDir = folder.toStdString();
        request.OverwritePrompt = true;
        bool asked = false;
        // Types the name and presses Save; answers the overwrite question with Yes.
        const DialogDriver driver(
            [&asked](QMessageBox& box) {
                asked = true;
                box.button(QMessageBox::Yes)->click();
            },
            [&c] { return QString::fromUtf8(c.typed); });
        const std::optional<std::string> chosen = ui.ShowSave(request);
        ASSERT_TRUE(chosen.has_value());
        EXPECT_EQ(QString::fromStdString(*chosen), folder + QLatin1Char('/') + QString::fromUtf8(c.chosen));
        EXPECT_EQ(asked, c.asked);
    }
    EXPECT_EQ(DefaultSuffixOf(QStringLiteral("ﾃﾞｰﾀﾌｧｲﾙ (*.qvd *.dat)")), QStringLiteral("qvd"));
}

// A file its caller refuses is told over the dialog before any question whether to overwrite it,
// in the caller's words alone, and the dialog stays open for another name. Former bug: the box put
// the chosen file's name before the caller's text, so a refusal of a file the caller forms from the
// chosen one (a mark range's "…_Mark2.Wav") named both files over the reason.
TEST(SaveDialog, RefusesWhatItsCallerCannotTakeBeforeAskingToOverwrite)
{
    TestApp();
    const test_support::ScratchFolder scratch("refuse");
    const QString folder = QString::fromStdString(scratch.path().string());
    QFile existing(folder + QStringLiteral("/kept.csv"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();
    FileDialogRequest request;
    request.Filter = "ﾃｷｽﾄﾌｧｲﾙ (*.csv)|*.csv";
    request.InitialDir = folder.toStdString();
    request.OverwritePrompt = true;
    std::vector<std::string> asked;
    request.Refusal = [&asked](const std::string& path) {
        asked.push_back(path);
        return path.ends_with("/kept.csv") ? std::string("kept_1.csv\r\nここには出力できません．") : std::string();
    };
    QtUi ui;
    QStringList boxes;
    const DialogDriver driver(
        [&boxes](QMessageBox& box) {
            boxes << box.text();
            box.button(QMessageBox::Ok)->click();
        },
        [&boxes] { return boxes.isEmpty() ? QStringLiteral("kept") : QStringLiteral("new"); });
    const std::optional<std::string> chosen = ui.ShowSave(request);
    ASSERT_TRUE(chosen.has_value());
    EXPECT_EQ(QString::fromStdString(*chosen), folder + QStringLiteral("/new.csv"));
    EXPECT_EQ(boxes, QStringList{QStringLiteral("kept_1.csv\r\nここには出力できません．")});
    EXPECT_EQ(asked.front(), (folder + QStringLiteral("/kept.csv")).toStdString());
}

// A file manager sends its files as addresses and as text: the files count. Text counts only when
// the drop carries no addresses. Addresses of other machines are left out.
TEST(Drops, FilesOrElsePlainTextReachTheHandlerThenTheViewsAreShownAgain)
{
    TestApp();
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
    TestApp();
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

// A target's messages run its current procedure on the event loop: WaitEvents returns once one has
// run, and also when nothing comes.
TEST(QtWindowTarget, PostedMessagesRunTheReplacedProcedureInWaitEvents) {
    TestApp();
    QtUi ui;
    std::unique_ptr<WindowTarget> target = ui.NewWindowTarget();
    std::vector<std::intptr_t> seen;
    const WindowTarget::WindowProc own =
        target->SetWindowProc([&](WindowTarget&, std::uint32_t, std::uintptr_t, std::intptr_t l) -> std::intptr_t {
            seen.push_back(l);
            return 0;
        });
    EXPECT_TRUE(own);
    ui.WaitEvents(1);
    EXPECT_TRUE(seen.empty());
    MurteskWindow* h = target->Handle();
    std::thread worker([h] { h->post(h->context, 0x3BD, 1, 7); });
    worker.join();
    while (seen.empty()) {
        ui.WaitEvents(1000);
    }
    EXPECT_EQ(seen, std::vector<std::intptr_t>{7});
    target->SetWindowProc(own);
    h->post(h->context, 0x3BD, 1, 8);
    ui.WaitEvents(1);
    EXPECT_EQ(seen.size(), 1u);
}

}  // namespace
}  // namespace murtesk::platform::qt
