// Generic binders: each ties one control state of a form model to one Qt widget. Show()
// writes the state into the widget; the user's edits are written back into the state at once,
// and the user's clicks run the form's handler, after which every view is shown again.
// Changes made while showing never count as the user's.
#pragma once

#include "controls.h"

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
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QTreeWidget;
class QWidget;

namespace murtesk::platform::qt {

inline QString ToQ(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
inline std::string FromQ(const QString& s) { return s.toUtf8().toStdString(); }

class Binders {
public:
    using Handler = std::function<void()>;

    // afterHandler runs after every forwarded user event (the views are shown again).
    explicit Binders(Handler afterHandler);
    ~Binders();

    void Bind(QPushButton* widget, CommandButton& state, Handler onClick);
    void Bind(QLabel* widget, Label& state);
    void Bind(QLineEdit* widget, TextBox& state, Handler onChange = {});
    void Bind(QPlainTextEdit* widget, TextBox& state, Handler onChange = {});
    void Bind(QCheckBox* widget, CheckBox& state, Handler onClick = {});
    void Bind(QAction* action, MenuItem& state, Handler onClick);
    // onClick runs when the user selects a row; onCheck when the user ticks a row's box.
    void Bind(QTreeWidget* widget, ListView& state, Handler onClick = {}, Handler onCheck = {});
    // onClick runs when the user chooses an entry.
    void Bind(QComboBox* widget, ComboBox& state, Handler onClick = {});
    // onClick runs when the user changes the selection (or, with one selection, the current entry).
    void Bind(QListWidget* widget, ListBox& state, Handler onClick = {});

    void ShowAll();
    bool Showing() const { return showing_; }

private:
    struct Binding;
    void Forward(const Handler& handler);

    Handler afterHandler_;
    std::vector<std::unique_ptr<Binding>> bindings_;
    bool showing_ = false;
};

}  // namespace murtesk::platform::qt
