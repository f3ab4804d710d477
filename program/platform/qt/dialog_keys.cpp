#include "dialog_keys.h"

#include <QComboBox>
#include <QLineEdit>

namespace murtesk::platform::qt {

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
