// Qt view of the date input dialog.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

namespace murtesk {

class frmInputDate;

class frmInputDateView : public platform::qt::FormView {
public:
    frmInputDateView(frmInputDate& form, platform::qt::QtUi& ui);
};

}  // namespace murtesk
