// Base of every window's Qt view: owns the top-level widget (named as the form), the binders of
// its controls, forwards the frame close to the form runtime and typed characters to the form's
// key preview, and shows the form's state on Refresh.
#pragma once

#include "binders.h"
#include "form.h"

#include <QDialog>
#include <QPointer>
#include <QPushButton>
#include <QDialog>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

class QBoxLayout;

namespace murtesk::platform::qt {

class QtUi;

class FormView {
public:
    FormView(Form& form, QtUi& ui, std::unique_ptr<QWidget> widget);
    virtual ~FormView();
    FormView(const FormView&) = delete;
    FormView& operator=(const FormView&) = delete;

    QWidget* Widget() const { return widget_.get(); }
    // The form's caption and every bound control, as the model holds them now; then the form's
    // focus request, if any.
    void Refresh();
    // The form was unloaded: the view hears nothing more for it (it goes later, see QtUi::DestroyView).
    void Retire();
    // The widget of a control by its name (for focus requests, tests and pictures); null when unknown.
    QWidget* Control(const std::string& name) const;

protected:
    Binders& Bind() { return binders_; }
    virtual void OnRefresh() {}
    // Names a control's widget: the form's focus requests find it, and so do tests (it becomes the
    // widget's object name).
    void NameControl(const std::string& name, QWidget* widget);
    // A dialog's OK and Cancel buttons ("cmdOK", "cmdCancel") in a row at the right of `layout`,
    // bound to the form's states; OK is the default button and, in a FormDialog, Cancel the cancel button.
    std::pair<QPushButton*, QPushButton*> AddDialogButtons(QBoxLayout* layout, CommandButton& ok,
                                                           std::function<void()> onOk, CommandButton& cancel,
                                                           std::function<void()> onCancel);

private:
    class CloseFilter;
    class KeyFilter;

    Form& form_;
    QtUi& ui_;
    std::unique_ptr<QWidget> widget_;
    std::unique_ptr<CloseFilter> closeFilter_;
    std::unique_ptr<KeyFilter> keyFilter_;
    Binders binders_;
    std::map<std::string, QWidget*> controls_;
};

// The window of a dialog form. Enter presses the default button and Esc the cancel button, as Qt
// dialogs do: the key reaches the dialog only when the control that has the focus leaves it alone,
// so an open drop-down list keeps its Enter and Esc. Closing goes through the form runtime.
class FormDialog : public QDialog {
public:
    explicit FormDialog(Qt::WindowFlags flags = {});
    // The button Esc presses (null: none); the default button is the QPushButton marked default.
    void SetCancelButton(QPushButton* button) { cancel_ = button; }

protected:
    void reject() override;

private:
    QPointer<QPushButton> cancel_;
};

// Puts a top-level window in the middle of the screen.
void CenterOnScreen(QWidget* widget);

}  // namespace murtesk::platform::qt
