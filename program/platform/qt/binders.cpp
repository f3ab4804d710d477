#include "binders.h"

#include "band_chart_widget.h"
#include "band_label_grid_widget.h"
#include "level_chart_widget.h"
#include "position_strip_widget.h"

#include "platform/text_output.h"

#include <QAbstractItemView>
#include <QAbstractListModel>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSlider>
#include <QTabWidget>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <new>
#include <string_view>
#include <system_error>

namespace murtesk::platform::qt {

namespace {

// A command that ran out of memory or could not start a thread, stopped at the event's boundary.
constexpr const char* kOutOfResources = "メモリまたはシステムの資源が不足しているため、処理を中止しました．";

}  // namespace

struct Binders::Binding {
    std::function<void()> show;
};

namespace {

void ShowCommon(QWidget* widget, const ControlState& state)
{
    if (widget->isEnabled() != state.Enabled) {
        widget->setEnabled(state.Enabled);
    }
    // Only the widget's own flag: a hidden window must not show its children.
    if (widget->isHidden() == state.Visible) {
        widget->setVisible(state.Visible);
    }
    const QString tip = ToQ(state.ToolTipText);
    if (widget->toolTip() != tip) {
        widget->setToolTip(tip);
    }
}

// The range and steps of a slider or scroll bar (not its value).
template <class State>
void ShowRange(QAbstractSlider* widget, const State& state)
{
    ShowCommon(widget, state);
    if (widget->minimum() != state.Min || widget->maximum() != state.Max) {
        widget->setRange(state.Min, state.Max);
    }
    if (widget->singleStep() != state.SmallChange) {
        widget->setSingleStep(state.SmallChange);
    }
    if (widget->pageStep() != state.LargeChange) {
        widget->setPageStep(state.LargeChange);
    }
}

Qt::Alignment ToQt(ColumnAlignment a)
{
    switch (a) {
    case ColumnAlignment::Right:
        return Qt::AlignRight | Qt::AlignVCenter;
    case ColumnAlignment::Center:
        return Qt::AlignHCenter | Qt::AlignVCenter;
    case ColumnAlignment::Left:
        break;
    }
    return Qt::AlignLeft | Qt::AlignVCenter;
}

// The rows of a virtual list box as Qt asks for them, each made when it is shown.
class VirtualRows : public QAbstractListModel {
public:
    VirtualRows(VirtualListBox& state, QObject* parent) : QAbstractListModel(parent), state_(state) {}

    int rowCount(const QModelIndex& parent) const override { return parent.isValid() ? 0 : shownCount_; }
    QVariant data(const QModelIndex& index, int role) const override {
        if (role != Qt::DisplayRole || !index.isValid()) {
            return {};
        }
        return ToQ(state_.List(index.row()));
    }
    // Takes the state's rows when they were replaced since the last time; true when they were.
    bool Sync() {
        if (revision_ == state_.Revision()) {
            return false;
        }
        beginResetModel();
        revision_ = state_.Revision();
        shownCount_ = state_.ListCount();
        endResetModel();
        return true;
    }

private:
    VirtualListBox& state_;
    std::uint64_t revision_ = ~std::uint64_t{0};
    int shownCount_ = 0;
};

QString ColorSheet(const std::optional<ControlColor>& fore, const std::optional<ControlColor>& back) {
    QString sheet;
    if (fore) {
        sheet += QStringLiteral("color: rgb(%1, %2, %3);").arg(fore->Red).arg(fore->Green).arg(fore->Blue);
    }
    if (back) {
        sheet += QStringLiteral("background-color: rgb(%1, %2, %3);").arg(back->Red).arg(back->Green).arg(back->Blue);
    }
    return sheet;
}

}  // namespace

namespace {

class SelectAllFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusIn) {
            auto* edit = static_cast<QLineEdit*>(watched);
            // After the focus event: a mouse press would otherwise place the caret again.
            QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void SelectAllOnFocus(QLineEdit* edit) { edit->installEventFilter(new SelectAllFilter(edit)); }

namespace {

class TypedNumberFilter : public QObject {
public:
    explicit TypedNumberFilter(QComboBox* combo) : QObject(combo), combo_(combo) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) {
            return QObject::eventFilter(watched, event);
        }
        const auto* key = static_cast<QKeyEvent*>(event);
        const QString text = key->text();
        if (text.size() != 1 || !text[0].isDigit() ||
            (key->modifiers() & ~(Qt::KeypadModifier | Qt::ShiftModifier)) != 0) {
            return QObject::eventFilter(watched, event);
        }
        const bool goesOn = typed_.isValid() && !typed_.hasExpired(QApplication::keyboardInputInterval());
        int index = goesOn ? Find(digits_ + text) : -1;
        if (index >= 0) {
            digits_ += text;
        } else {
            digits_ = text;
            index = Find(digits_);
        }
        typed_.start();
        if (index >= 0) {
            if (watched == combo_) {
                if (index != combo_->currentIndex()) {
                    combo_->setCurrentIndex(index);
                    emit combo_->activated(index);
                }
            } else {
                combo_->view()->setCurrentIndex(combo_->model()->index(index, combo_->modelColumn()));
            }
        }
        return true;
    }

private:
    int Find(const QString& digits) const {
        for (int i = 0; i < combo_->count(); ++i) {
            bool number = false;
            if (combo_->itemText(i).toInt(&number) == digits.toInt() && number) {
                return i;
            }
        }
        return -1;
    }

    QComboBox* combo_;
    QString digits_;
    QElapsedTimer typed_;
};

}  // namespace

void SelectTypedNumber(QComboBox* combo) {
    auto* filter = new TypedNumberFilter(combo);
    combo->installEventFilter(filter);
    combo->view()->installEventFilter(filter);
}

namespace {

// A left-button click on a widget: pressed and released over it.
class ClickFilter : public QObject {
public:
    ClickFilter(QObject* parent, std::function<void()> onClick) : QObject(parent), onClick_(std::move(onClick)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease) {
            auto* mouse = static_cast<QMouseEvent*>(event);
            auto* widget = static_cast<QWidget*>(watched);
            if (mouse->button() == Qt::LeftButton) {
                if (event->type() == QEvent::MouseButtonPress) {
                    pressed_ = true;
                } else if (std::exchange(pressed_, false) && widget->rect().contains(mouse->position().toPoint())) {
                    onClick_();
                }
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onClick_;
    bool pressed_ = false;
};

}  // namespace

Binders::Binders(Handler afterHandler, FailureReport failure)
    : afterHandler_(std::move(afterHandler)), failure_(std::move(failure)) {}
Binders::~Binders() = default;

void Binders::Forward(const Handler& handler)
{
    if (showing_ || retired_ || !handler) {
        return;
    }
    // An exception must not cross the event loop (Qt would end the program): a command that runs out
    // of memory or cannot start a thread ends here, and the user is told.
    try {
        handler();
    } catch (const std::bad_alloc&) {
        if (failure_) {
            failure_(kOutOfResources);
        }
    } catch (const std::system_error&) {
        if (failure_) {
            failure_(kOutOfResources);
        }
    }
    if (afterHandler_) {
        afterHandler_();
    }
}

void Binders::ShowAll()
{
    showing_ = true;
    for (auto& b : bindings_) {
        b->show();
    }
    showing_ = false;
}

QIcon ProgramIcon(std::int32_t picture)
{
    if (picture != kIconList && picture != kIconBars && picture != kIconCopy) {
        return {};
    }
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(40, 40, 40));
    if (picture == kIconCopy) {  // a sheet in front of another
        p.setBrush(Qt::NoBrush);
        p.setPen(QColor(40, 40, 40));
        p.drawRect(1, 1, 9, 11);
        p.setBrush(Qt::white);
        p.drawRect(5, 4, 9, 11);
        for (int row = 0; row < 3; ++row) {
            p.drawLine(7, 7 + row * 3, 12, 7 + row * 3);
        }
    } else if (picture == kIconList) {
        for (int row = 0; row < 4; ++row) {  // a bullet and a line per row
            p.drawRect(1, 2 + row * 4, 2, 2);
            p.drawRect(5, 2 + row * 4, 10, 2);
        }
    } else {
        const int heights[] = {6, 11, 8, 13, 4};
        for (int i = 0; i < 5; ++i) {
            p.drawRect(1 + i * 3, 15 - heights[i], 2, heights[i]);
        }
    }
    return QIcon(pixmap);
}

void Binders::Bind(QPushButton* widget, CommandButton& state, Handler onClick)
{
    QObject::connect(widget, &QPushButton::clicked, widget, [this, onClick] { Forward(onClick); });
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state] {
        ShowCommon(widget, state);
        const QString caption = ToQ(state.Caption);
        if (widget->text() != caption) {
            widget->setText(caption);
        }
        // A picture of the program's own replaces the icon the view set up.
        if (state.Picture != 0 && widget->property("murteskPicture").toInt() != state.Picture) {
            widget->setProperty("murteskPicture", state.Picture);
            widget->setIcon(ProgramIcon(state.Picture));
        }
    }}));
}

void Binders::Bind(QWidget* widget, ControlState& state, Handler onShow)
{
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state, onShow] {
        ShowCommon(widget, state);
        if (onShow) {
            onShow();
        }
    }}));
}

void Binders::Bind(QLabel* widget, Label& state)
{
    const QColor usual = widget->palette().color(QPalette::WindowText);
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state, usual] {
        ShowCommon(widget, state);
        const QString caption = ToQ(state.Caption);
        if (widget->text() != caption) {
            widget->setText(caption);
        }
        const QColor color =
            state.ForeColor ? QColor(state.ForeColor->Red, state.ForeColor->Green, state.ForeColor->Blue) : usual;
        if (widget->palette().color(QPalette::WindowText) != color) {
            QPalette palette = widget->palette();
            palette.setColor(QPalette::WindowText, color);
            widget->setPalette(palette);
        }
    }}));
}

void Binders::Bind(QLineEdit* widget, TextBox& state, Handler onChange)
{
    QObject::connect(widget, &QLineEdit::textEdited, widget, [this, &state, onChange](const QString& text) {
        if (showing_) {
            return;
        }
        state.Text = FromQ(text);
        Forward(onChange);
    });
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state] {
        ShowCommon(widget, state);
        widget->setReadOnly(state.Locked);
        const QString text = ToQ(state.Text);
        if (widget->text() != text) {
            widget->setText(text);
        }
    }}));
}

namespace {

// The focus went from a widget to another control of its window.
class LeaveFilter : public QObject {
public:
    LeaveFilter(QWidget* widget, std::function<void()> onLeave) : QObject(widget), onLeave_(std::move(onLeave)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::FocusOut) {
            const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
            if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
                reason != Qt::MenuBarFocusReason) {
                // After the focus has moved: a message box shown from inside the change would
                // leave the focus between the two widgets.
                QTimer::singleShot(0, this, onLeave_);
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onLeave_;
};

// A memo box's text in its record and back. A UTF-16 unit that pairs with no other (a lone surrogate,
// which a paste may bring) goes into the record in its three-byte form, not as the "?" that
// QString::toUtf8 makes of it, so that what checks the record for characters the files cannot keep
// sees it and names it; and that form shows as the unit again, so the box keeps what it holds.
std::string MemoFromQ(const QString& text) {
    std::string out;
    qsizetype done = 0;
    const auto appendUpTo = [&](qsizetype end) {
        const QByteArray utf8 = QStringView(text).sliced(done, end - done).toUtf8();
        out.append(utf8.constData(), static_cast<std::size_t>(utf8.size()));
    };
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (!QChar::isSurrogate(unit)) continue;
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && QChar::isLowSurrogate(text[i + 1].unicode())) {
            ++i;
            continue;
        }
        appendUpTo(i);
        out.push_back(static_cast<char>(0xE0 | (unit >> 12)));
        out.push_back(static_cast<char>(0x80 | ((unit >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (unit & 0x3F)));
        done = i + 1;
    }
    appendUpTo(text.size());
    return out;
}

QString MemoToQ(std::string_view text) {
    QString out;
    std::size_t done = 0;
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    for (std::size_t i = 0; i + 2 < text.size(); ++i) {
        // ED A0..BF 80..BF: the three-byte form of U+D800..U+DFFF, which UTF-8 itself never holds.
        if (byte(i) != 0xED || (byte(i + 1) & 0xE0) != 0xA0 || (byte(i + 2) & 0xC0) != 0x80) continue;
        out += QString::fromUtf8(text.data() + done, static_cast<qsizetype>(i - done));
        out += QChar(static_cast<char16_t>(0xD000 | ((byte(i + 1) & 0x3F) << 6) | (byte(i + 2) & 0x3F)));
        i += 2;
        done = i + 1;
    }
    out += QString::fromUtf8(text.data() + done, static_cast<qsizetype>(text.size() - done));
    return out;
}

}  // namespace

void Binders::Bind(QPlainTextEdit* widget, TextBox& state, Handler onChange, Handler onLeave) {
    widget->setTabChangesFocus(true);
    if (onLeave) {
        widget->installEventFilter(new LeaveFilter(widget, [this, onLeave] { Forward(onLeave); }));
    }
    // A multi-line box's text breaks its lines with CR LF, as the files it goes into do; the widget
    // knows only LF.
    QObject::connect(widget, &QPlainTextEdit::textChanged, widget, [this, widget, &state, onChange] {
        if (showing_) {
            return;
        }
        state.Text = MemoFromQ(widget->toPlainText().replace(QLatin1Char('\n'), QStringLiteral("\r\n")));
        Forward(onChange);
    });
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state] {
        ShowCommon(widget, state);
        widget->setReadOnly(state.Locked);
        QStringList lines;
        for (const std::string_view line : TextLines(state.Text)) {
            lines.push_back(MemoToQ(line));
        }
        const QString text = lines.join(QLatin1Char('\n'));
        if (widget->toPlainText() != text) {
            // The caret stays where it was when the form changed what the user typed (a TAB made a space).
            const int caret = widget->textCursor().position();
            widget->setPlainText(text);
            if (widget->hasFocus()) {
                QTextCursor cursor = widget->textCursor();
                cursor.setPosition(std::min(caret, widget->document()->characterCount() - 1));
                widget->setTextCursor(cursor);
            }
        }
    }}));
}

void Binders::Bind(QCheckBox* widget, CheckBox& state, Handler onClick)
{
    QObject::connect(widget, &QCheckBox::clicked, widget, [this, &state, onClick](bool checked) {
        if (showing_) {
            return;
        }
        state.Value = checked;
        Forward(onClick);
    });
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state] {
        ShowCommon(widget, state);
        widget->setText(ToQ(state.Caption));
        if (widget->isChecked() != state.Value) {
            widget->setChecked(state.Value);
        }
    }}));
}

void Binders::Bind(QAction* action, MenuItem& state, Handler onClick)
{
    QObject::connect(action, &QAction::triggered, action, [this, onClick] { Forward(onClick); });
    bindings_.push_back(std::make_unique<Binding>(Binding{[action, &state] {
        if (state.Caption.empty()) {
            action->setSeparator(true);
        } else {
            action->setText(ToQ(state.Caption));
        }
        action->setEnabled(state.Enabled);
        action->setVisible(state.Visible);
        action->setCheckable(state.Checked);
        action->setChecked(state.Checked);
    }}));
}

void Binders::Bind(QTreeWidget* widget, ListView& state, Handler onClick, Handler onCheck)
{
    widget->setRootIsDecorated(false);
    widget->setSelectionMode(QAbstractItemView::SingleSelection);
    widget->setSelectionBehavior(QAbstractItemView::SelectRows);
    widget->setUniformRowHeights(true);

    QObject::connect(widget, &QTreeWidget::itemSelectionChanged, widget, [this, widget, &state, onClick] {
        if (showing_) {
            return;
        }
        QTreeWidgetItem* item = widget->currentItem();
        if (item == nullptr || !item->isSelected()) {
            const QList<QTreeWidgetItem*> selected = widget->selectedItems();
            item = selected.isEmpty() ? nullptr : selected.front();
        }
        state.SelectedIndex = item == nullptr ? -1 : widget->indexOfTopLevelItem(item);
        Forward(onClick);
    });
    QObject::connect(widget, &QTreeWidget::itemChanged, widget, [this, widget, &state, onCheck](QTreeWidgetItem* item, int column) {
        if (showing_ || column != 0) {
            return;
        }
        const int row = widget->indexOfTopLevelItem(item);
        if (row < 0 || row >= static_cast<int>(state.Rows.size())) {
            return;
        }
        const bool checked = item->checkState(0) == Qt::Checked;
        if (state.Rows[static_cast<std::size_t>(row)].Checked != checked) {
            state.Rows[static_cast<std::size_t>(row)].Checked = checked;
            Forward(onCheck);
        }
    });

    // The columns as last set up, and which of them have been fitted to their texts: the widths
    // are the model's only when its columns change, so the user's widths survive each showing.
    struct Columns {
        std::vector<ListColumn> shown;
        std::vector<bool> fitted;
    };
    auto columnsShown = std::make_shared<Columns>();
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state, columnsShown] {
        ShowCommon(widget, state);
        const int columns = static_cast<int>(state.Columns.size());
        if (columnsShown->shown != state.Columns) {
            widget->setColumnCount(columns);
            QStringList headings;
            for (int c = 0; c < columns; ++c) {
                const ListColumn& column = state.Columns[static_cast<std::size_t>(c)];
                headings << ToQ(column.Text);
                widget->setColumnWidth(c, column.WidthTwips / 15);
            }
            widget->setHeaderLabels(headings);
            columnsShown->shown = state.Columns;
            columnsShown->fitted.assign(state.Columns.size(), false);
        }
        while (widget->topLevelItemCount() > static_cast<int>(state.Rows.size())) {
            delete widget->takeTopLevelItem(widget->topLevelItemCount() - 1);
        }
        for (std::size_t r = 0; r < state.Rows.size(); ++r) {
            const ListRow& row = state.Rows[r];
            QTreeWidgetItem* item = widget->topLevelItem(static_cast<int>(r));
            if (item == nullptr) {
                item = new QTreeWidgetItem(widget);
            }
            for (int c = 0; c < columns; ++c) {
                const QString text = c < static_cast<int>(row.Texts.size()) ? ToQ(row.Texts[static_cast<std::size_t>(c)]) : QString();
                if (item->text(c) != text) {
                    item->setText(c, text);
                }
                item->setTextAlignment(c, ToQt(state.Columns[static_cast<std::size_t>(c)].Alignment));
            }
            if (state.Checkboxes) {
                item->setFlags(item->flags() | Qt::ItemIsUserCheckable);
                const Qt::CheckState check = row.Checked ? Qt::Checked : Qt::Unchecked;
                if (item->data(0, Qt::CheckStateRole).isNull() || item->checkState(0) != check) {
                    item->setCheckState(0, check);
                }
            }
            const bool selected = static_cast<int>(r) == state.SelectedIndex;
            if (item->isSelected() != selected) {
                item->setSelected(selected);
            }
        }
        if (state.SelectedIndex >= 0 && state.SelectedIndex < widget->topLevelItemCount()) {
            widget->setCurrentItem(widget->topLevelItem(state.SelectedIndex));
        }
        for (int c = 0; c < columns && !state.Rows.empty(); ++c) {
            if (!state.Columns[static_cast<std::size_t>(c)].AutoSize ||
                columnsShown->fitted[static_cast<std::size_t>(c)]) {
                continue;
            }
            const int fit = std::max(static_cast<QAbstractItemView*>(widget)->sizeHintForColumn(c),
                                     widget->header()->sectionSizeHint(c));
            if (fit > widget->columnWidth(c)) {
                widget->setColumnWidth(c, fit);
            }
            columnsShown->fitted[static_cast<std::size_t>(c)] = true;
        }
    }}));
}

void Binders::Bind(QComboBox* widget, ComboBox& state, Handler onClick)
{
    widget->setEditable(state.Editable);
    if (state.Editable) {
        widget->setInsertPolicy(QComboBox::NoInsert);
        widget->setCompleter(nullptr);  // an inline completion would show more than the state holds
        QObject::connect(widget->lineEdit(), &QLineEdit::textEdited, widget, [this, &state](const QString& text) {
            if (showing_) {
                return;
            }
            state.Text = FromQ(text);
            const auto it = std::find(state.Items.begin(), state.Items.end(), state.Text);
            state.ListIndex = it == state.Items.end() ? -1 : static_cast<int>(it - state.Items.begin());
        });
    }
    QObject::connect(widget, &QComboBox::activated, widget, [this, &state, onClick](int index) {
        if (showing_) {
            return;
        }
        state.Select(index);
        Forward(onClick);
    });
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state] {
        ShowCommon(widget, state);
        bool same = widget->count() == state.ListCount();
        for (int i = 0; same && i < state.ListCount(); ++i) {
            same = widget->itemText(i) == ToQ(state.Items[static_cast<std::size_t>(i)]);
        }
        if (!same) {
            widget->clear();
            for (const std::string& item : state.Items) {
                widget->addItem(ToQ(item));
            }
        }
        const int index = state.ListIndex < state.ListCount() ? state.ListIndex : -1;
        if (widget->currentIndex() != index) {
            widget->setCurrentIndex(index);
        }
        if (widget->isEditable()) {
            const QString text = ToQ(state.Text);
            if (widget->currentText() != text) {
                widget->setEditText(text);
            }
        }
    }}));
}

void Binders::Bind(QListView* widget, VirtualListBox& state, Handler onClick) {
    auto* rows = new VirtualRows(state, widget);
    widget->setModel(rows);
    widget->setUniformItemSizes(true);  // the view measures one row, not a million
    widget->setSelectionMode(QAbstractItemView::SingleSelection);
    widget->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QObject::connect(widget->selectionModel(), &QItemSelectionModel::currentChanged, widget,
                     [this, &state, onClick](const QModelIndex& current) {
                         if (showing_) {
                             return;
                         }
                         state.ListIndex = current.isValid() ? current.row() : -1;
                         Forward(onClick);
                     });
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, rows, &state] {
        ShowCommon(widget, state);
        const bool replaced = rows->Sync();
        const int row = state.ListIndex < state.ListCount() ? state.ListIndex : -1;
        const QModelIndex current = widget->currentIndex();
        if (replaced || (current.isValid() ? current.row() : -1) != row) {
            if (row < 0) {
                widget->selectionModel()->clear();
            } else {
                const QModelIndex index = rows->index(row);
                widget->selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
                widget->scrollTo(index);
            }
        }
    }}));
}

void Binders::Bind(QListWidget* widget, ListBox& state, Handler onClick)
{
    QObject::connect(widget, &QListWidget::itemSelectionChanged, widget, [this, widget, &state, onClick] {
        if (showing_) {
            return;
        }
        for (int i = 0; i < state.ListCount() && i < widget->count(); ++i) {
            state.SetSelected(i, widget->item(i)->isSelected());
        }
        state.ListIndex = widget->currentRow();
        Forward(onClick);
    });
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state] {
        ShowCommon(widget, state);
        const auto mode = state.MultiSelect ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection;
        if (widget->selectionMode() != mode) {
            widget->setSelectionMode(mode);
        }
        while (widget->count() > state.ListCount()) {
            delete widget->takeItem(widget->count() - 1);
        }
        for (int i = 0; i < state.ListCount(); ++i) {
            QListWidgetItem* item = widget->item(i);
            if (item == nullptr) {
                item = new QListWidgetItem(widget);
            }
            const QString text = ToQ(state.Items[static_cast<std::size_t>(i)]);
            if (item->text() != text) {
                item->setText(text);
            }
        }
        if (widget->currentRow() != state.ListIndex) {
            widget->setCurrentRow(state.ListIndex, QItemSelectionModel::NoUpdate);
        }
        for (int i = 0; i < state.ListCount(); ++i) {
            const bool selected = state.MultiSelect ? state.IsSelected(i) : i == state.ListIndex;
            if (widget->item(i)->isSelected() != selected) {
                widget->item(i)->setSelected(selected);
            }
        }
    }}));
}

namespace {

// A caption with access keys as a clickable label shows it: "&x" underlines x, "&&" is one "&".
QString WithAccessKeys(const QString& caption) {
    QString html;
    for (qsizetype i = 0; i < caption.size(); ++i) {
        if (caption[i] == QLatin1Char('&') && i + 1 < caption.size()) {
            ++i;
            const QString next = QString(caption[i]).toHtmlEscaped();
            html += caption[i] == QLatin1Char('&') ? next : QStringLiteral("<u>") + next + QStringLiteral("</u>");
        } else {
            html += QString(caption[i]).toHtmlEscaped();
        }
    }
    return html;
}

}  // namespace

void Binders::Bind(QLabel* widget, Label& state, Handler onClick) {
    widget->setTextFormat(Qt::RichText);
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state] {
        ShowCommon(widget, state);
        const QString caption = WithAccessKeys(ToQ(state.Caption));
        if (widget->text() != caption) {
            widget->setText(caption);
        }
    }}));
    widget->installEventFilter(new ClickFilter(widget, [this, widget, onClick] {
        if (widget->isEnabled()) {
            Forward(onClick);
        }
    }));
}

void Binders::Bind(QSlider* widget, Slider& state, Handler onScroll) {
    // The newest position waits here until the event loop runs the handler once for it.
    auto pending = std::make_shared<bool>(false);
    QObject::connect(widget, &QSlider::valueChanged, widget, [this, widget, &state, onScroll, pending](int) {
        if (showing_ || *pending) {
            return;
        }
        *pending = true;
        QTimer::singleShot(0, widget, [this, widget, &state, onScroll, pending] {
            *pending = false;
            if (widget->value() == state.Value) {
                return;
            }
            state.Value = widget->value();
            Forward(onScroll);
        });
    });
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state, pending] {
        ShowRange(widget, state);
        // A thumb the user holds, or a move on its way to the handler, stays where the user put it.
        if (widget->value() != state.Value && !widget->isSliderDown() && !*pending) {
            widget->setValue(state.Value);
        }
    }}));
}

void Binders::Bind(QScrollBar* widget, ScrollBar& state, Handler onChange) {
    widget->setTracking(false);
    QObject::connect(widget, &QScrollBar::valueChanged, widget, [this, &state, onChange](int value) {
        if (showing_ || value == state.Value) {
            return;
        }
        state.Value = value;
        Forward(onChange);
    });
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state] {
        ShowRange(widget, state);
        if (widget->value() != state.Value) {
            widget->setValue(state.Value);
        }
    }}));
}

void Binders::Bind(const std::vector<QRadioButton*>& widgets, OptionGroup& state, std::function<void(int)> onClick) {
    for (std::size_t i = 0; i < widgets.size(); ++i) {
        QRadioButton* widget = widgets[i];
        const int index = static_cast<int>(i);
        // The group's state decides which one is chosen, not the buttons' own exclusivity.
        widget->setAutoExclusive(false);
        QObject::connect(widget, &QRadioButton::clicked, widget, [this, &state, onClick, index] {
            if (showing_ || index >= state.Count()) {
                return;
            }
            state.Select(index);
            Forward(onClick ? Handler([onClick, index] { onClick(index); }) : Handler([] {}));
        });
        bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state, index] {
            if (index >= state.Count()) {
                widget->setVisible(false);
                return;
            }
            const OptionButton& button = state[index];
            ControlState shown = button;
            shown.Visible = button.Visible && state.Visible;
            shown.Enabled = button.Enabled && state.Enabled;
            ShowCommon(widget, shown);
            const QString caption = ToQ(button.Caption);
            if (widget->text() != caption) {
                widget->setText(caption);
            }
            QString sheet = ColorSheet(button.ForeColor, button.BackColor);
            if (button.BackColor) {
                // On its own background the button's mark is hard to see: the chosen one is framed in black,
                // the others in their background's colour, so nothing moves when the choice does.
                const ControlColor& back = *button.BackColor;
                sheet = QStringLiteral("QRadioButton { %1 border: 2px solid rgb(%2, %3, %4); }"
                                       " QRadioButton:checked { border-color: rgb(0, 0, 0); }")
                            .arg(sheet)
                            .arg(back.Red)
                            .arg(back.Green)
                            .arg(back.Blue);
            }
            if (widget->styleSheet() != sheet) {
                widget->setStyleSheet(sheet);
            }
            if (widget->isChecked() != button.Value) {
                widget->setChecked(button.Value);
            }
        }}));
    }
}

void Binders::Bind(QTabWidget* widget, TabStrip& state, Handler onClick) {
    QObject::connect(widget, &QTabWidget::currentChanged, widget, [this, &state, onClick](int index) {
        if (showing_ || index < 0 || index == state.Tab) {
            return;
        }
        state.Tab = index;
        Forward(onClick);
    });
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state] {
        ShowCommon(widget, state);
        for (int i = 0; i < widget->count() && i < static_cast<int>(state.Captions.size()); ++i) {
            const QString caption = ToQ(state.Captions[static_cast<std::size_t>(i)]);
            if (widget->tabText(i) != caption) {
                widget->setTabText(i, caption);
            }
        }
        if (state.Tab >= 0 && state.Tab < widget->count() && widget->currentIndex() != state.Tab) {
            widget->setCurrentIndex(state.Tab);
        }
    }}));
}

void Binders::Bind(LevelChartWidget* widget, LevelChartModel& state,
                   std::function<void(const ChartMouseEvent&)> onMouse) {
    widget->SetModel(&state);
    if (onMouse) {
        widget->SetMouseHandler(
            [this, onMouse = std::move(onMouse)](const ChartMouseEvent& e) { Forward([&] { onMouse(e); }); });
    }
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state] {
        ShowCommon(widget, state);
        widget->Sync();
    }}));
}

void Binders::Bind(BandBarChartWidget* widget, BandBarChartModel& state) {
    widget->SetModel(&state);
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state] {
        ShowCommon(widget, state);
        widget->Sync();
    }}));
}

void Binders::Bind(PositionStripWidget* widget, PositionStrip& state,
                   std::function<void(int, double, double)> onMouseUp) {
    widget->SetModel(&state);
    widget->SetMouseUp([this, onMouseUp](int button, double x, double y) {
        if (onMouseUp) {
            Forward([&] { onMouseUp(button, x, y); });
        }
    });
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state] {
        ShowCommon(widget, state);
        widget->Sync();
    }}));
}

void Binders::Bind(BandLabelGridWidget* widget, BandLabelGrid& state) {
    bindings_.push_back(std::make_unique<Binding>(Binding{[widget, &state] { ShowCommon(widget, state); }}));
    Bind(widget->FName(), state.FName);
    Bind(widget->FValue(), state.FValue);
    Bind(widget->WName(), state.WName);
    Bind(widget->WValue(), state.WValue);
    for (int k = 0; k < BandLabelGrid::kCells; ++k) {
        Bind(widget->Name(k), state.Names[static_cast<std::size_t>(k)]);
        Bind(widget->Value(k), state.Values[static_cast<std::size_t>(k)]);
    }
}

}  // namespace murtesk::platform::qt
