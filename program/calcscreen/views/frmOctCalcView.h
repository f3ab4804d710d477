// Qt view of the calculation screen.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

class QPushButton;

namespace murtesk {

class frmOctCalc;

class frmOctCalcView : public platform::qt::FormView {
public:
    frmOctCalcView(frmOctCalc& form, platform::qt::QtUi& ui);

    QPushButton* cmdREC = nullptr;
};

}  // namespace murtesk
