// The keyboard of a dialog window: Enter and Esc press the dialog's buttons, and the focus the form
// model asks for is given (a text box's select-all on focus is in binders.h).
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace murtesk::platform::qt {

// Enter (either key) runs onEnter (unless it is empty) and Esc runs onEscape anywhere in window;
// after runs after each (it shows the views again).
void BindEnterAndEscape(QWidget* window, std::function<void()> onEnter, std::function<void()> onEscape,
                        std::function<void()> after);

// Gives the focus to the widget that `find` gives for the name in `control` (selecting its whole
// text when selectAll is set and it is a line edit), then clears both requests. Nothing when
// control is empty.
void ApplyFocusRequest(std::string& control, bool& selectAll, const std::function<QWidget*(const std::string&)>& find);

}  // namespace murtesk::platform::qt
