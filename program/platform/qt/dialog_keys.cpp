#include "dialog_keys.h"

#include <QLineEdit>

namespace murtesk::platform::qt {

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
