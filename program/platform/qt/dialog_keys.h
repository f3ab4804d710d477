// The focus a dialog's form model asks for (a text box's select-all on focus is in binders.h; Enter and
// Esc are the dialog window's, FormDialog in form_view.h).
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace murtesk::platform::qt {

// Gives the focus to the widget that `find` gives for the name in `control` (selecting its whole
// text when selectAll is set and it is a line edit or an editable list), then clears both
// requests. Nothing when control is empty. Form views do it for the form's own request.
void ApplyFocusRequest(std::string& control, bool& selectAll, const std::function<QWidget*(const std::string&)>& find);

}  // namespace murtesk::platform::qt
