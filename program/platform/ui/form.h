// Base of every form model: the form's name, caption and visibility, and the handlers the
// form runtime of UiServices calls. A form model never includes a toolkit; its view does.
#pragma once

#include "ui_services.h"

#include <string>

namespace murtesk::platform {

inline constexpr int kShiftMask = 1;
inline constexpr int kCtrlMask = 2;
inline constexpr int kAltMask = 4;

class Form {
public:
    Form(UiServices& ui, std::string name) : ui_(ui), name_(std::move(name)) {}
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;
    virtual ~Form() = default;

    const std::string& Name() const { return name_; }
    UiServices& Ui() const { return ui_; }

    std::string Caption;
    bool Visible = false;
    // While set, the form sees every typed character in Form_KeyPress before the control that has
    // the focus; a handler that sets KeyAscii to 0 keeps it from the control.
    bool KeyPreview = false;

    // A focus request: at its next showing the view gives the named control the focus (and
    // selects its whole text when asked), then clears the request.
    void SetFocus(const std::string& control, bool selectAll = false) {
        FocusedControl = control;
        FocusSelectsAll = selectAll;
    }
    std::string FocusedControl;
    bool FocusSelectsAll = false;

    virtual void Form_Load() {}
    virtual void Form_Activate() {}
    // Set cancel to keep the form loaded.
    virtual void Form_QueryUnload(bool& cancel, UnloadMode mode)
    {
        (void)cancel;
        (void)mode;
    }
    virtual void Form_Unload(bool& cancel) { (void)cancel; }
    virtual void Form_KeyPress(int& KeyAscii) { (void)KeyAscii; }
    // With KeyPreview, every key released in the form: KeyCode is the key ('A' .. 'Z' for the
    // letters, whatever the case typed), Shift the modifiers held (kShiftMask, kCtrlMask,
    // kAltMask). A handler that sets KeyCode to 0 keeps the release from the control.
    virtual void Form_KeyUp(int& KeyCode, int Shift)
    {
        (void)KeyCode;
        (void)Shift;
    }

protected:
    UiServices& ui_;

private:
    std::string name_;
};

}  // namespace murtesk::platform
