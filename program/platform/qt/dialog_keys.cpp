#include "dialog_keys.h"

#include <QEvent>
#include <QLineEdit>
#include <QShortcut>
#include <QTimer>

namespace murtesk::platform::qt {

namespace {

class SelectAllFilter : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::FocusIn) {
            auto* edit = static_cast<QLineEdit*>(watched);
            // After the focus has settled: a mouse press would otherwise place the cursor again.
            QTimer::singleShot(0, edit, [edit] { edit->selectAll(); });
        }
        return QObject::eventFilter(watched, event);
    }
};

}  // namespace

void BindEnterAndEscape(QWidget* window, std::function<void()> onEnter, std::function<void()> onEscape,
                        std::function<void()> after)
{
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

void SelectAllOnFocus(QLineEdit* edit)
{
    edit->installEventFilter(new SelectAllFilter(edit));
}

void ApplyFocusRequest(std::string& control, bool& selectAll, const std::function<QWidget*(const std::string&)>& find)
{
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
