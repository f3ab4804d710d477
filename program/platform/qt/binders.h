// Generic binders: each ties one control state of a form model to one Qt widget. Show()
// writes the state into the widget; the user's edits are written back into the state at once,
// and the user's clicks run the form's handler, after which every view is shown again.
// Changes made while showing never count as the user's.
#pragma once

#include "controls.h"

#include <QIcon>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QListView;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QSlider;
class QTabWidget;
class QTreeWidget;
class QWidget;

namespace murtesk::platform {
class BandBarChartModel;
class LevelChartModel;
struct BandLabelGrid;
struct ChartMouseEvent;
struct PositionStrip;
}  // namespace murtesk::platform

namespace murtesk::platform::qt {

class BandBarChartWidget;
class BandLabelGridWidget;
class LevelChartWidget;
class PositionStripWidget;

// The picture of one of the program's own icons (kIconList, kIconBars); a null icon for another.
QIcon ProgramIcon(std::int32_t picture);

// Selects the whole text of a box whenever it gets the focus.
void SelectAllOnFocus(QLineEdit* edit);
// A list of whole numbers (minutes, seconds…) chooses the number typed: digits typed in quick
// succession make one number ("4" is 4 and "4", "5" is 45, never the next entry that starts with 4), a
// digit that would make a number the list lacks starts a new one. Closed, the list chooses the entry as
// a click on it would; open, it marks it for Enter.
void SelectTypedNumber(QComboBox* combo);

inline QString ToQ(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string FromQ(const QString& s) { return s.toUtf8().toStdString(); }

class Binders {
public:
    using Handler = std::function<void()>;

    // Told when a handler ran out of memory or could not start a thread; the command ends there.
    using FailureReport = std::function<void(const std::string& message)>;

    // afterHandler runs after every forwarded user event (the views are shown again), also after a
    // handler that failed (the message then comes first, through `failure`).
    explicit Binders(Handler afterHandler, FailureReport failure = {});
    ~Binders();

    void Bind(QPushButton* widget, CommandButton& state, Handler onClick);
    // A widget that only shows or hides (and is enabled and tipped) by its state; onShow runs after
    // the state was shown, for a view to fill the widget.
    void Bind(QWidget* widget, ControlState& state, Handler onShow = {});
    void Bind(QLabel* widget, Label& state);
    // A label that runs onClick when the user clicks it with the left button; "&x" in its caption
    // underlines x, as a command's access key.
    void Bind(QLabel* widget, Label& state, Handler onClick);
    void Bind(QLineEdit* widget, TextBox& state, Handler onChange = {});
    // A multi-line box: Tab and Shift+Tab move the focus, as in every other box, never typing a TAB.
    // onLeave runs once the user has moved the focus to another control of the window (by key or
    // mouse), not when a menu opens or another window comes up. A lone surrogate of its text goes into
    // the state in its three-byte form (ED A0 80 for U+D800), which the box shows as the surrogate again.
    void Bind(QPlainTextEdit* widget, TextBox& state, Handler onChange = {}, Handler onLeave = {});
    void Bind(QCheckBox* widget, CheckBox& state, Handler onClick = {});
    void Bind(QAction* action, MenuItem& state, Handler onClick);
    // onClick runs when the user selects a row; onCheck when the user ticks a row's box.
    void Bind(QTreeWidget* widget, ListView& state, Handler onClick = {}, Handler onCheck = {});
    // onClick runs when the user chooses an entry. An editable box writes the user's typing into
    // the state as it goes (without running onClick).
    void Bind(QComboBox* widget, ComboBox& state, Handler onClick = {});
    // onClick runs when the user changes the selection (or, with one selection, the current entry).
    void Bind(QListWidget* widget, ListBox& state, Handler onClick = {});
    // The rows are asked of the state only as the view shows them; onClick runs when the user
    // selects a row.
    void Bind(QListView* widget, VirtualListBox& state, Handler onClick = {});

    // onChange runs when the user moves the bar (a change made in code never runs it); the value
    // reaches the state when the user lets the thumb go, as a bar's Change event does.
    void Bind(QScrollBar* widget, ScrollBar& state, Handler onChange);
    // onScroll runs when the user moves the thumb (by mouse or keys), with Value already the thumb's
    // position. Moves that come while events wait are taken together: the handler runs once, for
    // the newest position.
    void Bind(QSlider* widget, Slider& state, Handler onScroll);
    // One widget per button of the group, in index order; onClick(index) runs when the user
    // chooses a button.
    void Bind(const std::vector<QRadioButton*>& widgets, OptionGroup& state, std::function<void(int)> onClick = {});
    // onClick runs when the user turns to another page.
    void Bind(QTabWidget* widget, TabStrip& state, Handler onClick = {});
    // The chart shows the model's state: drawn again when it changed, the cursor alone when only it moved.
    // onMouse runs for each mouse event on the chart (press, move, click, release in its pixels).
    void Bind(LevelChartWidget* widget, LevelChartModel& state,
              std::function<void(const ChartMouseEvent&)> onMouse = {});
    void Bind(BandBarChartWidget* widget, BandBarChartModel& state);
    // Each label of the grid to its widget.
    void Bind(BandLabelGridWidget* widget, BandLabelGrid& state);
    // onMouseUp(button, x, y) runs when the user releases a mouse button over the strip (in its scale).
    void Bind(PositionStripWidget* widget, PositionStrip& state, std::function<void(int, double, double)> onMouseUp);

    void ShowAll();
    // The form was unloaded: the widgets' events reach it no more.
    void Retire() { retired_ = true; }

private:
    struct Binding;
    void Forward(const Handler& handler);

    Handler afterHandler_;
    FailureReport failure_;
    std::vector<std::unique_ptr<Binding>> bindings_;
    bool showing_ = false;
    bool retired_ = false;
};

}  // namespace murtesk::platform::qt
