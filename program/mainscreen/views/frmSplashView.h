// Qt view of the splash window.
#pragma once

#include "form_view.h"
#include "qt_ui.h"

namespace murtesk {

class frmSplash;

class frmSplashView : public platform::qt::FormView {
public:
    frmSplashView(frmSplash& form, platform::qt::QtUi& ui);
};

}  // namespace murtesk
