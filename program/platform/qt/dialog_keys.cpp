#include "dialog_keys.h"

#include <QComboBox>
#include <QEvent>
#include <QKeyEvent>
#include <QLineEdit>

namespace murtesk::platform::qt {

namespace {

// Enter and Esc that reach the window because no control took them (an open list's popup takes
// them to close itself, as a multi-line box takes Enter), as a dialog's default and cancel
// buttons get them.
class EnterAndEscape : public QObject {
public:
    EnterAndEscape(std::function<void()> onEnter, std::function<void()> onEscape, std::function<void()> after,
                   QObject* parent)
        : QObject(parent), onEnter_(std::move(onEnter)), onEscape_(std::move(onEscape)), after_(std::move(after)) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            const std::function<void()>& action = key == Qt::Key_Return || key == Qt::Key_Enter ? onEnter_
                                                  : key == Qt::Key_Escape                       ? onEscape_
                                                                                                : none_;
            if (action) {
                action();
                if (after_) {
                    after_();
                }
                return true;
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> onEnter_;
    std::function<void()> onEscape_;
    std::function<void()> after_;
    const std::function<void()> none_;
};

}  // namespace

void BindEnterAndEscape(QWidget* window, std::function<void()> onEnter, std::function<void()> onEscape,
                        std::function<void()> after) {
    window->installEventFilter(new EnterAndEscape(std::move(onEnter), std::move(onEscape), std::move(after), window));
}

void ApplyFocusRequest(std::string& control, bool& selectAll, const std::function<QWidget*(const std::string&)>& find) {
    if (control.empty()) {
        return;
    }
    if (QWidget* widget = find(control)) {
        widget->setFocus(Qt::OtherFocusReason);
        QLineEdit* edit = qobject_cast<QLineEdit*>(widget);
        if (auto* combo = qobject_cast<QComboBox*>(widget)) {
            edit = combo->lineEdit();
        }
        if (edit != nullptr && selectAll) {
            edit->selectAll();
        }
    }
    control.clear();
    selectAll = false;
}

}  // namespace murtesk::platform::qt
