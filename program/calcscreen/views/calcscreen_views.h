// The Qt views of the calculation screen's windows, and their registration with the Qt services.
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

void RegisterCalcScreenViews(platform::qt::QtUi& ui);

}  // namespace murtesk
