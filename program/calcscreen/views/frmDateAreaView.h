// Qt view of the date-range dialog.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

namespace murtesk {

class frmDateArea;

class frmDateAreaView : public platform::qt::FormView {
public:
    frmDateAreaView(frmDateArea& form, platform::qt::QtUi& ui);
};

}  // namespace murtesk
