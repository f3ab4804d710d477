#include "dialog_keys.h"

#include <QLineEdit>
#include <QShortcut>

namespace murtesk::platform::qt {

void BindEnterAndEscape(QWidget* window, std::function<void()> onEnter, std::function<void()> onEscape,
                        std::function<void()> after) {
    if (onEnter) {
        for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
            QObject::connect(new QShortcut(QKeySequence(key), window), &QShortcut::activated, window, [onEnter, after] {
                onEnter();
                after();
            });
        }
    }
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), window);
    QObject::connect(escape, &QShortcut::activated, window, [onEscape = std::move(onEscape), after] {
        onEscape();
        after();
    });
}

void ApplyFocusRequest(std::string& control, bool& selectAll, const std::function<QWidget*(const std::string&)>& find) {
    if (control.empty()) {
        return;
    }
    if (QWidget* widget = find(control)) {
        widget->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(widget); edit != nullptr && selectAll) {
            edit->selectAll();
        }
    }
    control.clear();
    selectAll = false;
}

}  // namespace murtesk::platform::qt
