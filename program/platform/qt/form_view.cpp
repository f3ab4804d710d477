#include "form_view.h"

#include "dialog_keys.h"
#include "qt_ui.h"

#include <QApplication>
#include <QCloseEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPushButton>
#include <QScreen>

namespace murtesk::platform::qt {

// The frame's close box asks the form runtime; the runtime hides the widget when the form unloads.
class FormView::CloseFilter : public QObject {
public:
    CloseFilter(Form& form, QtUi& ui) : form_(form), ui_(ui) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Close) {
            event->ignore();
            ui_.Unload(form_, UnloadMode::FormControlMenu);
            ui_.RefreshAll();
            return true;
        }
        return QObject::eventFilter(watched, event);
    }

private:
    Form& form_;
    QtUi& ui_;
};

// The form's key preview: a character typed into any widget of the form's window reaches
// Form_KeyPress first, while the form asks for it. Seen by the application, once per key, when the
// widget with the focus (or the window itself) receives it.
class FormView::KeyFilter : public QObject {
public:
    KeyFilter(Form& form, QtUi& ui, QWidget* window) : form_(form), ui_(ui), window_(window) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        const bool press = event->type() == QEvent::KeyPress;
        if ((!press && event->type() != QEvent::KeyRelease) || !form_.KeyPreview || !watched->isWidgetType()) {
            return false;
        }
        auto* widget = static_cast<QWidget*>(watched);
        QWidget* focus = QApplication::focusWidget();
        if (widget->window() != window_ || (focus != nullptr ? widget != focus : widget != window_)) {
            return false;
        }
        auto* key = static_cast<QKeyEvent*>(event);
        if (!press) return KeyUp(*key);
        if (!key->isAutoRepeat()) heldAtPress_[key->key()] = Modifiers(key->modifiers());
        // A letter typed with Alt is the form's key to take on its release, never a mnemonic.
        if ((key->modifiers() & Qt::AltModifier) != 0 && key->key() >= Qt::Key_A && key->key() <= Qt::Key_Z) {
            return false;
        }
        const QString text = key->text();
        if (text.size() != 1 || text[0].unicode() < 0x20 || text[0].unicode() >= 0x7F) {
            return false;
        }
        int keyAscii = text[0].unicode();
        form_.Form_KeyPress(keyAscii);
        ui_.RefreshAll();
        return keyAscii == 0;
    }

    static int Modifiers(Qt::KeyboardModifiers held) {
        return ((held & Qt::ShiftModifier) != 0 ? kShiftMask : 0) |
               ((held & Qt::ControlModifier) != 0 ? kCtrlMask : 0) | ((held & Qt::AltModifier) != 0 ? kAltMask : 0);
    }

    // The release of a key to the form's key preview, letters as 'A' .. 'Z', with the modifiers held
    // now or when the key went down: Alt+A is the chord even when Alt comes up first.
    bool KeyUp(const QKeyEvent& key) {
        if (key.isAutoRepeat()) return false;
        int keyCode = key.key();
        int shift = Modifiers(key.modifiers());
        if (const auto it = heldAtPress_.find(keyCode); it != heldAtPress_.end()) {
            shift |= it->second;
            heldAtPress_.erase(it);
        }
        if (keyCode <= 0 || keyCode > 0xFFFF) return false;
        form_.Form_KeyUp(keyCode, shift);
        ui_.RefreshAll();
        return keyCode == 0;
    }

private:
    Form& form_;
    QtUi& ui_;
    QWidget* window_;
    // The modifiers held when each key now down was pressed.
    std::map<int, int> heldAtPress_;
};

FormView::FormView(Form& form, QtUi& ui, std::unique_ptr<QWidget> widget)
    : form_(form),
      ui_(ui),
      widget_(std::move(widget)),
      closeFilter_(std::make_unique<CloseFilter>(form, ui)),
      keyFilter_(std::make_unique<KeyFilter>(form, ui, widget_.get())),
      binders_([&ui] { ui.RefreshAll(); },
               [&ui](const std::string& message) { ui.MsgBox(message, MsgButtons::OK, MsgIcon::Critical); }) {
    widget_->installEventFilter(closeFilter_.get());
    widget_->setObjectName(ToQ(form.Name()));
    QApplication::instance()->installEventFilter(keyFilter_.get());
}

FormView::~FormView()
{
    if (QCoreApplication* app = QApplication::instance()) {
        app->removeEventFilter(keyFilter_.get());
    }
    widget_->removeEventFilter(closeFilter_.get());
}

void FormView::Refresh()
{
    const QString caption = ToQ(form_.Caption);
    if (widget_->windowTitle() != caption) {
        widget_->setWindowTitle(caption);
    }
    binders_.ShowAll();
    OnRefresh();
    ApplyFocusRequest(form_.FocusedControl, form_.FocusSelectsAll,
                      [this](const std::string& name) { return Control(name); });
}

void FormView::Retire() {
    binders_.Retire();
    if (QCoreApplication* app = QApplication::instance()) {
        app->removeEventFilter(keyFilter_.get());
    }
    widget_->removeEventFilter(closeFilter_.get());
}

QWidget* FormView::Control(const std::string& name) const {
    const auto it = controls_.find(name);
    return it == controls_.end() ? nullptr : it->second;
}

void FormView::NameControl(const std::string& name, QWidget* widget) {
    controls_[name] = widget;
    widget->setObjectName(ToQ(name));
}

std::pair<QPushButton*, QPushButton*> FormView::AddDialogButtons(QBoxLayout* layout, CommandButton& ok,
                                                                 std::function<void()> onOk, CommandButton& cancel,
                                                                 std::function<void()> onCancel) {
    auto* row = new QHBoxLayout();
    auto* okButton = new QPushButton(widget_.get());
    binders_.Bind(okButton, ok, std::move(onOk));
    NameControl("cmdOK", okButton);
    auto* cancelButton = new QPushButton(widget_.get());
    binders_.Bind(cancelButton, cancel, std::move(onCancel));
    NameControl("cmdCancel", cancelButton);
    row->addStretch(1);
    row->addWidget(okButton);
    row->addWidget(cancelButton);
    layout->addLayout(row);
    for (QPushButton* button : {okButton, cancelButton}) {
        button->setAutoDefault(false);
    }
    okButton->setDefault(true);
    if (auto* dialog = dynamic_cast<FormDialog*>(widget_.get())) {
        dialog->SetCancelButton(cancelButton);
    }
    return {okButton, cancelButton};
}

FormDialog::FormDialog(Qt::WindowFlags flags) : QDialog(nullptr, flags) {}

void FormDialog::reject() {
    if (cancel_ && cancel_->isVisible() && cancel_->isEnabled()) {
        cancel_->click();
    }
}

void CenterOnScreen(QWidget* widget)
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr) {
        return;
    }
    const QRect area = screen->availableGeometry();
    widget->move(area.center() - QPoint(widget->width() / 2, widget->height() / 2));
}

}  // namespace murtesk::platform::qt
