// Base of every window's Qt view: owns the top-level widget, the binders of its controls,
// forwards the frame close to the form runtime, and shows the form's state on Refresh.
#pragma once

#include "binders.h"
#include "form.h"

#include <QDialog>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <memory>

namespace murtesk::platform::qt {

class QtUi;

class FormView {
public:
    FormView(Form& form, QtUi& ui, std::unique_ptr<QWidget> widget);
    virtual ~FormView();
    FormView(const FormView&) = delete;
    FormView& operator=(const FormView&) = delete;

    QWidget* Widget() const { return widget_.get(); }
    Form& Model() const { return form_; }
    // The form's caption and every bound control, as the model holds them now.
    void Refresh();

protected:
    Binders& Bind() { return binders_; }
    virtual void OnRefresh() {}

private:
    class CloseFilter;

    Form& form_;
    QtUi& ui_;
    std::unique_ptr<QWidget> widget_;
    std::unique_ptr<CloseFilter> closeFilter_;
    Binders binders_;
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
